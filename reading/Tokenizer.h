// Internal: Tokenizer: the token stream's workings, behind CifTokenStream, with the fast
// path the reader takes over values it only looks at.
#pragma once

#include <ios>
#include <string>
#include <string_view>
#include <vector>

#include "cif/CifErrorContainer.h"
#include "cif/CifParserSettings.h"
#include "cif/CifTokenStream.h"
#include "host/THandle.h"

namespace cif::detail {

class Tokenizer {
  public:
    static constexpr int max_buffer_length = CifTokenStream::max_buffer_length;

    Tokenizer(std::istream* input, THandle<CifErrorContainer> errors,
              const CifParserSettings& settings);

    // What CifTokenStream offers; it forwards here.
    CifToken get_token();
    void get_token(CifToken& token);
    void unget_token(const CifToken& token);
    void unget_token(CifToken&& token);
    void put_token(const CifToken& token);
    bool newline();
    void read_past_eol();
    int line_count() const { return line_count_; }

    // The reader's fast path over values it only looks at.

    /// get_token() for a reader that only looks at a value's text: a value read from the
    /// current line is left in the line buffer, `text` shows it until the stream is next
    /// used, and token.text is not set. Any other token is read as above and `text` shows
    /// its token.text. Either way a NUL follows the text in memory.
    void get_token(CifToken& token, std::string_view& text);
    /// For a reader taking many values in a row: when the next token is a bare value on the
    /// current line (nothing pushed back; not a comment, quoted value, data name or keyword)
    /// it is read, `text` shows it until the stream is next used (a NUL follows it in
    /// memory), `line` is its line, and the result is true. Otherwise nothing is read and
    /// the result is false.
    bool next_bare_value(std::string_view& text, int& line);
    /// False when the next token is surely not a comment on the current line: nothing is
    /// pushed back and the rest of the line holds no comment. Reads nothing.
    bool comment_may_follow_on_line();

  private:
    enum class LineEnd { None, Ending, EndOfInput };

    bool fill_input();
    void skip_byte_order_mark();
    LineEnd read_characters(int& n);
    const char* copy_ordinary_bytes(const char* p, const char* end, int& n);
    void discard_rest_of_line();
    void set_input_state(std::ios_base::iostate state);
    void report(CifError::ErrorID id, const std::string& argument = std::string());

    void skip_white();
    void set_token(CifToken& token, int type, std::string_view text);
    std::string_view terminated_in_place(std::string_view text);
    void comment(CifToken& token);
    void quoted_value(CifToken& token);
    void bare_word(CifToken& token);
    void text_field(CifToken& token, bool indented);
    bool closes_text_field(bool lenient);

    CifParserSettings settings_;
    THandle<CifErrorContainer> errors_;
    // The push-back queue, its front at the back: the parser pushes back one token at a
    // time. Slots past the count keep their text buffers for the next push.
    std::vector<CifToken> pushed_back_;
    std::size_t pushed_count_ = 0;
    // Where set_token leaves a value's text instead of copying it, while a caller of the
    // viewing get_token waits for one; null otherwise.
    std::string_view* value_view_ = nullptr;
    std::istream* input_;
    // Input read ahead in blocks, and the part of the block not taken into lines yet.
    static constexpr std::size_t input_block_size = 64 * 1024;
    std::vector<char> input_block_;
    const char* input_next_ = nullptr;
    const char* input_end_ = nullptr;
    bool input_exhausted_ = false;
    int line_count_ = 0;
    // The line, its terminating NUL, and slack for word scans that read 16 bytes at a time.
    char line_[max_buffer_length + 1 + 16] = {};
    int length_ = 0;
    int position_ = 0;
};

}  // namespace cif::detail
