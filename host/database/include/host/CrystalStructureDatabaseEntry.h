// CrystalStructureDatabaseEntry: one crystal structure of a database, with its cell,
// molecules and descriptive records.
#pragma once

#include <vector>

#include "host/Cell.h"
#include "host/ChemicalInfo.h"
#include "host/CrystalInfo.h"
#include "host/CrystalMaker.h"
#include "host/DatabaseEntryIdentifier.h"
#include "host/DepositionInfo.h"
#include "host/DisorderSelector.h"
#include "host/EditorsInfo.h"
#include "host/ExperimentalInfo.h"
#include "host/HostApi.h"
#include "host/Publication.h"
#include "host/THandle.h"

class CrystalStructureDatabaseEntryDataSource;

/// Every record is a handle, empty when the entry has no such record.
class HOST_API CrystalStructureDatabaseEntry {
  public:
    virtual ~CrystalStructureDatabaseEntry();

    virtual DatabaseEntryIdentifier identifier() const = 0;
    virtual THandle<CrystalMaker> crystal_maker() const = 0;
    virtual THandle<Cell> cell() const = 0;
    virtual THandle<Publication> publication() const = 0;
    virtual THandle<ExperimentalInfo> experimental_info() const = 0;
    virtual THandle<EditorsInfo> editors_info() const = 0;
    virtual THandle<ChemicalInfo> chemical_info() const = 0;
    virtual THandle<CrystalInfo> crystal_info() const = 0;
    virtual THandle<DepositionInfo> deposition_info() const = 0;
    virtual THandle<std::vector<THandle<DisorderSelector>>> disorder_selector() const = 0;
};

/// An entry that asks its source for each answer when it is asked, and keeps nothing.
class HOST_API CrystalStructureDeferredDatabaseEntry : public CrystalStructureDatabaseEntry {
  public:
    explicit CrystalStructureDeferredDatabaseEntry(
        THandle<CrystalStructureDatabaseEntryDataSource> source);

    DatabaseEntryIdentifier identifier() const override;
    THandle<CrystalMaker> crystal_maker() const override;
    THandle<Cell> cell() const override;
    THandle<Publication> publication() const override;
    THandle<ExperimentalInfo> experimental_info() const override;
    THandle<EditorsInfo> editors_info() const override;
    THandle<ChemicalInfo> chemical_info() const override;
    THandle<CrystalInfo> crystal_info() const override;
    THandle<DepositionInfo> deposition_info() const override;
    THandle<std::vector<THandle<DisorderSelector>>> disorder_selector() const override;

  private:
    THandle<CrystalStructureDatabaseEntryDataSource> source_;
};
