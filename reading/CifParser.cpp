#include "cif/CifParser.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

#include "cif/CifErrorException.h"
#include "cif/StringFunctionsLibCif.h"
#include "diagnostics/TemporaryIgnore.h"
#include "host/TextUtilities.h"
#include "model/CifCharacters.h"
#include "model/ReaderAccess.h"
#include "reading/Tokenizer.h"

using cif::detail::PackedStrings;
using cif::detail::ReaderAccess;
using cif::detail::TemporaryIgnore;
using cif::detail::Tokenizer;

namespace {

const char* const implicit_block_name = "data_added_by_velliq";

bool is_end_of_file_marker(const std::string& text) {
    return text.compare(0, 4, "_eof") == 0;
}

bool is_comment_or_blank(const CifToken& token) {
    return (token.type & (CifToken::Comment | CifToken::BlankLine)) != 0;
}

void append_comment_line(std::string& text, const CifToken& token) {
    if (token.type == CifToken::BlankLine) {
        text += '\n';
        return;
    }
    text += '#';
    text += token.text;
    text += '\n';
}

// CifParser::take_after_comments() with a value's text left in the tokenizer's line buffer.
void take_value_after_comments(Tokenizer& tokens, std::string& text, CifToken& token,
                               std::string_view& token_text) {
    tokens.get_token(token, token_text);
    for (; is_comment_or_blank(token); tokens.get_token(token, token_text))
        append_comment_line(text, token);
}

// A long column goes to the item as it is, trimmed, and the reused column gets as much room
// again, as the next loop is likely as long; a short one is copied, so that the reused
// column keeps its room.
void hand_over(PackedStrings& column, CifDataItem& item) {
    constexpr std::size_t long_column = 4096;
    if (column.empty()) return;
    if (column.characters() >= long_column) {
        const std::size_t texts = column.size();
        const std::size_t characters = column.characters();
        column.shrink_to_fit();
        ReaderAccess::take_values(item, column);
        column.clear();
        column.reserve(texts, characters);
    } else {
        PackedStrings copy(column);
        ReaderAccess::take_values(item, copy);
    }
}

// CIF 2.0 text begins with the comment #\#CIF_2.0 (a comment token's text follows the #).
// Its lists, tables and triple quotes read as CIF 1.1 give a cascade of errors on valid
// values, so such a file is refused as a whole, once.
bool is_cif2_magic(const CifToken& token) {
    static const std::string magic = "\\#CIF_2.0";
    return token.type == CifToken::Comment && token.line == 1 &&
           token.text.compare(0, magic.size(), magic) == 0;
}

}  // namespace

struct CifParser::LoopColumns {
    // The names as the loop header spells them; the strings outlive each loop, so that their
    // buffers serve the next one. Only the first as many as the loop has columns count.
    std::vector<std::string> names;
    std::vector<PackedStrings> values;
    std::vector<ReaderAccess::Definition> definitions;
};

// Most names recur block after block: items of one name share its text, one allocation for
// all of them instead of one each, and what the dictionary says of the name, looked up once
// per read. An open-addressing table, so that a name seen once costs no more than its text.
// Beside it, the arena the items of the read's blocks are made in.
struct CifParser::SharedNames {
    struct Entry {
        THandle<const std::string> text;
        std::uint32_t hash = 0;
        int definition = -1;  // in `definitions`, once read
    };

    /// The name's entry; valid until the next call.
    Entry& operator()(const std::string& name) {
        if (2 * (used + 1) > slots.size()) grow();
        const std::uint32_t hash = cif::detail::case_folded_hash(name);
        std::size_t at = place_of(hash);
        for (; slots[at].text; at = (at + 1) & (slots.size() - 1)) {
            if (slots[at].hash == hash && *slots[at].text == name) return slots[at];
        }
        slots[at] = {make_handle<const std::string>(name), hash};
        ++used;
        return slots[at];
    }

    /// The definition of the name's items (the same for all of them: the parser's dictionary
    /// defines it), read from the first.
    const ReaderAccess::Definition& definition(Entry& entry, const CifDataItem& item) {
        if (entry.definition < 0) {
            definitions.push_back(ReaderAccess::read_definition(item));
            entry.definition = static_cast<int>(definitions.size() - 1);
        }
        return definitions[static_cast<std::size_t>(entry.definition)];
    }

    void clear() {
        slots.clear();
        used = 0;
        definitions.clear();
        cif::detail::HandleArena* fresh = cif::detail::HandleArena::create();
        arena = cif::detail::ArenaAllocator<char>(fresh);
        fresh->let_go();
    }

