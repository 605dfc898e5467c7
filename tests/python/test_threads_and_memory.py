"""Threads reading at once with one dictionary, and memory that stays flat."""

import os
import sys
import threading

import pytest

import cif
from conftest import all_structures, bundled
from test_reading import contents, ours


def read_all(paths, dictionary):
    return [(ours(document), contents(document)) for document in (cif.read(p, dictionary=dictionary) for p in paths)]


def test_threads_sharing_a_dictionary_read_as_one_does(core):
    paths = all_structures()
    expected = read_all(paths, core)
    results = [None] * 4
    failures = []

    def work(slot):
        try:
            for _ in range(3):
                results[slot] = read_all(paths, core)
                structures = [cif.Structure(d[0]) for d in (cif.read(bundled("7000165-disorder.cif"), dictionary=core),)]
                assert structures[0].formulas()
        except Exception as e:  # reported below: an assertion in a thread is not seen
            failures.append(e)

    threads = [threading.Thread(target=work, args=(slot,)) for slot in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert failures == []
    assert all(result == expected for result in results)


def resident_kib():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE") // 1024


def test_reading_and_dropping_leaves_the_process_size_flat(core):
    path = bundled("7000165-disorder.cif")

    def once():
        document = cif.read(path, dictionary=core)
        block = document[0]
        block.loop("_atom_site_label").numbers("_atom_site_fract_x")
        document.check_rules()
        cif.Structure(block).molecules()
        return len(document.to_string())

    for _ in range(100):
        once()
    before = resident_kib()
    for _ in range(1000):
        once()
    grown = resident_kib() - before
    assert grown < 2048, f"{grown} KiB more after 1000 reads"


@pytest.mark.parametrize("source", ["memory", "file"])
def test_other_threads_run_while_one_reads(source, tmp_path):
    """Counted by the work the main thread does while another thread is inside the read; with
    the interpreter's lock held by the reader it could do a few hundred steps at most, around
    the read (445,000 here with the lock released, 600 without)."""
    with open(bundled("1100893.cif"), "rb") as f:
        data = f.read() * 1000  # about 20 MB; block names repeat, which is only a diagnostic
    path = tmp_path / "big.cif"
    path.write_bytes(data)
    read = {"memory": lambda: cif.read_string(data), "file": lambda: cif.read(path)}[source]
    reading = threading.Event()
    reader = threading.Thread(target=lambda: (reading.set(), read()))
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1e-6)  # a held lock would be handed over at once after the read
    try:
        reader.start()
        reading.wait()
        steps = 0
        while reader.is_alive():
            steps += 1
    finally:
        sys.setswitchinterval(interval)
        reader.join()
    assert steps > 10000
