// CIF files as databases of structures: entries and global blocks, lazy entries, conversion
// through the database, molecule files, file recognition and bad files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <locale>

#include "Support.h"
#include "cif/CifDatabase.h"
#include "cif/CifFile.h"
#include "cif/CifFileFormat.h"
#include "cif/CifMolecule.h"
#include "cif/VexorCifConsistencyChecker.h"
#include "host/VexorLog.h"

namespace {

// Entries log the remarks of their conversions; the tests look at the file errors instead.
struct QuietLog {
    std::ostream sink{nullptr};
    QuietLog() { VexorLog::set_stream(&sink); }
    ~QuietLog() { VexorLog::set_stream(nullptr); }
};

THandle<CifDatabase> database_of(const std::string& text) {
    auto database = make_handle<CifDatabase>();
    std::istringstream in(text);
    database->read(in);
    return database;
}

std::string identifiers(const CifDatabase& database) {
    std::string text;
    for (int i = 0; i < database.size(); ++i)
        text += (i ? " " : "") + database.identifier(i).str();
    return text;
}

// The year of the entry's publication, or 0 when it has none.
int year_of(const CifDatabase& database, int index) {
    const THandle<Publication> publication = database.entry(index)->publication();
    return publication ? publication->year() : 0;
}

const char* const cell =
    "_cell_length_a 5\n_cell_length_b 6\n_cell_length_c 7\n_cell_angle_alpha 90\n"
    "_cell_angle_beta 90\n_cell_angle_gamma 90\n_symmetry_space_group_name_H-M 'P 1'\n";
const char* const journal = "_journal_coden_Halvern 7\n_journal_year 1999\n_journal_volume 3\n";

TEST(CifDatabase, EntriesAndGlobalBlocks) {
    const std::string structure = std::string(cell) +
                                  "loop_ _atom_site_label _atom_site_fract_x "
                                  "_atom_site_fract_y _atom_site_fract_z\n"
                                  "C1 0.1 0.2 0.3\n";
    // blocks, identifiers, publication years of the entries
    // clang-format off
    const std::vector<std::tuple<std::string, std::string, std::vector<int>>> cases = {
        {"data_1\n" + structure + "data_pub\n" + journal + "data_2\n" + structure, "1 2", {0, 1999}},
        {"data_1\n" + structure + "data_2\n" + structure + "data_pub\n" + journal, "1 2", {1999, 1999}},
        {"data_pub\n" + std::string(journal) + "data_a\n" + structure + "data_b\n" + structure,
         "a b", {1999, 1999}},
        {"data_\n" + structure + "data_ORB12\n" + structure + "data_x\n_other 1\n", "00000001 ORB12",
         {0, 0}},
        {"data_1\n" + structure + "data_1\n" + structure, "1 1", {0, 0}},
        // an entry's own values stay: the global block fills only what it lacks
        {"data_pub\n" + std::string(journal) + "data_1\n" + structure +
         "_journal_coden_Halvern 7\n_journal_year 2011\n_journal_volume 3\n", "1", {2011}},
        // the last block is a global one, but not the only one: it applies to none
        {"data_pub\n" + std::string(journal) + "data_1\n" + structure + "data_pub2\n" +
         "_journal_coden_Halvern 7\n_journal_year 2005\n_journal_volume 3\n", "1", {1999}},
    };
    // clang-format on
    for (const auto& [text, names, years] : cases) {
        SCOPED_TRACE(text);
        const THandle<CifDatabase> database = database_of(text);
        EXPECT_EQ(identifiers(*database), names);
        for (int i = 0; i < database->size(); ++i)
            EXPECT_EQ(year_of(*database, i), years[i]);
        EXPECT_TRUE(database->errors()->empty());
    }
}

TEST(CifDatabase, IdentifiersAndMisuse) {
    const THandle<CifDatabase> database =
        database_of(std::string("data_Beta\n") + cell + "data_alpha\n" + cell + "data_gamma\n" +
                    cell + "data_BETA\n" + cell);
    int match = -1;
    EXPECT_EQ(database->nearest_entry(DatabaseEntryIdentifier("alpha"), match), 1);
    EXPECT_EQ(match, 2);
    EXPECT_EQ(database->nearest_entry(DatabaseEntryIdentifier("beta"), match), 0);
    EXPECT_EQ(match, 1);
    EXPECT_EQ(database->nearest_entry(DatabaseEntryIdentifier("b"), match), 0);
    EXPECT_EQ(match, 0);
    EXPECT_EQ(database->nearest_entry(DatabaseEntryIdentifier("zz"), match), 2);
    EXPECT_EQ(database->index(DatabaseEntryIdentifier("gamma")), 2);
    EXPECT_EQ(database_of(std::string("data_x\n") + cell + "data_x\n" + cell)
                  ->index(DatabaseEntryIdentifier("x")),
              0);  // the first of a repeated identifier
    EXPECT_EQ(
        database->normalise_identifier(DatabaseEntryIdentifier("a b\tc" + std::string(80, 'x')))
            .str(),
        "a_b_c" + std::string(70, 'x'));
    const std::vector<std::pair<std::function<void()>, std::string>> misuse = {
        {[&] { database->entry(DatabaseEntryIdentifier("delta")); },
         "No data for DatabaseEntryIdentifier delta in this database "},
        {[&] { database->entry(4); }, "No data for index 4 in this database "},
        {[&] { database->identifier(-1); }, "No data for index -1 in this database "},
        {[&] { database->append(THandle<CrystalStructureDatabaseEntry>()); },
         "Database::append: database is not opened for writing"},
        {[&] { database->remove(DatabaseEntryIdentifier("alpha")); },
         "Database::remove: database is not opened for writing"},
        {[&] { database->expiry_date(); }, "Database::expiry_date: no expiry date available"},
        {[&] { CifDatabase().print(std::cout); },
         "Could not write Cif Database as there is no data to write"}};
    for (const auto& [call, message] : misuse) {
        try {
            call();
            ADD_FAILURE() << "no exception: " << message;
        } catch (const database_error& error) {
            EXPECT_EQ(error.what(), message);
        }
    }
}

// A file that is no CIF, or none at all: the no-data text, named by the file.
TEST(CifDatabase, BadFiles) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "cif-bad-files";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "empty.cif") << "# nothing but a comment\n";
    std::ofstream(folder / "binary.cif", std::ios::binary) << std::string(
        "\x7f"
        "ELF\x02\x01\x01\0\0\0\xff\xfe",
        13);
    for (const char* name : {"missing.cif", "empty.cif", "binary.cif", ""}) {
        const std::string path = (folder / name).string();
        try {
            CifDatabase database(path);
            ADD_FAILURE() << "no exception for " << path;
        } catch (const database_error& error) {
            EXPECT_EQ(std::string(error.what())
                          .rfind("Failed to read file " + path +
                                     "\nThis CIF contains no readable data "
                                     "and therefore cannot be read.\n",
                                 0),
                      0u)
                << error.what();
        }
        EXPECT_FALSE(CifFileFormat().make_database({path})) << path;
    }
    std::filesystem::remove_all(folder);
}

