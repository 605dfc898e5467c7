// The two containers behind items and blocks, each against a standard container through
// random edits.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>

#include "Support.h"
#include "model/ItemNameIndex.h"
#include "model/PackedStrings.h"

namespace {

Names contents(const PackedStrings& packed) {
    Names texts;
    for (std::size_t i = 0; i < packed.size(); ++i)
        texts.emplace_back(packed.view(i));
    return texts;
}

// Texts short enough to stay inside the object and long ones, edited, copied, swapped and
// trimmed, against a vector of strings after each step.
TEST(PackedStrings, AgreesWithAVectorOfStringsThroughRandomEdits) {
    std::mt19937 random(11);
    auto text = [&random] {
        return std::string(random() % 3 == 0 ? random() % 300 : random() % 12, 'a' + random() % 26);
    };
    PackedStrings packed;
    Names expected;
    for (int step = 0; step < 3000; ++step) {
        const std::size_t at = expected.empty() ? 0 : random() % (expected.size() + 2);
        const std::string t = text();
        switch (random() % 7) {
            case 0:
            case 1:
                packed.push_back(t);
                expected.push_back(t);
                break;
            case 2:
                packed.set(at, t);
                expected.resize(std::max(expected.size(), at + 1));
                expected[at] = t;
                break;
            case 3:
                if (at < expected.size()) {
                    packed.erase(at);
                    expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(at));
                }
                break;
            case 4:
                packed.resize(at);
                expected.resize(at);
                break;
            case 5: {
                PackedStrings copy(packed);
                copy.shrink_to_fit();
                PackedStrings other;
                other.push_back(t);  // inline or not, swapped both ways
                other.swap(copy);
                ASSERT_EQ(contents(copy), Names{t});
                packed = std::move(other);
                break;
            }
            default:
                packed.shrink_to_fit();
        }
        ASSERT_EQ(contents(packed), expected) << "step " << step;
        PackedStrings same;
        for (const std::string& e : expected)
            same.push_back(e);
        ASSERT_TRUE(same == packed);
    }
}

std::string with_case_flipped(std::string name, unsigned pattern) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (pattern >> (i % 32) & 1u) name[i] = static_cast<char>(std::toupper(name[i]));
    }
    return name;
}

TEST(ItemNameIndex, HashFoldsAsciiLettersOnly) {
    using cif_characters::case_folded_hash;
    const std::string name = "_atom_site_aniso_U_11_and_more_letters";
    for (std::size_t length = 0; length <= name.size(); ++length) {
        const std::string prefix = name.substr(0, length);
        EXPECT_EQ(case_folded_hash(prefix),
                  case_folded_hash(with_case_flipped(prefix, 0x5a5a5a5a)));
    }
    EXPECT_NE(case_folded_hash("_a@"), case_folded_hash("_a`"));
    EXPECT_NE(case_folded_hash("_a["), case_folded_hash("_a{"));
    EXPECT_NE(case_folded_hash("_\xc1"), case_folded_hash("_\xe1"));
}

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
                EXPECT_EQ(*found, wanted->second);
            }
        }
    }
}

}  // namespace
