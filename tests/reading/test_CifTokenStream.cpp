#include <gtest/gtest.h>

#include <streambuf>

#include "TokenTestSupport.h"
#include "cif/CifTokenStream.h"

namespace {

// Tokens other than blank lines, as "type:text@line" for compact expectations.
std::vector<std::string> summary(const Tokenised& t) {
    std::vector<std::string> out;
    for (const CifToken& token : t.tokens) {
        if (token.type == CifToken::BlankLine) continue;
        out.push_back(std::to_string(token.type) + ":" + token.text + "@" +
                      std::to_string(token.line));
    }
    return out;
}

using Strings = std::vector<std::string>;

TEST(TokenStream, ClassifiesWordsByTheirStart) {
    Tokenised t = tokenise("DATA_x Loop_ loop_x data_ _Name value #c 'q' x#y x'y");
    EXPECT_EQ(summary(t), (Strings{"4:DATA_x@1", "8:Loop_@1", "8:loop_x@1", "4:data_@1",
                                   "2:_Name@1", "1:value@1", "64:c 'q' x#y x'y@1", "0:@1"}));
    EXPECT_TRUE(t.errors->empty());
}

TEST(TokenStream, BareWordsMayHoldQuotesAndHashes) {
    Tokenised t = tokenise("a#b c'd\" dat lo");
    EXPECT_EQ(summary(t), (Strings{"1:a#b@1", "1:c'd\"@1", "1:dat@1", "1:lo@1", "0:@1"}));
}

TEST(TokenStream, TextEndingWithALineEndIsFollowedByOneBlankLine) {
    Tokenised t = tokenise("_a 1\n");
    ASSERT_EQ(t.tokens.size(), 4u);
    EXPECT_EQ(t.tokens[2].type, CifToken::BlankLine);
    EXPECT_EQ(t.tokens[2].line, 2);
    EXPECT_EQ(t.tokens[3].type, CifToken::EndOfInput);
    EXPECT_EQ(t.tokens[3].line, 2);
}

TEST(TokenStream, EmptyInputIsOneBlankLineThenEndOfInputForever) {
    std::istringstream input("");
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    CifTokenStream stream(&input, errors, CifParserSettings());
    EXPECT_EQ(stream.get_token().type, CifToken::BlankLine);
    for (int i = 0; i < 3; ++i) {
        CifToken end = stream.get_token();
        EXPECT_EQ(end.type, CifToken::EndOfInput);
        EXPECT_EQ(end.line, 1);
        EXPECT_EQ(end.text, "");
    }
    EXPECT_TRUE(errors->empty());
}

TEST(TokenStream, AStreamNotInTheGoodStateGivesEndOfInputAtOnce) {
    std::istringstream input("data_x");
    input.setstate(std::ios::failbit);
    Tokenised t = tokenise(input);
    ASSERT_EQ(t.tokens.size(), 1u);
    EXPECT_EQ(t.tokens[0].line, 0);
}

TEST(TokenStream, EachKindOfLineEndCountsOneLine) {
    for (const char* text : {"a\nb\nc", "a\rb\rc", "a\r\nb\r\nc", "a\r\nb\nc", "a\rb\r\nc"}) {
        Tokenised t = tokenise(text);
        EXPECT_EQ(summary(t), (Strings{"1:a@1", "1:b@2", "1:c@3", "0:@3"})) << text;
    }
    Tokenised crs = tokenise("\r\r\r");
    EXPECT_EQ(crs.tokens.size(), 5u);  // four blank lines (the last after the final CR)
    EXPECT_EQ(crs.tokens.back().line, 4);
    EXPECT_TRUE(crs.errors->empty());
}

TEST(TokenStream, CarriageReturnAtTheEndLeavesTheStreamReadable) {
    Tokenised t = tokenise("x\r");
    ASSERT_EQ(t.tokens.size(), 3u);
    EXPECT_EQ(t.tokens[1].type, CifToken::BlankLine);
    EXPECT_EQ(t.tokens[1].line, 2);
}

TEST(TokenStream, CommentTextExcludesTheHashAndKeepsWhiteSpace) {
    Tokenised t = tokenise("# note \t\n   #x");
    ASSERT_EQ(t.tokens.size(), 3u);
    EXPECT_EQ(t.tokens[0].type, CifToken::Comment);
    EXPECT_EQ(t.tokens[0].text, " note \t");
    EXPECT_EQ(t.tokens[1].text, "x");
    EXPECT_EQ(t.tokens[1].line, 2);
}

TEST(TokenStream, QuotesCloseOnlyBeforeWhiteSpaceOrTheLineEnd) {
    Tokenised t = tokenise("'O'Neil' \"a\"b\" 'it\\' s' '' 'x'\t\"y\"");
    EXPECT_EQ(summary(t),
              (Strings{"1:O'Neil@1", "1:a\"b@1", "1:it\\' s@1", "1:@1", "1:x@1", "1:y@1", "0:@1"}));
    EXPECT_TRUE(t.errors->empty());
}

TEST(TokenStream, UnterminatedQuoteTakesTheRestOfTheLine) {
    Tokenised t = tokenise("_a\n'open ended\n_b 2");
    EXPECT_EQ(summary(t), (Strings{"2:_a@1", "1:open ended@2", "2:_b@3", "1:2@3", "0:@3"}));
    ASSERT_EQ(t.errors->size(), 1u);
    EXPECT_EQ(t.diagnostics()[0], CifError(CifError::UnterminatedQuote, "'", 2));
    // A quote followed by a graphic character does not close it either.
    Tokenised inner = tokenise("\"abc\"def");
    EXPECT_EQ(inner.tokens[0].text, "abc\"def");
    EXPECT_EQ(inner.diagnostics()[0], CifError(CifError::UnterminatedQuote, "\"", 1));
}

TEST(TokenStream, TextFieldKeepsItsLinesAndSpansThem) {
    Tokenised t = tokenise("_t\n;\nA\nB\n;\n_u 1");
    ASSERT_GE(t.tokens.size(), 2u);
    const CifToken& field = t.tokens[1];
    EXPECT_EQ(field.type, CifToken::Value);
    EXPECT_EQ(field.text, "\nA\nB\n");
    EXPECT_EQ(field.line, 2);
    EXPECT_EQ(field.end_line, 5);
    EXPECT_EQ(summary(t).at(2), "2:_u@6");
    EXPECT_TRUE(t.errors->empty());
}

TEST(TokenStream, TextFieldTakesTheRestOfItsOpeningLine) {
    Tokenised t = tokenise(";first line\n second\n;");
    EXPECT_EQ(t.tokens[0].text, "first line\n second\n");
    EXPECT_EQ(t.tokens[0].end_line, 3);
}

TEST(TokenStream, SemicolonsElsewhereAreOrdinaryCharacters) {
    Tokenised t = tokenise("_a x;y\n_b ;z\n;\n;not a close\n  ;still not\n;");
    EXPECT_EQ(summary(t)[1], "1:x;y@1");
    EXPECT_EQ(summary(t)[3], "1:;z@2");
    EXPECT_EQ(t.tokens[4].text, "\n");  // ";not a close" closed the field opened on line 3
    EXPECT_EQ(t.tokens[5].text, "not");
    EXPECT_EQ(t.tokens[5].line, 4);
    EXPECT_EQ(t.diagnostics(),
              (std::vector<CifError>{CifError(CifError::ClosingSemicolonNotFollowedByWhiteSpace, 4),
                                     CifError(CifError::OpeningSemicolonNotFirst, 5)}));
}

TEST(TokenStream, StrictFieldIsNotClosedByAnIndentedSemicolon) {
    Tokenised t = tokenise(";\nA\n  ;B\n;");
    EXPECT_EQ(t.tokens[0].text, "\nA\n  ;B\n");
    EXPECT_TRUE(t.errors->empty());
}

TEST(TokenStream, IndentedOpeningReadsLenientlyAndReportsBothEnds) {
    Tokenised t = tokenise("_a\n  ;open\nA\n  ; tail");
    EXPECT_EQ(t.tokens[1].text, "open\nA\n");
    EXPECT_EQ(t.tokens[1].line, 2);
    EXPECT_EQ(t.tokens[1].end_line, 4);
    EXPECT_EQ(t.tokens[2].text, "tail");
    EXPECT_EQ(t.diagnostics(),
              (std::vector<CifError>{CifError(CifError::OpeningSemicolonNotFirst, 2),
                                     CifError(CifError::ClosingSemicolonNotFirst, 4)}));
}

TEST(TokenStream, TextAfterTheClosingSemicolonIsTokenisedNext) {
    Tokenised t = tokenise(";\nx\n;abc 'q'\n");
    EXPECT_EQ(t.tokens[1].text, "abc");
    EXPECT_EQ(t.tokens[1].line, 3);
    EXPECT_EQ(t.tokens[2].text, "q");
    EXPECT_EQ(
        t.diagnostics(),
        (std::vector<CifError>{CifError(CifError::ClosingSemicolonNotFollowedByWhiteSpace, 3)}));
}

TEST(TokenStream, UnterminatedTextFieldEndsAtTheEndOfInput) {
    Tokenised t = tokenise("_a\n;never\nclosed\n");
    ASSERT_EQ(t.tokens.size(), 3u);
    EXPECT_EQ(t.tokens[1].text, "never\nclosed\n\n");
    EXPECT_EQ(t.tokens[1].line, 2);
    EXPECT_EQ(t.tokens[1].end_line, 2);
    EXPECT_EQ(t.diagnostics(),
              (std::vector<CifError>{CifError(CifError::UnterminatedTextField, 4)}));
    Tokenised bare = tokenise(";");
    EXPECT_EQ(bare.tokens[0].text, "\n");
    EXPECT_EQ(bare.diagnostics(),
              (std::vector<CifError>{CifError(CifError::UnterminatedTextField, 1)}));
}

TEST(TokenStream, LineLengthWarnings) {
    EXPECT_TRUE(tokenise(std::string(80, 'a')).errors->empty());
    EXPECT_EQ(tokenise(std::string(81, 'a')).diagnostics(),
              (std::vector<CifError>{CifError(CifError::LineTooLong, "80", 1)}));

    Tokenised t = tokenise("x\n" + std::string(3000, 'b') + "\ny");
    EXPECT_EQ(t.diagnostics(), (std::vector<CifError>{CifError(CifError::LineTooLong, "80", 2),
                                                      CifError(CifError::LineTooLong, "2048", 2)}));
    EXPECT_EQ(t.tokens[1].text, std::string(2048, 'b'));
    EXPECT_EQ(summary(t).back(), "0:@3");
    EXPECT_EQ(summary(t)[2], "1:y@3");

    CifParserSettings wide;
    wide.max_line_length = 3000;
    EXPECT_EQ(tokenise(std::string(2500, 'c'), wide).diagnostics(),
              (std::vector<CifError>{CifError(CifError::LineTooLong, "2048", 1)}));
    EXPECT_TRUE(tokenise(std::string(2048, 'c'), wide).errors->empty());
}

TEST(TokenStream, CutLineDiscardsItsRestUpToEachKindOfLineEnd) {
    for (const char* end : {"\n", "\r", "\r\n"}) {
        Tokenised t =
            tokenise(std::string(2049, 'd') + " tail" + end + "next", CifParserSettings{5000});
        EXPECT_EQ(summary(t), (Strings{"1:" + std::string(2048, 'd') + "@1", "1:next@2", "0:@2"}));
    }
    Tokenised at_end = tokenise(std::string(100000, 'e'));
    EXPECT_EQ(at_end.tokens.size(), 2u);
    EXPECT_EQ(at_end.errors->size(), 2u);
}

TEST(TokenStream, AControlCharacterIsReportedAndReplacedByABlank) {
    Tokenised t =
        tokenise(std::string("ab\x01"
                             "cd\tx\x1b",
                             8));
    EXPECT_EQ(summary(t), (Strings{"1:ab@1", "1:cd@1", "1:x@1", "0:@1"}));
    EXPECT_EQ(t.diagnostics(), (std::vector<CifError>{
                                   CifError(CifError::InvalidNonPrintableCharacter, "\\01", 1),
                                   CifError(CifError::InvalidNonPrintableCharacter, "\\033", 1)}));
    Tokenised nul = tokenise(std::string("_a\0b", 4));
    EXPECT_EQ(summary(nul), (Strings{"2:_a@1", "1:b@1", "0:@1"}));
    EXPECT_EQ(nul.diagnostics()[0].first_argument(), "\\00");
}

TEST(TokenStream, HighBytesAreReportedAndKept) {
    Tokenised t = tokenise("_name caf\xc3\xa9\n");
    EXPECT_EQ(t.tokens[1].text, "caf\xc3\xa9");
    EXPECT_EQ(t.diagnostics(),
              (std::vector<CifError>{CifError(CifError::InvalidPrintableCharacter, "\\0303", 1),
                                     CifError(CifError::InvalidPrintableCharacter, "\\0251", 1)}));
    EXPECT_EQ(tokenise("\xc8").diagnostics()[0].first_argument(), "\\0310");
}

TEST(TokenStream, TabsAndFormFeedsSeparateTokens) {
    Tokenised t = tokenise("a\tb\fc");
    EXPECT_EQ(summary(t), (Strings{"1:a@1", "1:b@1", "1:c@1", "0:@1"}));
    EXPECT_EQ(t.errors->size(), 1u);  // the form feed is a control character all the same
}

TEST(TokenStream, PushedBackTokensComeFirst) {
    std::istringstream input("x y");
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    CifTokenStream stream(&input, errors, CifParserSettings());
    CifToken x = stream.get_token();
    CifToken a;
    a.type = CifToken::Value;
    a.text = "a";
    CifToken b = a;
    b.text = "b";
    stream.put_token(a);
    stream.put_token(b);
    stream.unget_token(x);
    EXPECT_EQ(stream.get_token().text, "x");
    EXPECT_EQ(stream.get_token().text, "a");
    EXPECT_EQ(stream.get_token().text, "b");
    EXPECT_EQ(stream.get_token().text, "y");
}

// A stream buffer that hands out its text a few bytes at a time, like a pipe.
class TrickleBuffer : public std::streambuf {
  public:
    TrickleBuffer(std::string text, std::size_t step) : text_(std::move(text)), step_(step) {}

