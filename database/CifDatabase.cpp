#include "cif/CifDatabase.h"

#include <fstream>
#include <sstream>

#include "cif/CifCell.h"
#include "cif/CifChemicalInfo.h"
#include "cif/CifConcreteDictionary.h"
#include "cif/CifCrystalInfo.h"
#include "cif/CifDatabaseEntryDataSource.h"
#include "cif/CifDepositionInfo.h"
#include "cif/CifEditorsInfo.h"
#include "cif/CifErrorToFileError.h"
#include "cif/CifExperimentalInfo.h"
#include "cif/CifMolecule.h"
#include "cif/CifPublication.h"
#include "cif/CifUtilities.h"
#include "host/Copyright.h"
#include "host/TextUtilities.h"
#include "host/VexorLog.h"

namespace {

const char* const end_marker = "\n#END\n";

const char* const advice =
    "Run cif-check, the example program of the cif library, on the file to see each error\n"
    "with its line; correct them in any text editor, then read the file again.\n";

enum BlockType { Ignored = 0, Global = 1, Structure = 2 };

BlockType block_type(THandle<CifDataBlock> block) {
    for (const char* prefix : {"_atom_site", "_cell"}) {
        if (has_item_name_beginning(block, prefix)) return Structure;
    }
    for (const char* prefix : {"_publ", "_journal", "_contact", "_audit", "_author"}) {
        if (has_item_name_beginning(block, prefix)) return Global;
    }
    return Ignored;
}

void debug_line(const std::string& text) {
    VexorLog::start_debug_line(1) << text;
    VexorLog::end_debug_line();
}

std::string generate_identifier_from_index(std::size_t number) {
    std::string text = std::to_string(number);
    return std::string(text.size() < 8 ? 8 - text.size() : 0, '0') + text;
}

std::string rule() {
    return std::string(71, '#');
}

// A line beginning "#" with the text centred in the rule's width.
std::string centred(const std::string& text) {
    const std::size_t room = rule().size() - 1;
    const std::size_t left = text.size() < room ? (room - text.size()) / 2 : 0;
    return "#" + std::string(left, ' ') + text;
}

// The banner ends with a line end of its own: written before a data_ line, it would
// otherwise turn that line into part of its last comment.
std::string make_banner() {
    const std::string header = "\n" + rule() + "\n#\n" + centred("The cif library") + "\n" +
                               centred("libcif") + "\n#\n" + rule() + "\n#\n";
    const std::string footer =
        "#\n# cif-check, the library's example program, checks CIF files against the IUCr\n"
        "# dictionaries and lists the structures, molecules and disorder they hold.\n#\n" +
        rule() + "\n";
    std::vector<std::string> lines;
    Copyright::commented_text("CIF", lines, header, footer, "# ", "", 80);
    std::string banner;
    for (const std::string& line : lines)
        banner += line + "\n";
    return banner;
}

const std::string& copyright_message_text() {
    static const std::string text = make_banner();
    return text;
}

bool any_of_ids(const CifErrorContainer& errors, CifError::ErrorID first,
                CifError::ErrorID second) {
    for (const CifError& error : errors) {
        if (error.id() == first || error.id() == second) return true;
    }
    return false;
}

}  // namespace

CifDatabase::CifDatabase() {
    copyright_message_text();
}

CifDatabase::CifDatabase(const std::string& file_name) {
    copyright_message_text();
    try {
        std::ifstream in(file_name, std::ios::binary);
        read(in);
    } catch (const std::exception& failure) {
        throw database_error("Failed to read file " + file_name + "\n" + failure.what());
    }
}

CifDatabase::CifDatabase(THandle<Cif> cif) : cif_(std::move(cif)) {
    copyright_message_text();
    check_errors();
    make_entries();
}

CifDatabase::~CifDatabase() = default;

void CifDatabase::make_new_cif() {
    cif_ = make_handle<Cif>(THandle<CifDictionary>(make_handle<CifConcreteDictionary>()));
}

void CifDatabase::read(std::istream& in) {
    make_new_cif();
    cif_->errors()->ignore_error(CifError::DuplicateBlockName);
    cif_->read(in, CifParserSettings());
    check_errors();
    make_entries();
}

