// The range and uncertainty checks compared, on many generated values, with a reference
// that reads every number with sscanf exactly as the validation rules are written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>

#include "TestDictionary.h"
#include "cif/CifDataItem.h"
#include "cif/StringFunctionsLibCif.h"

namespace {

struct Definition {
    CifDictionary::DataTypeCond condition;
    float lower;
    float upper;
};

// Steps from the number test on, for a numb item with the range lower:upper.
CifDataItem::Validated reference(const std::string& value, const Definition& d) {
    float number = 0.0f;
    int esd = 0;
    if (std::sscanf(value.c_str(), "%f", &number) != 1) return CifDataItem::NotANumber;
    if (!is_cif_number(value.c_str())) return CifDataItem::BadlyFormattedNumber;
    std::string copy = value;
    std::size_t at = copy.find('D');
    if (at != std::string::npos) copy[at] = 'E';
    at = copy.find('d');
    if (at != std::string::npos) copy[at] = 'e';
    int converted = std::sscanf(copy.c_str(), "%f(%d)", &number, &esd);
    double u = 0.0;
    if (d.condition == CifDictionary::COND_ESD && converted == 2) {
        std::size_t point = copy.find('.');
        int decimals = 0;
        if (point != std::string::npos) {
            while (std::isdigit(static_cast<unsigned char>(copy[point + 1 + decimals])))
                ++decimals;
        }
        std::size_t e = copy.find('e');
        if (e == std::string::npos) e = copy.find('E');
        int exponent = 0;
        if (e != std::string::npos) std::sscanf(copy.c_str() + e + 1, "%d", &exponent);
        u = esd * std::pow(10.0, exponent - decimals);
    } else {
        converted = std::sscanf(copy.c_str(), "%f", &number);
    }
    if (converted >= 1) {
        if (double(number) < double(d.lower) - 3 * u) return CifDataItem::BelowMinimum;
        if (double(number) > double(d.upper) + 3 * u) return CifDataItem::AboveMaximum;
    }
    if (d.condition == CifDictionary::COND_NONE &&
        std::sscanf(value.c_str(), "%f(%d)", &number, &esd) == 2) {
        return CifDataItem::UnexpectedEsd;
    }
    return CifDataItem::Valid;
}

std::string random_value(std::mt19937& random) {
    static const std::string alphabet = "0123456789.....eEdD+-()(x";
    std::uniform_int_distribution<int> length(1, 9);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) - 1);
    std::string value;
    for (int n = length(random); n > 0; --n)
        value += alphabet[pick(random)];
    return value;
}

TEST(ValidationAgainstSscanf, SameVerdictsOnGeneratedValues) {
    THandle<TestDictionary> dictionary(new TestDictionary);
    const Definition with_esd{CifDictionary::COND_ESD, -5.0f, 50.0f};
    const Definition without{CifDictionary::COND_NONE, -5.0f, 50.0f};
    for (const auto& [name, definition] :
         {std::make_pair("_with_esd", with_esd), std::make_pair("_without", without)}) {
        CifDictionaryItem& item = dictionary->define(name);
        item.type = CifDictionary::TYPE_NUMB;
        item.condition = definition.condition;
        item.enumeration_range = "-5.0:50.0";
    }
    std::mt19937 random(20261205);
    std::set<int> verdicts;
    for (int i = 0; i < 200000; ++i) {
        std::string value = random_value(random);
        if (value == "." || value.find_first_of("~^") != std::string::npos) continue;
        for (const auto& [name, definition] :
             {std::make_pair("_with_esd", with_esd), std::make_pair("_without", without)}) {
            CifDataItem item(dictionary, name);
            CifDataItem::Validated verdict = item.validate(value);
            ASSERT_EQ(verdict, reference(value, definition)) << name << " '" << value << "'";
            verdicts.insert(verdict);
        }
    }
    // The generated values reach every verdict of the number and range checks.
    EXPECT_EQ(verdicts, (std::set<int>{CifDataItem::Valid, CifDataItem::BadlyFormattedNumber,
                                       CifDataItem::NotANumber, CifDataItem::BelowMinimum,
                                       CifDataItem::AboveMaximum, CifDataItem::UnexpectedEsd}));
}

// The verdict on a plain number under a range text read by sscanf's three forms in turn.
CifDataItem::Validated range_reference(const std::string& range, float value) {
    float lower = 0.0f;
    float upper = 0.0f;
    bool has_lower = false;
    bool has_upper = false;
    if (std::sscanf(range.c_str(), "%f:%f", &lower, &upper) == 2) {
        has_lower = has_upper = true;
    } else if (std::sscanf(range.c_str(), "%f:", &lower) == 1) {
        has_lower = true;
    } else if (std::sscanf(range.c_str(), ":%f", &upper) == 1) {
        has_upper = true;
    } else {
        return CifDataItem::BadRange;
    }
    if (has_lower && value < lower) return CifDataItem::BelowMinimum;
    if (has_upper && value > upper) return CifDataItem::AboveMaximum;
    return CifDataItem::Valid;
}

TEST(ValidationAgainstSscanf, RangeTextsReadAsSscanfReadsThem) {
    THandle<TestDictionary> dictionary(new TestDictionary);
    CifDictionaryItem& definition = dictionary->define("_ranged");
    definition.type = CifDictionary::TYPE_NUMB;
    definition.condition = CifDictionary::COND_ESD;
    static const std::string alphabet = "0123456789.::-+eE xn";
    std::mt19937 random(6122026);
    std::uniform_int_distribution<int> length(1, 8);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) - 1);
    std::set<int> verdicts;
    for (int i = 0; i < 20000; ++i) {
        std::string range;
        for (int n = length(random); n > 0; --n)
            range += alphabet[pick(random)];
        definition.enumeration_range = range;
        for (const char* probe : {"-1e30", "-3", "0", "2.5", "70", "1e30"}) {
            CifDataItem item(dictionary, "_ranged");
            CifDataItem::Validated verdict = item.validate(probe);
            ASSERT_EQ(verdict, range_reference(range, std::strtof(probe, nullptr)))
                << "range '" << range << "', value " << probe;
            verdicts.insert(verdict);
        }
    }
    EXPECT_EQ(verdicts, (std::set<int>{CifDataItem::Valid, CifDataItem::BadRange,
                                       CifDataItem::BelowMinimum, CifDataItem::AboveMaximum}));
}

}  // namespace
