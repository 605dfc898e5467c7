// Crystal structures built from data blocks: cell, space group, atoms, molecules, the packed
// cell and disorder.

#include <cif/CifCell.h>
#include <cif/CifMolecule.h>
#include <host/Cell.h>
#include <host/CrystalMaker.h>
#include <host/DisorderSelector.h>
#include <host/Molecule.h>
#include <pybind11/stl.h>

#include <map>
#include <memory>
#include <mutex>

#include "Structure.h"

namespace cifpy {

namespace {

using Molecules = std::vector<THandle<Molecule>>;

struct AtomView {
    THandle<Atom> atom;
    THandle<Cell> cell;  // for the equivalent isotropic U
};

struct MoleculeView {
    THandle<Molecule> molecule;
    THandle<Cell> cell;
};

struct SelectorView {
    THandle<DisorderSelector> selector;
    THandle<Cell> cell;
};

template <class Point>  // std::array or the host's Array
py::tuple triple(const Point& v) {
    return py::make_tuple(v[0], v[1], v[2]);
}

py::list matrix(const Cell::Matrix& m) {
    py::list rows;
    for (const auto& row : m)
        rows.append(triple(row));
    return rows;
}

py::list atom_list(const Molecule& molecule, const THandle<Cell>& cell) {
    py::list atoms;
    for (auto atom = molecule.atoms_begin(); atom != molecule.atoms_end(); ++atom)
        atoms.append(AtomView{*atom, cell});
    return atoms;
}

py::list molecule_list(const Molecules& molecules, const THandle<Cell>& cell) {
    py::list list;
    for (const THandle<Molecule>& molecule : molecules)
        list.append(MoleculeView{molecule, cell});
    return list;
}

// The bonds as index pairs into the molecule's atoms.
py::list bond_list(const Molecule& molecule) {
    std::map<const Atom*, int> index;
    for (auto atom = molecule.atoms_begin(); atom != molecule.atoms_end(); ++atom)
        index.emplace(atom->get(), int(index.size()));
    py::list bonds;
    for (const Molecule::Bond& bond : molecule.bonds())
        bonds.append(py::make_tuple(index.at(bond.first.get()), index.at(bond.second.get())));
    return bonds;
}

py::object displacement_u(const AtomView& a) {
    const auto displacement = a.atom->site()->displacement();
    if (!displacement) return py::none();
    py::list rows;
    for (int i = 0; i < 3; ++i)
        rows.append(
            py::make_tuple(displacement->u(i, 0), displacement->u(i, 1), displacement->u(i, 2)));
    return std::move(rows);
}

// The cell keeps its angles in radians and their s.u. in degrees; Python sees degrees.
py::object angle(const UncertainValue& radians) {
    constexpr double degrees_per_radian = 180 / 3.14159265358979323846;
    return number(UncertainValue(radians.value() * degrees_per_radian, radians.uncertainty()));
}

void bind_cell(py::module_& m) {
    py::class_<Spacegroup>(m, "SpaceGroup", "A space group with its symmetry operators.")
        .def_property_readonly("name", &Spacegroup::name, "The compact symbol, as 'P21/c'.")
        .def_property_readonly("spaced_name", &Spacegroup::name_space_separated,
                               "The Hermann-Mauguin symbol, as 'P 21/c'.")
        .def_property_readonly("number", &Spacegroup::number,
                               "The number in the International Tables (0 when none matches).")
        .def_property_readonly(
            "crystal_system",
            [](const Spacegroup& g) { return Spacegroup::crystal_system_text(g.crystal_system()); },
            "'triclinic', 'monoclinic', ..., 'cubic'.")
        .def_property_readonly(
            "operators",
            [](const Spacegroup& g) {
                std::vector<std::string> texts;
                for (const CrystalSymmetryOperator& op : g.operators())
                    texts.push_back(op.to_string());
                return texts;
            },
            "The operators as 'x,y,z' texts.")
        .def("__repr__", [](const Spacegroup& g) {
            return "<cif.SpaceGroup " + g.name_space_separated() + " (" +
                   std::to_string(g.number()) + ")>";
        });

    py::class_<Cell>(m, "Cell", "The unit cell and its space group.")
        .def_property_readonly(
            "a", [](const Cell& c) { return number(c.a()); },
            "The edge a in angstroms, with its s.u.")
        .def_property_readonly(
            "b", [](const Cell& c) { return number(c.b()); },
            "The edge b in angstroms, with its s.u.")
        .def_property_readonly(
            "c", [](const Cell& c) { return number(c.c()); },
            "The edge c in angstroms, with its s.u.")
        .def_property_readonly(
            "alpha", [](const Cell& c) { return angle(c.alpha()); }, "In degrees, with its s.u.")
        .def_property_readonly(
            "beta", [](const Cell& c) { return angle(c.beta()); }, "In degrees, with its s.u.")
        .def_property_readonly(
            "gamma", [](const Cell& c) { return angle(c.gamma()); }, "In degrees, with its s.u.")
        .def_property_readonly(
            "volume", [](const Cell& c) { return number(c.volume_with_uncertainty()); },
            "The volume from the parameters, in cubic angstroms, with its s.u.")
        .def_property_readonly("spacegroup", &Cell::spacegroup, "The space group.")
        .def_property_readonly(
            "orthogonalisation", [](const Cell& c) { return matrix(c.orthogonalisation()); },
            "Fractional to Cartesian coordinates, rows of a 3x3 matrix.")
        .def_property_readonly(
            "fractionalisation", [](const Cell& c) { return matrix(c.fractionalisation()); },
            "Cartesian to fractional coordinates, rows of a 3x3 matrix.")
        .def(
            "cartesian",
            [](const Cell& c, const std::array<double, 3>& fractional) {
                return triple(c.cartesian(fractional));
            },
            py::arg("fractional"), "Cartesian coordinates (angstroms) of a fractional point.");
}

void bind_atoms(py::module_& m) {
    py::class_<AtomView>(m, "Atom", "An atom of a structure.")
        .def_property_readonly(
            "label", [](const AtomView& a) { return text(a.atom->label()); },
            "The atom's label, as _atom_site_label gives it.")
        .def_property_readonly(
            "element", [](const AtomView& a) { return a.atom->element().symbol(); },
            "The element's symbol ('C', 'Pd').")
        .def_property_readonly(
            "atomic_number", [](const AtomView& a) { return a.atom->element().atomic_number(); },
            "The element's atomic number (0 when unknown).")
        .def_property_readonly(
            "type_symbol", [](const AtomView& a) { return text(a.atom->type_symbol()); },
            "The type symbol as the file gives it ('O2-'), or ''.")
        .def_property_readonly(
            "fractional", [](const AtomView& a) { return triple(a.atom->site()->fractional()); },
            "Fractional coordinates (x, y, z).")
        .def_property_readonly(
            "cartesian", [](const AtomView& a) { return triple(a.atom->site()->cartesian()); },
            "Cartesian coordinates in angstroms.")
        .def_property_readonly(
            "occupancy", [](const AtomView& a) { return number(a.atom->site()->occupancy()); },
            "The site occupancy as a Number (1 when not stated).")
        .def_property_readonly(
            "u_iso",
            [](const AtomView& a) -> py::object {
                const auto displacement = a.atom->site()->displacement();
                if (!displacement) return py::none();
                return py::float_(displacement->u_equivalent(*a.cell));
            },
            "The (equivalent) isotropic displacement U in square angstroms, or None.")
        .def_property_readonly("u", &displacement_u,
                               "The displacement tensor U on the crystal axes (U11 U12 U13 "
                               "in the first row), square angstroms, or None.")
        .def_property_readonly(
            "anisotropic",
            [](const AtomView& a) -> py::object {
                const auto displacement = a.atom->site()->displacement();
                if (!displacement) return py::none();
                return py::bool_(displacement->type() == AtomicDisplacementParameters::Anisotropic);
            },
            "True for anisotropic displacement, False for isotropic, None for none.")
        .def_property_readonly(
            "disorder_assembly",
            [](const AtomView& a) { return text(a.atom->disorder_assembly()); },
            "The disorder assembly as the file names it, or ''.")
        .def_property_readonly(
            "disorder_group", [](const AtomView& a) { return a.atom->disorder_group(); },
            "The disorder group (0 for the ordered part).")
        .def("__repr__", [](const AtomView& a) {
            return text("<cif.Atom " + a.atom->label() + " " + a.atom->element().symbol() + ">");
        });

    py::class_<MoleculeView>(m, "Molecule", "Atoms bonded into one molecule.")
        .def_property_readonly(
            "formula", [](const MoleculeView& v) { return v.molecule->formula(); },
            "The formula in Hill order.")
        .def_property_readonly(
            "atoms", [](const MoleculeView& v) { return atom_list(*v.molecule, v.cell); },
            "The molecule's atoms.")
        .def_property_readonly(
            "bonds", [](const MoleculeView& v) { return bond_list(*v.molecule); },
            "The bonds as pairs of indexes into atoms.")
        .def("__len__", [](const MoleculeView& v) { return v.molecule->natoms(); })
        .def("__repr__",
             [](const MoleculeView& v) { return "<cif.Molecule " + v.molecule->formula() + ">"; });

    py::class_<SelectorView>(m, "DisorderSelector",
                             "The groups of one disorder assembly, one of them selected.")
        .def_property_readonly(
            "assembly", [](const SelectorView& s) { return s.selector->assembly(); },
            "The assembly's number.")
        .def_property_readonly(
            "groups", [](const SelectorView& s) { return s.selector->groups(); },
            "The group numbers, in order.")
        .def_property_readonly(
            "selected", [](const SelectorView& s) { return s.selector->selected_group(); },
            "The group selected.")
        .def(
            "select", [](const SelectorView& s, int group) { s.selector->select(group); },
            py::arg("group"), "Selects one of the groups.")
        .def(
            "atoms",
            [](const SelectorView& s, int group) {
                py::list atoms;
                for (const THandle<Atom>& atom : s.selector->atoms(group))
                    atoms.append(AtomView{atom, s.cell});
                return atoms;
            },
            py::arg("group"), "The atoms of a group.")
        .def("__repr__", [](const SelectorView& s) {
            return "<cif.DisorderSelector assembly " + std::to_string(s.selector->assembly()) +
                   ", group " + std::to_string(s.selector->selected_group()) + " selected>";
        });
}

}  // namespace

Structure::Structure(const CifDataBlock& source)
    : block_(make_handle<CifDataBlock>(source.dictionary(), source.name(), source.line())) {
    block_->copy(source);
    CifErrorContainer remarks;
    {
        py::gil_scoped_release unlocked;
        cell_ = CifCell::read(block_, remarks);
        atoms_ = CifMolecule::molecule(block_, *cell_, remarks);
    }
    diagnostics_.assign(remarks.begin(), remarks.end());
}

// Built without the interpreter's lock, so that other threads run meanwhile; one that wants
// the same part waits for it here. Parts are only ever set under this lock.
template <class Build>
void Structure::build_once(Build build) {
    CifErrorContainer remarks;
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> guard(building_);
        build(remarks);
    }
    diagnostics_.insert(diagnostics_.end(), remarks.begin(), remarks.end());
}

