// Internal: Tokenizer: the token stream's workings, behind CifTokenStream, with the fast
// path the reader takes over values it only looks at.
#pragma once

#include <algorithm>
#include <ios>
#include <string>
#include <string_view>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "cif/CifErrorContainer.h"
#include "cif/CifParserSettings.h"
#include "cif/CifTokenStream.h"
#include "host/THandle.h"
#include "host/TextUtilities.h"

namespace cif::detail {

// In the line buffer every byte up to the blank is white space: other controls were replaced
// by blanks when the line was read. The buffer has room for a 16-byte read past its NUL.

/// Of the 16 bytes at p, those that are not white space, as a bit mask.
inline unsigned non_white_bytes(const char* p) {
#ifdef __SSE2__
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i white = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(' ')), bytes);
    return ~static_cast<unsigned>(_mm_movemask_epi8(white)) & 0xFFFFu;
#else
    unsigned mask = 0;
    for (int i = 0; i < 16; ++i)
        mask |= unsigned(static_cast<unsigned char>(p[i]) > ' ') << i;
    return mask;
#endif
}

/// The end of the word at p: the first white space or the terminating NUL.
inline const char* word_end(const char* p) {
    for (;; p += 16) {
        const unsigned white = ~non_white_bytes(p) & 0xFFFFu;
        if (white != 0) return p + __builtin_ctz(white);
    }
}

/// The five-letter keywords: most words differ at their first letter.
inline bool starts_with_ignoring_case(std::string_view word, std::string_view prefix) {
    if (word.size() < prefix.size() || (word[0] | 0x20) != prefix[0]) return false;
    for (std::size_t i = 1; i < prefix.size(); ++i) {
        if (ascii_lower(word[i]) != prefix[i]) return false;
    }
    return true;
}

/// A word that is not quoted: a data name, a keyword or a value.
inline int bare_word_type(std::string_view word) {
    // '_', 'd', 'l' and their capitals, folded by 0x20: most values begin otherwise.
    const char folded = static_cast<char>(word[0] | 0x20);
    if (folded != '_' + 0x20 && folded != 'd' && folded != 'l') return CifToken::Value;
    if (word[0] == '_') return CifToken::DataName;
    if (starts_with_ignoring_case(word, "data_")) return CifToken::DataBlockHeader;
    if (starts_with_ignoring_case(word, "loop_")) return CifToken::LoopKeyword;
    return CifToken::Value;
}

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
    /// Inline: a reader calls it for every loop value.
    bool next_bare_value(std::string_view& text, int& line) {
        if (pushed_count_ > 0) return false;
        skip_white();
        if (position_ >= length_) return false;
        const char first = line_[position_];
        if (first == '#' || first == '"' || first == '\'') return false;
        const char* start = line_ + position_;
        const std::string_view word(start, static_cast<std::size_t>(word_end(start) - start));
        if (bare_word_type(word) != CifToken::Value) return false;
        position_ += static_cast<int>(word.size());
        text = terminated_in_place(word);
        line = line_count_;
        return true;
    }
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

    void skip_white() {
        while (position_ < length_) {
            const unsigned words = non_white_bytes(line_ + position_);
            if (words != 0) {
                position_ = std::min(position_ + __builtin_ctz(words), length_);
                return;
            }
            position_ = std::min(position_ + 16, length_);
        }
    }
    void set_token(CifToken& token, int type, std::string_view text);
    // The text, a part of the line already read past, with a NUL written after it: the white
    // space or closing quote there is not looked at again. A read position on that byte
    // moves past it.
    std::string_view terminated_in_place(std::string_view text) {
        const int end = static_cast<int>(text.data() + text.size() - line_);
        if (end < length_) {
            line_[end] = '\0';
            if (position_ == end) ++position_;
        }
        return text;
    }
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