    cif::detail::ArenaAllocator<char> arena;

  private:
    std::size_t place_of(std::uint32_t hash) const { return hash & (slots.size() - 1); }

    void grow() {
        std::vector<Entry> old(std::max<std::size_t>(512, 2 * slots.size()));
        old.swap(slots);
        for (Entry& entry : old) {
            if (!entry.text) continue;
            std::size_t at = place_of(entry.hash);
            while (slots[at].text)
                at = (at + 1) & (slots.size() - 1);
            slots[at] = std::move(entry);
        }
    }

    std::vector<Entry> slots;  // a power of two in size, at most half full
    std::size_t used = 0;
    std::deque<ReaderAccess::Definition> definitions;  // where they stay while the table grows
};

CifParser::CifParser(THandle<CifDictionary> dictionary, THandle<CifErrorContainer> errors,
                     Blocks& blocks)
    : dictionary_(std::move(dictionary)),
      errors_(std::move(errors)),
      blocks_(blocks),
      loop_columns_(std::make_unique<LoopColumns>()),
      shared_names_(std::make_unique<SharedNames>()) {}

CifParser::~CifParser() = default;

void CifParser::parse(CifTokenStream& stream) {
    shared_names_->clear();
    pending_comment_.clear();
    items_set_.clear();
    current_block_ = THandle<CifDataBlock>();
    last_item_ = THandle<CifDataItem>();
    reported_strings_before_first_block_ = false;
    block_name_counts_.clear();
    for (const THandle<CifDataBlock>& block : blocks_)
        ++block_name_counts_[block->name()];
    // Text before the first data_ header is often free prose, full of apostrophes.
    TemporaryIgnore prose_quotes(*errors_, CifError::UnterminatedQuote);
    prose_quotes_ = &prose_quotes;
    try {
        CifToken token;
        stream.get_token(token);
        if (is_cif2_magic(token)) {
            errors_->add(CifError(CifError::Cif2NotRead, token.line));
            prose_quotes_ = nullptr;
            return;
        }
        for (; token.type != CifToken::EndOfInput; stream.get_token(token))
            dispatch(stream, token);
        end_of_input();
    } catch (const CifErrorException& e) {
        errors_->add(e.error());
    } catch (...) {
        prose_quotes_ = nullptr;
        throw;
    }
    prose_quotes_ = nullptr;
}

void CifParser::dispatch(CifTokenStream& stream, const CifToken& token) {
    switch (token.type) {
        case CifToken::BlankLine:
        case CifToken::Comment:
            append_comment_line(pending_comment_, token);
            break;
        case CifToken::DataBlockHeader:
            block_header(stream, token);
            break;
        case CifToken::DataName:
            data_name(stream, token);
            break;
        case CifToken::LoopKeyword: {
            check_block_present(token.line);
            THandle<CifDataItem> first = loop(current_block_, &stream, token.line);
            if (first) last_item_ = first;
            break;
        }
        case CifToken::Value:
            stray_value(token);
            break;
        default:
            errors_->add(CifError(CifError::InternalReadError, "Invalid parser token", -1));
            break;
    }
}

void CifParser::end_of_input() {
    if (!pending_comment_.empty() && pending_comment_.back() == '\n') pending_comment_.pop_back();
    if (last_item_ && !pending_comment_.empty()) {
        last_item_->set_comments(pending_comment_, CifCommentable::Trailing);
        pending_comment_.clear();
    }
}

void CifParser::make_block(const std::string& name, int line) {
    // Blocks of one file tend to be alike: the last one's size is the new one's guess, up to
    // that of a common structure block, so that one large block does not oversize the rest.
    constexpr std::size_t largest_guess = 96;
    const std::size_t expected_items =
        current_block_ ? std::min(current_block_->item_count(), largest_guess) : 0;
    current_block_ = make_handle<CifDataBlock>(dictionary_, name, line);
    ReaderAccess::prepare_block(*current_block_, shared_names_->arena.arena(), expected_items);
    blocks_.push_back(current_block_);
    if (prose_quotes_ != nullptr) prose_quotes_->restore();
}

void CifParser::check_block_present(int line) {
    if (current_block_) return;
    errors_->add(CifError(CifError::DataBeforeFirstBlock, line));
    make_block(implicit_block_name, line);
    ++block_name_counts_[implicit_block_name];
}

