// cif-check: checks CIF files, summarises the structures they hold and converts them through
// the database. Run `cif-check --help` for the options.
#include <cif/Cif.h>
#include <cif/CifCell.h>
#include <cif/CifConcreteDictionary.h>
#include <cif/CifDatabase.h>
#include <cif/CifDictionaryPool.h>
#include <cif/CifDictionaryRuleChecker.h>
#include <cif/CifMolecule.h>
#include <cif/VexorCifConsistencyChecker.h>
#include <host/CrystalChemicalFormula.h>
#include <host/VexorLog.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const char* const usage =
    "usage: cif-check [OPTION]... FILE...\n"
    "Checks CIF files and prints each diagnostic as \"FILE: diagnostic\" and a summary line\n"
    "per file. A FILE of - reads standard input; a directory stands for the .cif files in it\n"
    "and below it.\n"
    "\n"
    "Checking:\n"
    "  --dict DIC             validate values against a DDL1 dictionary; several make a pool\n"
    "                         in which the first dictionary defining a name wins. Lines over\n"
    "                         80 characters are accepted; a dictionary that defines nothing\n"
    "                         (unreadable, or with a syntax error) stops the program\n"
    "  --mandatory            report missing publication and structure items (a built-in\n"
    "                         list for small-molecule papers unless the next two are given)\n"
    "  --publication-items A,B,...  --structure-items A,B,...\n"
    "  --rules                check the dictionary's rules on structure: looped and unlooped\n"
    "                         items, mandatory and referenced loop items, repeated keys,\n"
    "                         values without a parent value, loops mixing categories\n"
    "  --consistency          run the consistency checks and print, per block, the cell, the\n"
    "                         space group found from the symmetry, the volume, formula weight\n"
    "                         and density beside the stated ones\n"
    "Summarising:\n"
    "  --summary              per structure: identifier, cell, space group, formula, atoms,\n"
    "                         molecules and publication\n"
    "  --atoms                per block: atoms, whole molecules with their formulas, disorder\n"
    "Converting:\n"
    "  --write OUT            write each document back as read (OUT a file, or - for\n"
    "                         standard output)\n"
    "  --convert OUT          read the structures of every FILE as database entries and write\n"
    "                         them as one new CIF through the database (with OUT -, the\n"
    "                         reports go to standard error)\n"
    "Batches:\n"
    "  --jobs N               files checked at once (default: the processor count); with\n"
    "                         several files a table of them ends the output\n"
    "  --help                 this text\n"
    "\n"
    "Exit status: 0 when every file reads without an Error diagnostic, 1 otherwise (a file\n"
    "that cannot be read, a structure that cannot be converted), 2 on bad usage or an\n"
    "unusable dictionary.\n";

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
    bool rules = false;
    bool atoms = false;
    bool summary = false;
    bool help = false;
    Names publication_items = default_publication_items;
    Names structure_items = default_structure_items;
    std::string write_to;
    std::string convert_to;
    unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
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

// The switch an option without a value turns on; none for any other text.
bool Options::*flag_of(const std::string& option) {
    static const std::pair<const char*, bool Options::*> flags[] = {
        {"--mandatory", &Options::mandatory}, {"--consistency", &Options::consistency},
        {"--rules", &Options::rules},         {"--atoms", &Options::atoms},
        {"--summary", &Options::summary},     {"--help", &Options::help}};
    for (const auto& [name, flag] : flags) {
        if (option == name) return flag;
    }
    return nullptr;
}

bool parse_options(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool takes_value = option == "--dict" || option == "--write" ||
                                 option == "--convert" || option == "--jobs" ||
                                 option == "--publication-items" || option == "--structure-items";
        if (takes_value && i + 1 == argc) return false;
        if (option == "--dict") {
            options.dictionaries.push_back(argv[++i]);
        } else if (option == "--write") {
            options.write_to = argv[++i];
        } else if (option == "--convert") {
            options.convert_to = argv[++i];
        } else if (option == "--jobs") {
            const int jobs = std::atoi(argv[++i]);
            if (jobs < 1) return false;
            options.jobs = static_cast<unsigned>(jobs);
        } else if (option == "--publication-items") {
            options.publication_items = split_names(argv[++i]);
            options.mandatory = true;
        } else if (option == "--structure-items") {
            options.structure_items = split_names(argv[++i]);
            options.mandatory = true;
        } else if (bool Options::*flag = flag_of(option)) {
            options.*flag = true;
        } else if (option.compare(0, 2, "--") == 0) {
            return false;
        } else {
            options.files.push_back(option);
        }
    }
    return options.help || !options.files.empty();
}

