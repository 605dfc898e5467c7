"""Other readers as oracles: every (block, item, value) gemmi's and PyCifRW's Python modules
give for the bundled and shared structures is what ours gives."""

import io
import json
import os
import shutil
import subprocess

import pytest

import cif
from conftest import all_structures


def as_others_give(value):
    """A text field's value keeps the line end before its closing ';' here; gemmi and PyCifRW
    take that line end as part of the delimiter. Only text fields hold line ends."""
    return value[:-1] if value.endswith("\n") else value


def our_values(path):
    """{(block, item): [values]}, names without case as CIF compares them; our block names
    keep their data_ heading, the others' do not."""
    values = {}
    for block in cif.read(path):
        assert block.name.lower().startswith("data_")
        for name in block:
            values[(block.name[5:].lower(), name.lower())] = [
                as_others_give(v) for v in block.item(name).values
            ]
    return values


def gemmi_text(gemmi, raw):
    """gemmi's as_string gives '' for the null values; we keep them as written."""
    return raw if raw in ("?", ".") else gemmi.cif.as_string(raw)


def gemmi_values(gemmi, path):
    values = {}
    for block in gemmi.cif.read(path):
        for item in block:
            if item.pair is not None:
                name, value = item.pair
                values[(block.name.lower(), name.lower())] = [gemmi_text(gemmi, value)]
            elif item.loop is not None:
                loop = item.loop
                for column, tag in enumerate(loop.tags):
                    values[(block.name.lower(), tag.lower())] = [
                        gemmi_text(gemmi, loop.val(row, column)) for row in range(loop.length())
                    ]
    return values


@pytest.mark.parametrize("path", all_structures(), ids=os.path.basename)
def test_gemmi_reads_what_we_read(path):
    gemmi = pytest.importorskip("gemmi")
    try:
        theirs = gemmi_values(gemmi, path)
    except Exception as refused:  # gemmi stops at the first syntax error
        pytest.skip(f"gemmi refuses the file: {refused}")
    ours = our_values(path)
    assert ours.keys() == theirs.keys()
    for key, values in theirs.items():
        assert ours[key] == values, key


def unfolded(value):
    """PyCifRW applies CIF 1.1's line folding to a text field starting with a backslash
    line; we give the text as written."""
    if not value.startswith("\\\n"):
        return value
    return value[2:].replace("\\\n", "")


@pytest.mark.parametrize("path", all_structures(), ids=os.path.basename)
def test_pycifrw_reads_what_we_read(path):
    pytest.importorskip("CifFile")
    from CifFile import ReadCif

    try:
        theirs = ReadCif(path, grammar="1.1")
    except Exception as refused:
        pytest.skip(f"PyCifRW refuses the file: {refused}")
    ours = our_values(path)
    compared = 0
    for block_name in theirs.keys():
        block = theirs[block_name]
        for name in block.keys():
            value = block[name]
            values = value if isinstance(value, list) else [value]
            expected = [unfolded(v) for v in ours[(block_name.lower(), name.lower())]]
            assert expected == values, (block_name, name)
            compared += 1
    assert compared == len(ours)


TRICKY = [
    "it's \"so\" said", "'quoted'", '"quoted"', "a' b", 'a" b', "tab\tinside", "data_x",
    "loop_", "#hash", "$ref", ";semi", "_name", "[list]", "ends with a '", "two\nlines",
]  # fmt: skip


def tricky_document():
    document = cif.Document()
    block = document.new_block("data_tricky")
    for i, value in enumerate(TRICKY):
        block[f"_v{i}"] = value
    block.add_loop(["_l_value", "_l_index"], [[v, str(i)] for i, v in enumerate(TRICKY)])
    return document


def test_what_we_write_others_read_as_we_meant(tmp_path):
    text = tricky_document().to_string()
    expected = [as_others_give(v) for v in TRICKY]
    assert cif.read_string(text).diagnostics == []
    if shutil.which("cif_parse"):  # cod-tools
        path = tmp_path / "tricky.cif"
        path.write_text(text)
        run = subprocess.run(["cif_parse", "--output-json", str(path)], capture_output=True, check=True)
        values = json.loads(run.stdout)["data"]["values"]
        assert [values[f"_v{i}"][0] for i in range(len(TRICKY))] == expected
        assert values["_l_value"] == expected
    gemmi = pytest.importorskip("gemmi")
    block = gemmi.cif.read_string(text).sole_block()
    assert [gemmi_text(gemmi, block.find_value(f"_v{i}")) for i in range(len(TRICKY))] == expected
    assert [gemmi_text(gemmi, v) for v in block.find_loop("_l_value")] == expected
    pytest.importorskip("CifFile")
    from CifFile import ReadCif

    theirs = ReadCif(io.StringIO(text), grammar="1.1")["tricky"]
    assert [theirs[f"_v{i}"] for i in range(len(TRICKY))] == expected
    assert theirs["_l_value"] == expected