  protected:
    int_type underflow() override {
        if (offset_ >= text_.size()) return traits_type::eof();
        std::size_t n = std::min(step_, text_.size() - offset_);
        chunk_.assign(text_, offset_, n);
        offset_ += n;
        setg(&chunk_[0], &chunk_[0], &chunk_[0] + n);
        return traits_type::to_int_type(chunk_[0]);
    }

  private:
    std::string text_;
    std::string chunk_;
    std::size_t step_;
    std::size_t offset_ = 0;
};

TEST(TokenStream, SameTokensWhateverTheStreamBufferSize) {
    const std::string text = "data_x\r\n_a 'q t'\r\n;\r\nfield\r\n;\r\nloop_ _b\r\n" +
                             std::string(2100, 'z') + "\r\n1 2 #c\r";
    Tokenised whole = tokenise(text);
    for (std::size_t step : {1u, 2u, 3u, 7u, 64u}) {
        TrickleBuffer buffer(text, step);
        std::istream input(&buffer);
        Tokenised trickled = tokenise(input);
        EXPECT_EQ(summary(trickled), summary(whole)) << step;
        EXPECT_EQ(trickled.diagnostics(), whole.diagnostics()) << step;
    }
}

TEST(TokenStream, StreamWithExceptionsEnabledDoesNotThrow) {
    std::istringstream input("_a 1");
    input.exceptions(std::ios::eofbit | std::ios::failbit);
    Tokenised t;
    EXPECT_NO_THROW(t = tokenise(input));
    EXPECT_EQ(summary(t), (Strings{"2:_a@1", "1:1@1", "0:@1"}));
}

}  // namespace