void CifParser::block_header(CifTokenStream& stream, const CifToken& header) {
    items_set_.clear();
    make_block(header.text, header.line);
    if (header.text == "data_")
        errors_->add(CifError(CifError::MissingBlockIdentifier, header.line));
    int& earlier_namesakes = block_name_counts_[header.text];
    for (int i = 0; i < earlier_namesakes; ++i) {
        errors_->add(CifError(CifError::DuplicateBlockName, header.text, header.line));
    }
    ++earlier_namesakes;
    if (!pending_comment_.empty()) {
        current_block_->set_comments(pending_comment_, CifCommentable::Leading);
        pending_comment_.clear();
    }
    collect_line_comments(stream, header.line, header.end_line, pending_comment_, " #", "");
    if (!pending_comment_.empty()) {
        current_block_->set_comments(pending_comment_, CifCommentable::AfterName);
        pending_comment_.clear();
    }
}

void CifParser::data_name(CifTokenStream& stream, const CifToken& name) {
    check_block_present(name.line);
    if (name.text.size() > 75) {
        errors_->add(CifError(CifError::DataNameTooLong, name.text, name.line));
    }
    std::string between;
    CifToken& value = scratch_;
    take_after_comments(stream, between, value);
    int value_line = -1;
    int value_end_line = -1;
    if (value.type == CifToken::Value) {
        value_line = value.line;
        value_end_line = value.end_line;
        last_item_ = store(current_block_, name, value);
    } else {
        CifError::ErrorID id =
            value.type == CifToken::DataName   ? CifError::DataNameFollowedByDataName
            : is_end_of_file_marker(name.text) ? CifError::NonStandardEndOfFileMarker
                                               : CifError::DataNameWithoutValue;
        errors_->add(CifError(id, name.text, name.line));
        stream.unget_token(std::move(value));
        last_item_ = current_block_->find(name.text);
    }
    if (last_item_) {
        if (!pending_comment_.empty()) {
            last_item_->set_comments(pending_comment_, CifCommentable::Leading);
            pending_comment_.clear();
        }
        if (!between.empty()) last_item_->set_comments(between, CifCommentable::AfterName);
    }
    if (value_line != -1) {
        collect_line_comments(stream, value_line, value_end_line, pending_comment_, "#", "\n");
    }
    if (last_item_ && !pending_comment_.empty()) {
        last_item_->set_comments(pending_comment_, CifCommentable::AfterValue);
        pending_comment_.clear();
    }
}

void CifParser::set(THandle<CifDataBlock> block, const CifToken& name, const CifToken& value) {
    store(std::move(block), name, value);
}

// set(), returning the item of that name (empty when the tokens cannot be stored).
THandle<CifDataItem> CifParser::store(THandle<CifDataBlock> block, const CifToken& name,
                                      const CifToken& value) {
    if (block.is_null() || name.type != CifToken::DataName || value.type != CifToken::Value) {
        errors_->add(
            CifError(CifError::InternalReadError, "parser error: set of invalid data item", -1));
        return THandle<CifDataItem>();
    }
    SharedNames::Entry& shared = (*shared_names_)(name.text);
    THandle<CifDataItem> item = block->obtain(shared.text);
    if (item->line() == 0) item->set_line(name.line);
    if (!check_unset(item, name)) return item;
    items_set_.emplace_back(item, name.line);
    const ReaderAccess::Definition& definition = shared_names_->definition(shared, *item);
    CifDataItem::Validated outcome = ReaderAccess::set_value(*item, definition, value.text);
    if (outcome != CifDataItem::Valid) {
        errors_->add(validation_error(name.text, outcome, name.line));
    }
    if (definition.type == CifDictionary::TYPE_UNDEFINED) {
        errors_->add(CifError(CifError::NonStandardDataItem, name.text, name.line));
    }
    return item;
}

bool CifParser::check_unset(THandle<CifDataItem> item, const CifToken& name) {
    if (!item->has_value()) return true;
    std::string earlier = "unknown";
    for (const auto& [set_item, line] : items_set_) {
        if (set_item == item) {
            earlier = std::to_string(line);
            break;
        }
    }
    errors_->add(CifError(CifError::DataItemAlreadySet, name.text, earlier, name.line));
    return false;
}

