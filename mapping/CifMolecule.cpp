#include "cif/CifMolecule.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "host/AtomicDisplacementParameters.h"
#include "host/BondDetector.h"
#include "host/DisorderAnalyser.h"
#include "host/FileOrderedAtom3d.h"
#include "host/FileOrderedProteinAtom.h"
#include "host/Molecule3d.h"
#include "host/TextUtilities.h"
#include "host/VexorLog.h"
#include "mapping/UncertainValueText.h"
#include "model/CifCharacters.h"

namespace {

using AtomList = std::vector<THandle<Atom>>;
using MoleculeList = std::vector<THandle<Molecule>>;

const char* const label_name = "_atom_site_label";
const char* const occupancy_name = "_atom_site_occupancy";
const char* const u_iso_name = "_atom_site_U_iso_or_equiv";
const char* const coordinate_names[] = {"_atom_site_fract_x", "_atom_site_fract_y",
                                        "_atom_site_fract_z"};
const char* const cartesian_names[] = {"_atom_site_Cartn_x", "_atom_site_Cartn_y",
                                       "_atom_site_Cartn_z"};
// U11, U22, U33, U12, U13, U23: the order the displacement parameters take them in.
const char* const aniso_names[] = {"_atom_site_aniso_U_11", "_atom_site_aniso_U_22",
                                   "_atom_site_aniso_U_33", "_atom_site_aniso_U_12",
                                   "_atom_site_aniso_U_13", "_atom_site_aniso_U_23"};
struct AtomItems {
    THandle<CifDataItem> label, type_symbol, displacement_type, u_iso;
    THandle<CifDataItem> coordinates[3];
    // Read only where no fractional coordinate is given.
    THandle<CifDataItem> cartesian[3];
    THandle<CifDataItem> occupancy, label_component_3, label_component_4, aniso_label;
    THandle<CifDataItem> aniso[6];
    // The row of each aniso label, or duplicated_label for one that stands twice.
    std::unordered_map<std::string, int> aniso_rows;
    int line = 0;
};

constexpr int duplicated_label = -1;

struct DisorderItems {
    THandle<CifDataItem> group, assembly;
};

bool has_row(const THandle<CifDataItem>& item, int row) {
    return item && static_cast<unsigned int>(row) < item->size();
}

// The row's value; empty for a missing item or past its end. An item standing alone beside
// the atom loop has a value for the first row only.
std::string row_value(const THandle<CifDataItem>& item, int row) {
    return item ? std::string(item->value_view(row)) : std::string();
}

std::string stripped(const std::string& text) {
    return strip(text, " \t");
}

AtomItems atom_items(THandle<CifDataBlock> block) {
    AtomItems items;
    items.label = block->find(label_name);
    items.type_symbol = block->find("_atom_site_type_symbol");
    items.displacement_type = block->find("_atom_site_adp_type");
    if (!items.displacement_type) {
        items.displacement_type = block->find("_atom_site_thermal_displace_type");
    }
    items.u_iso = block->find(u_iso_name);
    for (int axis = 0; axis < 3; ++axis)
        items.coordinates[axis] = block->find(coordinate_names[axis]);
    if (!items.coordinates[0] && !items.coordinates[1] && !items.coordinates[2]) {
        for (int axis = 0; axis < 3; ++axis)
            items.cartesian[axis] = block->find(cartesian_names[axis]);
    }
    items.occupancy = block->find(occupancy_name);
    items.label_component_3 = block->find("_atom_site_label_component_3");
    items.label_component_4 = block->find("_atom_site_label_component_4");
    items.aniso_label = block->find("_atom_site_aniso_label");
    for (int k = 0; k < 6; ++k)
        items.aniso[k] = block->find(aniso_names[k]);
    const unsigned int aniso_rows = items.aniso_label ? items.aniso_label->size() : 0;
    for (unsigned int row = 0; row < aniso_rows; ++row) {
        const auto [entry, added] = items.aniso_rows.emplace(items.aniso_label->value(row), row);
        if (!added) entry->second = duplicated_label;
    }
    items.line = block->line();
    return items;
}

DisorderItems disorder_items(THandle<CifDataBlock> block) {
    return {block->find("_atom_site_disorder_group"), block->find("_atom_site_disorder_assembly")};
}

UncertainValue parse_uncertain_value(const std::string& text, const std::string& name) {
    return cif::detail::parse_or_throw(text, "value", name);
}

void extract_uncertain_value(UncertainValue& result, const THandle<CifDataItem>& item, int row,
                             const std::string& name, const std::string& label) {
    if (!has_row(item, row)) {
        throw std::runtime_error("Missing value " + std::to_string(row) + " for " + name +
                                 " for atom " + label);
    }
    result = parse_uncertain_value(item->value(row), name);
}

// The leading letters of a type symbol or label, when there are at most two: "Fe3+" and
// "Fe12" give "Fe"; "C1A" gives "C"; "Cg1" gives "Cg", no element; "Ru1a" gives "Ru".
std::string extract_element_symbol(const std::string& text) {
    const std::string symbol = stripped(text);
    const auto letters = static_cast<std::size_t>(
        std::find_if(symbol.begin(), symbol.end(),
                     [](char c) { return !std::isalpha(static_cast<unsigned char>(c)); }) -
        symbol.begin());
    return letters <= 2 ? symbol.substr(0, letters) : std::string();
}

int find_aniso_index(const AtomItems& items, const std::string& label) {
    const auto found = items.aniso_rows.find(label);
    if (found == items.aniso_rows.end()) {
        throw std::runtime_error("Cannot find _atom_site_aniso_label value for atom " + label);
    }
    if (found->second == duplicated_label) {
        throw std::runtime_error("Atom label " + label +
                                 " is duplicated in _atom_site_aniso_label");
    }
    return found->second;
}

THandle<AtomicDisplacementParameters> anisotropic(const AtomItems& items,
                                                  const std::string& label) {
    const int row = find_aniso_index(items, label);
    Array<UncertainValue, 6> u;
    for (int k = 0; k < 6; ++k)
        extract_uncertain_value(u[k], items.aniso[k], row, aniso_names[k], label);
    return make_handle<AtomicDisplacementParameters>(u, AtomicDisplacementParameters::Anisotropic);
}

THandle<AtomicDisplacementParameters> isotropic(const AtomItems& items, int row,
                                                const std::string& label, const Cell& cell) {
    UncertainValue u_iso;
    extract_uncertain_value(u_iso, items.u_iso, row, u_iso_name, label);
    return make_handle<AtomicDisplacementParameters>(u_iso, AtomicDisplacementParameters::Isotropic,
                                                     cell);
}

// Tries one way of building the parameters; a failure is remarked only when the file
// declares that kind.
template <class Build>
THandle<AtomicDisplacementParameters> attempt(Build build, const std::string& type,
                                              const char* declared, CifError::ErrorID error,
                                              const std::string& label, CifErrorContainer& errors,
                                              int line) {
    try {
        return build();
    } catch (const std::exception& failure) {
        if (type == declared) {
            errors.add(CifError(error, label + ", of type " + type, failure.what(), line));
        }
        return {};
    }
}

THandle<AtomicDisplacementParameters> atomic_displacement_parameters(const AtomItems& items,
                                                                     int row,
                                                                     const std::string& label,
                                                                     const Cell& cell,
                                                                     CifErrorContainer& errors) {
    const std::string type = row_value(items.displacement_type, row);
    const auto anisotropic_set =
        attempt([&] { return anisotropic(items, label); }, type, "Uani",
                CifError::AnisotropicDisplacementError, label, errors, items.line);
    const auto isotropic_set =
        attempt([&] { return isotropic(items, row, label, cell); }, type, "Uiso",
                CifError::IsotropicDisplacementError, label, errors, items.line);
    const std::string stored = type.empty() ? "missing" : type;
    if (anisotropic_set) {
        if (type != "Uani") {
            errors.add(CifError(CifError::AtomTreatedAnisotropically, label, stored, items.line));
        }
        return anisotropic_set;
    }
    if (isotropic_set && type != "Uiso") {
        errors.add(CifError(CifError::AtomTreatedIsotropically, label, stored, items.line));
    }
    return isotropic_set;
}

// Kept only when within three uncertainties of the range 0 to 1.
UncertainValue occupancy_of(const AtomItems& items, int row) {
    UncertainValue occupancy(1.0, Uncertainty());
    if (!has_row(items.occupancy, row)) return occupancy;
    const std::string text = stripped(items.occupancy->value(row));
    if (cif::detail::is_placeholder(text)) return occupancy;
    const UncertainValue read = parse_uncertain_value(text, occupancy_name);
    const auto possible = Range<double, DoubleComparator>::inclusive(0.0, 1.0, {1e-7});
    return read.range(3.0).overlaps(possible) ? read : occupancy;
}

// The row's coordinates from the given columns; a missing one is the default value.
void read_coordinates(const THandle<CifDataItem> (&columns)[3], const char* const (&names)[3],
                      int row, UncertainValue (&coordinates)[3]) {
    for (int axis = 0; axis < 3; ++axis) {
        if (has_row(columns[axis], row)) {
            coordinates[axis] = parse_uncertain_value(columns[axis]->value(row), names[axis]);
        }
    }
}

// Cartesian coordinates (angstroms, a along x, b in the xy plane, as CIF's default axes are)
// as fractional ones, each s.u. from those of the three it is made of.
void cartesian_to_fractional(const Cell& cell, UncertainValue (&coordinates)[3]) {
    UncertainValue fractional[3];
    for (int i = 0; i < 3; ++i) {
        double value = 0.0;
        double variance = 0.0;
        bool stated = false;
        for (int j = 0; j < 3; ++j) {
            const double weight = cell.fractionalisation()[i][j];
            value += weight * coordinates[j].value();
            variance += std::pow(weight * coordinates[j].uncertainty().value(), 2);
            stated = stated || coordinates[j].uncertainty().given();
        }
        fractional[i] = stated ? UncertainValue(value, Uncertainty(std::sqrt(variance)))
                               : UncertainValue(value);
    }
    std::copy(std::begin(fractional), std::end(fractional), std::begin(coordinates));
}

THandle<Site> site(const AtomItems& items, const Cell& cell, int row, const std::string& label,
                   CifErrorContainer& errors) {
    UncertainValue coordinates[3];
    read_coordinates(items.coordinates, coordinate_names, row, coordinates);
    if (items.cartesian[0] || items.cartesian[1] || items.cartesian[2]) {
        read_coordinates(items.cartesian, cartesian_names, row, coordinates);
        cartesian_to_fractional(cell, coordinates);
    }
    const UncertainValue occupancy = occupancy_of(items, row);
    auto uncertainty = make_handle<Array<Uncertainty, 3>>();
    Site::Point fractional{};
    for (int axis = 0; axis < 3; ++axis) {
        (*uncertainty)[axis] = coordinates[axis].uncertainty();
        fractional[axis] = coordinates[axis].value();
    }
    return make_handle<Site>(fractional, cell.cartesian(fractional), occupancy, uncertainty,
                             atomic_displacement_parameters(items, row, label, cell, errors));
}

THandle<Atom> atom(const AtomItems& items, const Cell& cell, int row, bool protein,
                   CifErrorContainer& errors) {
    const std::string label = row_value(items.label, row);
    std::string type_symbol = stripped(row_value(items.type_symbol, row));
    if (type_symbol.empty()) type_symbol = label;
    std::string symbol = extract_element_symbol(type_symbol);
    if (symbol.empty()) symbol = extract_element_symbol(label);
    if (symbol.size() == 2 && std::tolower(static_cast<unsigned char>(symbol[0])) == 'o' &&
        std::tolower(static_cast<unsigned char>(symbol[1])) == 'w') {
        symbol = "O";  // water oxygen: Ow1
    }
    const Element element(symbol);
    THandle<Atom> result;
    if (protein) {
        const std::string residue =
            row_value(items.label_component_3, row) + ":" + row_value(items.label_component_4, row);
        result = make_handle<FileOrderedProteinAtom>(row, element, label, residue, THandle<Site>());
    } else {
        result = make_handle<FileOrderedAtom3d>(row, element, label, THandle<Site>());
    }
    result->set_symmtag(row);
    result->set_type_symbol(stripped(row_value(items.type_symbol, row)));
    result->set_site(site(items, cell, row, label, errors));
    return result;
}

// Runs `read` for each row, naming the row in any failure.
template <class Read>
void for_each_row(int rows, Read read) {
    for (int row = 0; row < rows; ++row) {
        try {
            read(row);
        } catch (const std::exception& failure) {
            throw std::runtime_error("Failed to read atom " + std::to_string(row) +
                                     " :reason: " + failure.what());
        }
    }
}

THandle<AtomList> atoms(const AtomItems& items, const Cell& cell, CifErrorContainer& errors) {
    auto result = make_handle<AtomList>();
    if (!items.label || !items.label->has_value()) return result;
    const bool protein = items.label_component_3 && items.label_component_4;
    for_each_row(static_cast<int>(items.label->size()),
                 [&](int row) { result->push_back(atom(items, cell, row, protein, errors)); });
    return result;
}

// The disorder group number refinement programs give an atom ("-1", "2"); 0 for none.
int disorder_group_number(const DisorderItems& disorder, int row) {
    bool whole = false;
    const int group = string_to_int(stripped(row_value(disorder.group, row)), whole);
    return whole ? group : 0;
}

// Atoms carry their numeric disorder group, by which the detector keeps alternatives apart,
// and their assembly as the file names it.
void assign_disorder_groups(const AtomList& atoms, const DisorderItems& disorder) {
    for (const THandle<Atom>& atom : atoms) {
        atom->set_disorder_group(disorder_group_number(disorder, atom->index()));
        const std::string assembly = stripped(row_value(disorder.assembly, atom->index()));
        atom->set_disorder_assembly(cif::detail::is_placeholder(assembly) ? "" : assembly);
    }
}

// The first (lowest) positive group of each assembly is its major form; the atoms of its
// other groups are minor alternatives. Groups are numbered within their assembly, so one
// numbered 3 and 4 has 3 as its major form.
void mark_minor_alternatives(const AtomList& atoms) {
    std::map<std::string, int> first_group;  // by assembly, "" for none
    for (const THandle<Atom>& atom : atoms) {
        if (atom->disorder_group() <= 0) continue;
        const auto [entry, added] =
            first_group.emplace(atom->disorder_assembly(), atom->disorder_group());
        if (!added) entry->second = std::min(entry->second, atom->disorder_group());
    }
    for (const THandle<Atom>& atom : atoms) {
        atom->set_minor_alternative(atom->disorder_group() > 0 &&
                                    atom->disorder_group() !=
                                        first_group[atom->disorder_assembly()]);
    }
}

// The position of the text in the list, appending it when new.
int index_in(std::vector<std::string>& texts, const std::string& text) {
    const auto found = std::find(texts.begin(), texts.end(), text);
    if (found != texts.end()) return static_cast<int>(found - texts.begin());
    texts.push_back(text);
    return static_cast<int>(texts.size()) - 1;
}

std::vector<DisorderAtom> disorder_info(const DisorderItems& disorder, const AtomList& atoms) {
    std::vector<std::string> groups{"."}, assemblies{"."};
    std::vector<DisorderAtom> result;
    for_each_row(static_cast<int>(atoms.size()), [&](int row) {
        DisorderAtom entry(atoms[row], 0, 0);
        const bool partial = std::fabs(atoms[row]->site()->occupancy().value() - 1.0) > 1e-7;
        const std::string group =
            disorder.group && partial ? stripped(row_value(disorder.group, row)) : ".";
        entry.group = index_in(groups, group);
        const std::string assembly = entry.group != 0 && disorder.assembly
                                         ? stripped(row_value(disorder.assembly, row))
                                         : ".";
        entry.assembly = index_in(assemblies, assembly);
        result.push_back(entry);
    });
    return result;
}

void debug_line(const std::string& text) {
    VexorLog::start_debug_line(3) << text;
    VexorLog::end_debug_line();
}

THandle<MoleculeList> molecules(const AtomList& atoms, const DisorderItems& disorder,
                                const Cell& cell, BondDetector::DetectionMode detection,
                                BondDetector::RefinementMode refinement) {
    debug_line("CifMolecule::bonds entered");
    if (atoms.empty()) return make_handle<MoleculeList>();
    // Minor alternatives bond to the ordered part they belong to, never to other groups.
    assign_disorder_groups(atoms, disorder);
    mark_minor_alternatives(atoms);
    THandle<MoleculeList> result =
        BondDetector(detection, refinement, BondDistanceLimit::standard()).molecules(atoms, cell);
    debug_line("CifMolecule::bonds finished - found " + std::to_string(result->size()) +
               " molecules");
    return result;
}

// The block's atoms as listed, with its disorder items.
std::pair<DisorderItems, THandle<AtomList>> listed_atoms(THandle<CifDataBlock> block,
                                                         const Cell& cell,
                                                         CifErrorContainer& errors) {
    return {disorder_items(block), atoms(atom_items(block), cell, errors)};
}

struct AtomCompareSymmtag {
    bool operator()(const THandle<Atom>& a, const THandle<Atom>& b) const {
        return a->symmtag() < b->symmtag();
    }
};

// Appends every atom of one molecule, in the molecule's order.
struct CopyAtoms {
    THandle<AtomList> atoms;
    void operator()(const THandle<Molecule>& molecule) const {
        atoms->insert(atoms->end(), molecule->atoms_begin(), molecule->atoms_end());
    }
};

// The columns of the atom loop that some atom has a value for, and the anisotropic loop
// when some atom is anisotropic: nothing is laid out that would stay empty.
struct AtomColumns {
    bool occupancy = false, displacement = false, anisotropic = false, disorder = false;

