// CrystalStructureDatabaseEntryDataSource: where a crystal-structure entry gets its data
// when asked, so that a database can hand out entries without converting them.
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

/// Every answer is a handle, empty when the source has no such data.
class HOST_API CrystalStructureDatabaseEntryDataSource {
  public:
    virtual ~CrystalStructureDatabaseEntryDataSource();

    virtual DatabaseEntryIdentifier identifier() const = 0;
    virtual THandle<CrystalMaker> crystal_maker() const = 0;
    virtual THandle<ExperimentalInfo> experimental_info() const = 0;
    virtual THandle<Cell> cell() const = 0;
    virtual THandle<EditorsInfo> editors_info() const = 0;
    virtual THandle<ChemicalInfo> chemical_info() const = 0;
    virtual THandle<CrystalInfo> crystal_info() const = 0;
    virtual THandle<Publication> publication() const = 0;
    virtual THandle<DepositionInfo> deposition_info() const = 0;
    virtual THandle<std::vector<THandle<DisorderSelector>>> disorder_selector() const = 0;
};