const THandle<CrystalMaker>& Structure::maker() {
    build_once([this](CifErrorContainer& remarks) {
        if (!maker_) maker_ = CifMolecule::crystal_maker(block_, *cell_, remarks);
    });
    return maker_;
}

THandle<std::vector<THandle<Molecule>>> Structure::molecules(void (CrystalMaker::*select)()) {
    ((*maker()).*select)();
    return maker()->molecules();
}

const THandle<Structure::Selectors>& Structure::selectors() {
    build_once([this](CifErrorContainer& remarks) {
        if (!selectors_) {
            selectors_ =
                CifMolecule::crystal_maker_disorder_selector(block_, *cell_, remarks).second;
        }
    });
    return selectors_;
}

void bind_structure(py::module_& m) {
    bind_cell(m);
    bind_atoms(m);
    py::class_<Structure, std::shared_ptr<Structure>>(
        m, "Structure",
        "The crystal structure a data block describes. Made from a copy of the block: later "
        "edits of the block do not reach it. Molecules are built when first asked for.")
        .def(py::init([](const Block& block) { return std::make_shared<Structure>(*block.block); }),
             py::arg("block"))
        .def_property_readonly(
            "cell", [](const Structure& s) { return *s.cell(); }, "The unit cell and space group.")
        .def_property_readonly(
            "atoms", [](const Structure& s) { return atom_list(*s.atoms(), s.cell()); },
            "Every atom site listed, in file order.")
        .def_property_readonly(
            "diagnostics", [](const Structure& s) { return s.diagnostics(); },
            "Remarks made building the structure.")
        .def(
            "molecules",
            [](Structure& s) {
                return molecule_list(*s.molecules(&CrystalMaker::select_molecules), s.cell());
            },
            "The whole molecules, each completed across symmetry.")
        .def(
            "packed_cell",
            [](Structure& s) {
                return molecule_list(*s.molecules(&CrystalMaker::select_cell), s.cell());
            },
            "The molecules whose centres lie in the unit cell.")
        .def(
            "formulas",
            [](Structure& s) {
                return counted_formulas(*s.molecules(&CrystalMaker::select_molecules));
            },
            "The molecules' formulas with their counts, as '2 C6 H6, H2 O'.")
        .def_property_readonly(
            "disorder",
            [](Structure& s) {
                py::list selectors;
                for (const THandle<DisorderSelector>& selector : *s.selectors())
                    selectors.append(SelectorView{selector, s.cell()});
                return selectors;
            },
            "One selector per disorder assembly.");
}

}  // namespace cifpy
