// cif-check: reads CIF files, optionally validating them against DDL1 dictionaries and
// checking mandatory items, prints each diagnostic as "FILE: rendered diagnostic" and a
// summary line per file, and optionally writes each document back.
//
//   cif-check [--dict DIC]... [--mandatory] [--publication-items A,B,...]
//             [--structure-items A,B,...] [--consistency] [--atoms] [--write OUT] FILE...
//
// A FILE of - reads standard input.
// Several --dict options make a pool in which the first dictionary defining a name wins.
// --mandatory checks a built-in list for small-molecule structure papers unless lists are
// given. --consistency runs the consistency checker and prints, per block, the cell, the
// space group found from the symmetry items, the computed volume and formula weight beside
// the stated ones, and the calculated density beside the measured one. --atoms prints, per
// block, the number of atoms, the whole molecules with their formulas, and the disorder
// assemblies with their groups. OUT is a file name, or - for standard output. Exits with 1 when any
// file has an Error diagnostic, 2 on bad usage or an unreadable dictionary.
#include <cif/Cif.h>
#include <cif/CifCell.h>
#include <cif/CifConcreteDictionary.h>
#include <cif/CifDictionaryPool.h>
#include <cif/CifMolecule.h>
#include <cif/VexorCifConsistencyChecker.h>
#include <host/CrystalChemicalFormula.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// What a small-molecule structure paper is expected to state.
const Names default_publication_items = {"_publ_section_title", "_journal_name_full",
                                         "_journal_year", "_publ_author_name"};
const Names default_structure_items = {
    "_cell_length_a",    "_cell_length_b",        "_cell_length_c",
    "_cell_angle_alpha", "_cell_angle_beta",      "_cell_angle_gamma",
    "_cell_volume",      "_chemical_formula_sum", "_symmetry_space_group_name_H-M",
    "_atom_site_label",  "_atom_site_fract_x",    "_atom_site_fract_y",
    "_atom_site_fract_z"};

struct Options {
    Names dictionaries;
    bool mandatory = false;
    bool consistency = false;
    bool atoms = false;
    Names publication_items = default_publication_items;
    Names structure_items = default_structure_items;
    std::string write_to;
    Names files;
};