void CifDatabase::check_errors() {
    errors_ = make_handle<std::vector<FileError>>();
    const CifErrorContainer& records = *cif_->errors();
    if (records.errors_of_type(CifError::Error) == 0) return;
    if (any_of_ids(records, CifError::FileNotRead, CifError::NoDataBlocks)) {
        throw database_error(
            std::string("This CIF contains no readable data and therefore cannot be read.\n") +
            advice);
    }
    std::string text =
        "This Cif contains some syntax errors.\nIt will be read but results may be in error.\n";
    if (any_of_ids(records, CifError::UnterminatedTextField,
                   CifError::IgnoredStringSemicolonMismatch)) {
        text += "It is probable that some data loss has occurred.\n";
    }
    text += std::string("\n") + advice +
            "\nThe errors are as follows, note that warnings are ignored\n";
    errors_->emplace_back(FileError::Warning, text, -1);
    for (const CifError& record : records) {
        if (record.type() == CifError::Error) {
            errors_->push_back(CifErrorToFileError()(record));
        }
    }
}

void CifDatabase::make_entries() {
    entries_.clear();
    first_of_identifier_.clear();
    THandle<CifDataBlock> global;
    int globals = 0;
    for (auto block = cif_->block_begin(); block != cif_->block_end(); ++block) {
        switch (block_type(*block)) {
            case Ignored:
                debug_line("CifDatabase::block " + (*block)->name() + " ignored");
                break;
            case Global:
                debug_line("CifDatabase::block " + (*block)->name() + " is a global block");
                global = *block;
                ++globals;
                break;
            case Structure: {
                DatabaseEntryIdentifier id = blockname_to_identifier((*block)->name());
                if (id.str().empty()) id = generate_identifier_from_index(entries_.size() + 1);
                add_entry({id, *block, global});
            }
        }
    }
    const bool one_global_at_the_end =
        globals == 1 && cif_->blocks() > 0 && cif_->block(cif_->blocks() - 1) == global.get();
    if (one_global_at_the_end) {
        for (EntryData& entry : entries_)
            entry.global_block = global;
    }
}

DatabaseEntryIdentifier CifDatabase::blockname_to_identifier(const std::string& name) {
    if (name.compare(0, 8, "data_ORB") == 0) return left_cut(name, '_');
    if (name.compare(0, 5, "data_") == 0) return name.substr(5);
    return name;
}

std::string CifDatabase::identifier_to_blockname(const DatabaseEntryIdentifier& id) {
    return "data_" + id.str();
}

void CifDatabase::check_index(int index) const {
    if (index < 0 || index >= size()) {
        throw database_error("No data for index " + std::to_string(index) + " in this database ");
    }
}

DatabaseEntryIdentifier CifDatabase::identifier(int index) const {
    check_index(index);
    return entries_[index].identifier;
}

THandle<CifDataBlock> CifDatabase::data_block(int index) const {
    check_index(index);
    return entries_[index].data_block;
}

std::string CifDatabase::block_name(int index) const {
    return data_block(index)->name();
}

void CifDatabase::add_entry(EntryData entry) {
    first_of_identifier_.emplace(entry.identifier.str(), size());
    entries_.push_back(std::move(entry));
}

int CifDatabase::index(const DatabaseEntryIdentifier& id) const {
    const auto found = first_of_identifier_.find(id.str());
    return found == first_of_identifier_.end() ? size() : found->second;
}

bool CifDatabase::identifier_exists(const DatabaseEntryIdentifier& id) const {
    return index(id) != size();
}

int CifDatabase::size() const {
    return static_cast<int>(entries_.size());
}

THandle<CrystalStructureDatabaseEntry> CifDatabase::entry(int index) const {
    check_index(index);
    const EntryData& data = entries_[index];
    auto block =
        make_handle<CifDataBlock>(data.data_block->dictionary(), data.data_block->name(), -1);
    block->copy(*data.data_block);
    if (data.global_block) block->merge(*data.global_block, CifDataBlock::KeepExisting);
    auto source = make_handle<CifDatabaseEntryDataSource>(block, data.identifier, errors_);
    return make_handle<CrystalStructureDeferredDatabaseEntry>(source);
}

THandle<CrystalStructureDatabaseEntry> CifDatabase::entry(const DatabaseEntryIdentifier& id) const {
    const int found = index(id);
    if (found == size()) {
        throw database_error("No data for DatabaseEntryIdentifier " + id.str() +
                             " in this database ");
    }
    return entry(found);
}

void CifDatabase::flush() {}

