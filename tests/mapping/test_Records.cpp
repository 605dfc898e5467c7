// Descriptive records: each written into an empty block, printed, read back and read again
// gives the same record; real structures read into records that match their items; chemical
// names change notation and come back unchanged.
#include <gtest/gtest.h>

#include "Support.h"
#include "cif/CifChemicalInfo.h"
#include "cif/CifCrystalInfo.h"
#include "cif/CifDepositionInfo.h"
#include "cif/CifEditorsInfo.h"
#include "cif/CifExperimentalInfo.h"
#include "cif/CifPublication.h"
#include "host/CifChemicalNameStyleFinder.h"
#include "host/CifRichTextGenerator.h"
#include "host/KeshChemicalNameStyleFinder.h"
#include "host/KeshRichTextGenerator.h"
#include "host/TextItem.h"

namespace {

// The record written into an empty block, printed, and read back from the text.
template <class Mapper, class Record>
THandle<Record> written_and_read(const Record& record, std::string* text = nullptr) {
    THandle<Cif> cif = make_handle<Cif>(make_handle<CifConcreteDictionary>());
    Mapper::write(*cif->new_block("data_record", cif->block_end()), record);
    const std::string printed = written(*cif);
    if (text != nullptr) *text = printed;
    return Mapper::read(read_cif(printed)->block(0));
}

TEST(Records, PublicationRoundTrip) {
    const Publication full({"Smith, J.", "O'Neil, K."}, Journal(2), "59", 2003, "m128");
    THandle<Publication> again = written_and_read<CifPublication>(full);
    EXPECT_EQ(again->authors(), full.authors());
    EXPECT_EQ(again->journal().full_name(), "Acta Crystallographica Section C");
    EXPECT_EQ(again->volume(), "59");
    EXPECT_EQ(again->year(), 2003);
    EXPECT_EQ(again->first_page(), "m128");
    std::string text;
    THandle<Publication> empty =
        written_and_read<CifPublication>(Publication({}, Journal(999), "", 0, ""), &text);
    // no year the record did not have
    EXPECT_EQ(text, "data_record\n_journal_coden_Halvern" + std::string(10, ' ') + " 999\n");
    EXPECT_TRUE(empty->authors().empty() && empty->journal().full_name().empty());
    // a journal named without the in-house code, as real files name it, and written back so
    const THandle<Publication> named = CifPublication::read(
        read_cif("data_x\n_journal_name_full 'Acta Cryst. E'\n_journal_year 2001\n")->block(0));
    EXPECT_EQ(named->journal().code(), 0);
    EXPECT_EQ(named->journal().full_name(), "Acta Cryst. E");
    written_and_read<CifPublication>(*named, &text);
    EXPECT_EQ(text.find("_journal_coden_Halvern"), std::string::npos) << text;
    EXPECT_NE(text.find("'Acta Cryst. E'"), std::string::npos) << text;
    try {
        CifPublication::read(read_cif("data_x\n_cell_length_a 5\n")->block(0));
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Cif publication: _journal_coden_Halvern was not set");
    }
}

TEST(Records, ExperimentalRoundTrip) {
    const ExperimentalInfo full(173, "173(2)", "100 kPa", 1.51, 1.523, 4.21,
                                Range<double, DoubleComparator>(DoubleComparator{}),
                                ExperimentalInfo::Neutron, "rotating anode", true, "low T",
                                ExperimentalInfo::PowderStudy(0), "riding H",
                                ExperimentalInfo::IntensityMethod(0));
    std::string text;
    THandle<ExperimentalInfo> again = written_and_read<CifExperimentalInfo>(full, &text);
    EXPECT_EQ(text.find("_chemical_absolute_configuration"), std::string::npos);
    // R alone, as R; the temperature with its s.u.
    EXPECT_NE(text.find("_refine_ls_R_factor_gt           0.0421\n"), std::string::npos);
    EXPECT_EQ(text.find("_refine_ls_wR_factor_gt"), std::string::npos);
    EXPECT_EQ(again->temperature(), 173);
    EXPECT_EQ(again->temperature_text(), "173(2)");
    EXPECT_EQ(again->pressure_text(), "100 kPa");
    EXPECT_DOUBLE_EQ(again->calculated_density(), 1.523);
    EXPECT_DOUBLE_EQ(again->r_factor_percent(), 4.21);
    EXPECT_EQ(again->radiation_probe(), ExperimentalInfo::Neutron);
    EXPECT_FALSE(again->absolute_configuration_determined());  // written as no item at all
    EXPECT_EQ(
        again->radiation_source() + again->diffraction_details() + again->refinement_details(),
        "rotating anodelow Triding H");
    const ExperimentalInfo empty(0, "", "", 0, 0, 0, Range<double, DoubleComparator>({}),
                                 ExperimentalInfo::NoProbe, "", false, "", {}, "", {});
    written_and_read<CifExperimentalInfo>(empty, &text);
    EXPECT_EQ(text, "data_record\n");  // nothing invented
}

TEST(Records, ChemicalCrystalEditorsDepositionRoundTrip) {
    const ChemicalInfo chemical("<g>a</g>-D-gluco<sub>2</sub>se", "synthetic", "C6 H12 O6", "sweet",
                                "", "", "", {}, {"glucose"});
    THandle<ChemicalInfo> again = written_and_read<CifChemicalInfo>(chemical);
    EXPECT_EQ(again->systematic_name(), chemical.systematic_name());
    EXPECT_EQ(again->synonyms(), chemical.synonyms());
    EXPECT_EQ(again->compound_source() + again->formula_moiety() + again->biological_properties(),
              "syntheticC6 H12 O6sweet");
    const CrystalInfo crystal("colourless", "block", "450 K", 4, 0, "hard", "from ethanol",
                              "slow cooling", "");
    THandle<CrystalInfo> crystal_again = written_and_read<CifCrystalInfo>(crystal);
    EXPECT_EQ(crystal_again->formula_units_z(), 4);
    EXPECT_EQ(crystal_again->colour() + crystal_again->description() +
                  crystal_again->melting_point() + crystal_again->physical_properties() +
                  crystal_again->recrystallization_method() + crystal_again->preparation(),
              "colourlessblock450 Khardfrom ethanolslow cooling");
    EXPECT_EQ(written_and_read<CifEditorsInfo>(EditorsInfo(Date(2004, 5, 7), Date()))->created(),
              Date(2004, 5, 7));
    std::string text;
    written_and_read<CifEditorsInfo>(EditorsInfo(Date(), Date()), &text);
    EXPECT_EQ(text, "data_record\n");
    // a Z the file did not state is not written as 0
    written_and_read<CifCrystalInfo>(CrystalInfo("", "", "", 0, 0, "", "", "", ""), &text);
    EXPECT_EQ(text.find("_cell_formula_units_Z"), std::string::npos) << text;
    DepositionInfo deposition;
    deposition.set_text(DepositionInfo::CoeditorCode, "FG1234");
    deposition.set_text(DepositionInfo::CcdcNumber, "172345");
    deposition.set_text(DepositionInfo::MdfCode, "not in the table");
    deposition.set_text(DepositionInfo::OrbCode, "7");
    THandle<DepositionInfo> deposition_again =
        written_and_read<CifDepositionInfo>(deposition, &text);
    EXPECT_EQ(text.find("not in the table"), std::string::npos);
    EXPECT_EQ(deposition_again->entries(),
              (std::vector<DepositionInfo::Entry>{{DepositionInfo::CcdcNumber, "172345"},
                                                  {DepositionInfo::CoeditorCode, "FG1234"},
                                                  {DepositionInfo::OrbCode, "7"}}));
}

// What real files and bad values give.
TEST(Records, ValuesAsFilesWriteThem) {
    THandle<CifDataBlock> block =
        read_cif(
            "data_x\n_journal_year 199x\n_journal_coden_Halvern 2\n_cell_formula_units_Z two\n"
            "_diffrn_radiation_probe ' X-Ray\t'\n_chemical_absolute_configuration RMAD\n"
            "_refine_ls_wR_factor_gt 0.05\n_refine_ls_R_factor_obs 0.04\n"
            "_audit_creation_date 2004-13-45\n")
            ->block(0);
    EXPECT_EQ(CifPublication::read(block)->year(), 199);
    EXPECT_EQ(CifCrystalInfo::read(block)->formula_units_z(), 0);
    THandle<ExperimentalInfo> experimental = CifExperimentalInfo::read(block);
    EXPECT_EQ(experimental->radiation_probe(), ExperimentalInfo::XRay);
    EXPECT_TRUE(experimental->absolute_configuration_determined());
    EXPECT_DOUBLE_EQ(experimental->r_factor_percent(), 4);  // the older R, never wR
    EXPECT_TRUE(CifEditorsInfo::read(block)->created().empty());
    block->set_value("_diffrn_radiation_probe", "synchrotron");
    EXPECT_EQ(CifExperimentalInfo::read(block)->radiation_probe(), ExperimentalInfo::NoProbe);
    const std::vector<std::pair<const char*, Date>> dates = {
        {"2004-05-07", Date(2004, 5, 7)},
        {"2004 5 7", Date(2004, 5, 7)},
        {"made 04-05-07 here", Date(2004, 5, 7)},
        {"99-03-08", Date(1999, 3, 8)},
        {"May 2004", Date()},
        {"2003-02-29", Date()}};
    for (const auto& [text, date] : dates) {
        block->set_value("_audit_creation_date", text);
        EXPECT_EQ(CifEditorsInfo::read(block)->created(), date) << text;
    }
    EXPECT_THROW(Date(2004, 4, 31), std::invalid_argument);
    EXPECT_NO_THROW(Date(2000, 2, 29));
}

TEST(Records, RealStructures) {
    for (const std::string& path : test_data::structures()) {
        SCOPED_TRACE(path);
        THandle<CifDataBlock> block = read_cif(test_data::read_file(path))->block(0);
        // COD files name their journal and give no in-house code
        THandle<Publication> publication = CifPublication::read(block);
        EXPECT_EQ(publication->journal().code(), 0);
        if (block->has_value("_journal_name_full")) {
            EXPECT_EQ(publication->journal().full_name(), block->value("_journal_name_full"));
        }
        EXPECT_EQ(publication->year(), std::atoi(block->value("_journal_year").c_str()));
        EXPECT_EQ(publication->volume(), block->value("_journal_volume"));
        EXPECT_EQ(publication->first_page(), block->value("_journal_page_first"));
        if (THandle<CifDataItem> authors = block->find("_publ_author_name")) {
            ASSERT_EQ(publication->authors().size(), authors->size());
            EXPECT_EQ(publication->authors().back(), authors->value(authors->size() - 1));
        }
        THandle<ExperimentalInfo> experimental = CifExperimentalInfo::read(block);
        EXPECT_EQ(experimental->temperature_text(), block->value("_diffrn_ambient_temperature"));
        EXPECT_EQ(experimental->calculated_density(),
                  string_to_double(block->value("_exptl_crystal_density_diffrn")));
        EXPECT_EQ(
            experimental->radiation_probe() == ExperimentalInfo::XRay,
            CaseInsensitiveStringEquality()(block->value("_diffrn_radiation_probe"), "x-ray"));
        const std::string r = block->value("_refine_ls_R_factor_gt");
        if (!r.empty()) {
            EXPECT_NEAR(experimental->r_factor_percent(), 100 * std::atof(r.c_str()), 1e-9);
        }
        // Systematic names go to the in-house notation and come back as they were.
        THandle<ChemicalInfo> chemical = CifChemicalInfo::read(block);
        THandle<CifDataBlock> copy = make_handle<CifDataBlock>(block->dictionary(), "data_copy", 1);
        CifChemicalInfo::write(copy, *chemical);
        EXPECT_EQ(copy->value("_chemical_name_systematic"),
                  strip(block->value("_chemical_name_systematic"), "\n"));
    }
}

TEST(ChemicalNames, BothNotationsAndBack) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"C~6~H~5~", "C<sub>6</sub>H<sub>5</sub>"},
        {"\\a-D-glucose", "<g>a</g>-D-glucose"},
        {"m^-3^", "m<sup>-3</sup>"},
        {"~2~~3~", "<sub>2</sub><sub>3</sub>"},
        {"~\\a~", "<sub><g>a</g></sub>"},
        {"caf\\'e \\\\db \\%a", "caf<c>\\'e</c> <c>\\\\db</c> <c>\\%a</c>"},
        {"H~2O a<b&c", "H~2O a&lt;b&amp;c"},
        {"~~ ^ \\", "~~ ^ <c>\\</c>"},
        {"\\j \\G", "<c>\\j</c> <g>G</g>"}};
    for (const auto& [cif, kesh] : names) {
        KeshRichTextGenerator to_kesh;
        TextItem(make_handle<CifChemicalNameStyleFinder>(), cif).mark_up_text(to_kesh);
        EXPECT_EQ(to_kesh.text(), kesh) << cif;
        CifRichTextGenerator to_cif;
        EXPECT_EQ(TextItem(make_handle<KeshChemicalNameStyleFinder>(), kesh).mark_up_text(to_cif),
                  cif);
    }
}

}  // namespace
