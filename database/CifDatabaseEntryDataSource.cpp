#include "cif/CifDatabaseEntryDataSource.h"

#include <stdexcept>

#include "cif/CifCell.h"
#include "cif/CifChemicalInfo.h"
#include "cif/CifCrystalInfo.h"
#include "cif/CifDepositionInfo.h"
#include "cif/CifEditorsInfo.h"
#include "cif/CifExperimentalInfo.h"
#include "cif/CifMolecule.h"
#include "cif/CifPublication.h"
#include "database/ReportRecords.h"

namespace {

// A record the block may not hold: its reader's std::runtime_error means none.
template <class Record>
THandle<Record> read_optional_data(THandle<CifDataBlock> block,
                                   THandle<Record> (*reader)(THandle<CifDataBlock>)) {
    try {
        return reader(block);
    } catch (const std::runtime_error&) {
        return THandle<Record>();
    }
}

}  // namespace

CifDatabaseEntryDataSource::CifDatabaseEntryDataSource(THandle<CifDataBlock> block,
                                                       const DatabaseEntryIdentifier& id,
                                                       THandle<std::vector<FileError>> errors)
    : block_(std::move(block)), identifier_(id), errors_(std::move(errors)) {}

DatabaseEntryIdentifier CifDatabaseEntryDataSource::identifier() const {
    return identifier_;
}

void CifDatabaseEntryDataSource::report(const CifErrorContainer& records) const {
    cif::detail::report_records(records, errors_.get());
}

THandle<Cell> CifDatabaseEntryDataSource::cell() const {
    CifErrorContainer records;
    THandle<Cell> cell = CifCell::read(block_, records);
    report(records);
    return cell;
}

THandle<CrystalMaker> CifDatabaseEntryDataSource::crystal_maker() const {
    if (crystal_maker_) return crystal_maker_;
    const THandle<Cell> unit_cell = cell();
    CifErrorContainer records;
    crystal_maker_ = CifMolecule::crystal_maker(block_, *unit_cell, records);
    disorder_selectors_ = THandle<std::vector<THandle<DisorderSelector>>>();
    report(records);
    return crystal_maker_;
}

THandle<std::vector<THandle<DisorderSelector>>> CifDatabaseEntryDataSource::disorder_selector()
    const {
    if (crystal_maker_) return disorder_selectors_;
    const THandle<Cell> unit_cell = cell();
    CifErrorContainer records;
    auto [maker, selectors] =
        CifMolecule::crystal_maker_disorder_selector(block_, *unit_cell, records);
    crystal_maker_ = maker;
    disorder_selectors_ = selectors;
    report(records);
    return disorder_selectors_;
}

THandle<ExperimentalInfo> CifDatabaseEntryDataSource::experimental_info() const {
    return read_optional_data(block_, &CifExperimentalInfo::read);
}

THandle<EditorsInfo> CifDatabaseEntryDataSource::editors_info() const {
    return read_optional_data(block_, &CifEditorsInfo::read);
}

THandle<ChemicalInfo> CifDatabaseEntryDataSource::chemical_info() const {
    return read_optional_data(block_, &CifChemicalInfo::read);
}

THandle<CrystalInfo> CifDatabaseEntryDataSource::crystal_info() const {
    return read_optional_data(block_, &CifCrystalInfo::read);
}

THandle<Publication> CifDatabaseEntryDataSource::publication() const {
    return read_optional_data(block_, &CifPublication::read);
}

THandle<DepositionInfo> CifDatabaseEntryDataSource::deposition_info() const {
    return read_optional_data(block_, &CifDepositionInfo::read);
}