    explicit AtomColumns(const AtomList& atoms) {
        for (const THandle<Atom>& atom : atoms) {
            const UncertainValue& occupied = atom->site()->occupancy();
            occupancy = occupancy || occupied.value() != 1.0 || occupied.uncertainty().given();
            const THandle<AtomicDisplacementParameters>& u = atom->site()->displacement();
            displacement = displacement || u;
            anisotropic =
                anisotropic || (u && u->type() == AtomicDisplacementParameters::Anisotropic);
            disorder = disorder || atom->disorder_group() != 0;
        }
    }
};

std::string text_or_placeholder(const std::string& text) {
    return text.empty() ? "." : text;
}

// Writes one atom's row: label, type symbol, fractional coordinates, and the occupancy,
// displacement and disorder columns laid out.
struct AddAtom {
    const AtomItems& items;
    const DisorderItems& disorder;
    const Cell& cell;
    void operator()(const THandle<Atom>& atom) const {
        items.label->add_value(atom->label());
        items.type_symbol->add_value(atom->type_symbol().empty()
                                         ? Element::table_[atom->element().index()]
                                         : atom->type_symbol());
        const THandle<Site> site = atom->site();
        const THandle<Array<Uncertainty, 3>> uncertainty = site->uncertainty();
        for (int axis = 0; axis < 3; ++axis) {
            const double value = site->fractional()[axis];
            items.coordinates[axis]->add_value(to_string(
                uncertainty ? UncertainValue(value, (*uncertainty)[axis]) : UncertainValue(value)));
        }
        if (items.occupancy) items.occupancy->add_value(to_string(site->occupancy()));
        if (items.u_iso) add_displacement(*site);
        if (disorder.group) {
            disorder.group->add_value(
                atom->disorder_group() == 0 ? "." : std::to_string(atom->disorder_group()));
            disorder.assembly->add_value(text_or_placeholder(atom->disorder_assembly()));
        }
    }

