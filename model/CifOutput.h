// Internal: how the writer puts CIF text on an output stream.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

/// Writes straight into the stream's buffer: the writer emits many small pieces, and the
/// checks a stream makes on every insertion would cost more than the copying. A failed
/// write leaves the stream's badbit set. As with the stream's own insertions, nothing goes
/// into a stream that is not in the good state, and failbit is set.
class CifOutput {
  public:
    explicit CifOutput(std::ostream& os)
        : os_(os),
          buffer_(os.good() ? os.rdbuf() : nullptr),
          failure_(os.good() ? std::ios_base::badbit : std::ios_base::failbit) {}
    ~CifOutput() {
        if (!failed_) return;
        try {
            os_.setstate(failure_);
        } catch (const std::ios_base::failure&) {
            // The caller asked the stream for exceptions; the state is set all the same.
        }
    }
    CifOutput(const CifOutput&) = delete;
    CifOutput& operator=(const CifOutput&) = delete;

    void put(char c) {
        using traits = std::char_traits<char>;
        if (buffer_ == nullptr || traits::eq_int_type(buffer_->sputc(c), traits::eof())) {
            failed_ = true;
        }
    }
    void write(std::string_view text) {
        if (text.empty()) return;
        if (buffer_ == nullptr ||
            buffer_->sputn(text.data(), static_cast<std::streamsize>(text.size())) !=
                static_cast<std::streamsize>(text.size())) {
            failed_ = true;
        }
    }
    void blanks(std::size_t n) {
        for (; n > 0; --n)
            put(' ');
    }
    void line_end() { put('\n'); }

  private:
    std::ostream& os_;
    std::streambuf* buffer_;
    std::ios_base::iostate failure_;
    bool failed_ = false;
};

/// How a value is delimited in CIF text.
namespace value_layout {

enum class Form { Bare, Quoted, TextField };

/// A line feed needs a text field; a blank, or a leading '_' or '[', needs quotes. Loop
/// cells quote the empty value too.
inline Form form_of(std::string_view value, bool quote_empty) {
    if (value.find('\n') != std::string_view::npos) return Form::TextField;
    if (value.empty()) return quote_empty ? Form::Quoted : Form::Bare;
    if (value.find(' ') != std::string_view::npos || value[0] == '_' || value[0] == '[') {
        return Form::Quoted;
    }
    return Form::Bare;
}

/// Between apostrophes, or double quotes when the value holds an apostrophe.
inline void write_quoted(CifOutput& out, std::string_view value) {
    char quote = value.find('\'') == std::string_view::npos ? '\'' : '"';
    out.put(quote);
    out.write(value);
    out.put(quote);
}

inline void write_text_field(CifOutput& out, std::string_view value, bool line_started) {
    if (line_started) out.line_end();
    out.put(';');
    out.write(value);
    if (value.empty() || value.back() != '\n') out.line_end();
    out.put(';');
}

}  // namespace value_layout
