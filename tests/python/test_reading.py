"""Reading: paths, .gz, file objects and strings; diagnostics as cif-check reports them;
round trips through our writer; values as other readers give them."""

import gzip
import io
import json
import os
import subprocess

import pytest

import cif
from conftest import all_structures, bundled, shared_files


def contents(document):
    """Every (block, item, values) of a document, in order."""
    return [
        (block.name, name, tuple(block.item(name).values)) for block in document for name in block
    ]


def check_json(cif_check, files, *options):
    """cif-check's findings per file as (id, line, severity, message) and its file records."""
    run = subprocess.run(
        [cif_check, "--format", "json", "--no-fold", *options, *files],
        capture_output=True,
        check=False,
    )
    findings = {f: [] for f in files}
    records = {}
    for line in run.stdout.decode("utf-8").splitlines():
        record = json.loads(line)
        if record["kind"] == "finding":
            findings[record["file"]].append(
                (record["id"], record["line"], record["severity"], record["message"])
            )
        elif record["kind"] == "file":
            records[record["file"]] = record
    return findings, records


def ours(document):
    return [(d.id, d.line, d.severity, d.message) for d in document.diagnostics]


def test_diagnostics_are_cif_checks(cif_check):
    files = all_structures() + shared_files("malformed") + shared_files("edge")
    findings, _ = check_json(cif_check, files)
    for path in files:
        assert ours(cif.read(path)) == findings[path], path


def test_validating_read_reports_what_cif_check_does(cif_check, core):
    files = all_structures()
    findings, _ = check_json(cif_check, files, "-d", "core")
    for path in files:
        assert ours(cif.read(path, dictionary=core)) == findings[path], path


def test_sources_read_alike(tmp_path):
    path = bundled("1100893.cif")
    expected = contents(cif.read(path))
    assert expected and len(expected) > 100
    with open(path, "rb") as raw:
        data = raw.read()
    packed = tmp_path / "1100893.cif.gz"
    packed.write_bytes(gzip.compress(data))
    assert contents(cif.read(packed)) == expected
    assert contents(cif.read(io.BytesIO(data))) == expected
    assert contents(cif.read(io.StringIO(data.decode("utf-8")))) == expected
    assert contents(cif.read_string(data.decode("utf-8"))) == expected
    assert contents(cif.read_string(data)) == expected


def test_unreadable_files_become_diagnostics(tmp_path):
    for path, reason in ((tmp_path / "missing.cif", "No such file"), (tmp_path, "directory")):
        document = cif.read(path)
        assert len(document) == 0
        assert document.diagnostics[0].name == "FileReadFailed"
        assert reason in document.diagnostics[0].message
    cut = tmp_path / "cut.cif.gz"
    cut.write_bytes(gzip.compress(b"data_a\n_cell_length_a 5.0\n" * 200)[:-30])
    document = cif.read(cut)
    assert any(d.id == 377 and "damaged" in d.message for d in document.diagnostics)


def test_diagnostic_fields():
    document = cif.read_string("data_a\n_cell_length_a\n_cell_length_b 2\nloop_\n_x\n")
    first = document.diagnostics[0]
    assert (first.id, first.name, first.severity, first.line) == (
        307,
        "DataNameFollowedByDataName",
        "error",
        2,
    )
    assert first.arguments[0] == "_cell_length_a"
    assert first.message in str(first)
    assert [d.name for d in document.diagnostics][1:] == ["LoopValueCountMismatch"]


def test_ignoring_and_line_length():
    text = "data_a\n_x " + "y" * 100 + "\n"
    assert [d.name for d in cif.read_string(text, max_line_length=80).diagnostics] == [
        "LineTooLong"
    ]
    assert cif.read_string(text, max_line_length=80, ignore=[347]).diagnostics == []
    assert cif.read_string(text).diagnostics == []


def test_non_standard_items_only_with_a_dictionary(core):
    text = "data_a\n_not_a_core_item 1\n_cell_length_a 5\n"
    assert cif.read_string(text).diagnostics == []
    found = cif.read_string(text, dictionary=core).diagnostics
    assert [(d.name, d.arguments[0]) for d in found] == [
        ("NonStandardDataItem", "_not_a_core_item")
    ]


def test_text_objects_read_as_utf8_and_paths_take_ignore(tmp_path):
    text = "data_a\n_publ_author_name '\u03b1-Smith'\n"
    assert cif.read(io.StringIO(text))[0]["_publ_author_name"] == "\u03b1-Smith"
    path = tmp_path / "long.cif"
    path.write_text("data_a\n_x " + "y" * 100 + "\n")
    assert [d.name for d in cif.read(path, max_line_length=80).diagnostics] == ["LineTooLong"]
    assert cif.read(path, max_line_length=80, ignore=[347]).diagnostics == []


def test_bytes_that_are_no_utf8_read_as_latin1():
    document = cif.read_string(b"data_a\n_publ_author_name 'M\xfcller'\n")
    assert document[0]["_publ_author_name"] == "M\u00fcller"


@pytest.mark.parametrize("path", all_structures(), ids=os.path.basename)
def test_round_trip_through_our_writer(path, tmp_path):
    document = cif.read(path)
    text = document.to_string()
    assert contents(cif.read_string(text)) == contents(document)
    written = tmp_path / "out.cif"
    document.write(written)
    assert contents(cif.read(written)) == contents(document)
    assert str(document) == text


def test_writing_where_no_file_can_be_made(tmp_path):
    with pytest.raises(OSError):
        cif.read_string("data_a _x 1").write(tmp_path / "no" / "such" / "folder.cif")
