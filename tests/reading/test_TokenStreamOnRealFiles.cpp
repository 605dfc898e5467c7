// The token stream over real CIF files: bundled structures and, when present, the shared
// corpora of edge cases and malformed files. Line counts and character diagnostics are
// checked against an independent scan of the raw bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string_view>

#include "TestData.h"
#include "TokenTestSupport.h"
#include "cif/StringFunctionsLibCif.h"

namespace {

struct ByteScan {
    int lines = 1;  // the text after the last line end is a line too, even when empty
    int high_bytes = 0;
    int control_bytes = 0;
    std::size_t longest_line = 0;
};

ByteScan scan(const std::string& text) {
    ByteScan result;
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++result.lines;
            length = 0;
            continue;
        }
        result.longest_line = std::max(result.longest_line, ++length);
        result.high_bytes += c >= 128;
        result.control_bytes += is_bad_nonprinting_char(c);
    }
    return result;
}

std::map<CifError::ErrorID, int> count_by_id(const CifErrorContainer& errors) {
    std::map<CifError::ErrorID, int> counts;
    for (const CifError& e : errors)
        ++counts[e.id()];
    return counts;
}

// What holds for any input: every line read once, characters reported one by one, tokens
// in line order.
void check_token_stream_invariants(const std::string& path) {
    SCOPED_TRACE(path);
    const std::string text = test_data::read_file(path);
    const ByteScan bytes = scan(text);
    Tokenised t = tokenise(text);
    EXPECT_EQ(t.tokens.back().line, bytes.lines);
    int previous = 0;
    for (const CifToken& token : t.tokens) {
        EXPECT_LE(previous, token.line);
        EXPECT_LE(token.line, token.end_line);
        previous = token.end_line;
    }
    if (bytes.longest_line <= CifTokenStream::max_buffer_length) {
        std::map<CifError::ErrorID, int> counts = count_by_id(*t.errors);
        EXPECT_EQ(counts[CifError::InvalidPrintableCharacter], bytes.high_bytes);
        EXPECT_EQ(counts[CifError::InvalidNonPrintableCharacter], bytes.control_bytes);
    }
}

void check_folder(const std::string& folder) {
    if (folder.empty()) GTEST_SKIP() << "shared corpora not present";
    std::vector<std::string> files = test_data::files_in(folder, ".cif");
    ASSERT_FALSE(files.empty());
    for (const std::string& path : files)
        check_token_stream_invariants(path);
}

TEST(TokenStreamOnRealFiles, BundledStructures) {
    check_folder(test_data::bundled("cif"));
}

TEST(TokenStreamOnRealFiles, SharedEdgeCases) {
    check_folder(test_data::shared("edge"));
}

TEST(TokenStreamOnRealFiles, SharedMalformedFiles) {
    check_folder(test_data::shared("malformed"));
}

// Published structures are well-formed CIF: the only diagnostics the token stream may raise
// on them concern long lines and characters outside 7-bit ASCII, and each has a block header.
TEST(TokenStreamOnRealFiles, BundledStructuresHaveNoQuotingOrTextFieldErrors) {
    for (const std::string& path : test_data::files_in(test_data::bundled("cif"), ".cif")) {
        SCOPED_TRACE(path);
        Tokenised t = tokenise(test_data::read_file(path));
        for (const CifError& e : *t.errors) {
            EXPECT_TRUE(e.id() == CifError::LineTooLong ||
                        e.id() == CifError::InvalidPrintableCharacter)
                << e.complete_message();
        }
        int headers = 0;
        for (const CifToken& token : t.tokens)
            headers += token.type == CifToken::DataBlockHeader;
        EXPECT_GE(headers, 1);
    }
}

// The block header and data names of a real structure come out as such.
TEST(TokenStreamOnRealFiles, KnownTokensOfAStructure) {
    Tokenised t = tokenise(test_data::read_file(test_data::bundled("cif/1000026-MgB2.cif")));
    std::vector<std::string> names;
    std::string block;
    for (const CifToken& token : t.tokens) {
        if (token.type == CifToken::DataBlockHeader) block = token.text;
        if (token.type == CifToken::DataName) names.push_back(token.text);
    }
    EXPECT_EQ(block, "data_1000026");
    EXPECT_NE(std::find(names.begin(), names.end(), "_cell_length_a"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "_atom_site_label"), names.end());
}

}  // namespace
