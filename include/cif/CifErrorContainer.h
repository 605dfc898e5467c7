// CifErrorContainer: the ordered list of diagnostics that reading, checking and mapping
// append to, with a set of identifiers to drop.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <iterator>
#include <set>
#include <utility>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifError.h"

class CIF_API CifErrorContainer {
  public:
    class const_iterator;
    using ignored_iterator = std::set<CifError::ErrorID>::const_iterator;

    /// Appends the record unless its identifier is ignored.
    void add(const CifError& error);
    void add(CifError&& error);
    /// Removes every record; the ignored identifiers stay.
    void clear();

    const_iterator begin() const;
    const_iterator end() const;
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    /// Number of records of the given severity.
    std::size_t errors_of_type(CifError::ErrorType type) const;

    void ignore_error(CifError::ErrorID id) { ignored_.insert(id); }
    void pass_error(CifError::ErrorID id) { ignored_.erase(id); }
    void pass_all_errors() { ignored_.clear(); }
    bool error_ignored(CifError::ErrorID id) const { return ignored_.count(id) != 0; }
    ignored_iterator ignored_errors_begin() const { return ignored_.begin(); }
    ignored_iterator ignored_errors_end() const { return ignored_.end(); }

    /// Adds every known identifier to the set.
    void complete_error_list(std::set<CifError::ErrorID>& ids) const;
    /// Removes the stored records whose identifier is ignored now, keeping the order.
    void filter_existing_errors();

    /// One rendered record per line.
    void print(std::ostream& out) const;

  private:
    static constexpr unsigned chunk_bits = 10;
    static constexpr std::size_t chunk_size = std::size_t(1) << chunk_bits;

    const CifError& at(std::size_t i) const {
        return chunks_[i >> chunk_bits][i & (chunk_size - 1)];
    }
    CifError& at(std::size_t i) { return chunks_[i >> chunk_bits][i & (chunk_size - 1)]; }

    // Records in chunks of chunk_size, every chunk but the last full. A read that reports on
    // every item (an empty dictionary makes each name non-standard) adds hundreds of
    // thousands of records: chunks spare it the copies of a doubling vector, and the memory
    // of old and new vector held at once.
    std::vector<std::vector<CifError>> chunks_;
    std::size_t size_ = 0;
    std::set<CifError::ErrorID> ignored_;
};

/// A random-access iterator over the records in the order they were added.
class CifErrorContainer::const_iterator {
  public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = CifError;
    using difference_type = std::ptrdiff_t;
    using pointer = const CifError*;
    using reference = const CifError&;

    const_iterator() = default;
    reference operator*() const { return records_->at(index_); }
    pointer operator->() const { return &records_->at(index_); }
    reference operator[](difference_type n) const { return *(*this + n); }

    const_iterator& operator++() { return *this += 1; }
    const_iterator& operator--() { return *this -= 1; }
    const_iterator operator++(int) { return std::exchange(*this, *this + 1); }
    const_iterator operator--(int) { return std::exchange(*this, *this - 1); }
    const_iterator& operator+=(difference_type n) {
        index_ = static_cast<std::size_t>(static_cast<difference_type>(index_) + n);
        return *this;
    }
    const_iterator& operator-=(difference_type n) { return *this += -n; }
    friend const_iterator operator+(const_iterator i, difference_type n) { return i += n; }
    friend const_iterator operator+(difference_type n, const_iterator i) { return i += n; }
    friend const_iterator operator-(const_iterator i, difference_type n) { return i -= n; }
    friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
        return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) {
        return a.index_ == b.index_;
    }
    friend bool operator!=(const const_iterator& a, const const_iterator& b) { return !(a == b); }
    friend bool operator<(const const_iterator& a, const const_iterator& b) {
        return a.index_ < b.index_;
    }
    friend bool operator>(const const_iterator& a, const const_iterator& b) { return b < a; }
    friend bool operator<=(const const_iterator& a, const const_iterator& b) { return !(b < a); }
    friend bool operator>=(const const_iterator& a, const const_iterator& b) { return !(a < b); }

  private:
    friend class CifErrorContainer;
    const_iterator(const CifErrorContainer* records, std::size_t index)
        : records_(records), index_(index) {}

    const CifErrorContainer* records_ = nullptr;
    std::size_t index_ = 0;
};

inline CifErrorContainer::const_iterator CifErrorContainer::begin() const {
    return const_iterator(this, 0);
}
inline CifErrorContainer::const_iterator CifErrorContainer::end() const {
    return const_iterator(this, size_);
}
