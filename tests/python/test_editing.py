"""Blocks, items and loops as Python sees them: values, numbers, editing, comments, the
exceptions of misuse, and handles that outlive their document."""

import gc
import math

import numpy
import pytest

import cif
from conftest import bundled

SMALL = """data_small
# a comment before the cell
_cell_length_a 10.1565(2)
_cell_length_b 7.5
_cell_volume ?
_symmetry_space_group_name_H-M 'P 21/c'
loop_
_atom_site_label
_atom_site_fract_x
_atom_site_occupancy
C1 0.1234(5) 1
O2 -1.5e-1(3) .
N3 0.5 ?
"""


@pytest.fixture
def block():
    return cif.read_string(SMALL)[0]


def test_items_by_name_in_write_order(block):
    assert block.name == "data_small"
    assert list(block) == block.keys()
    assert block.keys()[:2] == ["_cell_length_a", "_cell_length_b"]
    assert len(block) == 7
    assert block["_cell_length_a"] == "10.1565(2)"
    assert block["_symmetry_space_group_name_H-M"] == "P 21/c"
    assert block["_atom_site_label"] == ["C1", "O2", "N3"]
    assert "_cell_length_b" in block and "_cell_length_c" not in block
    assert block.get("_cell_length_c") is None
    assert block.get("_cell_length_c", "none") == "none"
    with pytest.raises(KeyError):
        block["_cell_length_c"]
    item = block.item("_cell_length_a")
    assert (item.name, item.line, item.looped, item.value, len(item)) == (
        "_cell_length_a",
        3,
        False,
        "10.1565(2)",
        1,
    )


def test_numbers_with_their_su(block):
    assert block.number("_cell_length_a") == (10.1565, 0.0002)
    assert block.number("_cell_length_a").su == pytest.approx(0.0002)
    assert block.number("_cell_length_b") == cif.Number(7.5, None)
    assert block.number("_cell_volume") is None
    assert block.number("_atom_site_occupancy", 1) is None  # "."
    assert block.number("_atom_site_fract_x", 1) == (pytest.approx(-0.15), pytest.approx(0.03))
    with pytest.raises(ValueError, match="not a number"):
        block.number("_symmetry_space_group_name_H-M")
    with pytest.raises(ValueError, match="'caf\u00e9' is not a number"):
        cif.read_string(b"data_a _x caf\xe9")[0].number("_x")
    with pytest.raises(IndexError):
        block.number("_atom_site_fract_x", 3)
    assert block.item("_atom_site_fract_x").number(-1) == (0.5, None)


def test_numeric_columns_as_arrays(block):
    loop = block.loop("_atom_site_fract_x")
    values, sus = loop.numbers("_atom_site_fract_x")
    assert isinstance(values, numpy.ndarray) and values.dtype == numpy.float64
    numpy.testing.assert_allclose(values, [0.1234, -0.15, 0.5])
    numpy.testing.assert_allclose(sus[:2], [0.0005, 0.03])
    assert math.isnan(sus[2])
    occupancy, _ = loop.numbers("_atom_site_occupancy")
    assert occupancy[0] == 1 and math.isnan(occupancy[1]) and math.isnan(occupancy[2])
    with pytest.raises(ValueError, match="C1"):
        loop.numbers("_atom_site_label")
    with pytest.raises(KeyError):
        loop.numbers("_cell_length_a")


def test_arrays_agree_with_numbers_on_real_files():
    for name in ("1100893.cif", "7000165-disorder.cif", "2003526-r-factor-with-esd.cif"):
        block = cif.read(bundled(name))[0]
        loop = block.loop("_atom_site_fract_x")
        values, sus = loop.numbers("_atom_site_fract_x")
        for row, (value, su) in enumerate(zip(values, sus)):
            number = block.number("_atom_site_fract_x", row)
            assert number.value == value
            assert (number.su is None and math.isnan(su)) or number.su == su


def test_loop_rows_as_dicts(block):
    loop = block.loop("_atom_site_label")
    assert loop.columns == ["_atom_site_label", "_atom_site_fract_x", "_atom_site_occupancy"]
    assert len(loop) == 3 and loop.line == 7
    assert loop[0] == {
        "_atom_site_label": "C1",
        "_atom_site_fract_x": "0.1234(5)",
        "_atom_site_occupancy": "1",
    }
    assert [row["_atom_site_label"] for row in loop] == ["C1", "O2", "N3"]
    assert loop[-1]["_atom_site_occupancy"] == "?"
    with pytest.raises(IndexError):
        loop[3]
    assert loop.column("_atom_site_occupancy") == ["1", ".", "?"]
    assert "_atom_site_label" in loop and "_cell_length_a" not in loop
    assert block.loop("_cell_length_a") is None
    assert len(block.loops) == 1


