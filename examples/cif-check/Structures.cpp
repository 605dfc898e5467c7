#include "Structures.h"

#include <cif/CifCell.h>
#include <cif/CifConcreteDictionary.h>
#include <cif/CifDictionaryPool.h>
#include <cif/CifMolecule.h>
#include <host/CrystalChemicalFormula.h>
#include <host/InputFile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <ostream>
#include <sstream>

namespace check {

namespace fs = std::filesystem;

namespace {

// Where the IUCr dictionaries are: installed beside the program, installed where it was
// built to go, or in the source tree of a program run from its build folder.
std::vector<fs::path> dictionary_folders() {
    std::vector<fs::path> folders;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) folders.push_back(program.parent_path().parent_path() / "share/cif/dict");
    folders.emplace_back(CIF_CHECK_INSTALLED_DICTIONARIES);
    folders.emplace_back(CIF_CHECK_SOURCE_DICTIONARIES);
    return folders;
}

// A dictionary file by path, short name ("core") or file name ("cif_pd.dic").
std::string dictionary_path(const std::string& name) {
    static const std::map<std::string, std::string> short_names = {
        {"core", "cif_core.dic"},
        {"pd", "cif_pd.dic"},
        {"ms", "cif_ms.dic"},
        {"rho", "cif_rho.dic"},
        {"twinning", "cif_twinning.dic"},
        {"restraints", "cif_core_restraints.dic"},
        {"ddl", "ddl_core.dic"}};
    std::error_code error;
    if (fs::exists(name, error)) return name;
    const auto known = short_names.find(name);
    const std::string file = known == short_names.end() ? name : known->second;
    if (fs::path(file).has_parent_path()) return name;
    for (const fs::path& folder : dictionary_folders()) {
        if (fs::exists(folder / file, error)) return (folder / file).string();
    }
    return name;
}

// The dictionary, or an empty handle after saying why it cannot be used.
THandle<CifConcreteDictionary> load_dictionary(const std::string& name, std::ostream* messages) {
    const std::string path = dictionary_path(name);
    InputFile file(path);
    if (!file.is_open()) {
        if (messages) *messages << "cif-check: dictionary " << name << ": " << file.error() << '\n';
        return THandle<CifConcreteDictionary>();
    }
    THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
    errors->ignore_error(CifError::LineTooLong);  // CIF 1.1 allows 2048; dictionaries use it
    THandle<CifConcreteDictionary> dictionary = make_handle<CifConcreteDictionary>();
    dictionary->read(file.stream(), errors, nullptr);
    if (messages) {
        for (const CifError& error : *errors)
            *messages << path << ": " << error << '\n';
    }
    Names categories;
    dictionary->category_list(categories);
    if (!categories.empty()) return dictionary;
    // Checking against a dictionary that defines nothing would pass every value.
    if (messages) *messages << "cif-check: dictionary " << path << " defines nothing\n";
    return THandle<CifConcreteDictionary>();
}

// The number an item states, with its s.u.; false when there is none.
bool stated(const CifDataBlock& block, const std::string& name, UncertainValue& value) {
    if (!block.has_value(name)) return false;
    std::istringstream in(block.value(name));
    value.parse(in);
    return !in.fail();
}

std::string text_of(const UncertainValue& value) {
    std::ostringstream out;
    value.print(out);
    return out.str();
}

// How far a stated value may be off: its s.u. when given, else half its last digit.
double spread_of(const UncertainValue& value) {
    const Uncertainty& u = value.uncertainty();
    if (u.given() && u.value() > 0) return u.value();
    return 0.5 * std::pow(10.0, -std::max(0, u.decimals()));
}

constexpr double degrees = 3.14159265358979323846 / 180;

double volume_of(const std::array<double, 6>& p) {
    const double ca = std::cos(p[3] * degrees), cb = std::cos(p[4] * degrees),
                 cg = std::cos(p[5] * degrees);
    return p[0] * p[1] * p[2] *
           std::sqrt(std::max(0.0, 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg));
}

const char* const cell_items[6] = {"_cell_length_a",    "_cell_length_b",   "_cell_length_c",
                                   "_cell_angle_alpha", "_cell_angle_beta", "_cell_angle_gamma"};

// The volume the stated cell gives, and how far it may be off: each parameter's spread
// carried through linearly.
bool stated_cell_volume(const CifDataBlock& block, double& volume, double& spread) {
    std::array<double, 6> parameters{}, spreads{};
    for (int i = 0; i < 6; ++i) {
        UncertainValue value(i < 3 ? 0.0 : 90.0);
        if (!stated(block, cell_items[i], value) && i < 3) return false;
        parameters[i] = value.value();
        spreads[i] = block.has_value(cell_items[i]) ? spread_of(value) : 0.0;
    }
    volume = volume_of(parameters);
    spread = 0;
    for (int i = 0; i < 6; ++i) {
        std::array<double, 6> moved = parameters;
        moved[i] += spreads[i];
        spread += std::fabs(volume_of(moved) - volume);
    }
    return true;
}

// "R 3: the operators match no tabulated group; 2 are not among those of R 3 (146):
// x+2/3,y+1/3,z+1/3 ..." for a group found from operators that match none.
std::string unmatched_operators(const Spacegroup& found) {
    if (found.number() != 0) return "";
    const Spacegroup named(found.name(), -1, Spacegroup::System(0));
    std::string text = "; its operators match no tabulated group";
    if (named.number() <= 0) return text;
    std::string outside;
    for (const CrystalSymmetryOperator& op : found.operators()) {
        const auto& all = named.operators();
        if (std::find(all.begin(), all.end(), op) == all.end()) outside += " " + op.to_string();
    }
    if (outside.empty()) return text + " (those of " + named.name_space_separated() + " and more)";
    return text + "; not among those of " + named.name_space_separated() + " (number " +
           std::to_string(named.number()) + "):" + outside;
}

std::string angles_of(const CifDataBlock& block) {
    return block.value("_cell_angle_alpha") + ' ' + block.value("_cell_angle_beta") + ' ' +
           block.value("_cell_angle_gamma");
}

std::string volume_note(const CifDataBlock& block, const UncertainValue& volume) {
    std::string text = ", volume " + text_of(volume);
    UncertainValue stated_volume;
    double from_cell = 0, cell_spread = 0;
    if (!stated(block, "_cell_volume", stated_volume) ||
        !stated_cell_volume(block, from_cell, cell_spread)) {
        return text;
    }
    text += " (stated " + text_of(stated_volume) + ")";
    const double difference = std::fabs(stated_volume.value() - from_cell);
    const double allowed = 3 * (spread_of(stated_volume) + cell_spread);
    if (difference > allowed) {
        std::ostringstream out;
        out << std::setprecision(3) << " DIFFERS by " << difference << ", more than " << allowed
            << " (three times the s.u. or last-digit rounding of the cell and the volume)";
        text += out.str();
    }
    return text;
}

}  // namespace

