#include "reading/Tokenizer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <istream>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "cif/StringFunctionsLibCif.h"
#include "model/CifCharacters.h"

using cif::detail::is_graphic;
using cif::detail::is_white;

namespace {

// What a byte means while a line is read.
enum ByteKind : unsigned char { Ordinary, CarriageReturn, LineFeed, BadControl, HighByte };

const std::array<ByteKind, 256> byte_kinds = [] {
    std::array<ByteKind, 256> kinds{};
    for (int c = 0; c < 256; ++c) {
        unsigned char byte = static_cast<unsigned char>(c);
        kinds[c] = is_bad_nonprinting_char(byte) ? BadControl
                   : is_bad_printing_char(byte)  ? HighByte
                                                 : Ordinary;
    }
    kinds['\r'] = CarriageReturn;
    kinds['\n'] = LineFeed;
    return kinds;
}();

// How many bytes from p, at most max, need no check. Sixteen at a time where SSE2 is there:
// printable ASCII passes at once, anything else (tab included) is looked up.
std::size_t ordinary_run(const char* p, std::size_t max) {
    std::size_t i = 0;
    while (i < max) {
#ifdef __SSE2__
        if (max - i >= 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            // A signed comparison: high bytes are negative, below the blank like controls.
            const __m128i special = _mm_or_si128(_mm_cmplt_epi8(bytes, _mm_set1_epi8(' ')),
                                                 _mm_cmpeq_epi8(bytes, _mm_set1_epi8(127)));
            const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(special));
            if (mask == 0) {
                i += 16;
                continue;
            }
            i += static_cast<std::size_t>(__builtin_ctz(mask));
        }
#endif
        if (byte_kinds[static_cast<unsigned char>(p[i])] != Ordinary) return i;
        ++i;
    }
    return i;
}

// The octal form of a byte in diagnostics: \0 then the code in octal (1 gives \01).
std::string octal(unsigned char c) {
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + c % 8));
        c = static_cast<unsigned char>(c / 8);
    } while (c != 0);
    return "\\0" + digits;
}

}  // namespace