def test_a_short_column_gives_none_past_its_end():
    block = cif.read_string("data_a\nloop_\n_x\n_y\n'' 2 3\n")[0]
    loop = block.loops[0]
    assert len(loop) == 2
    assert loop[0] == {"_x": "", "_y": "2"}
    assert loop[1] == {"_x": "3", "_y": None}


def test_editing_and_writing_back(block):
    block["_cell_length_c"] = "5.25(3)"
    block["_cell_length_a"] = "11"
    del block["_cell_volume"]
    with pytest.raises(KeyError):
        del block["_cell_volume"]
    block["_atom_site_label"] = ["C9", "O9", "N9"]
    block["_cell_length_b"] = ["7.5", "7.6"]
    assert block.item("_cell_length_b").looped and block.loop("_cell_length_b").columns == [
        "_cell_length_b"
    ]
    with pytest.raises(TypeError):
        block["_cell_length_b"] = 7.5
    loop = block.add_loop(["_geom_bond_atom_site_label_1", "_geom_bond_distance"], [["C9", "1.5"]])
    loop.add_row(["O9", "1.25(2)"])
    block.add_loop(["_gone_a", "_gone_b"], [["1", "2"]])
    block.remove_loop("_gone_b")
    assert "_gone_a" not in block and all("_gone_b" not in l for l in block.loops)
    with pytest.raises(KeyError):
        block.remove_loop("_cell_length_a")  # in no loop
    with pytest.raises(ValueError):
        loop.add_row(["O9"])
    block.item("_cell_length_b").set_comments("# stated by the authors\n")
    block.set_comments("# edited\n", cif.Comment.Leading)
    block.item("_cell_length_c").set_comments("# the end\n", cif.Comment.Trailing)

    block_text = str(block)
    again = cif.read_string(block_text)[0]
    assert again["_cell_length_c"] == "5.25(3)"
    assert again["_cell_length_a"] == "11"
    assert "_cell_volume" not in again
    assert again["_atom_site_label"] == ["C9", "O9", "N9"]
    assert again["_cell_length_b"] == ["7.5", "7.6"]
    assert again.loop("_geom_bond_distance").column("_geom_bond_distance") == ["1.5", "1.25(2)"]
    assert "# stated by the authors" in block_text and "# the end" in block_text
    assert again.item("_cell_length_b").comments() == "# stated by the authors\n"
    assert block.item("_cell_length_c").comments(cif.Comment.Trailing) == "# the end\n"
    assert again.comments() == "# edited\n"


def test_new_blocks_and_values_that_need_quotes():
    document = cif.Document()
    first = document.new_block("data_b")
    document.new_block("data_a", 0)
    assert [b.name for b in document] == ["data_a", "data_b"]
    with pytest.raises(ValueError):
        document.new_block("data_a")
    first["_title"] = "it's \"quoted\" text"
    first["_text"] = "two\nlines"
    first["_empty_looking"] = "?"
    again = cif.read_string(document.to_string())
    assert again["data_b"]["_title"] == "it's \"quoted\" text"
    assert again["data_b"]["_text"] == "two\nlines\n"
    assert "data_a" in again and len(again) == 2
    with pytest.raises(KeyError):
        again["data_c"]
    with pytest.raises(IndexError):
        again[2]
    assert again[-1].name == "data_b"


def test_misuse_raises_what_python_users_expect(block):
    item = block.item("_cell_length_a")
    with pytest.raises(cif.Error) as raised:
        item.add_value("12")
    assert isinstance(raised.value, RuntimeError)
    assert raised.value.diagnostic.name == "ActionOnUnloopedItem"
    assert raised.value.diagnostics == (raised.value.diagnostic,)
    with pytest.raises(IndexError):
        item[1]
    with pytest.raises(ValueError):
        block.add_loop([])


def test_validation_when_setting(core):
    block = cif.read_string("data_a\n_cell_length_a 5\n", dictionary=core)[0]
    item = block.item("_cell_length_a")
    assert item.validate("-3") == cif.Validated.BelowMinimum
    assert item.validate("abc") == cif.Validated.NotANumber
    assert item.validate("5.1(2)") == cif.Validated.Valid


def test_handles_outlive_their_document():
    document = cif.read(bundled("1100893.cif"))
    block = document[0]
    item = block.item("_cell_length_a")
    loop = block.loop("_atom_site_label")
    del document, block
    gc.collect()
    assert item.value == "10.1565(2)"
    assert len(loop) == 79 and loop[0]["_atom_site_label"] == "Pd1"