CifError CifParser::validation_error(const std::string& name, CifDataItem::Validated outcome,
                                     int line) {
    static const CifError::ErrorID by_outcome[] = {
        CifError::ItemValidatedOK,
        CifError::ValueNotInEnumeration,
        CifError::BadNumberFormat,
        CifError::ValueNotNumber,
        CifError::ValueBelowLimit,
        CifError::ValueAboveLimit,
        CifError::UnexpectedStandardUncertainty,
        CifError::BadEnumerationRange,
        CifError::MismatchedSubscriptMarkup,
        CifError::MismatchedSuperscriptMarkup,
    };
    const int index = static_cast<int>(outcome);
    const bool known = index >= 0 && index < static_cast<int>(std::size(by_outcome));
    return CifError(known ? by_outcome[index] : CifError::ItemValidatedOK, name, line);
}

// A value nobody claimed. After an item whose value holds what look like data names, the
// likely cause is a text field that swallowed them.
void CifParser::stray_value(const CifToken& value) {
    if (current_block_.is_null()) {
        if (!reported_strings_before_first_block_) {
            errors_->add(CifError(CifError::IgnoredStringsBeforeFirstBlock, value.line));
            reported_strings_before_first_block_ = true;
        }
        return;
    }
    bool swallowed = false;
    if (last_item_ && last_item_->has_value()) {
        const std::string text = strip(last_item_->value(), " \t");
        swallowed = (!text.empty() && text[0] == '_') || text.find("\n_") != std::string::npos;
    }
    errors_->add(
        CifError(swallowed ? CifError::IgnoredStringSemicolonMismatch : CifError::IgnoredString,
                 value.text, value.line));
}

void CifParser::take_after_comments(CifTokenStream& stream, std::string& text, CifToken& token) {
    stream.get_token(token);
    for (; is_comment_or_blank(token); stream.get_token(token))
        append_comment_line(text, token);
}

void CifParser::collect_line_comments(CifTokenStream& stream, int first, int last,
                                      std::string& text, const char* prefix, const char* suffix) {
    // Most lines end without a comment; then no token need be read and pushed back.
    if (stream.line_count() == last &&
        !ReaderAccess::tokenizer(stream).comment_may_follow_on_line()) {
        return;
    }
    CifToken& token = lookahead_;
    for (stream.get_token(token);
         token.type == CifToken::Comment && token.line >= first && token.line <= last;
         stream.get_token(token)) {
        text += prefix;
        text += token.text;
        text += suffix;
    }
    stream.unget_token(std::move(token));
}

THandle<CifDataItem> CifParser::loop(THandle<CifDataBlock> block, CifTokenStream* stream,
                                     int line) {
    std::string preceding;
    preceding.swap(pending_comment_);
    std::string loop_line;
    collect_line_comments(*stream, line, line, loop_line, "#", "\n");
    CifToken& token = lookahead_;
    for (stream->get_token(token); token.type == CifToken::LoopKeyword; stream->get_token(token)) {
        errors_->add(CifError(CifError::RepeatedKeyword, token.text, token.line));
    }
    stream->unget_token(std::move(token));

    std::vector<THandle<CifDataItem>> items;
    items.reserve(16);  // most loops have fewer columns
    std::vector<std::string>& names = loop_columns_->names;
    read_loop_columns(block, *stream, items, names);
    if (items.empty()) {
        errors_->add(CifError(CifError::EmptyLoop, line));
        return THandle<CifDataItem>();
    }
    THandle<CifLoop> loop = make_handle<CifLoop>();
    loop->set_line(line);
    // A name listed twice stands for one item: its first listing makes the column.
    std::vector<std::string> columns;
    columns.reserve(items.size());
    for (auto item = items.begin(); item != items.end(); ++item) {
        if (std::find(items.begin(), item, *item) == item) {
            columns.push_back(names[static_cast<std::size_t>(item - items.begin())]);
        }
    }
    ReaderAccess::set_columns(*loop, std::move(columns));
    loop->set_comments(preceding, CifCommentable::AfterName);
    loop->set_comments(loop_line, CifCommentable::AfterValue);
    // Comments after the last column name come before the first row.
    std::string row_comment;
    row_comment.swap(pending_comment_);
    try {
        block->add_loop(loop);
    } catch (const CifErrorException& e) {
        errors_->add(e.error());
        return THandle<CifDataItem>();
    }
    std::string accumulated;
    if (!read_loop_rows(*stream, items, names, row_comment, accumulated)) {
        errors_->add(CifError(CifError::LoopValueCountMismatch, line));
    }
    if (!accumulated.empty()) loop->add_row_comment(0, accumulated);
    pending_comment_.swap(row_comment);
    return items.front();
}

