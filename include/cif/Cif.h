// Cif: one CIF document: its data blocks in order, the dictionary they are created with and
// the diagnostics of reading.
#pragma once

#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "cif/CifDictionary.h"
#include "cif/CifErrorContainer.h"
#include "cif/CifParserSettings.h"
#include "cif/CifWriteSettings.h"
#include "host/THandle.h"

/// Block names compare exactly (letter case counts), unlike data names within a block.
class CIF_API Cif {
  public:
    using Blocks = std::deque<THandle<CifDataBlock>>;
    using iterator = Blocks::iterator;
    using const_iterator = Blocks::const_iterator;

    explicit Cif(THandle<CifDictionary> dictionary);
    virtual ~Cif();

    /// Replaces the content by the blocks read from the stream; every problem of the text
    /// becomes a diagnostic in errors(), none is thrown.
    void read(std::istream& in, const CifParserSettings& settings);
    /// Reads the file at `path` as `read` does, plain or gzip-compressed alike; a file that
    /// cannot be opened gives FileReadFailed with the system's reason, and one damaged or cut
    /// short (a broken .gz) gives it after what could be read.
    void read_file(const std::string& path, const CifParserSettings& settings);
    /// Writes every block in order.
    void write(std::ostream& os, const CifWriteSettings& settings) const;

    unsigned int blocks() const { return static_cast<unsigned int>(blocks_.size()); }
    /// Throws std::invalid_argument "Cif does not have block N" when out of range.
    THandle<CifDataBlock> block(unsigned int i);
    THandle<CifDataBlock> block(unsigned int i) const;
    iterator block_iterator(unsigned int i);
    iterator block_begin() { return blocks_.begin(); }
    iterator block_end() { return blocks_.end(); }
    const_iterator block_begin() const { return blocks_.begin(); }
    const_iterator block_end() const { return blocks_.end(); }
    /// The block whose data_ line most closely precedes or is the line; blocks made by
    /// new_block are passed over.
    iterator block_at_line(int line);
    const_iterator block_at_line(int line) const;
    /// The first block of exactly that name.
    iterator block_with_name(const std::string& name);
    const_iterator block_with_name(const std::string& name) const;
    /// A new, empty block before `position`; the end iterator when the name is taken.
    iterator new_block(const std::string& name, iterator position);
    /// Moves the block at `from` to `to`, the blocks between shifting by one.
    void move(iterator from, iterator to);

    /// Tests the publication items in every block holding journal or publication data and
    /// the structure items in every block holding structure data (the first block stands in
    /// when there is no such block); findings are Remarks in errors().
    void check_mandatory(const std::vector<std::string>& publication_items,
                         const std::vector<std::string>& structure_items);
    /// Reports the name when the block lacks a significant value for it and no related item
    /// that may replace it (alternate or replace) has one.
    void check_mandatory_data_item(const std::string& name, const CifDataBlock& block);

    THandle<CifErrorContainer> errors() const { return errors_; }
    THandle<CifDictionary> dictionary() const { return dictionary_; }
    void validate_block_number(unsigned int i) const;

  private:
    THandle<CifDictionary> dictionary_;
    THandle<CifErrorContainer> errors_;
    Blocks blocks_;
};
