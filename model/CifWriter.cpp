#include "model/CifWriter.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "cif/CifDataBlock.h"
#include "cif/CifDataItem.h"
#include "cif/CifLoop.h"
#include "cif/StringFunctionsLibCif.h"
#include "model/CifCharacters.h"

namespace {

// The layout, in columns of the line counted from 0.

// A non-looped value follows its data name padded to this width and one blank.
constexpr std::size_t name_width = 32;
// Room a line keeps free after a comment, and after a value (with its comment, if any).
constexpr std::size_t room_after_comment = 1;
constexpr std::size_t room_after_value = 2;
// Room a loop value needs beyond its text: a blank before it and the room after a value,
// and its two quotes when it is quoted.
constexpr std::size_t bare_cell_room = 2;
constexpr std::size_t quoted_cell_room = bare_cell_room + 2;

// Writes straight into the stream's buffer: the writer emits many small pieces, and the
// checks a stream makes on every insertion would cost more than the copying. A failed
// write leaves the stream's badbit set. As with the stream's own insertions, nothing goes
// into a stream that is not in the good state, and failbit is set.
class Output {
  public:
    explicit Output(std::ostream& os)
        : os_(os),
          buffer_(os.good() ? os.rdbuf() : nullptr),
          failure_(os.good() ? std::ios_base::badbit : std::ios_base::failbit) {}
    ~Output() {
        if (!failed_) return;
        try {
            os_.setstate(failure_);
        } catch (const std::ios_base::failure&) {
            // The caller asked the stream for exceptions; the state is set all the same.
        }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

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

// How a value is delimited in CIF text; a quoted form is its quote character.
enum class Form : char { Bare = 0, Apostrophes = '\'', DoubleQuotes = '"', TextField = ';' };

bool is_quoted(Form form) {
    return form == Form::Apostrophes || form == Form::DoubleQuotes;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Inside quotes, the quote character followed by a blank ends the value: such a value cannot
// be enclosed by that character.
bool encloses(std::string_view value, char quote) {
    for (std::size_t i = value.find(quote); i != std::string_view::npos;
         i = value.find(quote, i + 1)) {
        if (i + 1 < value.size() && is_blank(value[i + 1])) return false;
    }
    return true;
}

// Apostrophes, or double quotes when the value holds an apostrophe; the other one when the
// first cannot enclose it; a text field when neither can.
Form quoted_form(std::string_view value) {
    const char preferred = value.find('\'') == std::string_view::npos ? '\'' : '"';
    const char other = preferred == '\'' ? '"' : '\'';
    if (encloses(value, preferred)) return Form(preferred);
    return encloses(value, other) ? Form(other) : Form::TextField;
}

// Whether the value starts with the word (given in lower case), in any letter case.
bool starts_with_word(std::string_view value, std::string_view word) {
    if (value.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(value[i])) != word[i]) return false;
    }
    return true;
}

// What a value's characters ask of its delimiters.
enum Needs : unsigned { LineFeed = 1, Blank = 2 };

// Whether any of eight bytes is a control character or the blank, all below '!': one
// subtraction finds them (exactly for bytes below 128; the others are never below '!').
bool has_white(std::uint64_t bytes) {
    constexpr std::uint64_t ones = cif::detail::byte_ones;
    return ((bytes - '!' * ones) & ~bytes & 0x80 * ones) != 0;
}

// Whether the value (not empty) holds white space or a control character, eight bytes at a
// time: most values hold none, and most are a few bytes long, read in two overlapping halves
// (or, below four bytes, as their first, middle and last byte repeated).
bool may_hold_white(std::string_view value) {
    const char* p = value.data();
    const std::size_t n = value.size();
    std::uint64_t bytes;
    if (n < 4) {
        const auto byte = [](char c) { return std::uint64_t(static_cast<unsigned char>(c)); };
        bytes = byte(p[0]) | byte(p[n / 2]) << 8 | byte(p[n - 1]) << 16;
        bytes |= bytes << 24;
        return has_white(bytes | bytes << 48);
    }
    if (n <= 8) {
        std::uint32_t first, last;
        std::memcpy(&first, p, 4);
        std::memcpy(&last, p + n - 4, 4);
        return has_white(first | std::uint64_t(last) << 32);
    }
    for (std::size_t at = 0; at + 8 < n; at += 8) {
        std::memcpy(&bytes, p + at, 8);
        if (has_white(bytes)) return true;
    }
    std::memcpy(&bytes, p + n - 8, 8);
    return has_white(bytes);
}

unsigned needs_of(std::string_view value) {
    if (!may_hold_white(value)) return 0;
    if (value.find('\n') != std::string_view::npos) return LineFeed;
    const bool blank =
        value.find(' ') != std::string_view::npos || value.find('\t') != std::string_view::npos;
    return blank ? Blank : 0u;
}

// A bare value that would read back as a block or frame header, a loop, or a quoted value,
// a comment or a text field.
bool starts_as_something_else(std::string_view value) {
    switch (value[0]) {
        case '_':
        case '[':
        case '\'':
        case '"':
        case '#':
        case '$':
        case ';':
            return true;
        case 'd':
        case 'D':
            return starts_with_word(value, "data_");
        case 's':
        case 'S':
            return starts_with_word(value, "save_") || starts_with_word(value, "stop_");
        case 'l':
        case 'L':
            return starts_with_word(value, "loop_");
        case 'g':
        case 'G':
            return starts_with_word(value, "global_");
        default:
            return false;
    }
}

// A line feed needs a text field, and so does a value no quote can enclose; a blank, or a
// start that would read as something else, needs quotes. Loop cells quote the empty value too.
Form form_of(std::string_view value, bool quote_empty) {
    if (value.empty()) return quote_empty ? Form::Apostrophes : Form::Bare;
    const unsigned needs = needs_of(value);
    if (needs & LineFeed) return Form::TextField;
    if (!(needs & Blank) && !starts_as_something_else(value)) return Form::Bare;
    return quoted_form(value);
}

void write_quoted(Output& out, std::string_view value, Form form) {
    const char quote = static_cast<char>(form);
    out.put(quote);
    out.write(value);
    out.put(quote);
}

void write_text_field(Output& out, std::string_view value, bool line_started) {
    if (line_started) out.line_end();
    out.put(';');
    out.write(value);
    if (value.empty() || value.back() != '\n') out.line_end();
    out.put(';');
}

std::size_t line_limit(const CifWriteSettings& settings) {
    return static_cast<std::uint32_t>(settings.line_length);
}

// Whether a bare or quoted value of width n, followed by a comment, starts a line of its
// own: when the value alone passes the line's end, or when the comment would and the two
// fit on a line together.
bool value_starts_line(std::size_t column, std::size_t n, std::size_t value_size,
                       const std::string& after_value, std::size_t limit) {
    const std::size_t last = limit - room_after_value;
    if (column > 0 && column + value_size > last) return true;
    const std::size_t with_comment = n + after_value.size();
    return !after_value.empty() && with_comment <= last && column + with_comment > last;
}

// Prints one row of a loop, wrapping values onto new lines at the line length.
class RowPrinter {
  public:
    RowPrinter(Output& out, unsigned int row, const CifWriteSettings& settings)
        : out_(out), row_(row), limit_(line_limit(settings)), settings_(settings) {}

