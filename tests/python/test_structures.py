"""Structures from blocks: cell, space group and atoms against gemmi's reading of the same
files; molecules, disorder and database entries against cif-check's notes."""

import json
import math
import os
import subprocess

import pytest

import cif
from conftest import all_structures, bundled


def structures():
    """(path, block, Structure) for every block of the corpus that holds a structure."""
    for path in all_structures():
        for block in cif.read(path):
            if "_atom_site_label" not in block or "_cell_length_a" not in block:
                continue
            try:
                yield path, block, cif.Structure(block)
            except RuntimeError:
                continue  # atoms that cannot be read: cif-check reports them too


def test_cells_and_atoms_as_gemmi_reads_them():
    gemmi = pytest.importorskip("gemmi")
    compared = 0
    for path, block, structure in structures():
        try:
            small = gemmi.make_small_structure_from_block(gemmi.cif.read(path).find_block(block.name[5:]))
        except Exception:
            continue
        cell = structure.cell
        ours = [cell.a.value, cell.b.value, cell.c.value, cell.alpha.value, cell.beta.value, cell.gamma.value]
        theirs = [small.cell.a, small.cell.b, small.cell.c, small.cell.alpha, small.cell.beta, small.cell.gamma]
        assert ours == pytest.approx(theirs), path
        assert cell.volume.value == pytest.approx(small.cell.volume, rel=1e-9), path
        labels = [site.label for site in small.sites]
        atoms = [a for a in structure.atoms if a.label in labels]
        assert len(atoms) == len(small.sites), path
        for atom, site in zip(atoms, small.sites):
            assert atom.label == site.label
            assert atom.fractional == pytest.approx((site.fract.x, site.fract.y, site.fract.z)), (path, atom)
            assert atom.occupancy.value == pytest.approx(site.occ), (path, atom)
            cartesian = small.cell.orthogonalize(site.fract)
            assert atom.cartesian == pytest.approx((cartesian.x, cartesian.y, cartesian.z), abs=1e-6)
        group = small.find_spacegroup()
        if group is not None and cell.spacegroup.number != 0:
            assert cell.spacegroup.number == group.number, path
            assert len(cell.spacegroup.operators) == len(group.operations()), path
        compared += 1
    assert compared > 40


def atom_notes(cif_check, paths):
    run = subprocess.run([cif_check, "--format", "json", "--atoms", "--summary", *paths], capture_output=True, check=False)
    notes = {}
    for line in run.stdout.decode("utf-8").splitlines():
        record = json.loads(line)
        if record["kind"] == "note":
            notes.setdefault((record["file"], record["section"]), []).append(record["text"])
    return notes


def test_molecules_and_disorder_as_cif_check_sees_them(cif_check):
    paths = all_structures()
    notes = atom_notes(cif_check, paths)
    compared = 0
    for path, block, structure in structures():
        said = notes.get((path, "atoms"), [])
        first = next((n for n in said if " atoms, " in n), None)
        if first is None or len(cif.read(path)) != 1:
            continue
        molecules = structure.molecules()
        assert first == f"{len(structure.atoms)} atoms, {len(molecules)} molecules: {structure.formulas()}", path
        disorder = [
            f"disorder assembly {s.assembly}, groups "
            + " ".join(f"{g} ({len(s.atoms(g))} atoms)" for g in s.groups)
            for s in structure.disorder
        ]
        assert [n for n in said if n.startswith("disorder")] == disorder, path
        compared += 1
    assert compared > 40


def test_a_disordered_structure():
    structure = cif.Structure(cif.read(bundled("7000165-disorder.cif"))[0])
    assert structure.cell.spacegroup.spaced_name == "P -1"
    assert structure.cell.spacegroup.number == 2
    assert structure.cell.spacegroup.operators == ["x,y,z", "-x,-y,-z"]
    assert structure.cell.spacegroup.crystal_system == "triclinic"
    assert [s.assembly for s in structure.disorder] == [1, 2]
    selector = structure.disorder[0]
    assert selector.groups == [1, 2] and selector.selected == 1
    selector.select(2)
    assert selector.selected == 2 and structure.disorder[0].selected == 2
    minor = selector.atoms(2)
    assert len(minor) == 25 and all(a.disorder_group == 2 for a in minor)
    assert {a.disorder_assembly for a in minor} == {"A"}
    molecules = structure.molecules()
    biggest = max(molecules, key=len)
    assert biggest.formula == "C45 H45 Ga3 O14 Ru6"
    for i, j in biggest.bonds:
        a, b = biggest.atoms[i], biggest.atoms[j]
        distance = math.dist(a.cartesian, b.cartesian)
        assert 0.5 < distance < 3.5, (a, b, distance)
    assert len(structure.packed_cell()) >= len(molecules)


