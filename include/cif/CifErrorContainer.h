// CifErrorContainer: the ordered list of diagnostics that reading, checking and mapping
// append to, with a set of identifiers to drop.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <set>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifError.h"

class CIF_API CifErrorContainer {
  public:
    using const_iterator = std::vector<CifError>::const_iterator;
    using ignored_iterator = std::set<CifError::ErrorID>::const_iterator;

    /// Appends the record unless its identifier is ignored.
    void add(const CifError& error);
    void add(CifError&& error);
    /// Removes every record; the ignored identifiers stay.
    void clear();

    const_iterator begin() const { return records().begin(); }
    const_iterator end() const { return records().end(); }
    std::size_t size() const { return records().size(); }
    bool empty() const { return records().empty(); }
    /// Number of records of the given severity.
    std::size_t errors_of_type(CifError::ErrorType type) const;

    /// Later records with this identifier are dropped; stored ones stay until
    /// filter_existing_errors().
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
    // The records in one vector, with those added since it was last looked at moved in.
    const std::vector<CifError>& records() const {
        if (!recent_.empty()) settle();
        return errors_;
    }
    void settle() const;

    mutable std::vector<CifError> errors_;
    // Records added since the vector was last looked at, in batches of bounded size. A
    // read that reports on every item (an empty dictionary makes each name non-standard) adds
    // hundreds of thousands of records; batches spare it the vector's repeated doubling, and
    // the heap the large blocks each doubling would leave behind.
    mutable std::vector<std::vector<CifError>> recent_;
    std::set<CifError::ErrorID> ignored_;
};
