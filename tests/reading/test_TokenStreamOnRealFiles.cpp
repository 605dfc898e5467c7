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

// The viewing get_token, and the fast reading of bare values, give the same tokens as the
// copying get_token, pushed-back ones included.
void check_viewing_reads_alike(const std::string& text, const Tokenised& copied) {
    std::istringstream input(text);
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    CifTokenStream stream(&input, errors, CifParserSettings());
    CifToken token;
    std::string_view view;
    std::size_t read_fast = 0;
    std::size_t values = 0;
    for (std::size_t i = 0; i < copied.tokens.size(); ++i) {
        values += copied.tokens[i].type == CifToken::Value;
        const CifToken& expected = copied.tokens[i];
        int line = 0;
        if (i % 2 == 0 && stream.next_bare_value(view, line)) {
            ++read_fast;
            ASSERT_EQ(expected.type, CifToken::Value) << "token " << i;
            ASSERT_EQ(view, expected.text) << "token " << i;
            ASSERT_EQ(view.data()[view.size()], '\0') << "token " << i;
            ASSERT_EQ(line, expected.line) << "token " << i;
            continue;
        }
        stream.get_token(token, view);
        if (i % 5 == 0 && token.type != CifToken::Value) {  // values' text is only in the view
            stream.unget_token(std::move(token));
            stream.get_token(token, view);
        }
        ASSERT_EQ(token.type, expected.type) << "token " << i;
        ASSERT_EQ(view, expected.text) << "token " << i;
        ASSERT_EQ(view.data()[view.size()], '\0') << "token " << i;
        ASSERT_EQ(token.line, expected.line) << "token " << i;
        ASSERT_EQ(token.end_line, expected.end_line) << "token " << i;
    }
    EXPECT_EQ(errors->size(), copied.errors->size());
    if (values > 100) {
        EXPECT_GT(read_fast, 0u);  // real files are mostly bare values
    }
}

// What holds for any input: every line read once, characters reported one by one, tokens
// in line order.
void check_token_stream_invariants(const std::string& path) {
    SCOPED_TRACE(path);
    const std::string text = test_data::read_file(path);
    const ByteScan bytes = scan(text);
    Tokenised t = tokenise(text);
    check_viewing_reads_alike(text, t);
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
