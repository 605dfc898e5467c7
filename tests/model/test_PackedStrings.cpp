#include "model/PackedStrings.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> contents(const PackedStrings& packed) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < packed.size(); ++i)
        texts.emplace_back(packed.view(i));
    return texts;
}

TEST(PackedStrings, BehavesAsAVectorOfTexts) {
    PackedStrings packed;
    packed.push_back("alpha");
    packed.push_back("");
    packed.push_back("gamma");
    packed.set(1, "beta, longer");
    packed.set(0, "a");
    EXPECT_EQ(contents(packed), (std::vector<std::string>{"a", "beta, longer", "gamma"}));
    packed.set(5, "f");
    EXPECT_EQ(contents(packed),
              (std::vector<std::string>{"a", "beta, longer", "gamma", "", "", "f"}));
    packed.erase(1);
    packed.erase(0);
    EXPECT_EQ(contents(packed), (std::vector<std::string>{"gamma", "", "", "f"}));
    packed.resize(1);
    EXPECT_EQ(contents(packed), std::vector<std::string>{"gamma"});
    packed.resize(3);
    EXPECT_EQ(contents(packed), (std::vector<std::string>{"gamma", "", ""}));
    PackedStrings same;
    same.push_back("gam");
    same.set(0, "gamma");
    same.push_back("");
    same.push_back("");
    EXPECT_TRUE(same == packed);
    packed.clear();
    EXPECT_TRUE(packed.empty());
    EXPECT_FALSE(same == packed);
}

// Random edits, some texts short enough to stay inside the object and some long, checked
// against a vector of strings after each step, with copies, swaps and trims along the way.
TEST(PackedStrings, AgreesWithAVectorOfStringsThroughRandomEdits) {
    std::mt19937 random(11);
    auto text = [&random] {
        return std::string(random() % 3 == 0 ? random() % 300 : random() % 12, 'a' + random() % 26);
    };
    PackedStrings packed;
    std::vector<std::string> expected;
    for (int step = 0; step < 3000; ++step) {
        const std::size_t at = expected.empty() ? 0 : random() % (expected.size() + 2);
        switch (random() % 7) {
            case 0:
            case 1: {
                const std::string t = text();
                packed.push_back(t);
                expected.push_back(t);
                break;
            }
            case 2: {
                const std::string t = text();
                packed.set(at, t);
                if (at >= expected.size()) expected.resize(at + 1);
                expected[at] = t;
                break;
            }
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
                other.push_back("left behind");
                other.swap(copy);
                EXPECT_EQ(contents(copy), std::vector<std::string>{"left behind"});
                packed = std::move(other);
                break;
            }
            default:
                packed.shrink_to_fit();
        }
        ASSERT_EQ(contents(packed), expected) << "step " << step;
        std::size_t characters = 0;
        for (const std::string& t : expected)
            characters += t.size();
        ASSERT_EQ(packed.characters(), characters);
    }
}

}  // namespace