    void operator()(const THandle<CifDataItem>& item) {
        if (settings_.short_column_policy == CifWriteSettings::Omit && item->size() <= row_) return;
        const std::string_view value = item->value_view(row_);
        text_field_ = false;
        const Form form = form_of(value, true);
        if (form == Form::TextField) {
            write_text_field(out_, value, column_ != 0);
            out_.line_end();
            text_field_ = true;
            column_ = 0;
            return;
        }
        const std::size_t room = is_quoted(form) ? quoted_cell_room : bare_cell_room;
        // A value too long for the line starts a line of its own; at the start of a line
        // no line end is written, since the reader would keep the empty line it leaves as
        // a comment among the rows.
        if (column_ > 0 && column_ + value.size() > limit_ - room) {
            out_.line_end();
            column_ = 0;
        }
        if (column_ != 0) {
            out_.put(' ');
            ++column_;
        }
        if (is_quoted(form)) {
            write_quoted(out_, value, form);
            column_ += value.size() + 2;
        } else {
            out_.write(value);
            column_ += value.size();
        }
    }

    bool ended_with_text_field() const { return text_field_; }

  private:
    Output& out_;
    unsigned int row_;
    std::size_t limit_;
    std::size_t column_ = 0;
    bool text_field_ = false;
    const CifWriteSettings& settings_;
};

// A name or the loop_ keyword, then its comment on the same line, or a line end.
void write_with_comment(Output& out, std::string_view text, const CifCommentable& element,
                        CifCommentable::CommentType type) {
    out.write(text);
    if (element.has_comments(type)) {
        out.put(' ');
        out.write(element.comments(type));
    } else {
        out.line_end();
    }
}

}  // namespace

namespace cif::detail {

void CifWriter::block_header(const CifDataBlock& block) {
    Output out(os_);
    out.write(block.comments(CifCommentable::Leading));
    out.write(block.name());
    out.write(block.comments(CifCommentable::AfterName));
    out.line_end();
}

void CifWriter::item(const CifDataItem& item) {
    if (!item.has_value()) return;
    Output out(os_);
    out.write(item.comments(CifCommentable::Leading));
    const std::string_view value = item.value_view(0);
    if (!value.empty()) {
        const std::size_t limit = line_limit(settings_);
        const std::string& name = item.name();
        const std::string after_name = item.comments(CifCommentable::AfterName);
        const std::string after_value = item.comments(CifCommentable::AfterValue);
        out.write(name);
        if (name.size() < name_width) out.blanks(name_width - name.size());
        out.put(' ');
        std::size_t column = std::max(name.size(), name_width) + 1;
        if (!after_name.empty()) {
            if (column + after_name.size() > limit - room_after_comment) out.line_end();
            out.write(after_name);
            column = 0;
        }
        const Form form = form_of(value, false);
        if (form == Form::TextField) {
            write_text_field(out, value, column > 0);
            column = 1;
        } else {
            // The width the value takes, delimiters included.
            const std::size_t n = value.size() + (is_quoted(form) ? 2 : 0);
            if (value_starts_line(column, n, value.size(), after_value, limit)) {
                out.line_end();
                column = 0;
            }
            if (is_quoted(form)) {
                write_quoted(out, value, form);
            } else {
                out.write(value);
            }
            column += n;
        }
        if (after_value.empty()) {
            out.line_end();
        } else {
            if (after_value.size() + column + 1 <= limit - room_after_comment) {
                out.put(' ');
            } else {
                out.line_end();
            }
            out.write(after_value);
        }
    }
    out.write(item.comments(CifCommentable::Trailing));
}

void CifWriter::loop(const CifLoop& loop, const std::vector<THandle<CifDataItem>>& items) {
    Output out(os_);
    out.write(loop.comments(CifCommentable::AfterName));
    write_with_comment(out, "loop_", loop, CifCommentable::AfterValue);
    for (const THandle<CifDataItem>& item : items) {
        out.write(item->comments(CifCommentable::Leading));
        write_with_comment(out, item->name(), *item, CifCommentable::AfterName);
    }
    if (!loop.row_comments().empty()) out.write(loop.row_comments().front());
    const unsigned int rows = items.at(0)->size();
    for (unsigned int row = 0; row < rows; ++row) {
        RowPrinter printer(out, row, settings_);
        for (const THandle<CifDataItem>& item : items)
            printer(item);
        if (!printer.ended_with_text_field()) out.line_end();
    }
    for (const THandle<CifDataItem>& item : items)
        out.write(item->comments(CifCommentable::Trailing));
}

}  // namespace cif::detail

void print_item_name(std::ostream& os, THandle<CifDataItem> item) {
    if (item.is_null()) {
        os << "NA";
        return;
    }
    os << item->name() << '\n';
}

void print_item_value(std::ostream& os, THandle<CifDataItem> item, int index) {
    if (item.is_null() || index < 0 || item->size() <= static_cast<unsigned int>(index)) {
        os << "NA";
        return;
    }
    os << item->value_view(static_cast<unsigned int>(index)) << '\n';
}