THandle<CifDictionary> load_dictionaries(const Names& names, std::ostream* messages) {
    if (names.empty()) return make_handle<CifConcreteDictionary>();
    THandle<CifDictionaryPool> pool = make_handle<CifDictionaryPool>();
    for (const std::string& name : names) {
        THandle<CifConcreteDictionary> dictionary = load_dictionary(name, messages);
        if (!dictionary) return THandle<CifDictionary>();
        pool->insert(dictionary);
    }
    if (pool->size() == 1) return *pool->begin();
    return pool;
}

void add_geometry_notes(const THandle<CifDataBlock>& block, Report& report) {
    const auto note = [&](const std::string& text) {
        report.notes.push_back({"consistency", block->name(), text});
    };
    CifErrorContainer ignored;
    THandle<Cell> cell;
    try {
        cell = CifCell::read(block, ignored);
    } catch (const std::exception& e) {
        note(std::string("no cell: ") + e.what());
        return;
    }
    const Spacegroup& group = cell->spacegroup();
    note("cell " + text_of(cell->a()) + ' ' + text_of(cell->b()) + ' ' + text_of(cell->c()) + ' ' +
         angles_of(*block) + ", space group " + group.name_space_separated() + " (number " +
         std::to_string(group.number()) + ")" + unmatched_operators(group) +
         volume_note(*block, cell->volume_with_uncertainty()));
    THandle<CifDataItem> sum = block->find("_chemical_formula_sum");
    if (!sum || !sum->has_significant_value()) return;
    const double weight = CrystalChemicalFormula(sum->value(), false).molecular_weight_sum();
    std::ostringstream text;
    text << "formula weight " << weight << " (stated " << block->value("_chemical_formula_weight")
         << ')';
    UncertainValue z, density;
    if (stated(*block, "_cell_formula_units_Z", z) &&
        stated(*block, "_exptl_crystal_density_diffrn", density)) {
        // Avogadro's number over 1e24 cubic angstroms per cubic centimetre.
        const double per_dalton = 1.0 / 0.602214076;
        const double calculated =
            z.value() * weight / cell->volume_with_uncertainty().value() * per_dalton;
        text << ", density " << std::fixed << std::setprecision(3) << calculated
             << " g/cm3 (stated " << text_of(density) << ')';
    }
    note(text.str());
}

void add_atom_notes(const THandle<CifDataBlock>& block, Report& report) {
    const auto note = [&](const std::string& text) {
        report.notes.push_back({"atoms", block->name(), text});
    };
    CifErrorContainer remarks;
    try {
        const THandle<Cell> cell = CifCell::read(block, remarks);
        const THandle<Molecule> all = CifMolecule::molecule(block, *cell, remarks);
        const THandle<CrystalMaker> maker = CifMolecule::crystal_maker(block, *cell, remarks);
        note(std::to_string(all->natoms()) + " atoms, " + std::to_string(maker->nmolecules()) +
             " molecules: " + counted_formulas(*maker->molecules()));
        const auto selectors =
            CifMolecule::crystal_maker_disorder_selector(block, *cell, remarks).second;
        for (const THandle<DisorderSelector>& selector : *selectors) {
            std::string text =
                "disorder assembly " + std::to_string(selector->assembly()) + ", groups";
            for (int group : selector->groups())
                text += ' ' + std::to_string(group) + " (" +
                        std::to_string(selector->atoms(group).size()) + " atoms)";
            note(text);
        }
    } catch (const std::exception& e) {
        note(std::string("no atoms: ") + e.what());
    }
}

