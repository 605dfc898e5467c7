#include "cif/CifFile.h"

#include <stdexcept>

#include "cif/CifMolecule.h"
#include "database/ReportRecords.h"
#include "host/Molecule3d.h"

using MoleculeList = std::vector<THandle<Molecule>>;

CifFile::CifFile() = default;

CifFile::CifFile(const std::string& file_name) {
    MoleculeFile::read(file_name);
}

CifDatabase& CifFile::database() {
    if (!database_) database_ = make_handle<CifDatabase>();
    return *database_;
}

void CifFile::read(std::istream& in) {
    database_ = make_handle<CifDatabase>();
    database_->read(in);
}

// A file cleared, or never read, prints nothing.
void CifFile::print(std::ostream& out) const {
    if (database_ && database_->has_document()) database_->print(out);
}

void CifFile::clear() {
    database_ = make_handle<CifDatabase>();
}

void CifFile::add(const Molecule& molecule, const DatabaseEntryIdentifier& id) {
    auto molecules = make_handle<MoleculeList>();
    molecules->push_back(make_handle<Molecule3d>(molecule));
    database().append(molecules, Cell(), id);
}

void CifFile::add(const CrystalStructureDatabaseEntry& entry) {
    database().append(entry);
}

void CifFile::add(const Crystal& crystal, const DatabaseEntryIdentifier& id) {
    database().append(make_handle<MoleculeList>(*crystal.molecules()), crystal.cell(), id);
}

void CifFile::add(const CrystalMaker& maker, const DatabaseEntryIdentifier& id) {
    database().append(maker.molecules(), maker.cell(), id);
}

THandle<CrystalStructureDatabaseEntry> CifFile::database_entry() const {
    if (!database_ || database_->size() == 0) {
        throw std::runtime_error("Cannot load data from CifFile: No structure loaded");
    }
    return database_->entry(0);
}

THandle<Cell> CifFile::cell() const {
    return database_entry()->cell();
}

THandle<CrystalMaker> CifFile::crystal_maker() const {
    return database_entry()->crystal_maker();
}

THandle<Crystal> CifFile::crystal() const {
    return crystal_maker()->create_crystal();
}

THandle<Molecule> CifFile::molecule() const {
    const THandle<Cell> unit_cell = cell();
    CifErrorContainer records;
    THandle<Molecule> result = CifMolecule::molecule(database_->data_block(0), *unit_cell, records);
    cif::detail::report_records(records, database_->errors().get());
    return result;
}

THandle<std::vector<FileError>> CifFile::errors() const {
    return database_ ? database_->errors() : THandle<std::vector<FileError>>();
}

void CifFile::clear_errors() {
    if (database_) database_->clear_errors();
}
