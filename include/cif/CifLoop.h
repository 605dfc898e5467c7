// CifLoop: the column names of one loop_ of a block, and the loop's comments. The values
// live in the block's looped data items of the same names.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifCommentable.h"
#include "cif/CifWriteSettings.h"
#include "host/THandle.h"

class CifDataItem;

namespace cif::detail {
class ReaderAccess;
}

/// Moves the element at `from` to `to`, rotating the elements between by one place.
template <class Sequence>
void move_element(Sequence& sequence, std::size_t from, std::size_t to) {
    auto first = sequence.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else if (to < from) {
        std::rotate(first + to, first + from, first + from + 1);
    }
}

/// Column names compare without regard to letter case.
class CIF_API CifLoop : public CifCommentable {
  public:
    CifLoop() = default;
    ~CifLoop() override;

    /// Appends the name unless a column of that name exists in any letter case.
    void add_column(const std::string& name);
    /// Removes the first column of that name; nothing when there is none.
    void remove_column(const std::string& name);
    bool contains_column(const std::string& name) const;
    /// `out` becomes the column names in order.
    void columns(std::vector<std::string>& out) const { out = columns_; }
    /// The column names in order, without a copy; valid until the loop changes.
    const std::vector<std::string>& column_names() const { return columns_; }
    unsigned int size() const { return static_cast<unsigned int>(columns_.size()); }
    /// The line of the loop_ keyword as read; 0 for a loop made otherwise.
    int line() const { return line_; }
    void set_line(int line) { line_ = line; }
    bool empty() const { return columns_.empty(); }

    /// The listed columns that exist come first, in the listed order; the others follow in
    /// their previous order.
    void set_column_order(const std::vector<std::string>& names);
    /// Takes the column of that name from the other loop and appends it here, spelled as
    /// given; nothing when `from` has no such column.
    void move_column(const std::string& name, CifLoop& from);

    /// Stores the comment of a row; row 0 is written between the names and the first row.
    void add_row_comment(unsigned int row, const std::string& text);
    /// The row comments by row index; rows never given one hold the empty string.
    const std::vector<std::string>& row_comments() const { return row_comments_; }

    /// Writes the loop_ header, the column names and the rows; `items` are the column items
    /// in column order, and the first one decides the number of rows.
    void print(std::ostream& os, const std::vector<THandle<CifDataItem>>& items,
               const CifWriteSettings& settings) const;

    /// Element comments, and the row comments too when the other element is a loop.
    void copy_comments(const CifCommentable& other) override;

  private:
    // The reader sets the columns it knows to be distinct without looking for them.
    friend class cif::detail::ReaderAccess;

    std::vector<std::string>::iterator find_column(const std::string& name);

    std::vector<std::string> columns_;
    std::vector<std::string> row_comments_;
    int line_ = 0;
};