TEST(CifDatabase, SyntaxErrorsAreReportedOnce) {
    const THandle<CifDatabase> database =
        database_of(std::string("data_a\n") + cell + "_title\n;\nnever ends\n");
    ASSERT_EQ(database->size(), 1);
    const std::vector<FileError>& errors = *database->errors();
    ASSERT_GE(errors.size(), 2u);
    EXPECT_EQ(errors[0].severity(), FileError::Warning);
    EXPECT_NE(errors[0].text().find("It is probable that some data loss has occurred.\n"),
              std::string::npos);
    EXPECT_EQ(errors[1].severity(), FileError::Error);
    database->clear_errors();
    EXPECT_TRUE(database->errors()->empty());
}

// The data source: cell remarks reported at every call, the maker built once, no selectors
// after it, records empty where the block has none.
TEST(CifDatabase, LazyEntries) {
    const QuietLog quiet;
    const THandle<CifDatabase> database = database_of(
        std::string("data_a\n") + cell + "_symmetry_Int_Tables_number 2\n" +
        "loop_ _atom_site_label _atom_site_fract_x _atom_site_fract_y _atom_site_fract_z\n"
        "C1 0.1 0.2 0.3\n");
    const THandle<CrystalStructureDatabaseEntry> entry = database->entry(0);
    EXPECT_FALSE(entry->publication());
    EXPECT_TRUE(database->errors()->empty());
    entry->cell();
    const std::size_t remarks = database->errors()->size();
    EXPECT_EQ(remarks, 1u);  // the number the name contradicts
    entry->cell();
    EXPECT_EQ(database->errors()->size(), 2 * remarks);
    EXPECT_EQ(entry->crystal_maker(), entry->crystal_maker().get());
    EXPECT_FALSE(entry->disorder_selector());
    EXPECT_TRUE(database->entry(0)->disorder_selector());
    // Nothing is converted before it is asked for: an unreadable atom fails only then.
    const THandle<CifDatabase> unreadable = database_of(
        std::string("data_b\n") + cell +
        "loop_ _atom_site_label _atom_site_fract_x _atom_site_fract_y _atom_site_fract_z\n"
        "C1 ? 0.2 0.3\n");
    EXPECT_EQ(identifiers(*unreadable), "b");
    const THandle<CrystalStructureDatabaseEntry> failing = unreadable->entry(0);
    EXPECT_TRUE(failing->cell());
    EXPECT_THROW(failing->crystal_maker(), std::runtime_error);
}

