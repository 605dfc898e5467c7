// CifDatabase: a CIF document as a database of crystal-structure entries, one per data
// block with structure data, read lazily; and new entries written as blocks.
#pragma once

#include <deque>
#include <iosfwd>
#include <string>
#include <unordered_map>
#include <vector>

#include "cif/Cif.h"
#include "cif/CifApi.h"
#include "host/Cell.h"
#include "host/CrystalStructureDatabaseEntry.h"
#include "host/Database.h"
#include "host/FileErrorAccessInterface.h"
#include "host/Molecule.h"

/// A block with an item named _atom_site... or _cell... is an entry; one with only
/// publication items (_publ, _journal, _contact, _audit, _author) is a global block whose
/// items every following entry receives (all entries, when it is the one global block and
/// ends the document); other blocks are passed over. Failures are database_error.
class CIF_API CifDatabase : public Database<CrystalStructureDatabaseEntry>,
                            public FileErrorAccessInterface {
  public:
    struct EntryData {
        DatabaseEntryIdentifier identifier;
        THandle<CifDataBlock> data_block;
        THandle<CifDataBlock> global_block;  // empty when none applies
    };

    CifDatabase();
    /// Reads the file; any failure is a database_error naming the file.
    explicit CifDatabase(const std::string& file_name);
    /// Adopts a document already read.
    explicit CifDatabase(THandle<Cif> cif);
    ~CifDatabase() override;

    DatabaseEntryIdentifier identifier(int index) const override;
    bool identifier_exists(const DatabaseEntryIdentifier& id) const override;
    int index(const DatabaseEntryIdentifier& id) const override;
    int size() const override;
    /// A copy of the entry's block with its global block merged under it, converted only
    /// when the entry is asked for its data.
    THandle<CrystalStructureDatabaseEntry> entry(int index) const override;
    THandle<CrystalStructureDatabaseEntry> entry(const DatabaseEntryIdentifier& id) const override;
    void flush() override;
    /// Blanks, tabs and line ends become "_"; cut to 75 characters.
    DatabaseEntryIdentifier normalise_identifier(const DatabaseEntryIdentifier& id) const override;

    /// Replaces the document by the one read, tolerating repeated block names.
    virtual void read(std::istream& in);
    /// Writes the document with the library's banner before it and "#END" after it, keeping
    /// the document's own comments; a text printed before gets neither a second time.
    /// Throws database_error when there is no document (has_document()).
    virtual void print(std::ostream& out) const;
    /// Whether a document was read, or begun by an append.
    bool has_document() const { return !cif_.is_null(); }
    THandle<std::vector<FileError>> errors() const override;
    void clear_errors() override;

    using Database<CrystalStructureDatabaseEntry>::append;
    /// A new block for the entry's structure as its file lists it (the maker's select_3d
    /// view), cell and records.
    void append(const CrystalStructureDatabaseEntry& entry);
    /// The same under another identifier, for an entry whose own one is taken.
    void append(const CrystalStructureDatabaseEntry& entry, const DatabaseEntryIdentifier& id);
    /// A new block for the molecules and cell, without records.
    void append(THandle<std::vector<THandle<Molecule>>> molecules, const Cell& cell,
                const DatabaseEntryIdentifier& id);

    THandle<CifDataBlock> data_block(int index) const;
    std::string block_name(int index) const;

    /// "data_ORB12" gives "ORB12" (what follows the first "_"), "data_x" gives "x", another
    /// name itself.
    static DatabaseEntryIdentifier blockname_to_identifier(const std::string& name);
    static std::string identifier_to_blockname(const DatabaseEntryIdentifier& id);

  private:
    void check_index(int index) const;
    void check_errors();
    void make_entries();
    void make_new_cif();
    void add_block(const DatabaseEntryIdentifier& id,
                   THandle<std::vector<THandle<Molecule>>> molecules, const Cell& cell,
                   THandle<Publication> publication, THandle<ExperimentalInfo> experimental,
                   THandle<EditorsInfo> editors, THandle<ChemicalInfo> chemical,
                   THandle<CrystalInfo> crystal, THandle<DepositionInfo> deposition);
    THandle<std::vector<THandle<Molecule>>> listed_molecules(
        const CrystalStructureDatabaseEntry& entry, const DatabaseEntryIdentifier& id) const;
    // Whether the last item of the block carries the end marker already (a text printed
    // before and read back), or there is no item to carry one.
    static bool ends_with_end_marker(const CifDataBlock& last);
    void add_entry(EntryData entry);

    THandle<Cif> cif_;
    std::deque<EntryData> entries_;
    // The first entry of each identifier, so that finding one by identifier is no search.
    std::unordered_map<std::string, int> first_of_identifier_;
    THandle<std::vector<FileError>> errors_;
};
