// Database: the host's interface to a collection of entries found by identifier, read-only
// unless a database says otherwise.
#pragma once

#include <string>

#include "host/DatabaseEntryIdentifier.h"
#include "host/THandle.h"
#include "host/TextUtilities.h"
#include "host/database_error.h"

/// Entries are numbered from 0 to size() - 1. The defaults here are those of a database that
/// cannot be written and keeps identifiers as given.
template <class Entry>
class Database {
  public:
    virtual ~Database() = default;

    virtual bool has_expiry_date() const { return false; }
    virtual std::string expiry_date() const {
        throw database_error("Database::expiry_date: no expiry date available");
    }
    virtual DatabaseEntryIdentifier identifier(int index) const = 0;
    virtual bool identifier_exists(const DatabaseEntryIdentifier& id) const = 0;
    /// The index of the identifier, or of the nearest one: `match` is 2 for a byte-equal
    /// identifier, 1 for one equal without letter case (the first such), 0 otherwise, when
    /// the index is that of the smallest identifier above id without letter case, else of
    /// the largest below; -1 for an empty database.
    virtual int nearest_entry(const DatabaseEntryIdentifier& id, int& match) const;
    /// The index of the identifier; size() when there is none.
    virtual int index(const DatabaseEntryIdentifier& id) const = 0;
    virtual int size() const = 0;
    virtual THandle<Entry> entry(int index) const = 0;
    virtual THandle<Entry> entry(const DatabaseEntryIdentifier& id) const = 0;
    virtual bool writable() const { return false; }
    virtual void append(THandle<Entry>) { not_writable("append"); }
    virtual void replace(THandle<Entry>) { not_writable("replace"); }
    virtual void remove(const DatabaseEntryIdentifier&) { not_writable("remove"); }
    virtual void flush() {}
    virtual DatabaseEntryIdentifier normalise_identifier(const DatabaseEntryIdentifier& id) const {
        return id;
    }
    virtual int identifier_maximum_length() const {
        return DatabaseEntryIdentifier::maximum_length_;
    }

  private:
    [[noreturn]] static void not_writable(const char* operation) {
        throw database_error(std::string("Database::") + operation +
                             ": database is not opened for writing");
    }
};

template <class Entry>
int Database<Entry>::nearest_entry(const DatabaseEntryIdentifier& id, int& match) const {
    const CaseInsensitiveStringLess less;
    int equal_ignoring_case = -1, above = -1, below = -1;
    for (int i = 0; i < size(); ++i) {
        const DatabaseEntryIdentifier candidate = identifier(i);
        if (candidate == id) {
            match = 2;
            return i;
        }
        if (less(candidate.str(), id.str())) {
            if (below < 0 || less(identifier(below).str(), candidate.str())) below = i;
        } else if (less(id.str(), candidate.str())) {
            if (above < 0 || less(candidate.str(), identifier(above).str())) above = i;
        } else if (equal_ignoring_case < 0) {
            equal_ignoring_case = i;
        }
    }
    match = equal_ignoring_case >= 0 ? 1 : 0;
    if (equal_ignoring_case >= 0) return equal_ignoring_case;
    return above >= 0 ? above : below;
}
