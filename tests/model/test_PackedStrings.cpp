// The packed value store against a vector of strings, through every operation, across the
// points where its offsets widen and narrow again. With one- and two-byte offsets they widen
// past 255 and 65,535 characters, so the tests reach every width; the library's two- and
// four-byte ones widen past 65,535 characters and 4 GiB.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "cif/detail/PackedStrings.h"

namespace {

using SmallOffsets = cif::detail::BasicPackedStrings<std::uint8_t, std::uint16_t>;

std::vector<std::string> texts_of(const SmallOffsets& packed) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < packed.size(); ++i)
        texts.emplace_back(packed.view(i));
    return texts;
}

std::size_t characters_of(const std::vector<std::string>& texts) {
    std::size_t count = 0;
    for (const std::string& text : texts)
        count += text.size();
    return count;
}

}  // namespace

TEST(PackedStrings, EveryOperationAcrossBothOffsetWidths) {
    std::mt19937 random(7);
    SmallOffsets packed;
    std::vector<std::string> expected;
    const auto some_text = [&random] {
        return std::string(random() % 24, static_cast<char>('a' + random() % 26));
    };
    for (int step = 0; step < 4000; ++step) {
        const std::size_t i = expected.empty() ? 0 : random() % expected.size();
        switch (random() % 8) {
            case 0:
            case 1:
            case 2: {
                const std::string text = some_text();
                packed.push_back(text);
                expected.push_back(text);
                break;
            }
            case 3: {
                const std::string text = some_text();
                const std::size_t at = i + random() % 3;  // sometimes past the end
                packed.set(at, text);
                if (at >= expected.size()) expected.resize(at + 1);
                expected[at] = text;
                break;
            }
            case 4:
                if (expected.empty()) break;
                packed.erase(i);
                expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            case 5: {
                const std::size_t n = i + random() % 3;
                packed.resize(n);
                expected.resize(n);
                break;
            }
            case 6:
                packed.shrink_to_fit();
                break;
            default: {
                SmallOffsets copy(packed);
                EXPECT_TRUE(copy == packed);
                packed = std::move(copy);
            }
        }
        ASSERT_EQ(texts_of(packed), expected) << "step " << step;
        ASSERT_EQ(packed.characters(), characters_of(expected));
        if (step % 500 == 499) {  // back to short texts, so the width turns both ways
            packed.resize(2);
            expected.resize(2);
        }
    }
}

TEST(PackedStrings, CopiesCompareEqualWhateverTheirWidths) {
    SmallOffsets wide;
    for (int i = 0; i < 40; ++i)
        wide.push_back("0123456789");  // 400 characters: wide offsets
    SmallOffsets narrow;
    for (int i = 0; i < 5; ++i) {
        narrow.push_back("0123456789");
    }
    wide.resize(5);  // keeps its wide capacity
    EXPECT_TRUE(wide == narrow);
    SmallOffsets copy(wide);  // sized to its 50 characters: narrow again
    EXPECT_TRUE(copy == wide);
    wide.shrink_to_fit();
    EXPECT_TRUE(wide == narrow);
    wide.set(2, "x");
    EXPECT_FALSE(wide == narrow);
    EXPECT_EQ(wide.view(2), "x");
    EXPECT_EQ(wide.view(3), "0123456789");
    const std::string long_text(70000, 'L');  // past two-byte offsets
    wide.set(1, long_text);
    SmallOffsets long_copy(wide);
    EXPECT_TRUE(long_copy == wide);
    EXPECT_EQ(long_copy.view(1), long_text);
    EXPECT_EQ(long_copy.view(2), "x");
    long_copy.erase(1);
    long_copy.shrink_to_fit();  // back to one-byte offsets
    EXPECT_EQ(texts_of(long_copy),
              (std::vector<std::string>{"0123456789", "x", "0123456789", "0123456789"}));
    SmallOffsets single;  // one text of up to 32 bytes stays inside the object
    single.push_back(std::string(32, 's'));
    SmallOffsets single_copy(single);
    single.push_back("t");
    single.set(0, std::string(33, 'u'));
    EXPECT_EQ(texts_of(single), (std::vector<std::string>{std::string(33, 'u'), "t"}));
    single.erase(0);
    single.set(0, std::string(32, 's'));
    single.shrink_to_fit();
    EXPECT_TRUE(single == single_copy);
    EXPECT_EQ(single.view(0), std::string(32, 's'));
    SmallOffsets reserved;
    reserved.reserve(3, 300);
    reserved.push_back("a");
    reserved.push_back("");
    reserved.push_back("bc");
    EXPECT_EQ(texts_of(reserved), (std::vector<std::string>{"a", "", "bc"}));
}
