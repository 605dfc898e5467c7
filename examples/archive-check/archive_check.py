#!/usr/bin/env python3
"""Checks a directory tree of CIF files on a Dask cluster.

Each task reads a batch of files by path on a worker and returns one record per file with
the fields of cif-check's JSON "file" records (blocks, items, loops, errors, warnings,
remarks, passed, failures); the records are printed as JSON Lines in file order, then one
"batch" record. The exit status is 0 when every file passed, 1 otherwise.

    archive_check.py /data/cod                     # a local cluster, one worker per core
    archive_check.py --scheduler tcp://head:8786 -d core --rules /data/cod
"""

import argparse
import json
import os
import sys

import cif

CIF_ENDINGS = (".cif", ".dic", ".mmcif")

# Diagnostics after which the text is not what the file says: the file fails whatever its
# level. A line cut at 2048 characters (LineTooLong with that limit) is one too.
NOT_READ_AS_WRITTEN = {312, 311, 313, 301, 377, 376, 305}
LINE_TOO_LONG = 347
SEVERITIES = ("remark", "warning", "error")


def cif_files(roots):
    """The CIF files under the roots (.cif, .dic, .mmcif in any case, plain or .gz), sorted
    per root; a root that is a file is taken as it is."""
    files = []
    for root in roots:
        if not os.path.isdir(root):
            files.append(root)
            continue
        found = []
        for folder, _, names in os.walk(root):
            for name in names:
                plain = name.lower()[:-3] if name.lower().endswith(".gz") else name.lower()
                if plain.endswith(CIF_ENDINGS) and len(plain) > len(".cif"):
                    found.append(os.path.join(folder, name))
        files += sorted(found)
    return files


_dictionaries = {}


def dictionary_for(names):
    """One dictionary per worker process for each set of names; the threads of a worker
    share it."""
    key = tuple(names)
    if key and key not in _dictionaries:
        loaded = [cif.Dictionary.bundled(n) if n in cif.BUNDLED else cif.Dictionary(n) for n in names]
        _dictionaries[key] = loaded[0] if len(loaded) == 1 else cif.Dictionary.pool(loaded)
    return _dictionaries.get(key)


def counted(n, what):
    return f"{n} {what}{'' if n == 1 else 's'}"


def verdict(diagnostics, fail_on):
    """The counts and the reasons the file fails, as cif-check judges them."""
    counts = dict.fromkeys(SEVERITIES, 0)
    dropped, first_line = 0, -1
    for d in diagnostics:
        counts[d.severity] += 1
        if d.id in NOT_READ_AS_WRITTEN or (d.id == LINE_TOO_LONG and d.arguments[0] == "2048"):
            if dropped == 0:
                first_line = d.line
            dropped += 1
    failures = []
    if dropped:
        where = f", first at line {first_line}" if first_line > 0 else ""
        failures.append(f"text not read as written ({counted(dropped, 'finding')}{where})")
    for severity in reversed(SEVERITIES[SEVERITIES.index(fail_on):]):
        if counts[severity]:
            failures.append(counted(counts[severity], severity))
    return counts, failures


def check_file(path, options):
    document = cif.read(path, dictionary=dictionary_for(options["dictionaries"]))
    if options["mandatory"]:
        document.check_mandatory()  # cif-check's items
    if options["consistency"]:
        document.check_consistency()
    if options["rules"]:
        document.check_rules()
    counts, failures = verdict(document.diagnostics, options["fail_on"])
    return {
        "kind": "file",
        "file": path,
        "blocks": len(document),
        "items": sum(len(block) for block in document),
        "loops": sum(len(block.loops) for block in document),
        "errors": counts["error"],
        "warnings": counts["warning"],
        "remarks": counts["remark"],
        "findings_left_out": 0,
        "passed": not failures,
        "failures": failures,
    }


def check_batch(paths, options):
    return [check_file(path, options) for path in paths]


def arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("roots", nargs="+", help="folders (walked) and files to check")
    parser.add_argument("--scheduler", help="address of a running Dask scheduler")
    parser.add_argument("--workers", type=int, default=os.cpu_count(), help="local workers")
    parser.add_argument("--threads", type=int, default=1, help="threads per local worker")
    parser.add_argument("--batch", type=int, default=16, help="files per task")
    parser.add_argument("-d", "--dictionary", action="append", default=[],
                        help="a dictionary by path or bundled name (core, pd, ...); repeatable")
    parser.add_argument("--mandatory", action="store_true")
    parser.add_argument("--consistency", action="store_true")
    parser.add_argument("--rules", action="store_true")
    parser.add_argument("--fail-on", choices=SEVERITIES, default="error")
    return parser.parse_args(argv)


def client_for(args):
    from dask.distributed import Client, LocalCluster

    if args.scheduler:
        return Client(args.scheduler)
    cluster = LocalCluster(n_workers=args.workers, threads_per_worker=args.threads,
                           processes=True, dashboard_address=None)
    return Client(cluster)


def main(argv=None):
    args = arguments(argv)
    files = cif_files(args.roots)
    options = {
        "dictionaries": args.dictionary,
        "mandatory": args.mandatory,
        "consistency": args.consistency,
        "rules": args.rules,
        "fail_on": args.fail_on,
    }
    batches = [files[i : i + args.batch] for i in range(0, len(files), args.batch)]
    with client_for(args) as client:
        futures = client.map(check_batch, batches, options=options, pure=False)
        failed = 0
        for future in futures:  # in file order, each as soon as it and those before are done
            for record in future.result():
                failed += not record["passed"]
                print(json.dumps(record), flush=True)
    print(json.dumps({"kind": "batch", "files": len(files), "passed": len(files) - failed, "failed": failed}))
    return 1 if failed or not files else 0


if __name__ == "__main__":
    sys.exit(main())
