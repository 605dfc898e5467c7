#include "model/ItemNameIndex.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>
#include <string>

#include "cif/CifConcreteDictionary.h"
#include "host/TextUtilities.h"

namespace {

std::string with_case_flipped(std::string name, unsigned pattern) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (pattern >> (i % 32) & 1u) name[i] = static_cast<char>(std::toupper(name[i]));
    }
    return name;
}

TEST(ItemNameIndex, HashIgnoresAsciiLetterCaseOnly) {
    const std::string name = "_atom_site_aniso_U_11_and_more_letters";
    for (std::size_t length = 0; length <= name.size(); ++length) {
        const std::string prefix = name.substr(0, length);
        EXPECT_EQ(cif_characters::case_folded_hash(prefix),
                  cif_characters::case_folded_hash(with_case_flipped(prefix, 0x5a5a5a5au)))
            << prefix;
    }
    // Bytes beside the capitals, and bytes above 127, are not folded.
    EXPECT_NE(cif_characters::case_folded_hash("_a@"), cif_characters::case_folded_hash("_a`"));
    EXPECT_NE(cif_characters::case_folded_hash("_a["), cif_characters::case_folded_hash("_a{"));
    EXPECT_NE(cif_characters::case_folded_hash("_\xc1"), cif_characters::case_folded_hash("_\xe1"));
}

// Random adds and removals, checked at every step against an ordered map of the same names.
TEST(ItemNameIndex, AgreesWithAnOrderedMapThroughAddsAndRemovals) {
    THandle<CifDictionary> dictionary(new CifConcreteDictionary);
    std::list<THandle<CifDataItem>> items;
    std::map<std::string, ItemNameIndex::Place, CaseInsensitiveStringLess> expected;
    ItemNameIndex index;
    std::mt19937 random(7);
    auto name_of = [](unsigned n) { return "_item_" + std::to_string(n % 300); };
    for (int step = 0; step < 5000; ++step) {
        const std::string name = with_case_flipped(name_of(random()), random());
        auto known = expected.find(name);
        if (random() % 3 != 0) {
            if (known != expected.end()) continue;
            auto place = items.insert(items.end(), make_handle<CifDataItem>(dictionary, name));
            index.insert(place, cif_characters::case_folded_hash(name));
            expected.emplace(name, place);
        } else {
            index.erase(name);
            if (known != expected.end()) {
                items.erase(known->second);
                expected.erase(known);
            }
        }
        ASSERT_EQ(index.size(), expected.size());
        for (unsigned n = 0; n < 300; n += 7) {
            const std::string probe = with_case_flipped(name_of(n), random());
            const ItemNameIndex::Place* found = index.find(probe);
            auto wanted = expected.find(probe);
            ASSERT_EQ(found != nullptr, wanted != expected.end()) << probe << " at step " << step;
            if (found != nullptr) {
                EXPECT_EQ((**found)->name(), (*wanted->second)->name());
            }
        }
    }
    index.clear();
    EXPECT_EQ(index.size(), 0u);
    EXPECT_EQ(index.find(expected.begin()->first), nullptr);
}

}  // namespace