struct Structure {
    std::string cell;
    std::vector<std::string> atoms;
};

// Cell, group, and labels with coordinates as written, of every entry.
std::vector<Structure> structures_of(const CifDatabase& database) {
    std::vector<Structure> result;
    for (int i = 0; i < database.size(); ++i) {
        const THandle<CrystalStructureDatabaseEntry> entry = database.entry(i);
        const THandle<Cell> unit_cell = entry->cell();
        std::ostringstream text;
        for (const UncertainValue* parameter :
             {&unit_cell->a(), &unit_cell->b(), &unit_cell->c(), &unit_cell->alpha(),
              &unit_cell->beta(), &unit_cell->gamma()})
            text << parameter->value() << '(' << parameter->uncertainty().value() << ") ";
        text << unit_cell->spacegroup().name();
        CifErrorContainer ignored;
        const THandle<Molecule> atoms =
            CifMolecule::molecule(database.data_block(i), *unit_cell, ignored);
        Structure structure{text.str(), {}};
        for (auto atom = atoms->atoms_begin(); atom != atoms->atoms_end(); ++atom) {
            std::ostringstream line;
            const THandle<Site> site = (*atom)->site();
            const Site::Point& x = site->fractional();
            line << (*atom)->label() << ' ' << x[0] << ' ' << x[1] << ' ' << x[2] << ' '
                 << site->occupancy().value() << ' ' << (*atom)->disorder_group()
                 << (*atom)->disorder_assembly();
            if (const THandle<AtomicDisplacementParameters> u = site->displacement()) {
                for (const UncertainValue& component : u->stated())
                    line << ' ' << component.value() << '(' << component.uncertainty().value()
                         << ')';
            }
            structure.atoms.push_back(line.str());
        }
        // the file's order kept
        EXPECT_TRUE(std::is_sorted(atoms->atoms_begin(), atoms->atoms_end(),
                                   [](const THandle<Atom>& a, const THandle<Atom>& b) {
                                       return a->index() < b->index();
                                   }));
        result.push_back(structure);
    }
    return result;
}

// Every value an entry's records hold, as text (how an absolute configuration was determined
// the model does not hold; it is left out).
std::string records_of(const CrystalStructureDatabaseEntry& entry) {
    std::ostringstream out;
    const auto list = [&out](const std::vector<std::string>& texts) {
        for (const std::string& text : texts)
            out << text << ';';
    };
    if (const THandle<Publication> p = entry.publication()) {
        list(p->authors());
        out << p->journal().code() << p->journal().full_name() << '|' << p->volume() << '|'
            << p->year() << '|' << p->first_page() << '\n';
    }
    if (const THandle<ExperimentalInfo> e = entry.experimental_info()) {
        out << e->temperature_text() << '|' << e->pressure_text() << '|' << e->measured_density()
            << '|' << e->calculated_density() << '|' << e->r_factor_percent() << '|'
            << e->radiation_probe() << e->radiation_source() << '|' << e->diffraction_details()
            << '|' << e->refinement_details() << '\n';
    }
    if (const THandle<ChemicalInfo> c = entry.chemical_info()) {
        out << c->systematic_name() << '|' << c->compound_source() << '|' << c->formula_moiety()
            << '|' << c->biological_properties() << '|';
        list(c->synonyms());
        out << '\n';
    }
    if (const THandle<CrystalInfo> k = entry.crystal_info()) {
        out << k->colour() << '|' << k->description() << '|' << k->melting_point() << '|'
            << k->formula_units_z() << '|' << k->physical_properties() << '|'
            << k->recrystallization_method() << '|' << k->preparation() << '\n';
    }
    if (const THandle<EditorsInfo> d = entry.editors_info()) {
        out << d->created().year() << '-' << d->created().month() << '-' << d->created().day()
            << '\n';
    }
    if (const THandle<DepositionInfo> d = entry.deposition_info()) {
        for (const auto& [kind, text] : d->entries())
            out << kind << ' ' << text << ';';
    }
    return out.str();
}

