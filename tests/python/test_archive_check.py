"""The archive check on a two-worker local Dask cluster gives, file by file, the record
cif-check gives."""

import json
import os
import subprocess
import sys

import pytest

from conftest import DATA, SHARED, SOURCE
from test_reading import check_json

SCRIPT = os.path.join(SOURCE, "examples", "archive-check", "archive_check.py")


def archive_check(*arguments):
    run = subprocess.run(
        [sys.executable, SCRIPT, "--workers", "2", "--batch", "7", *arguments],
        capture_output=True,
        check=False,
        timeout=300,
    )
    records = [json.loads(line) for line in run.stdout.decode("utf-8").splitlines()]
    return run.returncode, records


@pytest.mark.parametrize(
    "options",
    [[], ["-d", "core", "--mandatory", "--consistency", "--rules", "--fail-on", "warning"]],
    ids=["syntax", "everything"],
)
def test_records_are_cif_checks(cif_check, options, tmp_path):
    pytest.importorskip("dask.distributed")
    (tmp_path / "long-line.cif").write_text("data_a\n_x '" + "w" * 3000 + "'\n_y 1\n")
    roots = [os.path.join(DATA, "cif"), str(tmp_path)]
    if os.path.isdir(os.path.join(SHARED, "malformed")):
        roots.append(os.path.join(SHARED, "malformed"))
    status, records = archive_check(*options, *roots)
    *files, batch = records
    assert batch["kind"] == "batch" and batch["files"] == len(files) >= 53
    assert batch["failed"] == sum(not r["passed"] for r in files)
    assert status == (1 if batch["failed"] else 0)
    paths = [r["file"] for r in files]
    assert paths[:53] == sorted(paths[:53])
    _, expected = check_json(cif_check, paths, *options)
    for record in files:
        assert record == expected[record["file"]], record["file"]
    long_line = next(r for r in files if r["file"].endswith("long-line.cif"))
    assert not long_line["passed"] and "not read as written" in long_line["failures"][0]
    if options:
        assert batch["failed"] > 0  # warnings fail at this level