Names split_names(const std::string& text) {
    Names names;
    std::istringstream in(text);
    for (std::string name; std::getline(in, name, ',');) {
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

bool parse_options(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool takes_value = option == "--dict" || option == "--write" ||
                                 option == "--publication-items" || option == "--structure-items";
        if (takes_value && i + 1 == argc) return false;
        if (option == "--dict") {
            options.dictionaries.push_back(argv[++i]);
        } else if (option == "--write") {
            options.write_to = argv[++i];
        } else if (option == "--publication-items") {
            options.publication_items = split_names(argv[++i]);
            options.mandatory = true;
        } else if (option == "--structure-items") {
            options.structure_items = split_names(argv[++i]);
            options.mandatory = true;
        } else if (option == "--mandatory") {
            options.mandatory = true;
        } else if (option == "--consistency") {
            options.consistency = true;
        } else if (option == "--atoms") {
            options.atoms = true;
        } else if (option.compare(0, 2, "--") == 0) {
            return false;
        } else {
            options.files.push_back(option);
        }
    }
    return !options.files.empty();
}

// An empty dictionary, one dictionary, or a pool of several; an empty handle when a
// dictionary file cannot be read.
THandle<CifDictionary> load_dictionaries(const Names& paths) {
    if (paths.empty()) return THandle<CifDictionary>(new CifConcreteDictionary);
    THandle<CifDictionaryPool> pool(new CifDictionaryPool);
    for (const std::string& path : paths) {
        std::ifstream in(path, std::ios::binary);
        THandle<CifErrorContainer> errors(new CifErrorContainer);
        THandle<CifConcreteDictionary> dictionary(new CifConcreteDictionary);
        dictionary->read(in, errors, nullptr);
        for (const CifError& error : *errors)
            std::cerr << path << ": " << error << '\n';
        if (!in.is_open() || errors->errors_of_type(CifError::Error) != 0) {
            std::cerr << "cif-check: cannot use dictionary " << path << '\n';
            return THandle<CifDictionary>();
        }
        pool->insert(dictionary);
    }
    if (pool->size() == 1) return *pool->begin();
    return pool;
}

// The number at the start of an item's value, with its s.u.; false when there is none.
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

// Avogadro's number over 1e24 cubic angstroms per cubic centimetre.
constexpr double grams_per_cm3_per_dalton_per_cubic_angstrom = 1.0 / 0.602214076;

void print_geometry(const std::string& path, THandle<CifDataBlock> block) {
    const std::string prefix = path + ": " + block->name() + ": ";
    CifErrorContainer ignored;
    THandle<Cell> cell;
    try {
        cell = CifCell::read(block, ignored);
    } catch (const std::exception& e) {
        std::cout << prefix << "no cell: " << e.what() << '\n';
        return;
    }
    const UncertainValue volume = cell->volume_with_uncertainty();
    std::cout << prefix << "cell " << text_of(cell->a()) << ' ' << text_of(cell->b()) << ' '
              << text_of(cell->c()) << ' ' << block->value("_cell_angle_alpha") << ' '
              << block->value("_cell_angle_beta") << ' ' << block->value("_cell_angle_gamma")
              << ", space group " << cell->spacegroup().name_space_separated() << " (number "
              << cell->spacegroup().number() << "), volume " << text_of(volume);
    UncertainValue stated_volume;
    if (stated(*block, "_cell_volume", stated_volume)) {
        std::cout << " (stated " << text_of(stated_volume) << ')';
        // Three s.u., or half the last digit stated when there is none.
        const double rounding =
            0.5 * std::pow(10.0, -std::max(0, stated_volume.uncertainty().decimals()));
        const double allowed = std::max(
            3 * std::max(stated_volume.uncertainty().value(), volume.uncertainty().value()),
            rounding);
        if (std::fabs(stated_volume.value() - volume.value()) > allowed) {
            std::cout << " DIFFERS by more than three s.u.";
        }
    }
    std::cout << '\n';
    THandle<CifDataItem> sum = block->find("_chemical_formula_sum");
    if (!sum || !sum->has_significant_value()) return;
    const double weight = CrystalChemicalFormula(sum->value(), false).molecular_weight_sum();
    std::cout << prefix << "formula weight " << weight << " (stated "
              << block->value("_chemical_formula_weight") << ')';
    UncertainValue z, density;
    if (stated(*block, "_cell_formula_units_Z", z) &&
        stated(*block, "_exptl_crystal_density_diffrn", density)) {
        const double calculated =
            z.value() * weight / volume.value() * grams_per_cm3_per_dalton_per_cubic_angstrom;
        std::ostringstream value;
        value << std::fixed << std::setprecision(3) << calculated;
        std::cout << ", density " << value.str() << " g/cm3 (stated " << text_of(density) << ')';
    }
    std::cout << '\n';
}

// The selected view of the maker, as a list.
std::vector<THandle<Molecule>> molecules_of(const CrystalMaker& maker) {
    std::vector<THandle<Molecule>> molecules;
    for (int i = 0; i < maker.nmolecules(); ++i)
        molecules.push_back(maker.molecule(i));
    return molecules;
}

void print_atoms(const std::string& path, THandle<CifDataBlock> block) {
    const std::string prefix = path + ": " + block->name() + ": ";
    CifErrorContainer remarks;
    try {
        const THandle<Cell> cell = CifCell::read(block, remarks);
        const THandle<Molecule> all = CifMolecule::molecule(block, *cell, remarks);
        const THandle<CrystalMaker> maker = CifMolecule::crystal_maker(block, *cell, remarks);
        std::cout << prefix << all->natoms() << " atoms, " << maker->nmolecules()
                  << " molecules: " << counted_formulas(molecules_of(*maker)) << '\n';
        const auto selectors =
            CifMolecule::crystal_maker_disorder_selector(block, *cell, remarks).second;
        for (const THandle<DisorderSelector>& selector : *selectors) {
            std::cout << prefix << "disorder assembly " << selector->assembly() << ", groups";
            for (int group : selector->groups())
                std::cout << ' ' << group << " (" << selector->atoms(group).size() << " atoms)";
            std::cout << '\n';
        }
    } catch (const std::exception& e) {
        std::cout << prefix << "no atoms: " << e.what() << '\n';
    }
}

void print_summary(const std::string& path, const Cif& cif) {
    std::size_t items = 0;
    std::size_t loops = 0;
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        items += (*block)->item_count();
        loops +=
            static_cast<std::size_t>(std::distance((*block)->begin_loops(), (*block)->end_loops()));
    }
    const CifErrorContainer& errors = *cif.errors();
    std::cout << path << ": " << cif.blocks() << " blocks, " << items << " items, " << loops
              << " loops, " << errors.errors_of_type(CifError::Error) << " errors, "
              << errors.errors_of_type(CifError::Warning) << " warnings, "
              << errors.errors_of_type(CifError::Remark) << " remarks\n";
}

bool write_document(const Cif& cif, const std::string& target) {
    if (target == "-") {
        cif.write(std::cout, CifWriteSettings());
        return std::cout.good();
    }
    std::ofstream out(target, std::ios::binary);
    cif.write(out, CifWriteSettings());
    return out.good();
}

// Returns false when the file has an Error diagnostic or cannot be written back.
bool check(const std::string& path, THandle<CifDictionary> dictionary, const Options& options) {
    THandle<Cif> document(new Cif(dictionary));
    Cif& cif = *document;
    if (path == "-") {
        cif.read(std::cin, CifParserSettings());
    } else {
        std::ifstream in(path, std::ios::binary);
        cif.read(in, CifParserSettings());
    }
    if (options.mandatory) cif.check_mandatory(options.publication_items, options.structure_items);
    if (options.consistency) VexorCifConsistencyChecker(document).check_cif();
    for (const CifError& error : *cif.errors())
        std::cout << path << ": " << error << '\n';
    if (options.consistency) {
        for (auto block = cif.block_begin(); block != cif.block_end(); ++block)
            print_geometry(path, *block);
    }
    if (options.atoms) {
        for (auto block = cif.block_begin(); block != cif.block_end(); ++block)
            print_atoms(path, *block);
    }
    print_summary(path, cif);
    if (!options.write_to.empty() && !write_document(cif, options.write_to)) {
        std::cerr << "cif-check: cannot write " << options.write_to << '\n';
        return false;
    }
    return cif.errors()->errors_of_type(CifError::Error) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::cerr
            << "usage: cif-check [--dict DIC]... [--mandatory] [--publication-items A,B,...]\n"
               "                 [--structure-items A,B,...] [--consistency] [--atoms]\n"
               "                 [--write OUT] FILE...\n"
               "FILE may be - for standard input.\n";
        return 2;
    }
    THandle<CifDictionary> dictionary = load_dictionaries(options.dictionaries);
    if (!dictionary) return 2;
    bool clean = true;
    for (const std::string& file : options.files)
        clean = check(file, dictionary, options) && clean;
    return clean ? 0 : 1;
}