// Whether cod-tools' cif_filter reads the text without an error; true where it is not
// installed.
bool accepted_by_cod_tools(const std::string& text) {
    static const bool installed = std::system("cif_filter --version >/dev/null 2>&1") == 0;
    if (!installed) return true;
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "cif_tests_converted.cif";
    std::ofstream(file, std::ios::binary) << text;
    return std::system(("cif_filter '" + file.string() + "' >/dev/null 2>&1").c_str()) == 0;
}

// Every bundled structure converted through the database reads back without an error, in
// this library and in cod-tools, with its cell and every atom as the model holds it: place,
// occupancy, displacement parameters, disorder, and the file's order.
TEST(CifDatabase, RealFilesConvertedThroughTheDatabase) {
    const QuietLog quiet;
    int converted = 0;
    for (const std::string& path : test_data::files_in(test_data::bundled("cif"), ".cif")) {
        SCOPED_TRACE(path);
        const THandle<Database<CrystalStructureDatabaseEntry>> opened =
            CifFileFormat().make_database({path});
        ASSERT_TRUE(opened);
        const auto& database = dynamic_cast<const CifDatabase&>(*opened);
        ASSERT_GE(database.size(), 1);
        EXPECT_EQ("data_" + database.identifier(0).str(), database.block_name(0));
        CifDatabase copy;
        try {
            for (int i = 0; i < database.size(); ++i)
                copy.append(*database.entry(i));
        } catch (const std::runtime_error&) {
            continue;  // no cell or no coordinates: nothing to convert
        }
        std::ostringstream printed;
        copy.print(printed);
        EXPECT_EQ(printed.str().rfind("\n####", 0), 0u);
        const THandle<CifDatabase> reread = database_of(printed.str());
        for (const FileError& error : *reread->errors())
            EXPECT_NE(error.severity(), FileError::Error) << error.text();
        EXPECT_TRUE(accepted_by_cod_tools(printed.str()));
        const std::vector<Structure> before = structures_of(database),
                                     after = structures_of(*reread);
        ASSERT_EQ(before.size(), after.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(before[i].cell, after[i].cell);
            EXPECT_EQ(before[i].atoms, after[i].atoms);
            EXPECT_EQ(records_of(*database.entry(static_cast<int>(i))),
                      records_of(*reread->entry(static_cast<int>(i))));
        }
        ++converted;
    }
    EXPECT_GE(converted, 40);
}

// An entry whose atoms cannot be read converts its cell and records; the failure is logged.
TEST(CifDatabase, UnreadableAtomsLeaveTheRestConverted) {
    std::ostringstream log;
    VexorLog::set_stream(&log);
    const THandle<CifDatabase> source = database_of(
        "data_x\n" + std::string(cell) + journal +
        "loop_ _atom_site_label _atom_site_fract_x _atom_site_fract_y _atom_site_fract_z\n"
        "C1 ? 0.2 0.3\n");
    CifDatabase copy;
    copy.append(*source->entry(0));
    std::ostringstream printed;
    copy.print(printed);
    VexorLog::set_stream(nullptr);
    EXPECT_NE(printed.str().find("_cell_length_c"), std::string::npos);
    EXPECT_NE(printed.str().find("_journal_year"), std::string::npos);
    EXPECT_EQ(printed.str().find("_atom_site_label"), std::string::npos);
    EXPECT_NE(log.str().find("Error: No atoms written for x: Failed to read atom 0"),
              std::string::npos)
        << log.str();
}

// Decimal commas and points between thousands, as GUI hosts set them.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// What the library writes of a real structure: the document, the structure converted through
// the database, the consistency checker's findings, and the log.
std::string everything_written(const std::string& text) {
    std::ostringstream log;
    VexorLog::set_stream(&log);
    THandle<Cif> cif = read_cif(text, core_dictionary());
    VexorCifConsistencyChecker(cif).check_cif();
    std::ostringstream out;
    cif->write(out, CifWriteSettings());
    for (const CifError& error : *cif->errors())
        out << error.complete_message() << '\n';
    const THandle<CifDatabase> database = database_of(text);
    CifDatabase copy;
    for (int i = 0; i < database->size(); ++i)
        copy.append(*database->entry(i));
    copy.print(out);
    VexorLog::set_stream(nullptr);
    return out.str() + log.str();
}

