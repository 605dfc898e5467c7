#include "host/CrystalStructureDatabaseEntry.h"

#include "host/CrystalStructureDatabaseEntryDataSource.h"

CrystalStructureDatabaseEntryDataSource::~CrystalStructureDatabaseEntryDataSource() = default;

CrystalStructureDatabaseEntry::~CrystalStructureDatabaseEntry() = default;

CrystalStructureDeferredDatabaseEntry::CrystalStructureDeferredDatabaseEntry(
    THandle<CrystalStructureDatabaseEntryDataSource> source)
    : source_(std::move(source)) {}

DatabaseEntryIdentifier CrystalStructureDeferredDatabaseEntry::identifier() const {
    return source_->identifier();
}

THandle<CrystalMaker> CrystalStructureDeferredDatabaseEntry::crystal_maker() const {
    return source_->crystal_maker();
}

THandle<Cell> CrystalStructureDeferredDatabaseEntry::cell() const {
    return source_->cell();
}

THandle<Publication> CrystalStructureDeferredDatabaseEntry::publication() const {
    return source_->publication();
}

THandle<ExperimentalInfo> CrystalStructureDeferredDatabaseEntry::experimental_info() const {
    return source_->experimental_info();
}

THandle<EditorsInfo> CrystalStructureDeferredDatabaseEntry::editors_info() const {
    return source_->editors_info();
}

THandle<ChemicalInfo> CrystalStructureDeferredDatabaseEntry::chemical_info() const {
    return source_->chemical_info();
}

THandle<CrystalInfo> CrystalStructureDeferredDatabaseEntry::crystal_info() const {
    return source_->crystal_info();
}

THandle<DepositionInfo> CrystalStructureDeferredDatabaseEntry::deposition_info() const {
    return source_->deposition_info();
}

THandle<std::vector<THandle<DisorderSelector>>>
CrystalStructureDeferredDatabaseEntry::disorder_selector() const {
    return source_->disorder_selector();
}
