// CifDatabaseEntryDataSource: the data of one database entry, converted from its own copy of
// the entry's block when first asked.
#pragma once

#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "cif/CifErrorContainer.h"
#include "host/CrystalStructureDatabaseEntryDataSource.h"
#include "host/FileError.h"

/// The cell is read at every call, the crystal maker and disorder selectors once (whichever
/// is asked first builds both: after crystal_maker() there are no selectors), the records
/// at every call, empty when the block cannot give them. The diagnostics of reading the
/// cell and the atoms go to the log and, as file errors, to the database's list (to the log
/// only when the database has no list, having never read a file). Exceptions of the cell
/// and atom readers reach the caller.
class CIF_API CifDatabaseEntryDataSource : public CrystalStructureDatabaseEntryDataSource {
  public:
    CifDatabaseEntryDataSource(THandle<CifDataBlock> block, const DatabaseEntryIdentifier& id,
                               THandle<std::vector<FileError>> errors);

    DatabaseEntryIdentifier identifier() const override;
    THandle<CrystalMaker> crystal_maker() const override;
    THandle<ExperimentalInfo> experimental_info() const override;
    THandle<Cell> cell() const override;
    THandle<EditorsInfo> editors_info() const override;
    THandle<ChemicalInfo> chemical_info() const override;
    THandle<CrystalInfo> crystal_info() const override;
    THandle<Publication> publication() const override;
    THandle<DepositionInfo> deposition_info() const override;
    THandle<std::vector<THandle<DisorderSelector>>> disorder_selector() const override;

  private:
    void report(const CifErrorContainer& records) const;

    THandle<CifDataBlock> block_;
    mutable THandle<CrystalMaker> crystal_maker_;
    mutable THandle<std::vector<THandle<DisorderSelector>>> disorder_selectors_;
    DatabaseEntryIdentifier identifier_;
    THandle<std::vector<FileError>> errors_;
};
