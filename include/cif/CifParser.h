// CifParser: builds data blocks, items and loops from the tokens of a CIF text, attaching
// comments where they belong and validating every value as it is stored.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "cif/CifDictionary.h"
#include "cif/CifErrorContainer.h"
#include "cif/CifTokenStream.h"
#include "host/THandle.h"

namespace cif::detail {
class TemporaryIgnore;
}

/// Never stops on bad input: every problem becomes a diagnostic in the container and
/// parsing goes on, so that one pass gives a usable document and the full list.
class CIF_API CifParser {
  public:
    using Blocks = std::deque<THandle<CifDataBlock>>;

    /// New blocks are appended to `blocks` and created over `dictionary`.
    CifParser(THandle<CifDictionary> dictionary, THandle<CifErrorContainer> errors, Blocks& blocks);
    ~CifParser();

    /// Reads the stream to its end.
    void parse(CifTokenStream& stream);

    /// Creates the implicit block "data_added_by_velliq" when data comes before any header.
    void check_block_present(int line);
    void make_block(const std::string& name, int line);
    /// Stores one non-looped value.
    void set(THandle<CifDataBlock> block, const CifToken& name, const CifToken& value);
    /// False, with a diagnostic, when the item already has a value.
    bool check_unset(THandle<CifDataItem> item, const CifToken& name);
    /// Reads one loop_ construct; returns the first column's item or an empty handle.
    THandle<CifDataItem> loop(THandle<CifDataBlock> block, CifTokenStream* stream, int line);
    /// The diagnostic for a value that failed validation.
    static CifError validation_error(const std::string& name, CifDataItem::Validated outcome,
                                     int line);

  private:
    THandle<CifDataItem> store(THandle<CifDataBlock> block, const CifToken& name,
                               const CifToken& value);
    void dispatch(CifTokenStream& stream, const CifToken& token);
    void block_header(CifTokenStream& stream, const CifToken& header);
    void data_name(CifTokenStream& stream, const CifToken& name);
    void stray_value(const CifToken& value);
    void end_of_input();
    void read_loop_columns(THandle<CifDataBlock> block, CifTokenStream& stream,
                           std::vector<THandle<CifDataItem>>& items,
                           std::vector<std::string>& names);
    bool read_loop_rows(CifTokenStream& stream, const std::vector<THandle<CifDataItem>>& items,
                        const std::vector<std::string>& names, std::string& row_comment,
                        std::string& accumulated);
    void merge_repeated_columns(const std::vector<THandle<CifDataItem>>& items);
    bool read_loop_values(CifTokenStream& stream, const std::vector<THandle<CifDataItem>>& items,
                          const std::vector<std::string>& names, std::string& row_comment,
                          std::string& accumulated);
    /// Appends blank lines (as line feeds) and comment lines to `text`; `token` becomes the
    /// next other token.
    static void take_after_comments(CifTokenStream& stream, std::string& text, CifToken& token);
    /// Appends the comments that stand on lines first..last, each with `prefix` before its
    /// '#' and `suffix` after its text.
    void collect_line_comments(CifTokenStream& stream, int first, int last, std::string& text,
                               const char* prefix, const char* suffix);

    THandle<CifDictionary> dictionary_;
    std::string pending_comment_;
    THandle<CifErrorContainer> errors_;
    Blocks& blocks_;
    std::deque<std::pair<THandle<CifDataItem>, int>> items_set_;
    THandle<CifDataBlock> current_block_;
    // Set while parse() runs: quotes are not reported before the first block.
    cif::detail::TemporaryIgnore* prose_quotes_ = nullptr;

    THandle<CifDataItem> last_item_;
    bool reported_strings_before_first_block_ = false;
    std::unordered_map<std::string, int> block_name_counts_;  // for duplicate names
    // Tokens reused for values and look-ahead, so that their text buffers are too.
    CifToken scratch_;
    CifToken lookahead_;
    // The values of the loop being read, one reused sequence per column, and what the
    // dictionary says of each column.
    struct LoopColumns;
    std::unique_ptr<LoopColumns> loop_columns_;
    // One text for every item of a name within a read.
    struct SharedNames;
    std::unique_ptr<SharedNames> shared_names_;
};
