// Internal: CifWriter: the layout of written CIF text in one place. The model's print
// methods delegate here.
#pragma once

#include <iosfwd>
#include <vector>

#include "cif/CifWriteSettings.h"
#include "host/THandle.h"

class CifDataBlock;
class CifDataItem;
class CifLoop;

namespace cif::detail {

// Every piece goes straight into the stream's buffer; a piece is written only while the
// stream is good, and a failed write sets badbit when the piece ends.
class CifWriter {
  public:
    CifWriter(std::ostream& os, const CifWriteSettings& settings) : os_(os), settings_(settings) {}

    /// The block's leading comment and its data_ line.
    void block_header(const CifDataBlock& block);
    /// A non-looped item: its leading comment, the name/value line, its trailing comment;
    /// nothing at all when it has no value.
    void item(const CifDataItem& item);
    /// The loop_ line, the column names with their comments, the rows, then the columns'
    /// trailing comments.
    void loop(const CifLoop& loop, const std::vector<THandle<CifDataItem>>& items);

  private:
    std::ostream& os_;
    const CifWriteSettings& settings_;
};

}  // namespace cif::detail
