#include "cif/PackedStrings.h"

#include <gtest/gtest.h>

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

}  // namespace