// The files named, a directory standing for its .cif files (sorted, at any depth).
Names expand_directories(const Names& paths) {
    Names files;
    for (const std::string& path : paths) {
        std::error_code error;
        if (path == "-" || !fs::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        Names found;
        for (fs::recursive_directory_iterator entry(path, error), end; !error && entry != end;
             entry.increment(error)) {
            if (entry->is_regular_file(error) && entry->path().extension() == ".cif") {
                found.push_back(entry->path().string());
            }
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

// An empty dictionary, one dictionary, or a pool of several; an empty handle when a
// dictionary file cannot be used. Lines over 80 characters (CIF 1.1 allows 2048) do not keep
// a dictionary from loading; a dictionary that still loads empty (a syntax error, a missing
// file) is refused, since checking against it would pass every value. The converter's
// messages leave a dictionary usable; they and the refusals are written to `report` when
// it is given.
THandle<CifDictionary> load_dictionaries(const Names& paths, std::ostream* report) {
    if (paths.empty()) return make_handle<CifConcreteDictionary>();
    THandle<CifDictionaryPool> pool = make_handle<CifDictionaryPool>();
    for (const std::string& path : paths) {
        std::ifstream in(path, std::ios::binary);
        THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
        errors->ignore_error(CifError::LineTooLong);
        THandle<CifConcreteDictionary> dictionary = make_handle<CifConcreteDictionary>();
        dictionary->read(in, errors, nullptr);
        if (report) {
            for (const CifError& error : *errors)
                *report << path << ": " << error << '\n';
        }
        Names categories;
        dictionary->category_list(categories);
        if (categories.empty()) {
            if (report) {
                *report << "cif-check: dictionary " << path
                        << " defines nothing; no file is checked against it\n";
            }
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

void print_geometry(std::ostream& out, const std::string& path, THandle<CifDataBlock> block) {
    const std::string prefix = path + ": " + block->name() + ": ";
    CifErrorContainer ignored;
    THandle<Cell> cell;
    try {
        cell = CifCell::read(block, ignored);
    } catch (const std::exception& e) {
        out << prefix << "no cell: " << e.what() << '\n';
        return;
    }
    const UncertainValue volume = cell->volume_with_uncertainty();
    out << prefix << "cell " << text_of(cell->a()) << ' ' << text_of(cell->b()) << ' '
        << text_of(cell->c()) << ' ' << block->value("_cell_angle_alpha") << ' '
        << block->value("_cell_angle_beta") << ' ' << block->value("_cell_angle_gamma")
        << ", space group " << cell->spacegroup().name_space_separated() << " (number "
        << cell->spacegroup().number() << "), volume " << text_of(volume);
    UncertainValue stated_volume;
    if (stated(*block, "_cell_volume", stated_volume)) {
        out << " (stated " << text_of(stated_volume) << ')';
        // Three s.u., or half the last digit stated when there is none.
        const double rounding =
            0.5 * std::pow(10.0, -std::max(0, stated_volume.uncertainty().decimals()));
        const double allowed = std::max(
            3 * std::max(stated_volume.uncertainty().value(), volume.uncertainty().value()),
            rounding);
        if (std::fabs(stated_volume.value() - volume.value()) > allowed) {
            out << " DIFFERS by more than three s.u.";
        }
    }
    out << '\n';
    THandle<CifDataItem> sum = block->find("_chemical_formula_sum");
    if (!sum || !sum->has_significant_value()) return;
    const double weight = CrystalChemicalFormula(sum->value(), false).molecular_weight_sum();
    out << prefix << "formula weight " << weight << " (stated "
        << block->value("_chemical_formula_weight") << ')';
    UncertainValue z, density;
    if (stated(*block, "_cell_formula_units_Z", z) &&
        stated(*block, "_exptl_crystal_density_diffrn", density)) {
        const double calculated =
            z.value() * weight / volume.value() * grams_per_cm3_per_dalton_per_cubic_angstrom;
        std::ostringstream value;
        value << std::fixed << std::setprecision(3) << calculated;
        out << ", density " << value.str() << " g/cm3 (stated " << text_of(density) << ')';
    }
    out << '\n';
}

void print_atoms(std::ostream& out, const std::string& path, THandle<CifDataBlock> block) {
    const std::string prefix = path + ": " + block->name() + ": ";
    CifErrorContainer remarks;
    try {
        const THandle<Cell> cell = CifCell::read(block, remarks);
        const THandle<Molecule> all = CifMolecule::molecule(block, *cell, remarks);
        const THandle<CrystalMaker> maker = CifMolecule::crystal_maker(block, *cell, remarks);
        out << prefix << all->natoms() << " atoms, " << maker->nmolecules()
            << " molecules: " << counted_formulas(*maker->molecules()) << '\n';
        const auto selectors =
            CifMolecule::crystal_maker_disorder_selector(block, *cell, remarks).second;
        for (const THandle<DisorderSelector>& selector : *selectors) {
            out << prefix << "disorder assembly " << selector->assembly() << ", groups";
            for (int group : selector->groups())
                out << ' ' << group << " (" << selector->atoms(group).size() << " atoms)";
            out << '\n';
        }
    } catch (const std::exception& e) {
        out << prefix << "no atoms: " << e.what() << '\n';
    }
}

// The publication of an entry: its record when the entry has one, else the journal items of
// its block in the file.
std::string publication_of(const CifDatabase& database, int index,
                           const CrystalStructureDatabaseEntry& entry) {
    std::string text;
    if (const THandle<Publication> publication = entry.publication()) {
        text = publication->journal().full_name() + " " + publication->volume() + " (" +
               std::to_string(publication->year()) + ") " + publication->first_page();
    } else {
        const THandle<CifDataBlock> block = database.data_block(index);
        for (const char* name :
             {"_journal_name_full", "_journal_volume", "_journal_year", "_journal_page_first"}) {
            if (block->has_value(name)) text += (text.empty() ? "" : " ") + block->value(name);
        }
    }
    return text.empty() ? "none stated" : text;
}

std::string formula_sum_of(const CifDataBlock& block) {
    const std::string sum = block.value("_chemical_formula_sum");
    return sum.empty() ? "not stated" : sum;
}

struct Counts {
    unsigned entries = 0;
    unsigned atoms = 0;
    unsigned molecules = 0;
};

void print_entry(std::ostream& out, const std::string& path, const CifDatabase& database, int index,
                 Counts& counts) {
    const std::string prefix = path + ": " + database.identifier(index).str() + ": ";
    const THandle<CrystalStructureDatabaseEntry> entry = database.entry(index);
    try {
        const THandle<CrystalMaker> maker = entry->crystal_maker();  // reads the cell too
        const Cell& cell = maker->cell();
        const THandle<std::vector<THandle<Molecule>>> whole = maker->molecules();
        maker->select_3d();
        const THandle<std::vector<THandle<Molecule>>> listed = maker->molecules();
        int atoms = 0;
        for (const THandle<Molecule>& molecule : *listed)
            atoms += molecule->natoms();
        out << prefix << "cell " << text_of(cell.a()) << ' ' << text_of(cell.b()) << ' '
            << text_of(cell.c()) << ", " << cell.spacegroup().name_space_separated() << ", formula "
            << formula_sum_of(*database.data_block(index)) << ", " << atoms << " atoms, "
            << whole->size() << " molecules (" << counted_formulas(*whole) << ")\n";
        counts.atoms += atoms;
        counts.molecules += static_cast<unsigned>(whole->size());
    } catch (const std::exception& e) {
        out << prefix << "no structure: " << e.what() << '\n';
    }
    out << prefix << "publication " << publication_of(database, index, *entry) << '\n';
    ++counts.entries;
}

// Everything said about one file, kept until it is printed in order.
struct FileReport {
    std::string text;
    unsigned blocks = 0, errors = 0, warnings = 0;
    Counts counts;
    bool clean = true;
    THandle<CifDatabase> database;  // its structures, for conversion
};

void print_document_summary(std::ostream& out, const std::string& path, const Cif& cif) {
    std::size_t items = 0;
    std::size_t loops = 0;
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        items += (*block)->item_count();
        loops +=
            static_cast<std::size_t>(std::distance((*block)->begin_loops(), (*block)->end_loops()));
    }
    const CifErrorContainer& errors = *cif.errors();
    out << path << ": " << cif.blocks() << " blocks, " << items << " items, " << loops << " loops, "
        << errors.errors_of_type(CifError::Error) << " errors, "
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

FileReport check(const std::string& path, THandle<CifDictionary> dictionary,
                 const Options& options) {
    FileReport report;
    std::ostringstream out;
    THandle<Cif> document = make_handle<Cif>(dictionary);
    Cif& cif = *document;
    if (path == "-") {
        cif.read(std::cin, CifParserSettings());
    } else {
        std::ifstream in(path, std::ios::binary);
        cif.read(in, CifParserSettings());
    }
    if (options.mandatory) cif.check_mandatory(options.publication_items, options.structure_items);
    if (options.consistency) VexorCifConsistencyChecker(document).check_cif();
    if (options.rules) CifDictionaryRuleChecker(document).check();
    for (const CifError& error : *cif.errors())
        out << path << ": " << error << '\n';
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        if (options.consistency) print_geometry(out, path, *block);
        if (options.atoms) print_atoms(out, path, *block);
    }
    print_document_summary(out, path, cif);
    report.blocks = cif.blocks();
    report.errors = cif.errors()->errors_of_type(CifError::Error);
    report.warnings = cif.errors()->errors_of_type(CifError::Warning);
    report.clean = report.errors == 0;
    if (options.summary || !options.convert_to.empty()) {
        try {
            report.database = make_handle<CifDatabase>(document);
            for (int i = 0; options.summary && i < report.database->size(); ++i)
                print_entry(out, path, *report.database, i, report.counts);
        } catch (const database_error& e) {
            out << path << ": not a database: " << e.what() << '\n';
            report.clean = false;
        }
    }
    if (!options.write_to.empty() && !write_document(cif, options.write_to)) {
        out << "cif-check: cannot write " << options.write_to << '\n';
        report.clean = false;
    }
    report.text = out.str();
    return report;
}

// Checks the files on several threads, each with its own dictionary and documents (a
// document and its dictionary belong to one thread at a time; the calling thread uses the
// one loaded already); reports keep file order.
std::vector<FileReport> check_all(const Names& files, THandle<CifDictionary> loaded,
                                  const Options& options) {
    std::vector<FileReport> reports(files.size());
    std::atomic<std::size_t> next{0};
    auto work = [&](THandle<CifDictionary> dictionary) {
        for (std::size_t i = next++; i < files.size(); i = next++)
            reports[i] = check(files[i], dictionary, options);
    };
    const unsigned threads = static_cast<unsigned>(
        std::min<std::size_t>(options.jobs, files.size() > 0 ? files.size() : 1));
    std::vector<std::thread> pool;
    // Standard input and output are not shared between threads.
    for (unsigned t = 1; t < threads && options.write_to != "-"; ++t)
        pool.emplace_back([&] { work(load_dictionaries(options.dictionaries, nullptr)); });
    work(loaded);
    for (std::thread& thread : pool)
        thread.join();
    return reports;
}

void print_table(std::ostream& out, const Names& files, const std::vector<FileReport>& reports) {
    out << std::left << std::setw(48) << "file" << std::right << std::setw(7) << "blocks"
        << std::setw(8) << "entries" << std::setw(7) << "atoms" << std::setw(7) << "errors"
        << std::setw(9) << "warnings"
        << "  result\n";
    for (std::size_t i = 0; i < files.size(); ++i) {
        const FileReport& report = reports[i];
        out << std::left << std::setw(48) << files[i] << std::right << std::setw(7) << report.blocks
            << std::setw(8) << report.counts.entries << std::setw(7) << report.counts.atoms
            << std::setw(7) << report.errors << std::setw(9) << report.warnings << "  "
            << (report.clean ? "ok" : "FAILED") << '\n';
    }
}

// Every structure of every file, as new blocks of one database, printed to the target.
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

bool convert(const Names& files, std::vector<FileReport>& reports, const std::string& target) {
    CifDatabase converted;
    bool clean = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!reports[i].database) continue;
        for (int e = 0; e < reports[i].database->size(); ++e) {
            try {
                const THandle<CrystalStructureDatabaseEntry> entry = reports[i].database->entry(e);
                const DatabaseEntryIdentifier id =
                    unique_identifier(converted, entry->identifier());
                if (id != entry->identifier()) {
                    std::cerr << files[i] << ": " << entry->identifier()
                              << ": identifier taken by an earlier entry; written as " << id
                              << '\n';
                }
                converted.append(*entry, id);
            } catch (const std::exception& failure) {
                std::cerr << files[i] << ": " << reports[i].database->identifier(e)
                          << ": cannot convert: " << failure.what() << '\n';
                clean = false;
            }
        }
    }
    if (converted.size() == 0) {
        std::cerr << "cif-check: no structure to convert\n";
        return false;
    }
    if (target == "-") {
        converted.print(std::cout);
        return clean && std::cout.good();
    }
    std::ofstream out(target, std::ios::binary);
    converted.print(out);
    if (!out.good()) std::cerr << "cif-check: cannot write " << target << '\n';
    return clean && out.good();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::cerr << usage;
        return 2;
    }
    if (options.help) {
        std::cout << usage;
        return 0;
    }
    // Dictionary problems are told once, here, before any file is checked.
    const THandle<CifDictionary> dictionary = load_dictionaries(options.dictionaries, &std::cerr);
    if (!dictionary) return 2;
    std::ostream quiet(nullptr);
    VexorLog::set_stream(&quiet);  // conversion remarks are in the diagnostics already
    const Names files = expand_directories(options.files);
    std::vector<FileReport> reports = check_all(files, dictionary, options);
    // Standard output may carry the converted CIF: the reports then go to standard error.
    std::ostream& out = options.convert_to == "-" ? std::cerr : std::cout;
    bool clean = true;
    for (const FileReport& report : reports) {
        out << report.text;
        clean = clean && report.clean;
    }
    if (files.size() > 1) print_table(out, files, reports);
    if (!options.convert_to.empty()) clean = convert(files, reports, options.convert_to) && clean;
    return clean ? 0 : 1;
}
