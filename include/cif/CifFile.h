// CifFile: a CIF file as a molecule file of the host's file-format framework, answering for
// its first structure.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDatabase.h"
#include "host/FileErrorAccessInterface.h"
#include "host/MoleculeFile.h"

/// Exceptions of the database and of the mappers reach the caller unchanged.
class CIF_API CifFile : public MoleculeFile, public FileErrorAccessInterface {
  public:
    CifFile();
    /// Reads the file.
    explicit CifFile(const std::string& file_name);

    using MoleculeFile::read;
    void read(std::istream& in) override;
    /// The database's text; nothing when there is none.
    void print(std::ostream& out) const override;
    void clear() override;
    /// A block holding the molecule in the unit cube (the default Cell).
    void add(const Molecule& molecule, const DatabaseEntryIdentifier& id) override;
    void add(const CrystalStructureDatabaseEntry& entry) override;
    void add(const Crystal& crystal, const DatabaseEntryIdentifier& id) override;
    void add(const CrystalMaker& maker, const DatabaseEntryIdentifier& id) override;
    /// The first entry; throws std::runtime_error "Cannot load data from CifFile: No structure
    /// loaded" when there is none.
    THandle<CrystalStructureDatabaseEntry> database_entry() const override;
    /// The first block's atoms in file order (without its global block); the diagnostics go
    /// to the log and to the database's list.
    THandle<Molecule> molecule() const override;
    THandle<Cell> cell() const override;
    THandle<Crystal> crystal() const override;
    THandle<CrystalMaker> crystal_maker() const override;
    THandle<std::vector<FileError>> errors() const override;
    void clear_errors() override;

  private:
    CifDatabase& database();

    THandle<CifDatabase> database_;
};
