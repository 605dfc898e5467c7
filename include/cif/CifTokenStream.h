// CifTokenStream: CIF text cut into tokens (values, data names, block headers, loop
// keywords, comments, blank lines), each with its line, one physical line at a time.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "cif/CifApi.h"
#include "cif/CifErrorContainer.h"
#include "cif/CifParserSettings.h"
#include "host/THandle.h"

namespace cif::detail {
class ReaderAccess;
class Tokenizer;
}  // namespace cif::detail

struct CIF_API CifToken {
    /// Distinct bits; Comment | BlankLine (192) tests for either.
    enum TokenType {
        EndOfInput = 0,
        Value = 1,
        DataName = 2,
        DataBlockHeader = 4,
        LoopKeyword = 8,
        Comment = 64,
        BlankLine = 128,
    };

    int type = EndOfInput;
    /// A value without its quotes or semicolons; a comment without its '#'.
    std::string text;
    /// Line on which the token starts, and on which it ends (they differ for text fields).
    int line = 0;
    int end_line = 0;
};

/// Never throws and never stops: character, quoting, text-field and line-length problems go
/// to the error container and a token is returned whatever the input holds. The input
/// stream is not owned; it is read ahead in blocks, so it may be left past the last line
/// the tokens came from.
class CIF_API CifTokenStream {
  public:
    /// Lines are cut at this many characters.
    static constexpr int max_buffer_length = 2048;

    CifTokenStream(std::istream* input, THandle<CifErrorContainer> errors,
                   const CifParserSettings& settings);
    CifTokenStream(CifTokenStream&&) noexcept;
    CifTokenStream& operator=(CifTokenStream&&) noexcept;
    ~CifTokenStream();

    /// The next token, from the push-back queue first.
    CifToken get_token();
    /// The same, into a token whose text buffer is reused: a reader that keeps one token per
    /// purpose allocates nothing for the text of most tokens.
    void get_token(CifToken& token);
    /// Makes the token the next one returned.
    void unget_token(const CifToken& token);
    /// The same, taking the token's text buffer and leaving a spare one in its place.
    void unget_token(CifToken&& token);
    /// Queues the token behind those already pushed back.
    void put_token(const CifToken& token);

    /// Reads the next physical line into the buffer; false when no line can be read.
    bool newline();
    /// After a carriage return, consumes a line feed that follows directly.
    void read_past_eol();

    /// Number of lines read so far, which is the number of the current line.
    int line_count() const;

  private:
    friend class cif::detail::ReaderAccess;

    std::unique_ptr<cif::detail::Tokenizer> tokenizer_;
};
