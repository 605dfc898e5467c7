// Data items: their values, the guard against a second value on an unlooped item, and the
// validation of values against a dictionary read from DDL1 text.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <random>

#include "Support.h"
#include "cif/CifErrorException.h"
#include "cif/CifParser.h"
#include "cif/StringFunctionsLibCif.h"

namespace {

using V = CifDataItem::Validated;

THandle<CifDataItem> make_item(const std::string& name, bool looped = false) {
    THandle<CifDataItem> item =
        make_handle<CifDataItem>(make_handle<CifConcreteDictionary>(), name);
    if (looped) item->set_looped();
    return item;
}

THandle<CifDataItem> column(const std::string& name, const Names& values) {
    THandle<CifDataItem> item = make_item(name, true);
    for (const std::string& v : values)
        item->add_value(v);
    return item;
}

// The action named by the ActionOnUnloopedItem the call throws, or "" when it throws none.
template <class Call>
std::string refused_action(Call call) {
    try {
        call();
    } catch (const CifErrorException& e) {
        EXPECT_EQ(e.error().id(), CifError::ActionOnUnloopedItem);
        EXPECT_EQ(e.error().line(), -1);
        return std::string(e.error().first_argument());
    }
    return "";
}

TEST(DataItem, ValuesOfALoopedItem) {
    THandle<CifDataItem> item = column("_x", {"?", ".", "??"});
    item->set_value(5, "e");
    item->remove_value(1);
    item->remove_value(9);
    EXPECT_EQ(values(*item), (Names{"?", "??", "", "", "e"}));
    EXPECT_EQ(item->value(7), "");
    EXPECT_FALSE(item->has_significant_value(0));
    EXPECT_TRUE(item->has_significant_value(1));
    EXPECT_FALSE(item->has_significant_value(9));
    item->set_value("4");
    EXPECT_EQ(values(*item), Names{"4"});
    item->set_value("");
    EXPECT_FALSE(item->has_value());
}

TEST(DataItem, AnUnloopedItemRefusesASecondValueAndKeepsItsOwn) {
    THandle<CifDataItem> item = make_item("_cell_length_a");
    EXPECT_EQ(refused_action([&] { item->add_value("1"); }), "");
    EXPECT_EQ(refused_action([&] { item->add_value("2"); }), "add_value");
    EXPECT_EQ(refused_action([&] { item->value(1); }), "value");
    EXPECT_EQ(refused_action([&] { item->set_value(1, "x"); }), "set_value");
    EXPECT_EQ(refused_action([&] { item->remove_value(1); }), "remove_value");
    EXPECT_EQ(refused_action([&] { item->has_significant_value(1); }), "has_significant_value");
    THandle<CifDataItem> two = column("_c", {"1", "2"});
    EXPECT_EQ(refused_action([&] { item->copy_value(two); }), "copy_value");
    EXPECT_EQ(values(*item), Names{"1"});
    THandle<CifDataItem> target = make_item("_t", true);
    target->copy_value(two);
    EXPECT_EQ(values(*target), (Names{"1", "2"}));
}

TEST(DataItem, NumbersWithTheirUncertainty) {
    const THandle<CifDataItem> item =
        column("_x", {"1.234(5)", "?", ".", "abc", "-2e1(3)", "7", "1.5 (2)"});
    ASSERT_TRUE(item->number(0));
    EXPECT_DOUBLE_EQ(item->number(0)->value(), 1.234);
    EXPECT_DOUBLE_EQ(item->number(0)->uncertainty().value(), 0.005);
    EXPECT_DOUBLE_EQ(item->number(4)->value(), -20);
    EXPECT_DOUBLE_EQ(item->number(4)->uncertainty().value(), 30);
    EXPECT_FALSE(item->number(5)->uncertainty().given());
    for (unsigned none : {1u, 2u, 3u, 6u, 7u, 100u})
        EXPECT_FALSE(item->number(none)) << none;
    EXPECT_DOUBLE_EQ(make_item("_y")->number().value_or(UncertainValue(-1)).value(), -1);
}

TEST(DataItem, EqualityIsTheExactNameAndTheValues) {
    THandle<CifDataItem> a = make_item("_a");
    THandle<CifDataItem> b = make_item("_A");
    a->set_value("1");
    b->set_value("1");
    EXPECT_NE(*a, *b);
    THandle<CifDataItem> looped = column("_a", {"1"});
    looped->set_comments("#c\n", CifCommentable::Leading);
    EXPECT_EQ(*a, *looped);
    EXPECT_NE(*a, *column("_a", {"1", ""}));
    EXPECT_NE(*column("_a", {"ab", "c"}), *column("_a", {"a", "bc"}));
}

// One text per position; an empty text removes it; copies are deep and whole.
TEST(DataItem, CommentsByPosition) {
    THandle<CifDataItem> item = make_item("_a");
    EXPECT_FALSE(item->has_any_comments());
    item->set_comments("#lead\n", CifCommentable::Leading);
    item->set_comments("#after\n", CifCommentable::AfterName);
    CifLoop copy;
    copy.copy_comments(*item);
    item->set_comments("", CifCommentable::Leading);
    EXPECT_FALSE(item->has_comments(CifCommentable::Leading));
    EXPECT_EQ(copy.comments(CifCommentable::Leading), "#lead\n");
    item->set_comments("", CifCommentable::AfterName);
    EXPECT_FALSE(item->has_any_comments());
    copy.copy_comments(*item);
    EXPECT_FALSE(copy.has_any_comments());
}

// DDL1 definitions: name, type, conditions, range, permitted values.
std::string ddl(const std::vector<std::array<std::string, 5>>& definitions) {
    std::string text;
    for (const auto& d : definitions) {
        text += "data_" + d[0].substr(1) + "\n_name '" + d[0] + "'\n_type " + d[1] + "\n";
        if (!d[2].empty()) text += "_type_conditions " + d[2] + "\n";
        if (!d[3].empty()) text += "_enumeration_range " + d[3] + "\n";
        if (!d[4].empty()) text += "loop_ _enumeration " + d[4] + "\n";
    }
    return text;
}

const std::string test_definitions =
    ddl({{"_length", "numb", "esd", "0.0:", ""},
         {"_angle", "numb", "esd", "0.0:180.0", ""},
         {"_count", "numb", "", "", ""},
         {"_text", "char", "", "", ""},
         {"_z", "numb", "", "1:", ""},
         {"_flag", "char", "", "", "d calc yes"},
         {"_ratio", "numb", "", "5:6", "1 2"},
         {"_low_ten", "numb", "", "10", ""},
         {"_at_most_five", "numb", "", ":5", ""},
         {"_bad_range", "char", "", "abc", ""},
         {"_refine_ls_weighting_scheme", "char", "", "", "calc sigma"},
         {"_publ_contact_author_phone", "char", "", "", "none"}});

struct ValidationCase {
    const char* name;
    const char* value;
    V expected;
};

// clang-format off
const std::vector<ValidationCase> validation_cases = {
    {"_length", "10.5(3)", V::Valid}, {"_length", "-1", V::BelowMinimum},
    {"_length", "-0.0005(2)", V::Valid}, {"_length", "-0.0007(2)", V::BelowMinimum},
    {"_length", "-5(4294967295)", V::Valid}, {"_length", "-5(999999999)", V::Valid},
    {"_length", "abc", V::NotANumber}, {"_length", "1.5.3", V::BadlyFormattedNumber},
    {"_length", "0", V::Valid}, {"_length", "?", V::Valid}, {"_length", "", V::Valid},
    // 1.2e3(4): u = 400, so -1200 is three u below the bound.
    {"_angle", "-1.2e3(4)", V::Valid}, {"_angle", "-1.3e3(4)", V::BelowMinimum},
    {"_angle", "180.014(5)", V::Valid}, {"_angle", "180.016(5)", V::AboveMaximum},
    {"_angle", "1.9D2", V::AboveMaximum}, {"_angle", "1.9d2(1)", V::Valid},
    {"_count", "1.5(2)", V::UnexpectedEsd}, {"_count", "-2", V::Valid}, {"_text", "1.5(2)", V::Valid},
    {"_z", "4(1)", V::UnexpectedEsd}, {"_z", "0(1)", V::BelowMinimum}, {"_flag", "YES", V::Valid},
    {"_flag", "yes ", V::NotInEnumeration}, {"_flag", "x^2", V::BadSuperscriptMarkup},
    {"_flag", ".", V::Valid}, {"_ratio", "1", V::Valid}, {"_ratio", "5", V::NotInEnumeration},
    {"_low_ten", "9", V::BelowMinimum}, {"_low_ten", "1e6", V::Valid},
    {"_at_most_five", "5.0", V::Valid}, {"_at_most_five", "5.1", V::AboveMaximum},
    {"_bad_range", "7", V::BadRange}, {"_bad_range", "?", V::Valid},
    {"_undefined", "H~2O", V::BadSubscriptMarkup}, {"_undefined", "any thing", V::Valid},
    {"_Atom_Site_Refinement_Flags", "SGRDTUP", V::Valid},
    {"_atom_site_refinement_flags", "p", V::NotInEnumeration},
    {"_atom_site_refinement_flags", "", V::NotInEnumeration},
    {"_refine_ls_weighting_scheme", "calc w=1/[\\s^2^(Fo^2^)]", V::Valid},
    {"_refine_ls_weighting_scheme", "unit w=1", V::NotInEnumeration},
    {"_publ_contact_author_phone", "H~2O", V::Valid}
};
// clang-format on

TEST(Validation, Cases) {
    THandle<CifConcreteDictionary> dictionary = dictionary_from(test_definitions);
    for (const ValidationCase& c : validation_cases) {
        CifDataItem item(dictionary, c.name);
        EXPECT_EQ(item.validate(c.value), c.expected) << c.name << " " << c.value;
        // set_value validates the same way, and stores the value whatever the verdict.
        EXPECT_EQ(item.set_value(c.value), c.expected) << c.name << " " << c.value;
        EXPECT_EQ(item.value(), c.value);
    }
}

// The reader validates loop values in place, on its own path: the same table read as loops
// gives the same verdicts, for a row's first value (read as any token) and for a value that
// follows on its line (read as a bare value).
TEST(Validation, CasesReadAsLoopValues) {
    THandle<CifConcreteDictionary> dictionary = dictionary_from(test_definitions);
    for (const ValidationCase& c : validation_cases) {
        const std::string value(c.value);
        const bool bare = !value.empty() && value.find(' ') == std::string::npos;
        const std::string written = bare ? value : "'" + value + "'";
        THandle<Cif> cif = read_cif(
            "data_v\nloop_\n" + std::string(c.name) + "\n" + written + " " + written + "\n",
            dictionary);
        std::vector<std::string> found;
        for (const CifError& error : *cif->errors()) {
            if (error.id() != CifError::NonStandardDataItem)
                found.push_back(error.complete_message());
        }
        std::vector<std::string> expected;
        if (c.expected != V::Valid) {
            const std::string message =
                CifParser::validation_error(c.name, c.expected, 4).complete_message();
            expected = {message, message};
        }
        EXPECT_EQ(found, expected) << c.name << " " << c.value;
        EXPECT_EQ(cif->block(0)->value(c.name), c.value);
    }
}

// The range applies while the dictionary gives one: an item whose dictionary is read again
// without it stops applying the bounds it had read.
TEST(Validation, TheRangeIsAskedForAtEveryValue) {
    THandle<CifConcreteDictionary> dictionary =
        dictionary_from(ddl({{"_x", "numb", "", "0:1", ""}}));
    CifDataItem item(dictionary, "_x");
    EXPECT_EQ(item.validate("2"), V::AboveMaximum);
    std::istringstream without_range(ddl({{"_x", "numb", "", "", ""}}));
    dictionary->read(without_range, make_handle<CifErrorContainer>(), nullptr);
    EXPECT_EQ(item.validate("2"), V::Valid);
}

// The number and range checks against a reference that reads every number with sscanf, as
// the rules are written, on generated values.
V reference(const std::string& value, bool esd_allowed, float lower, float upper) {
    float number = 0.0f;
    int esd = 0;
    if (std::sscanf(value.c_str(), "%f", &number) != 1) return V::NotANumber;
    if (!is_cif_number(value.c_str())) return V::BadlyFormattedNumber;
    std::string copy = value;
    for (const char* swap : {"DE", "de"}) {
        const std::size_t at = copy.find(swap[0]);
        if (at != std::string::npos) copy[at] = swap[1];
    }
    double u = 0.0;
    if (esd_allowed && std::sscanf(copy.c_str(), "%f(%d)", &number, &esd) == 2) {
        const std::size_t point = copy.find('.');
        int decimals = 0;
        while (point != std::string::npos && std::isdigit(copy[point + 1 + decimals]))
            ++decimals;
        std::size_t e = copy.find('e');
        if (e == std::string::npos) e = copy.find('E');
        int exponent = 0;
        if (e != std::string::npos) std::sscanf(copy.c_str() + e + 1, "%d", &exponent);
        u = esd * std::pow(10.0, exponent - decimals);
    } else if (std::sscanf(copy.c_str(), "%f", &number) != 1) {
        return V::Valid;
    }
    if (double(number) < double(lower) - 3 * u) return V::BelowMinimum;
    if (double(number) > double(upper) + 3 * u) return V::AboveMaximum;
    if (!esd_allowed && std::sscanf(value.c_str(), "%f(%d)", &number, &esd) == 2) {
        return V::UnexpectedEsd;
    }
    return V::Valid;
}

TEST(Validation, AgreesWithSscanfOnGeneratedNumbers) {
    THandle<CifConcreteDictionary> dictionary = dictionary_from(
        ddl({{"_esd", "numb", "esd", "-5.0:50.0", ""}, {"_plain", "numb", "", "-5.0:50.0", ""}}));
    std::mt19937 random(20261205);
    for (int i = 0; i < 100000; ++i) {
        std::string value;
        for (int n = 1 + static_cast<int>(random() % 9); n > 0; --n)
            value += "0123456789.....eEdD+-()(x"[random() % 25];
        if (value == ".") continue;
        for (bool esd : {true, false}) {
            CifDataItem item(dictionary, esd ? "_esd" : "_plain");
            ASSERT_EQ(item.validate(value), reference(value, esd, -5.0f, 50.0f)) << value;
        }
    }
}

}  // namespace
