#!/usr/bin/python3
"""Races the Python module's read against the C++ read of the same text (cif-bench --read),
gemmi's cif.read and PyCifRW's ReadCif, and reads files on one and on two threads.

    python_bench.py BUILD_DIR [RELEASE_BUILD_DIR]

BUILD_DIR holds the module (BUILD_DIR/python) and cif-bench; a release build is the one to
time. A plain timer, best of three; not part of the test run.
"""

import os
import sys
import tempfile
import threading
import time


def best_seconds(work, runs=3):
    best = float("inf")
    for _ in range(runs):
        start = time.perf_counter()
        work()
        best = min(best, time.perf_counter() - start)
    return best


def report(what, size, seconds):
    print(f"{what:<52} {size / 1e6 / seconds:8.1f} MB/s")


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build-release"
    sys.path.insert(0, os.path.join(build, "python"))
    import cif

    bench = os.path.join(build, "bench", "cif-bench")
    with tempfile.TemporaryDirectory() as folder:
        large = os.path.join(folder, "large.cif")
        os.system(f"{bench} --write-large {large}")
        with open(large, "rb") as f:
            data = f.read()
        size = len(data)
        print(f"large generated CIF: {size / 1e6:.1f} MB")
        cpp = float(os.popen(f"{bench} --read {large}").read())
        report("C++ Cif::read, from memory", size, cpp)
        ours = best_seconds(lambda: cif.read_string(data))
        report("Python cif.read_string, from memory", size, ours)
        report("Python cif.read, from the file", size, best_seconds(lambda: cif.read(large)))
        print(f"{'Python read / C++ read (time)':<52} {ours / cpp:8.2f}")
        try:
            import gemmi

            theirs = best_seconds(lambda: gemmi.cif.read(large))
            report("gemmi cif.read (Python), from the file", size, theirs)
            print(f"{'gemmi / ours (time)':<52} {theirs / ours:8.2f}")
        except ImportError:
            print("gemmi's Python module not installed")
        try:
            from CifFile import ReadCif

            small = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "cif", "1100893.cif")
            with open(small, "rb") as f:
                small_size = len(f.read())
            pycifrw = best_seconds(lambda: ReadCif(small, grammar="1.1"), runs=1)
            report("PyCifRW ReadCif, one structure (1100893.cif)", small_size, pycifrw)
            mine = best_seconds(lambda: cif.read(small), runs=20)
            report("Python cif.read, the same structure", small_size, mine)
            print(f"{'PyCifRW / ours (time)':<52} {pycifrw / mine:8.2f}")
        except ImportError:
            print("PyCifRW not installed")

        # The interpreter's lock is released while reading: two threads read twice as much.
        def read_in(threads):
            workers = [threading.Thread(target=cif.read_string, args=(data,)) for _ in range(threads)]
            for worker in workers:
                worker.start()
            for worker in workers:
                worker.join()

        one = best_seconds(lambda: read_in(1))
        two = best_seconds(lambda: read_in(2))
        report("two threads reading at once (both texts)", 2 * size, two)
        print(f"{'two threads / one thread (throughput)':<52} {2 * one / two:8.2f}")


if __name__ == "__main__":
    main()