// Numbers are written and read in the classic conventions whatever the global locale.
TEST(CifDatabase, NumbersIgnoreTheGlobalLocale) {
    const std::string text =
        test_data::read_file(test_data::bundled("cif/2003526-r-factor-with-esd.cif")) +
        "data_long\n" + std::string(cell) + "_journal_year 2008\n_cell_volume 12345.6\n";
    const std::string classic = everything_written(text);
    const std::locale host =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    const std::string commas = everything_written(text);
    std::locale::global(host);
    EXPECT_EQ(commas, classic);
    EXPECT_NE(classic.find("2008"), std::string::npos);
}

TEST(CifFile, FirstStructureAndAdditions) {
    const QuietLog quiet;
    CifFile empty;
    try {
        empty.cell();
        ADD_FAILURE();
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Cannot load data from CifFile: No structure loaded");
    }
    EXPECT_FALSE(empty.errors());
    empty.clear();
    try {
        empty.crystal();
        ADD_FAILURE();
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Cannot load data from CifFile: No structure loaded");
    }
    CifFile file(test_data::bundled("cif/2205053-molecule.cif"));
    EXPECT_EQ(file.molecule()->natoms(), 12);
    EXPECT_EQ(file.crystal()->molecules()->size(), 2u);
    EXPECT_DOUBLE_EQ(file.cell()->a().value(), 11.0319);

    CifFile written;
    written.add(*file.molecule(), DatabaseEntryIdentifier("m"));
    written.add(*file.crystal_maker(), DatabaseEntryIdentifier("k"));
    std::ostringstream text;
    written.print(text);
    const THandle<CifDatabase> reread = database_of(text.str());
    EXPECT_EQ(identifiers(*reread), "m k");
    EXPECT_EQ(reread->data_block(0)->value("_cell_length_a"), "1");
    EXPECT_EQ(reread->data_block(0)->find("_atom_site_label")->size(), 12u);
}

// Printing keeps the document's own comments, frames it once however often it prints, and a
// file with nothing in it prints nothing.
TEST(CifFile, PrintKeepsTheDocumentsComments) {
    const QuietLog quiet;
    auto printed = [](const CifFile& file) {
        std::ostringstream out;
        file.print(out);
        return out.str();
    };
    std::istringstream source("# header of the file\ndata_x\n" + std::string(cell) +
                              "_journal_year 1999 # the last item's comment\n");
    CifFile file;
    file.read(source);
    const std::string once = printed(file);
    EXPECT_NE(once.find("#\n# header of the file\ndata_x"), std::string::npos) << once;
    EXPECT_NE(once.find("# the last item's comment\n\n#END\n"), std::string::npos) << once;
    EXPECT_EQ(printed(file), once);
    std::istringstream again(once);
    CifFile reread;
    reread.read(again);
    EXPECT_EQ(printed(reread), once);
    file.add(*CifFile(test_data::bundled("cif/2205053-molecule.cif")).molecule(),
             DatabaseEntryIdentifier("m"));
    const std::string grown = printed(file);
    EXPECT_EQ(grown.find("#END"), grown.rfind("#END"));
    file.clear();
    EXPECT_EQ(printed(file), "");
}

TEST(CifFileFormat, RecognisesCifByItsLines) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "cif-format";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "publication.txt") << "# header\n_publ_contact_author 'A. B.'\n";
    std::ofstream(folder / "other.txt") << "HEADER    PROTEIN\nATOM      1  N   ALA A   1\n";
    const CifFileFormat format;
    EXPECT_TRUE(format.identify((folder / "publication.txt").string()));
    EXPECT_FALSE(format.identify((folder / "other.txt").string()));
    EXPECT_FALSE(format.identify(folder.string()));
    EXPECT_TRUE(format.make_molecule_file({(folder / "publication.txt").string()}));
    std::vector<std::string> extensions{"x"};
    format.all_extensions(extensions);
    EXPECT_EQ(extensions, std::vector<std::string>({"cif", "cmf"}));
    std::filesystem::remove_all(folder);
}

}  // namespace