// Column names, each with the comments before it and on its line, into the first entries of
// `names`. Comments after the last name stay pending.
void CifParser::read_loop_columns(THandle<CifDataBlock> block, CifTokenStream& stream,
                                  std::vector<THandle<CifDataItem>>& items,
                                  std::vector<std::string>& names) {
    for (;;) {
        CifToken& name = scratch_;
        take_after_comments(stream, pending_comment_, name);
        if (name.type != CifToken::DataName) {
            stream.unget_token(std::move(name));
            return;
        }
        SharedNames::Entry& shared = (*shared_names_)(name.text);
        THandle<CifDataItem> item = block->obtain(shared.text);
        if (item->line() == 0) item->set_line(name.line);
        items.push_back(item);
        if (names.size() < items.size()) names.emplace_back();
        names[items.size() - 1] = name.text;
        std::vector<ReaderAccess::Definition>& definitions = loop_columns_->definitions;
        definitions.resize(items.size());
        definitions.back() = shared_names_->definition(shared, *item);
        if (!pending_comment_.empty()) {
            item->set_comments(pending_comment_, CifCommentable::Leading);
            pending_comment_.clear();
        }
        if (definitions.back().type == CifDictionary::TYPE_UNDEFINED) {
            errors_->add(CifError(CifError::NonStandardDataItem, name.text, name.line));
        }
        if (check_unset(item, name)) items_set_.emplace_back(item, name.line);
        std::string after_name;
        collect_line_comments(stream, name.line, name.line, after_name, "#", "\n");
        item->set_comments(after_name, CifCommentable::AfterName);
    }
}

// Reads rows while values come; false when a row stopped short of its last column or no row
// came. The values gather in reused columns, validated as they come, then go to their items.
bool CifParser::read_loop_rows(CifTokenStream& stream,
                               const std::vector<THandle<CifDataItem>>& items,
                               const std::vector<std::string>& names, std::string& row_comment,
                               std::string& accumulated) {
    const std::size_t width = items.size();
    std::vector<PackedStrings>& columns = loop_columns_->values;
    if (columns.size() < width) columns.resize(width);
    for (std::size_t column = 0; column < width; ++column)
        columns[column].clear();
    const bool complete = read_loop_values(stream, items, names, row_comment, accumulated);
    merge_repeated_columns(items);
    for (std::size_t column = 0; column < width; ++column)
        hand_over(columns[column], *items[column]);
    return complete;
}

// A name listed twice in a loop header stands for one item: row by row, the value of the
// later column replaces that of the earlier one, as if each value were stored in turn.
void CifParser::merge_repeated_columns(const std::vector<THandle<CifDataItem>>& items) {
    for (std::size_t column = 1; column < items.size(); ++column) {
        for (std::size_t earlier = 0; earlier < column; ++earlier) {
            if (items[earlier] != items[column]) continue;
            PackedStrings& kept = loop_columns_->values[earlier];
            PackedStrings& later = loop_columns_->values[column];
            for (std::size_t row = 0; row < later.size(); ++row)
                kept.set(row, later.view(row));
            later.clear();
            break;
        }
    }
}

bool CifParser::read_loop_values(CifTokenStream& stream,
                                 const std::vector<THandle<CifDataItem>>& items,
                                 const std::vector<std::string>& names, std::string& row_comment,
                                 std::string& accumulated) {
    CifToken& value = scratch_;
    std::string_view text;
    bool any_value = false;
    std::vector<PackedStrings>& columns = loop_columns_->values;
    const std::vector<ReaderAccess::Definition>& definitions = loop_columns_->definitions;
    Tokenizer& tokens = ReaderAccess::tokenizer(stream);
    for (std::size_t column = 0;; column = column + 1 == items.size() ? 0 : column + 1) {
        int line = 0;
        // A bare value is shown in the line buffer, which may be read past it.
        const bool in_line = tokens.next_bare_value(text, line);
        if (!in_line) {
            take_value_after_comments(tokens, row_comment, value, text);
            if (value.type != CifToken::Value) {
                tokens.unget_token(std::move(value));
                return any_value && column == 0;  // a loop without rows is short too
            }
            line = value.line;
        }
        any_value = true;
        const CifDataItem::Validated outcome =
            ReaderAccess::validate(*items[column], definitions[column], text, in_line);
        if (outcome != CifDataItem::Valid) {
            errors_->add(validation_error(names[column], outcome, line));
        }
        if (in_line) {
            columns[column].push_back_padded(text);
        } else {
            columns[column].push_back(text);
        }
        if (!row_comment.empty()) {
            accumulated += row_comment;
            row_comment.clear();
        }
    }
}
