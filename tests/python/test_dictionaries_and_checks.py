"""Dictionaries (bundled, from files, pools) and the checks, against cif-check's findings."""

import gzip
import os

import pytest

import cif
from conftest import DATA, all_structures, bundled
from test_reading import check_json, ours



def test_bundled_dictionaries_read_clean():
    for name in cif.BUNDLED:
        dictionary = cif.Dictionary.bundled(name)
        assert dictionary.diagnostics == [], name
        assert dictionary.categories(), name
    core = cif.Dictionary.core()
    assert core.descriptors[0]["name"] == "cif_core.dic"
    assert "_cell_length_a" in core and "_no_such_item" not in core
    with pytest.raises(ValueError, match="known"):
        cif.Dictionary.bundled("nonesuch")


def test_dictionaries_take_long_lines():
    text = "data_on_x\n_name '_x'\n_type char\n_definition '" + "w " * 60 + "'\n"
    dictionary = cif.Dictionary.from_string(text)
    assert dictionary.diagnostics == []
    assert dictionary.definition("_x")["definition"].startswith("w w")


def test_definitions(core):
    length = core.definition("_CELL_LENGTH_A")
    assert (length["category"], length["type"], length["esd"], length["units"]) == (
        "cell",
        "numb",
        True,
        "A",
    )
    assert length["range"] == "0.0:"
    adp = core.definition("_atom_site_adp_type")
    assert "Uani" in adp["enumeration"] and adp["type"] == "char"
    assert core.definition("_atom_site_label")["list"] == "yes"
    with pytest.raises(KeyError):
        core.definition("_no_such_item")


def test_dictionaries_from_files_strings_and_pools(tmp_path):
    with open(os.path.join(DATA, "dict", "cif_pd.dic"), "rb") as raw:
        text = raw.read()
    packed = tmp_path / "cif_pd.dic.gz"
    packed.write_bytes(gzip.compress(text))
    pd = cif.Dictionary(packed)
    assert "_pd_meas_2theta_range_min" in pd and "_cell_length_a" not in pd
    assert "_pd_meas_2theta_range_min" in cif.Dictionary.from_string(text.decode("utf-8"))
    pool = cif.Dictionary.pool([cif.Dictionary.core(), pd])
    assert "_pd_meas_2theta_range_min" in pool and "_cell_length_a" in pool
    assert [d["name"] for d in pool.descriptors] == ["cif_core.dic", "cif_pd.dic"]
    with pytest.raises(ValueError):
        cif.Dictionary.pool([pool])
    with pytest.raises(ValueError, match="No such file"):
        cif.Dictionary(tmp_path / "missing.dic")
    document = cif.read_string("data_a\n_pd_meas_2theta_range_min abc\n_cell_length_a -1\n", dictionary=pool)
    assert [d.name for d in document.diagnostics] == ["ValueNotNumber", "ValueBelowLimit"]


def test_validation_while_reading(core):
    document = cif.read_string(
        "data_a\n_cell_length_a abc\n_atom_site_adp_type Uxyz\n_cell_angle_beta 200\n",
        dictionary=core,
    )
    assert [d.name for d in document.diagnostics] == [
        "ValueNotNumber",
        "ValueNotInEnumeration",
        "ValueAboveLimit",
    ]
    assert [d.line for d in document.diagnostics] == [2, 3, 4]


def test_checks_find_what_cif_check_finds(cif_check, core):
    files = all_structures()
    findings, _ = check_json(
        cif_check, files, "-d", "core", "--mandatory", "--consistency", "--rules"
    )
    for path in files:
        document = cif.read(path, dictionary=core)
        added = document.check_mandatory()
        added += document.check_consistency()
        added += document.check_rules()
        assert ours(document) == findings[path], path
        assert [d for d in document.diagnostics[len(document.diagnostics) - len(added):]] == added


def test_checks_report_in_a_small_document(core):
    document = cif.read_string(
        "data_a\n_journal_name_full 'J. Test'\nloop_\n_atom_site_label\n_atom_site_fract_x\n"
        "C1 0.1\nC1 0.2\n",
        dictionary=core,
    )
    missing = document.check_mandatory(cif.PUBLICATION_ITEMS, cif.STRUCTURE_ITEMS)
    assert {d.arguments[0] for d in missing} >= {"_publ_section_title", "_journal_year"}
    assert all(d.severity == "remark" for d in missing)
    assert "DuplicateAtomLabel" in [d.name for d in document.check_consistency()]
    assert "DuplicateKeyValue" in [d.name for d in document.check_rules()]


def test_a_document_keeps_its_dictionary(core):
    document = cif.read(bundled("1100893.cif"), dictionary=core)
    assert "_cell_length_a" in document.dictionary
    assert "_cell_length_a" not in cif.read(bundled("1100893.cif")).dictionary