    // Uiso as given, or Ueq of an anisotropic set (whose components AddAnisotropic writes),
    // with its type.
    void add_displacement(const Site& site) const {
        const THandle<AtomicDisplacementParameters>& u = site.displacement();
        if (!u) {
            items.u_iso->add_value("?");
            items.displacement_type->add_value("?");
            return;
        }
        if (u->type() == AtomicDisplacementParameters::Isotropic) {
            items.u_iso->add_value(to_string(u->stated()[0]));
            items.displacement_type->add_value("Uiso");
            return;
        }
        items.u_iso->add_value(to_string(u->u_equivalent(cell)));
        items.displacement_type->add_value("Uani");
    }
};

// One row of the anisotropic loop, in its column order (U23 before U13 before U12).
struct AddAnisotropic {
    const AtomItems& items;
    void operator()(const THandle<Atom>& atom) const {
        const THandle<AtomicDisplacementParameters>& u = atom->site()->displacement();
        if (!u || u->type() != AtomicDisplacementParameters::Anisotropic) return;
        items.aniso_label->add_value(atom->label());
        for (int k = 0; k < 6; ++k)
            items.aniso[k]->add_value(to_string(u->stated()[k]));
    }
};

}  // namespace

THandle<Molecule> CifMolecule::molecule(THandle<CifDataBlock> block, const Cell& cell,
                                        CifErrorContainer& errors) {
    const auto [disorder, read] = listed_atoms(block, cell, errors);
    const THandle<MoleculeList> parts =
        molecules(*read, disorder, cell, BondDetector::AsListed, BondDetector::DisorderAware);
    auto result = make_handle<Molecule3d>();
    for (const THandle<Molecule>& part : *parts)
        result->add_molecule(*part);
    std::sort(result->atoms_begin(), result->atoms_end(), AtomCompareSymmtag());
    return result;
}