def test_atoms_carry_displacement_and_coordinates():
    structure = cif.Structure(cif.read(bundled("1100893.cif"))[0])
    pd = structure.atoms[0]
    assert (pd.label, pd.element, pd.atomic_number, pd.type_symbol) == ("Pd1", "Pd", 46, "Pd")
    assert pd.fractional == pytest.approx((0.99146, 0.079376, 0.777666))
    assert pd.occupancy == (1.0, None)
    assert pd.anisotropic is True
    assert pd.u_iso == pytest.approx(0.03873, abs=2e-4)
    u = pd.u
    assert len(u) == 3 and u[0][1] == pytest.approx(u[1][0])
    block = cif.read(bundled("1100893.cif"))[0]
    aniso = block.loop("_atom_site_aniso_label")[0]
    assert aniso["_atom_site_aniso_label"] == "Pd1"
    assert u[0][0] == cif.read_string(f"data_a _u {aniso['_atom_site_aniso_U_11']}")[0].number("_u").value
    assert u[1][2] == pytest.approx(block.number("_atom_site_aniso_U_23").value)
    molecules = structure.molecules()
    assert [m.formula for m in molecules] == ["C34 H10 F20 N P2 Pd", "B F4"]
    packed = structure.packed_cell()  # Z = 4 in P 21/c: four of each
    assert sorted(m.formula for m in packed) == sorted([m.formula for m in molecules] * 4)
    cell = structure.cell
    assert cell.cartesian(pd.fractional) == pytest.approx(pd.cartesian)
    assert cell.a == (10.1565, pytest.approx(0.0002))
    frac = cell.fractionalisation
    orth = cell.orthogonalisation
    for i in range(3):
        for j in range(3):
            assert sum(frac[i][k] * orth[k][j] for k in range(3)) == pytest.approx(float(i == j), abs=1e-12)


def test_structures_are_copies_of_their_block():
    block = cif.read(bundled("1100893.cif"))[0]
    structure = cif.Structure(block)
    block["_cell_length_a"] = "20"
    del block
    assert structure.cell.a.value == 10.1565
    assert len(structure.atoms) == 79


def test_blocks_without_a_structure_raise():
    with pytest.raises(RuntimeError):
        cif.Structure(cif.read_string("data_a\n_cell_length_a 5\n_atom_site_label x\n")[0])


def test_database_entries_and_records(cif_check):
    path = bundled("7000165-disorder.cif")
    notes = atom_notes(cif_check, [path])[(path, "summary")]
    database = cif.Database(path)
    assert len(database) == 1 and database.identifiers() == ["7000165"]
    entry = database["7000165"]
    assert entry.identifier == database[0].identifier == database[-1].identifier
    publication = entry.publication
    assert notes[1] == f"publication {publication['journal']} ({publication['year']})"
    assert publication["authors"]
    assert entry.block.name == "data_7000165"
    assert entry.structure().formulas() in notes[0]
    assert entry.crystal is not None and entry.experimental is not None
    assert [e.identifier for e in database] == ["7000165"]
    with pytest.raises(KeyError):
        database["nonesuch"]
    with pytest.raises(IndexError):
        database[1]
    same = cif.Database(database.document)
    assert same.identifiers() == database.identifiers()


def test_dates_and_entries_counted_from_the_end():
    texts = [open(bundled(name), encoding="utf-8").read() for name in ("1000026-MgB2.cif", "4003024.cif")]
    database = cif.Database(cif.read_string("\n".join(texts)))
    assert database.identifiers() == ["1000026", "4003024"]
    assert database[-1].identifier == "4003024" and database[-2].identifier == "1000026"
    assert database[0].editors["created"] == "2002-02-11"
    assert database[1].editors["created"] == "2019-01-13"


def test_records_of_every_entry_read():
    read = 0
    for path in all_structures():
        try:
            database = cif.Database(path)
        except cif.Error as error:
            assert error.diagnostics, path
            continue
        for entry in database:
            for record in (entry.publication, entry.experimental, entry.chemical, entry.crystal, entry.editors, entry.deposition):
                assert record is None or isinstance(record, dict)
            read += 1
    assert read > 50


def test_a_file_without_data_is_no_database(tmp_path):
    empty = tmp_path / "empty.cif"
    empty.write_text("# nothing\n")
    with pytest.raises(cif.Error) as raised:
        cif.Database(empty)
    assert "NoDataBlocks" in [d.name for d in raised.value.diagnostics]
    assert os.path.exists(empty)