DatabaseEntryIdentifier CifDatabase::normalise_identifier(const DatabaseEntryIdentifier& id) const {
    return truncate(substitute(id.str(), "\r\n\t ", '_'), 75);
}

// The banner goes above the document and the end marker below it; the document keeps its
// own comments, and a text printed before (read back with its banner and marker) gets
// neither again.
void CifDatabase::print(std::ostream& out) const {
    if (!cif_) throw database_error("Could not write Cif Database as there is no data to write");
    const std::string& banner = copyright_message_text();
    const bool framed = cif_->blocks() > 0;
    if (framed && cif_->block(0)->comments(CifCommentable::Leading).rfind(banner, 0) != 0) {
        out << banner;
    }
    cif_->write(out, CifWriteSettings());
    if (framed && !ends_with_end_marker(*cif_->block(cif_->blocks() - 1))) out << end_marker;
}

bool CifDatabase::ends_with_end_marker(const CifDataBlock& last) {
    if (last.begin_write_order() == last.end_write_order()) return true;  // no item to follow
    const std::string trailing =
        (*std::prev(last.end_write_order()))->comments(CifCommentable::Trailing);
    const std::string marker = end_marker;
    return trailing.size() >= marker.size() &&
           trailing.compare(trailing.size() - marker.size(), marker.size(), marker) == 0;
}

THandle<std::vector<FileError>> CifDatabase::errors() const {
    return errors_;
}

void CifDatabase::clear_errors() {
    if (errors_) errors_->clear();
}

void CifDatabase::append(const CrystalStructureDatabaseEntry& entry) {
    append(entry, entry.identifier());
}

void CifDatabase::append(const CrystalStructureDatabaseEntry& entry,
                         const DatabaseEntryIdentifier& id) {
    const THandle<Cell> cell = entry.cell();
    add_block(id, listed_molecules(entry, id), *cell, entry.publication(),
              entry.experimental_info(), entry.editors_info(), entry.chemical_info(),
              entry.crystal_info(), entry.deposition_info());
}

// The entry's structure as its file lists it; none, with the failure reported, when its
// atoms cannot be read: its cell and records are converted all the same.
THandle<std::vector<THandle<Molecule>>> CifDatabase::listed_molecules(
    const CrystalStructureDatabaseEntry& entry, const DatabaseEntryIdentifier& id) const {
    try {
        const THandle<CrystalMaker> maker = entry.crystal_maker();
        maker->select_3d();
        return maker->molecules();
    } catch (const std::runtime_error& failure) {
        const std::string text = "No atoms written for " + id.str() + ": " + failure.what();
        VexorLog::start_error_line() << text;
        VexorLog::end_error_line();
        if (errors_) errors_->push_back(FileError(FileError::Error, text, -1));
        return make_handle<std::vector<THandle<Molecule>>>();
    }
}

void CifDatabase::append(THandle<std::vector<THandle<Molecule>>> molecules, const Cell& cell,
                         const DatabaseEntryIdentifier& id) {
    add_block(id, molecules, cell, {}, {}, {}, {}, {}, {});
}

void CifDatabase::add_block(const DatabaseEntryIdentifier& id,
                            THandle<std::vector<THandle<Molecule>>> molecules, const Cell& cell,
                            THandle<Publication> publication,
                            THandle<ExperimentalInfo> experimental, THandle<EditorsInfo> editors,
                            THandle<ChemicalInfo> chemical, THandle<CrystalInfo> crystal,
                            THandle<DepositionInfo> deposition) {
    if (!cif_) make_new_cif();
    const auto created = cif_->new_block(identifier_to_blockname(id), cif_->block_end());
    if (created == cif_->block_end() || !*created) {
        throw database_error("Failed to write cif: could not create a new block");
    }
    const THandle<CifDataBlock> block = *created;
    add_entry({id, block, THandle<CifDataBlock>()});
    if (editors) CifEditorsInfo::write(block, *editors);
    if (deposition) CifDepositionInfo::write(block, *deposition);
    if (chemical) CifChemicalInfo::write(block, *chemical);
    if (publication) CifPublication::write(block, *publication);
    if (experimental) CifExperimentalInfo::write(block, *experimental);
    CifCell::write(block, cell);
    if (crystal) CifCrystalInfo::write(block, *crystal);
    CifMolecule::write(block, molecules, cell);
}