THandle<CrystalMaker> CifMolecule::crystal_maker(THandle<CifDataBlock> block, const Cell& cell,
                                                 CifErrorContainer& errors) {
    const auto [disorder, read] = listed_atoms(block, cell, errors);
    auto maker =
        make_handle<CrystalMaker>(cell,
                                  molecules(*read, disorder, cell, BondDetector::CompleteMolecules,
                                            BondDetector::DisorderAware),
                                  THandle<MoleculeList>(), THandle<MoleculeList>());
    debug_line(
        "CifMolecule::crystal_maker finished - after creating final CrystalMaker, there are " +
        std::to_string(maker->nmolecules()) + " molecules");
    return maker;
}

std::pair<THandle<CrystalMaker>, THandle<std::vector<THandle<DisorderSelector>>>>
CifMolecule::crystal_maker_disorder_selector(THandle<CifDataBlock> block, const Cell& cell,
                                             CifErrorContainer& errors) {
    const auto [disorder, read] = listed_atoms(block, cell, errors);
    // As in the other views, a negative group keeps an atom off its own images.
    assign_disorder_groups(*read, disorder);
    const DisorderAnalyser analyser(disorder_info(disorder, *read), cell);
    auto maker = make_handle<CrystalMaker>(cell, analyser.molecules(), THandle<MoleculeList>(),
                                           THandle<MoleculeList>());
    return {maker, analyser.crystal_disorder_selector()};
}

