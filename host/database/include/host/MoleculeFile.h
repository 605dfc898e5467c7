// MoleculeFile: a file holding crystal structures, read and written whole, that answers
// for its first structure.
#pragma once

#include <iosfwd>
#include <string>

#include "host/Cell.h"
#include "host/Crystal.h"
#include "host/CrystalMaker.h"
#include "host/CrystalStructureDatabaseEntry.h"
#include "host/DatabaseEntryIdentifier.h"
#include "host/HostApi.h"
#include "host/Molecule.h"
#include "host/THandle.h"

class HOST_API MoleculeFile {
  public:
    virtual ~MoleculeFile();

    /// Opens the file and reads it with read(std::istream&). A file that cannot be opened is
    /// read as an empty stream that has failed, so the format reports it as it reports any
    /// unreadable input.
    void read(const std::string& file_name);

    virtual void read(std::istream& in) = 0;
    virtual void print(std::ostream& out) const = 0;
    virtual void clear() = 0;
    virtual void add(const Molecule& molecule, const DatabaseEntryIdentifier& id) = 0;
    virtual void add(const CrystalStructureDatabaseEntry& entry) = 0;
    virtual void add(const Crystal& crystal, const DatabaseEntryIdentifier& id) = 0;
    virtual void add(const CrystalMaker& maker, const DatabaseEntryIdentifier& id) = 0;
    virtual THandle<CrystalStructureDatabaseEntry> database_entry() const = 0;
    virtual THandle<Molecule> molecule() const = 0;
    virtual THandle<Cell> cell() const = 0;
    virtual THandle<Crystal> crystal() const = 0;
    virtual THandle<CrystalMaker> crystal_maker() const = 0;
};
