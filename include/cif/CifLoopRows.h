#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDataItem.h"
#include "host/THandle.h"

class CifDataBlock;
class CifLoop;

/// The rows of a loop of a block: row i holds the i-th value of each column, in column order.
/// The view holds the column items, so it stays valid while the loop's values change; it does
/// not follow columns added or removed after it was made. The row count is that of the
/// longest column; a shorter column (a loop cut short) gives an empty view, its data() null,
/// in the rows it lacks.
class CIF_API CifLoopRows {
  public:
    class Row {
      public:
        std::size_t index() const { return index_; }
        std::size_t size() const { return rows_->columns_.size(); }
        std::string_view operator[](std::size_t column) const {
            return rows_->columns_[column]->value_view(static_cast<unsigned int>(index_));
        }
        /// The value of the column of that name (compared without case); an empty view, its
        /// data() null, when the loop has no such column.
        std::string_view value(const std::string& name) const;

      private:
        friend class CifLoopRows;
        Row(const CifLoopRows* rows, std::size_t index) : rows_(rows), index_(index) {}
        const CifLoopRows* rows_;
        std::size_t index_;
    };

    class const_iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Row;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Row;

        Row operator*() const { return Row(rows_, index_); }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++index_;
            return before;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.index_ == b.index_;
        }
        friend bool operator!=(const const_iterator& a, const const_iterator& b) {
            return !(a == b);
        }

      private:
        friend class CifLoopRows;
        const_iterator(const CifLoopRows* rows, std::size_t index) : rows_(rows), index_(index) {}
        const CifLoopRows* rows_;
        std::size_t index_;
    };

    /// The rows of `loop`, its columns found in `block`; a column the block lacks is empty.
    CifLoopRows(const CifDataBlock& block, const CifLoop& loop);

    std::size_t size() const { return rows_; }
    bool empty() const { return rows_ == 0; }
    const std::vector<THandle<CifDataItem>>& columns() const { return columns_; }
    Row operator[](std::size_t row) const { return Row(this, row); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, rows_); }

  private:
    std::vector<THandle<CifDataItem>> columns_;
    std::size_t rows_ = 0;
};