void CifMolecule::write(THandle<CifDataBlock> block, THandle<MoleculeList> molecules,
                        const Cell& cell) {
    auto gathered = make_handle<AtomList>();
    std::for_each(molecules->begin(), molecules->end(), CopyAtoms{gathered});
    if (gathered->empty()) return;
    // The order of the file they were read from; molecules list theirs molecule by molecule.
    std::stable_sort(gathered->begin(), gathered->end(), AtomCompareSymmtag());
    const AtomColumns laid_out(*gathered);
    std::vector<std::string> columns = {label_name, "_atom_site_type_symbol", coordinate_names[0],
                                        coordinate_names[1], coordinate_names[2]};
    if (laid_out.displacement) columns.insert(columns.end(), {u_iso_name, "_atom_site_adp_type"});
    if (laid_out.occupancy) columns.push_back(occupancy_name);
    if (laid_out.disorder) {
        columns.insert(columns.end(),
                       {"_atom_site_disorder_assembly", "_atom_site_disorder_group"});
    }
    block->create_loop(columns);
    if (laid_out.anisotropic) {
        block->create_loop({"_atom_site_aniso_label", aniso_names[0], aniso_names[1],
                            aniso_names[2], aniso_names[5], aniso_names[4], aniso_names[3]});
    }
    const AtomItems items = atom_items(block);
    std::for_each(gathered->begin(), gathered->end(), AddAtom{items, disorder_items(block), cell});
    std::for_each(gathered->begin(), gathered->end(), AddAnisotropic{items});
}
