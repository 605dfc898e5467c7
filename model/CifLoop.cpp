#include "cif/CifLoop.h"

#include <cstdint>

#include "cif/CifDataItem.h"
#include "host/TextUtilities.h"
#include "model/CifOutput.h"

CifLoop::~CifLoop() = default;

namespace {

auto names_column(const std::string& name) {
    return [&name](const std::string& column) {
        return CaseInsensitiveStringEquality()(column, name);
    };
}

}  // namespace

std::vector<std::string>::iterator CifLoop::find_column(const std::string& name) {
    return std::find_if(columns_.begin(), columns_.end(), names_column(name));
}

void CifLoop::add_column(const std::string& name) {
    if (!contains_column(name)) columns_.push_back(name);
}

void CifLoop::remove_column(const std::string& name) {
    auto found = find_column(name);
    if (found != columns_.end()) columns_.erase(found);
}

bool CifLoop::contains_column(const std::string& name) const {
    return std::any_of(columns_.begin(), columns_.end(), names_column(name));
}

void CifLoop::set_column_order(const std::vector<std::string>& names) {
    std::size_t position = 0;
    for (const std::string& name : names) {
        auto found = find_column(name);
        if (found == columns_.end() || position >= columns_.size()) continue;
        move_element(columns_, static_cast<std::size_t>(found - columns_.begin()), position);
        ++position;
    }
}

void CifLoop::move_column(const std::string& name, CifLoop& from) {
    auto found = from.find_column(name);
    if (found == from.columns_.end()) return;
    from.columns_.erase(found);
    columns_.push_back(name);
}

void CifLoop::add_row_comment(unsigned int row, const std::string& text) {
    if (row_comments_.size() <= row) row_comments_.resize(row + 1);
    row_comments_[row] = text;
}

void CifLoop::copy_comments(const CifCommentable& other) {
    CifCommentable::copy_comments(other);
    if (const CifLoop* loop = dynamic_cast<const CifLoop*>(&other)) {
        row_comments_ = loop->row_comments_;
    }
}

namespace {

// Prints one row of a loop, wrapping values onto new lines at the line length.
class RowPrinter {
  public:
    RowPrinter(CifOutput& out, unsigned int row, const CifWriteSettings& settings)
        : out_(out),
          row_(row),
          limit_(static_cast<std::uint32_t>(settings.line_length)),
          settings_(settings) {}

    void operator()(const THandle<CifDataItem>& item) {
        if (settings_.short_column_policy == CifWriteSettings::Omit && item->size() <= row_) return;
        const std::string_view value = item->value_view(row_);
        text_field_ = false;
        using value_layout::Form;
        const Form form = value_layout::form_of(value, true);
        if (form == Form::TextField) {
            value_layout::write_text_field(out_, value, column_ != 0);
            out_.line_end();
            text_field_ = true;
            column_ = 0;
            return;
        }
        const std::size_t margin = form == Form::Quoted ? 4 : 2;
        // A value too long for the line starts a line of its own; at the start of a line
        // no line end is written, since the reader would keep the empty line it leaves as
        // a comment among the rows.
        if (column_ > 0 && column_ + value.size() > limit_ - margin) {
            out_.line_end();
            column_ = 0;
        }
        if (column_ != 0) {
            out_.put(' ');
            ++column_;
        }
        if (form == Form::Quoted) {
            value_layout::write_quoted(out_, value);
            column_ += value.size() + 2;
        } else {
            out_.write(value);
            column_ += value.size();
        }
    }

    bool ended_with_text_field() const { return text_field_; }

  private:
    CifOutput& out_;
    unsigned int row_;
    std::size_t limit_;
    std::size_t column_ = 0;
    bool text_field_ = false;
    const CifWriteSettings& settings_;
};

}  // namespace

void CifLoop::print(std::ostream& os, const std::vector<THandle<CifDataItem>>& items,
                    const CifWriteSettings& settings) const {
    CifOutput out(os);
    out.write(comments(AfterName));
    out.write("loop_");
    if (has_comments(AfterValue)) {
        out.put(' ');
        out.write(comments(AfterValue));
    } else {
        out.line_end();
    }
    for (const THandle<CifDataItem>& item : items) {
        out.write(item->comments(Leading));
        out.write(item->name());
        if (item->has_comments(AfterName)) {
            out.put(' ');
            out.write(item->comments(AfterName));
        } else {
            out.line_end();
        }
    }
    if (!row_comments_.empty()) out.write(row_comments_.front());
    const unsigned int rows = items.at(0)->size();
    for (unsigned int row = 0; row < rows; ++row) {
        RowPrinter printer(out, row, settings);
        for (const THandle<CifDataItem>& item : items)
            printer(item);
        if (!printer.ended_with_text_field()) out.line_end();
    }
    for (const THandle<CifDataItem>& item : items)
        out.write(item->comments(Trailing));
}