namespace {

// The publication of an entry: its record when the entry has one, else the journal items of
// its block in the file.
std::string publication_of(const CifDatabase& database, int index,
                           const CrystalStructureDatabaseEntry& entry) {
    std::string text;
    const auto add = [&text](const std::string& part) {
        if (!part.empty()) text += (text.empty() ? "" : " ") + part;
    };
    if (const THandle<Publication> publication = entry.publication()) {
        add(publication->journal().full_name());
        add(publication->volume());
        if (publication->year() != 0) add("(" + std::to_string(publication->year()) + ")");
        add(publication->first_page());
    }
    if (text.empty()) {
        const THandle<CifDataBlock> block = database.data_block(index);
        for (const char* name :
             {"_journal_name_full", "_journal_volume", "_journal_year", "_journal_page_first"}) {
            if (block->has_value(name)) add(block->value(name));
        }
    }
    return text.empty() ? "none stated" : text;
}

std::string entry_structure(const CifDatabase& database, int index,
                            const CrystalStructureDatabaseEntry& entry) {
    try {
        const THandle<CrystalMaker> maker = entry.crystal_maker();  // reads the cell too
        const Cell& cell = maker->cell();
        const THandle<std::vector<THandle<Molecule>>> whole = maker->molecules();
        maker->select_3d();
        const THandle<std::vector<THandle<Molecule>>> listed = maker->molecules();
        int atoms = 0;
        for (const THandle<Molecule>& molecule : *listed)
            atoms += molecule->natoms();
        const CifDataBlock& block = *database.data_block(index);
        const std::string sum = block.value("_chemical_formula_sum");
        return "cell " + text_of(cell.a()) + ' ' + text_of(cell.b()) + ' ' + text_of(cell.c()) +
               ' ' + angles_of(block) + ", " + cell.spacegroup().name_space_separated() +
               ", formula " + (sum.empty() ? "not stated" : sum) + ", " + std::to_string(atoms) +
               " atoms, " + std::to_string(whole->size()) + " molecules (" +
               counted_formulas(*whole) + ")";
    } catch (const std::exception& e) {
        return std::string("no structure: ") + e.what();
    }
}

}  // namespace

void add_entry_notes(const CifDatabase& database, Report& report) {
    for (int i = 0; i < database.size(); ++i) {
        const std::string id = database.identifier(i).str();
        const THandle<CrystalStructureDatabaseEntry> entry = database.entry(i);
        report.notes.push_back({"summary", id, entry_structure(database, i, *entry)});
        report.notes.push_back(
            {"summary", id, "publication " + publication_of(database, i, *entry)});
    }
}

namespace {

// The identifier, or the first of id_2, id_3, ... that the database does not hold yet:
// files of one batch often share block names. The suffix stays within the longest identifier.
DatabaseEntryIdentifier unique_identifier(const CifDatabase& database,
                                          const DatabaseEntryIdentifier& id) {
    DatabaseEntryIdentifier unique = id;
    for (int n = 2; database.identifier_exists(unique); ++n) {
        const std::string suffix = "_" + std::to_string(n);
        const std::size_t room = DatabaseEntryIdentifier::maximum_length_ - suffix.size();
        unique = database.normalise_identifier(id.str().substr(0, room) + suffix);
    }
    return unique;
}

}  // namespace

bool Converter::add(const Report& report) {
    if (!report.database) return true;
    bool clean = true;
    const CifDatabase& database = *report.database;
    for (int e = 0; e < database.size(); ++e) {
        try {
            const THandle<CrystalStructureDatabaseEntry> entry = database.entry(e);
            const DatabaseEntryIdentifier id = unique_identifier(converted_, entry->identifier());
            if (id != entry->identifier()) {
                messages_ << report.path << ": " << entry->identifier()
                          << ": identifier taken by an earlier entry; written as " << id << '\n';
            }
            converted_.append(*entry, id);
        } catch (const std::exception& failure) {
            messages_ << report.path << ": " << database.identifier(e)
                      << ": cannot convert: " << failure.what() << '\n';
            clean = false;
        }
    }
    return clean;
}

bool Converter::write(const std::string& target) {
    if (converted_.size() == 0) {
        messages_ << "cif-check: no structure to convert\n";
        return false;
    }
    if (target == "-") {
        converted_.print(std::cout);
        return std::cout.good();
    }
    std::ofstream out(target, std::ios::binary);
    converted_.print(out);
    if (!out.good()) messages_ << "cif-check: cannot write " << target << '\n';
    return out.good();
}

}  // namespace check
