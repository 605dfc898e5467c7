// DDL1 dictionaries: the bundled IUCr dictionaries, the reading rules, the converter's
// keywords and lists, the pool, and validation of real structures against the core.
#include <gtest/gtest.h>

#include <fstream>

#include "Support.h"
#include "cif/CifDictionaryDataConverter.h"
#include "cif/CifDictionaryPool.h"

namespace {

Errors read_errors(CifConcreteDictionary& dictionary, const std::string& text) {
    THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
    std::istringstream in(text);
    dictionary.read(in, errors, nullptr);
    EXPECT_FALSE(errors->error_ignored(CifError::NonStandardDataItem));
    return all_of(*errors);
}

// The IUCr dictionaries as published (the shared copies, when present, are the originals).
TEST(Dictionaries, EveryBundledDictionaryReadsClean) {
    for (const std::string& path : test_data::files_in(test_data::bundled("dict"), ".dic")) {
        const std::string original = test_data::shared("dict") + path.substr(path.rfind('/'));
        if (!test_data::shared("dict").empty()) {
            EXPECT_TRUE(test_data::read_file(path) == test_data::read_file(original)) << path;
        }
        CifConcreteDictionary dictionary;
        EXPECT_EQ(read_errors(dictionary, test_data::read_file(path)), Errors()) << path;
        EXPECT_EQ(dictionary.descriptor().name, path.substr(path.find_last_of('/') + 1));
        Names categories;
        dictionary.category_list(categories);
        EXPECT_GT(categories.size(), 1u) << path;
    }
    THandle<CifConcreteDictionary> core = core_dictionary();
    EXPECT_EQ(core->descriptor().version, "2.4.5");
    EXPECT_TRUE(core->find_entry("_atom_site_fract_x")->second ==
                core->find_entry("_ATOM_SITE_FRACT_Z")->second.get());
    // "_type_conditions su": a wavelength with its s.u. is valid
    EXPECT_EQ(core->condition("_diffrn_radiation_wavelength"), CifDictionary::COND_ESD);
    EXPECT_EQ(problems(*read_cif("data_a\n_diffrn_radiation_wavelength 0.71073(2)\n", core)),
              Errors());
    EXPECT_EQ(core->list("_atom_site_label"), CifDictionary::LIST_YES);
    EXPECT_TRUE(core->name_in_category("_symmetry_space_group_name_H-M", "symmetry"));
}

TEST(Dictionaries, ReadingRules) {
    CifConcreteDictionary d;
    EXPECT_EQ(read_errors(d,
                          "data_on_this_dictionary\n_dictionary_name test.dic\n"
                          "data_a\n_name '_a'\n_units A\ndata_b\n_name '_A'\n_units pm\n"),
              Errors{CifError(CifError::DuplicateDictionaryItem, "_A", -1)});
    EXPECT_EQ(d.units("_a"), "A");
    EXPECT_EQ(d.descriptor().name, "test.dic");
    EXPECT_FALSE(d.entry_with_name("_dictionary_name"));
    // Any diagnostic the parser keeps leaves the dictionary empty.
    EXPECT_EQ(read_errors(d, "data_a\n_name '_a'\n_category 'open\n").size(), 1u);
    EXPECT_FALSE(d.entry_with_name("_a"));
    EXPECT_EQ(read_errors(d, "# nothing\n"), Errors{CifError(CifError::NoDataBlocks, -1)});
    std::ifstream missing("/nonexistent/cif_core.dic");
    THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
    d.read(missing, errors, nullptr);
    EXPECT_EQ(all_of(*errors), Errors{CifError(CifError::FileNotRead, -1)});
    std::istringstream in("data_a\n_name '_a'\n");
    std::ostringstream echo;
    d.read(in, errors, &echo);
    EXPECT_EQ(echo.str(), "data_a\n_name" + std::string(27, ' ') + " '_a'\n");
}

// The caller's ignored identifiers come back as they were, even when the stream throws.
TEST(Dictionaries, ReadingRestoresTheIgnoredIdentifiersOnEveryExit) {
    FailingSource buffer;
    std::istream failing(&buffer);
    failing.exceptions(std::ios::badbit);
    THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
    CifConcreteDictionary d;
    EXPECT_THROW(d.read(failing, errors, nullptr), std::runtime_error);
    EXPECT_FALSE(errors->error_ignored(CifError::NonStandardDataItem));
}

// A definition record as "type condition list mandatory | category | definition | lists",
// the lists ending with the names of list-valued attributes and "L" when `_list` is stated.
std::string summary(const CifDictionaryItem& d) {
    std::ostringstream out;
    out << d.type << d.condition << d.list << d.list_mandatory << '|' << d.category << '|'
        << d.definition << '|';
    for (const Enumeration& e : d.enumeration)
        out << e << ';';
    for (const Example& e : d.example)
        out << e << ';';
    for (const Relation& r : d.related_item)
        out << r << ';';
    for (const std::string& name : d.list_uniqueness_names)
        out << "U=" << name << ';';
    for (const std::string& name : d.list_link_parents)
        out << "P=" << name << ';';
    if (!d.list_uniqueness_names.empty() || !d.list_link_parents.empty())
        out << d.list_uniqueness << ',' << d.list_link_parent << ';';
    if (d.list_stated) out << "L";
    return out.str();
}

struct ConverterCase {
    std::string attributes;
    std::string record;
    Errors errors = {};
};

// The defaults are type undefined (3), condition none (0), list both (1), not mandatory.
// clang-format off
const std::vector<ConverterCase> converter_cases = {
    {"_type Numb\n_type_conditions esd\n_list none\n", "0100|||L"},
    {"_type_conditions seq\n", "3210|||"},
    // DDL 1.4's "su" is "esd", as a whole word only
    {"_type_conditions ' SU '\n", "3110|||"},
    {"_type_conditions sum\n", "3010|||", {CifError(CifError::InvalidTypeConditionsValue, "sum", 2)}},
    {"_type_conditions measured\n", "3010|||", {CifError(CifError::InvalidTypeConditionsValue,
     "measured", 2)}},
    {"_type float\n_list_mandatory ?\n_list maybe\n_related_item '_b'\n_related_function swap\n",
     "3000|||Item=_b Function=1;L",
     {CifError(CifError::InvalidYesNoValue, "?", 2), CifError(CifError::InvalidListValue, "maybe",
     2),
      CifError(CifError::InvalidTypeValue, "float", 2),
     CifError(CifError::InvalidRelatedFunctionValue, "swap", 2)}},
    {"_list_mandatory yes\n_list yes\n_category atom_site\n", "3021|atom_site||L"},
    // several names where DDL1 allows a list: a composite key, a link to several parents
    {"loop_ _list_uniqueness '_a_x' '_a_z'\n_list_link_parent '_p'\n",
     "3010|||U=_a_x;U=_a_z;P=_p;_a_x,_p;"},
    {"loop_ _list_link_parent '_p' '_q'\n", "3010|||P=_p;P=_q;,_p;"},
    {"_type_conditions esd\nloop_ _list\n", "3110|||"},  // a _list without value states nothing
    {"loop_ _enumeration _enumeration_detail\nyes 'it is' no 'it is not'\n",
     "3010|||Enumeration=yes Detail=it is;Enumeration=no Detail=it is not;"},
    {"_example 'P 1'\n_example_detail triclinic\n", "3010|||Example=P 1 Detail=triclinic;"},
    {"loop_ _enumeration _example_detail\nx y\n", "3010|||",
     {CifError(CifError::UnexpectedLoopItem, "_example_detail", "_enumeration_detail", 2)}},
    {"loop_ _enumeration _enumeration_detail _x\n1 2 3\n", "3010|||",
     {CifError(CifError::TooManyLoopLabels, 2)}},
    {"loop_ _category first second\n", "3010|first||", {CifError(CifError::SingleValueExpected,
     2)}},
    {"_definition\n;\n    First line.\n      Second.\n;\n", "3010||First line.\n  Second.|"}
};
// clang-format on

TEST(Dictionaries, ConverterKeywordsAndLists) {
    for (const ConverterCase& c : converter_cases) {
        SCOPED_TRACE(c.attributes);
        THandle<Cif> cif = read_cif("#\ndata_def\nloop_ _name '_a_x' '_a_y'\n" + c.attributes);
        THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
        CifDictionaryDataConverter::Definitions out;
        CifDictionaryDataConverter(errors).convert(cif->block(0), out);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_TRUE(out[0].second == out[1].second.get());  // synonyms share one record
        EXPECT_EQ(all_of(*errors), c.errors);
        EXPECT_EQ(summary(*out[0].second), c.record);
    }
    THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
    CifDictionaryDataConverter::Definitions out;
    CifDictionaryDataConverter(errors).convert(read_cif("data_def\n_category c\n")->block(0), out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(all_of(*errors), Errors{CifError(CifError::DictionaryEntryWithoutName, 1)});
}

TEST(Dictionaries, PoolAnswersFromTheFirstDefiningDictionary) {
    THandle<CifConcreteDictionary> a = dictionary_from(
        "data_on\n_dictionary_name A\ndata_x\n_name '_x'\n_type numb\n_category atom_site\n");
    THandle<CifConcreteDictionary> b = dictionary_from(
        "data_on\n_dictionary_name B\ndata_x\n_name '_X'\n_type char\n_units mm\n"
        "data_y\n_name '_y'\n_units s\n_category cell\n");
    THandle<CifDictionaryPool> pool = make_handle<CifDictionaryPool>();
    EXPECT_EQ(pool->list("_x"), CifDictionary::LIST_BOTH);
    pool->insert(a);
    pool->insert(b);
    pool->insert(a);
    THandle<CifDictionary> as_interface = pool;
    EXPECT_EQ(as_interface->type("_x"), CifDictionary::TYPE_NUMB);
    EXPECT_EQ(as_interface->find_definition("_X"), a->find_entry("_x")->second.get());
    EXPECT_EQ(as_interface->find_definition("_z"), nullptr);
    EXPECT_EQ(as_interface->units("_x"), "");  // never merged with B's
    EXPECT_EQ(as_interface->units("_y"), "s");
    EXPECT_EQ(as_interface->dictionary_descriptor("_y").name, "B");
    Names keys;
    pool->category_list(keys);
    EXPECT_EQ(keys, (Names{"__[]", "_atom_site_[]", "_cell_[]"}));  // B's _x has none
    EXPECT_TRUE(pool->name_in_category("_Y", "cell"));
    EXPECT_TRUE(pool->dictionary_with_name("_y") == pool->begin() + 1);
    std::vector<THandle<CifConcreteDictionary>> found{a, a};  // replaced, not added to
    pool->dictionaries_with_category("cell", found);
    EXPECT_EQ(found, std::vector<THandle<CifConcreteDictionary>>{b});
    pool->erase(a);
    EXPECT_EQ(pool->size(), 1u);
    EXPECT_EQ(pool->units("_x"), "mm");
}

// Real structures against the core dictionary: the verdicts a crystallographer gives.
TEST(Dictionaries, BundledStructuresAgainstTheCore) {
    const std::vector<std::pair<std::string, Errors>> pinned = {
        {"2003526-r-factor-with-esd.cif",
         {CifError(CifError::LineTooLong, "80", 4),
          CifError(CifError::ValueNotNumber, "_diffrn_reflns_av_R_equivalents", 60),
          CifError(CifError::UnexpectedStandardUncertainty, "_refine_ls_R_factor_obs", 73),
          CifError(CifError::UnexpectedStandardUncertainty, "_refine_ls_wR_factor_obs", 74),
          CifError(CifError::BadNumberFormat, "_refine_ls_goodness_of_fit_obs", 75),
          CifError(CifError::ValueNotInEnumeration, "_refine_ls_hydrogen_treatment", 78),
          CifError(CifError::ValueNotInEnumeration, "_refine_ls_weighting_scheme", 79),
          CifError(CifError::BadNumberFormat, "_refine_ls_extinction_coef", 84)}},
        {"4000464-synthesised-at.cif",
         {CifError(CifError::ValueNotInEnumeration, "_exptl_absorpt_correction_type", 87),
          CifError(CifError::ValueBelowLimit, "_refine_ls_shift/esd_max", 130)}},
        {"1000026-MgB2.cif", {}}};
    for (const auto& [name, expected] : pinned) {
        THandle<Cif> cif =
            read_cif(test_data::read_file(test_data::bundled("cif/" + name)), core_dictionary());
        EXPECT_EQ(problems(*cif), expected) << name;
    }
    for (const std::string& path : test_data::structures()) {
        THandle<Cif> cif = read_cif(test_data::read_file(path), core_dictionary());
        EXPECT_EQ(cif->errors()->errors_of_type(CifError::Error), 0u) << path;
    }
}

}  // namespace