namespace cif::detail {

Tokenizer::Tokenizer(std::istream* input, THandle<CifErrorContainer> errors,
                     const CifParserSettings& settings)
    : settings_(settings), errors_(std::move(errors)), input_(input) {}

void Tokenizer::report(CifError::ErrorID id, const std::string& argument) {
    errors_->add(CifError(id, argument, line_count_));
}

// Reads the next block of input through sgetn, which every stream buffer supports (std::cin
// and unbuffered ones included); false at the end of input. A stream buffer that throws is
// treated as an istream treats it: badbit is set, and the exception goes on to a caller who
// asked the stream for exceptions on badbit.
bool Tokenizer::fill_input() {
    std::streambuf* buffer = input_ == nullptr ? nullptr : input_->rdbuf();
    if (input_exhausted_ || buffer == nullptr) return false;
    if (input_block_.empty()) input_block_.resize(input_block_size);
    std::streamsize n = 0;
    try {
        n = buffer->sgetn(input_block_.data(), static_cast<std::streamsize>(input_block_.size()));
    } catch (...) {
        input_exhausted_ = true;
        set_input_state(std::ios_base::badbit);
        if ((input_->exceptions() & std::ios_base::badbit) != 0) throw;
        return false;
    }
    if (n <= 0) {
        input_exhausted_ = true;
        return false;
    }
    input_next_ = input_block_.data();
    input_end_ = input_next_ + n;
    return true;
}

// Copies bytes of the current line into the line buffer, checking each, until the line ends,
// the input ends, or the buffer holds one byte more than a line may keep.
Tokenizer::LineEnd Tokenizer::read_characters(int& n) {
    for (;;) {
        if (input_next_ == input_end_ && !fill_input()) return LineEnd::EndOfInput;
        const char* const end = input_end_;
        for (const char* p = input_next_; p != end; ++p) {
            p = copy_ordinary_bytes(p, end, n);
            if (p == end) break;
            char c = *p;
            ByteKind kind = byte_kinds[static_cast<unsigned char>(c)];
            if (kind == CarriageReturn || kind == LineFeed) {
                input_next_ = p + 1;
                if (kind == CarriageReturn) read_past_eol();
                return LineEnd::Ending;
            }
            if (n == settings_.max_line_length) {
                report(CifError::LineTooLong, std::to_string(settings_.max_line_length));
            }
            if (kind == BadControl) {
                report(CifError::InvalidNonPrintableCharacter,
                       octal(static_cast<unsigned char>(c)));
                c = ' ';
            } else if (kind == HighByte) {
                report(CifError::InvalidPrintableCharacter, octal(static_cast<unsigned char>(c)));
            }
            line_[n++] = c;
            if (n > max_buffer_length) {
                input_next_ = p + 1;
                return LineEnd::None;
            }
        }
        input_next_ = end;
    }
}

// The common case: bytes that need no check, copied while the line is below both the warning
// length and the buffer length. Returns where the copying stopped.
const char* Tokenizer::copy_ordinary_bytes(const char* p, const char* end, int& n) {
    const int warn_at = settings_.max_line_length;
    const int stop = (n <= warn_at && warn_at < max_buffer_length) ? warn_at : max_buffer_length;
    const std::size_t room = static_cast<std::size_t>(std::max(stop - n, 0));
    const std::size_t run = ordinary_run(p, std::min<std::size_t>(end - p, room));
    std::memcpy(line_ + n, p, run);
    n += static_cast<int>(run);
    return p + run;
}

void Tokenizer::discard_rest_of_line() {
    for (;;) {
        if (input_next_ == input_end_ && !fill_input())
            return set_input_state(std::ios_base::eofbit);
        for (const char* p = input_next_; p != input_end_; ++p) {
            if (*p == '\r' || *p == '\n') {
                input_next_ = p + 1;
                if (*p == '\r') read_past_eol();
                return;
            }
        }
        input_next_ = input_end_;
    }
}

void Tokenizer::set_input_state(std::ios_base::iostate state) {
    try {
        input_->setstate(state);
    } catch (const std::ios_base::failure&) {
        // The caller asked the stream for exceptions; its state is set all the same.
    }
}

// At the end of input the stream stays good: the line that the carriage return ended was
// the last, and the next read finds the end.
void Tokenizer::read_past_eol() {
    if (input_next_ == input_end_ && !fill_input()) return;
    if (*input_next_ == '\n') ++input_next_;
}

// Editors on some systems begin UTF-8 text with the byte-order mark EF BB BF. It is no
// character of the text: read as one, it would be three invalid bytes in front of "data_".
void Tokenizer::skip_byte_order_mark() {
    static constexpr char mark[] = "\xEF\xBB\xBF";
    if (input_next_ == input_end_ && !fill_input()) return;
    if (input_end_ - input_next_ >= 3 && std::memcmp(input_next_, mark, 3) == 0) input_next_ += 3;
}

bool Tokenizer::newline() {
    length_ = 0;
    position_ = 0;
    line_[0] = '\0';
    if (input_ == nullptr || !input_->good()) return false;
    ++line_count_;
    if (line_count_ == 1) skip_byte_order_mark();
    int n = 0;
    if (read_characters(n) == LineEnd::EndOfInput) set_input_state(std::ios_base::eofbit);
    if (n > max_buffer_length) {
        report(CifError::LineTooLong, std::to_string(max_buffer_length));
        n = max_buffer_length;
        discard_rest_of_line();
    }
    line_[n] = '\0';
    length_ = n;
    return true;
}

void Tokenizer::set_token(CifToken& token, int type, std::string_view text) {
    token.type = type;
    if (value_view_ != nullptr && type == CifToken::Value) {
        *value_view_ = terminated_in_place(text);
        value_view_ = nullptr;
    } else {
        token.text.assign(text.data(), text.size());
    }
    token.line = line_count_;
    token.end_line = line_count_;
}

void Tokenizer::unget_token(const CifToken& token) {
    if (pushed_count_ < pushed_back_.size()) {
        pushed_back_[pushed_count_] = token;
    } else {
        pushed_back_.push_back(token);
    }
    ++pushed_count_;
}

void Tokenizer::unget_token(CifToken&& token) {
    if (pushed_count_ < pushed_back_.size()) {
        std::swap(pushed_back_[pushed_count_], token);
    } else {
        pushed_back_.push_back(std::move(token));
    }
    ++pushed_count_;
}

void Tokenizer::put_token(const CifToken& token) {
    pushed_back_.insert(pushed_back_.begin(), token);
    ++pushed_count_;
}

CifToken Tokenizer::get_token() {
    CifToken token;
    get_token(token);
    return token;
}

void Tokenizer::get_token(CifToken& token, std::string_view& text) {
    value_view_ = &text;
    get_token(token);
    if (value_view_ != nullptr) {  // not a value from the line buffer
        text = token.text;
        value_view_ = nullptr;
    }
}

void Tokenizer::get_token(CifToken& token) {
    if (pushed_count_ > 0) {
        std::swap(token, pushed_back_[--pushed_count_]);
        return;
    }
    for (;;) {
        skip_white();
        if (position_ < length_) {
            char first = line_[position_];
            if (first == '#') return comment(token);
            if (first == '"' || first == '\'') return quoted_value(token);
            return bare_word(token);
        }
        if (!newline()) return set_token(token, CifToken::EndOfInput, std::string_view());
        if (is_blank_line(line_)) return set_token(token, CifToken::BlankLine, std::string_view());
        skip_white();
        if (line_[position_] == ';') return text_field(token, position_ != 0);
    }
}

void Tokenizer::comment(CifToken& token) {
    int start = position_ + 1;
    position_ = length_;
    set_token(token, CifToken::Comment,
              std::string_view(line_ + start, static_cast<std::size_t>(length_ - start)));
}

// A quote closes the value only when no backslash stands before it and no graphic character
// after it, so 'O'Neil' is the one value O'Neil.
void Tokenizer::quoted_value(CifToken& token) {
    char quote = line_[position_];
    int start = position_ + 1;
    for (int i = start; i < length_; ++i) {
        if (line_[i] == quote && line_[i - 1] != '\\' && !is_graphic(line_[i + 1])) {
            position_ = i + 1;
            return set_token(token, CifToken::Value,
                             std::string_view(line_ + start, static_cast<std::size_t>(i - start)));
        }
    }
    report(CifError::UnterminatedQuote, std::string(1, quote));
    position_ = length_;
    set_token(token, CifToken::Value,
              std::string_view(line_ + start, static_cast<std::size_t>(length_ - start)));
}

void Tokenizer::bare_word(CifToken& token) {
    const int start = position_;
    position_ = static_cast<int>(word_end(line_ + start) - line_);
    const std::string_view word(line_ + start, static_cast<std::size_t>(position_ - start));
    set_token(token, bare_word_type(word), word);
}

bool Tokenizer::comment_may_follow_on_line() {
    if (pushed_count_ > 0) return true;
    skip_white();
    return position_ < length_ && line_[position_] == '#';
}

// The field runs from after the opening ';' to a line that starts with ';'. When the opening
// ';' was indented the field is read leniently: an indented ';' closes it too.
void Tokenizer::text_field(CifToken& token, bool indented) {
    const int opening_line = line_count_;
    if (indented) report(CifError::OpeningSemicolonNotFirst);
    std::string& text = token.text;
    text.assign(line_ + position_ + 1, line_ + length_);
    text += '\n';
    token.type = CifToken::Value;
    token.line = opening_line;
    for (;;) {
        if (!newline()) {
            report(CifError::UnterminatedTextField);
            token.end_line = opening_line;
            return;
        }
        if (closes_text_field(indented)) break;
        text.append(line_, line_ + length_);
        text += '\n';
    }
    if (position_ < length_ && !is_white(line_[position_])) {
        report(CifError::ClosingSemicolonNotFollowedByWhiteSpace);
    }
    token.end_line = line_count_;
}

// On a closing line, leaves the read position just after its ';'.
bool Tokenizer::closes_text_field(bool lenient) {
    int i = 0;
    if (lenient) {
        while (i < length_ && is_white(line_[i]))
            ++i;
    }
    if (line_[i] != ';') return false;
    if (i != 0) report(CifError::ClosingSemicolonNotFirst);
    position_ = i + 1;
    return true;
}

}  // namespace cif::detail
