#include "cif/CifDataBlock.h"

#include <algorithm>
#include <set>

#include "cif/CifErrorException.h"
#include "host/TextUtilities.h"
#include "model/CifCharacters.h"
#include "model/CifWriter.h"
#include "model/ItemNameIndex.h"
#include "model/ReaderAccess.h"

namespace {

[[noreturn]] void throw_internal(const std::string& text) {
    throw CifErrorException(CifError(CifError::InternalReadError, text, -1));
}

[[noreturn]] void throw_bad_mode(int mode) {
    throw_internal("Invalid move of cif data item: CifDataBlock::set_write_order mode was " +
                   std::to_string(mode));
}

template <class LoopList>
auto first_loop_with_column(LoopList& loops, const std::string& name) {
    return std::find_if(loops.begin(), loops.end(), [&name](const THandle<CifLoop>& loop) {
        return loop->contains_column(name);
    });
}

bool listed(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(), [&name](const std::string& listed_name) {
        return CaseInsensitiveStringEquality()(listed_name, name);
    });
}

}  // namespace

CifDataBlock::CifDataBlock(THandle<CifDictionary> dictionary, const std::string& name, int line)
    : line_(line),
      name_(name),
      items_(std::make_unique<cif::detail::ItemNameIndex>()),
      dictionary_(std::move(dictionary)) {}

CifDataBlock::~CifDataBlock() = default;

void cif::detail::ReaderAccess::prepare_block(CifDataBlock& block, HandleArena* arena,
                                              std::size_t items) {
    if (!block.write_order_.empty()) return;
    block.write_order_ = CifDataBlock::WriteOrder(ArenaAllocator<THandle<CifDataItem>>(arena));
    block.items_->reserve(items);
}

std::size_t CifDataBlock::item_count() const {
    return items_->size();
}

// Items.

THandle<CifDataItem> CifDataBlock::obtain(const std::string& name) {
    return obtain(name, nullptr);
}

THandle<CifDataItem> CifDataBlock::obtain(const THandle<const std::string>& name) {
    return obtain(*name, &name);
}

THandle<CifDataItem> CifDataBlock::obtain(const std::string& name,
                                          const THandle<const std::string>* shared) {
    const std::uint32_t hash = cif::detail::case_folded_hash(name);
    if (const WriteOrder::iterator* found = items_->find(name, hash)) return **found;
    cif::detail::HandleArena* arena = write_order_.get_allocator().arena();
    auto place = write_order_.insert(
        write_order_.end(), shared ? make_arena_handle<CifDataItem>(arena, dictionary_, *shared)
                                   : make_arena_handle<CifDataItem>(arena, dictionary_, name));
    try {
        items_->insert(place, hash);
    } catch (...) {
        write_order_.erase(place);
        throw;
    }
    return *place;
}

void CifDataBlock::obtain(const std::vector<std::string>& names,
                          std::vector<THandle<CifDataItem>>& out) {
    std::vector<THandle<CifDataItem>> items;
    items.reserve(names.size());
    for (const std::string& name : names)
        items.push_back(obtain(name));
    out.swap(items);
}

THandle<CifDataItem> CifDataBlock::find(const std::string& name) const {
    const WriteOrder::iterator* found = items_->find(name);
    return found ? **found : THandle<CifDataItem>();
}

void CifDataBlock::find(const std::vector<std::string>& names,
                        std::vector<THandle<CifDataItem>>& out) const {
    std::vector<THandle<CifDataItem>> items;
    items.reserve(names.size());
    for (const std::string& name : names)
        items.push_back(find(name));
    out.swap(items);
}

CifDataItem::Validated CifDataBlock::set_value(const std::string& name, const std::string& value) {
    return obtain(name)->set_value(value);
}

std::string CifDataBlock::value(const std::string& name) const {
    THandle<CifDataItem> item = find(name);
    return item ? item->value() : std::string();
}

bool CifDataBlock::has_value(const std::string& name) const {
    THandle<CifDataItem> item = find(name);
    return item && item->has_value();
}

bool CifDataBlock::is_looped(const std::string& name) const {
    THandle<CifDataItem> item = find(name);
    return item && item->is_looped();
}

void CifDataBlock::remove(const std::string& name) {
    const WriteOrder::iterator* found = items_->find(name);
    if (found == nullptr) return;
    const WriteOrder::iterator place = *found;
    if ((*place)->is_looped()) {
        auto loop = loop_containing(name);
        if (loop != loops_.end()) {
            (*loop)->remove_column(name);
            if ((*loop)->empty()) loops_.erase(loop);
        }
    }
    items_->erase(name);
    write_order_.erase(place);
}

void CifDataBlock::remove(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        remove(name);
}

// Loops.

CifDataBlock::Loops::iterator CifDataBlock::loop_containing(const std::string& name) {
    return first_loop_with_column(loops_, name);
}

CifDataBlock::Loops::const_iterator CifDataBlock::loop_containing(const std::string& name) const {
    return first_loop_with_column(loops_, name);
}

std::vector<CifDataBlock::Loops::iterator> CifDataBlock::loops_containing_any(
    const std::vector<std::string>& names) {
    std::vector<Loops::iterator> involved;
    for (const std::string& name : names) {
        auto loop = loop_containing(name);
        if (loop != loops_.end() &&
            std::find(involved.begin(), involved.end(), loop) == involved.end()) {
            involved.push_back(loop);
        }
    }
    return involved;
}

void CifDataBlock::create_loop(const std::vector<std::string>& names) {
    if (names.empty()) return;  // a loop needs at least one column
    std::vector<THandle<CifDataItem>> items;
    obtain(names, items);
    for (const THandle<CifDataItem>& item : items)
        item->set_looped();

    std::vector<std::string> new_columns;
    for (const std::string& name : names) {
        if (loop_containing(name) == loops_.end()) new_columns.push_back(name);
    }
    std::vector<Loops::iterator> involved = loops_containing_any(names);
    Loops::iterator target;
    if (involved.empty()) {
        target = loops_.insert(loops_.end(), make_handle<CifLoop>());
    } else {
        target = involved.front();
        merge_loops_into(target,
                         std::vector<Loops::iterator>(involved.begin() + 1, involved.end()));
        split_off_unlisted_columns(**target, names);
    }
    for (const std::string& column : new_columns)
        (*target)->add_column(column);
    set_write_order(names, MoveToEarliest);
}

void CifDataBlock::merge_loops_into(Loops::iterator target,
                                    const std::vector<Loops::iterator>& others) {
    std::vector<std::string> columns;
    for (Loops::iterator other : others) {
        (*other)->columns(columns);
        for (const std::string& column : columns)
            (*target)->move_column(column, **other);
        loops_.erase(other);
    }
}

// Columns of the target that were not asked for go to a loop of their own, sorted by name.
void CifDataBlock::split_off_unlisted_columns(CifLoop& target,
                                              const std::vector<std::string>& names) {
    std::vector<std::string> columns;
    target.columns(columns);
    columns.erase(std::remove_if(columns.begin(), columns.end(),
                                 [&names](const std::string& c) { return listed(names, c); }),
                  columns.end());
    if (columns.empty()) return;
    std::sort(columns.begin(), columns.end(), CaseInsensitiveStringLess());
    THandle<CifLoop> rest = make_handle<CifLoop>();
    for (const std::string& column : columns)
        rest->move_column(column, target);
    loops_.push_back(rest);
}

void CifDataBlock::add_loop(THandle<CifLoop> loop) {
    if (loop.is_null() || loop->empty()) throw_internal("CifDataBlock::adding null loop");
    const std::vector<std::string>& columns = loop->column_names();
    std::vector<THandle<CifDataItem>> items;
    find(columns, items);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!items[i]) {
            throw_internal("Creating invalid loop, item " + columns[i] + " does not exist");
        }
    }
    // Checked before anything is marked, so that a refused loop changes nothing. Only a
    // looped item can be a column of a loop already.
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (!items[i]->is_looped()) continue;
        auto existing = loop_containing(columns[i]);
        if (existing != loops_.end()) {
            throw CifErrorException(
                CifError(CifError::DataItemAlreadySet, (*existing)->column_names().front(), line_));
        }
    }
    for (const THandle<CifDataItem>& item : items)
        item->set_looped();
    loops_.push_back(loop);
}

void CifDataBlock::loop_columns(const std::string& name, std::vector<std::string>& out) const {
    auto loop = loop_containing(name);
    if (loop == loops_.end()) {
        out.clear();
    } else {
        (*loop)->columns(out);
    }
}

void CifDataBlock::find_loops_containing(const std::vector<std::string>& names,
                                         std::list<THandle<CifLoop>>& out) const {
    out.clear();
    for (const std::string& name : names) {
        auto loop = loop_containing(name);
        out.push_back(loop == loops_.end() ? THandle<CifLoop>() : *loop);
    }
}

void CifDataBlock::copy_loop(const std::vector<std::string>& names, const CifDataBlock& source,
                             OverwriteMode mode) {
    if (mode == KeepExisting &&
        std::any_of(names.begin(), names.end(),
                    [this](const std::string& name) { return has_value(name); })) {
        return;
    }
    copy(names, source, mode);
    create_loop(names);
    std::list<THandle<CifLoop>> here;
    std::list<THandle<CifLoop>> there;
    find_loops_containing(names, here);
    source.find_loops_containing(names, there);
    if (!here.empty() && here.front() && there.front()) here.front()->copy_comments(*there.front());
}

// Ordering.

void CifDataBlock::set_write_order(const std::vector<std::string>& names, OrderingMode mode) {
    move_in_write_order(names, mode);
    for (THandle<CifLoop>& loop : loops_) {
        if (std::any_of(names.begin(), names.end(),
                        [&loop](const std::string& name) { return loop->contains_column(name); })) {
            loop->set_column_order(names);
        }
    }
}

void CifDataBlock::set_write_order(const std::string& name, OrderingMode mode) {
    if (mode != MoveToEnd && mode != MoveToStart) throw_bad_mode(mode);
    set_write_order(std::vector<std::string>{name}, mode);
}

void CifDataBlock::move_in_write_order(const std::vector<std::string>& names, OrderingMode mode) {
    // The place of each listed name's item; names without an item stay at the end marker.
    std::vector<WriteOrder::iterator> places(names.size(), write_order_.end());
    std::set<const CifDataItem*> matched;
    for (std::size_t j = 0; j < names.size(); ++j) {
        const WriteOrder::iterator* found = items_->find(names[j]);
        if (found == nullptr) continue;
        places[j] = *found;
        matched.insert((*found)->get());
    }
    if (matched.empty()) return;

    WriteOrder::iterator insertion;
    switch (mode) {
        case MoveToEnd:
            insertion = write_order_.end();
            break;
        case MoveToStart:
            insertion = write_order_.begin();
            break;
        case MoveToFirstListed:
            insertion = *std::find_if(places.begin(), places.end(), [this](WriteOrder::iterator p) {
                return p != write_order_.end();
            });
            break;
        case MoveToEarliest:
            insertion = std::find_if(write_order_.begin(), write_order_.end(),
                                     [&matched](const THandle<CifDataItem>& item) {
                                         return matched.count(item.get()) != 0;
                                     });
            break;
        default:
            throw_bad_mode(mode);
    }
    for (WriteOrder::iterator place : places) {
        if (place == write_order_.end()) continue;
        if (insertion == place) ++insertion;
        write_order_.splice(insertion, write_order_, place);
    }
}

// Copying between blocks.

bool CifDataBlock::copy(const std::string& name, const CifDataBlock& source, OverwriteMode mode) {
    THandle<CifDataItem> from = source.find(name);
    if (!from || !from->has_value()) return false;
    THandle<CifDataItem> to = find(name);
    if (mode == KeepExisting && to && to->has_value()) return false;
    if (from->is_looped()) {
        if (!to) to = obtain(name);
        if (!to->is_looped()) create_loop(std::vector<std::string>{name});
        to->copy_value(from);
    } else {
        if (to && to->is_looped()) remove(name);
        to = obtain(name);
        to->set_value(from->value());
    }
    to->copy_comments(*from);
    return true;
}

void CifDataBlock::copy(const std::vector<std::string>& names, const CifDataBlock& source,
                        OverwriteMode mode) {
    for (const std::string& name : names)
        copy(name, source, mode);
}

void CifDataBlock::move(const std::string& name, CifDataBlock& source, OverwriteMode mode) {
    if (copy(name, source, mode)) source.remove(name);
}

void CifDataBlock::merge(const CifDataBlock& source, OverwriteMode mode) {
    if (&source == this) return;  // every item is already here
    std::set<std::string> handled;
    std::vector<std::string> columns;
    for (const THandle<CifDataItem>& item : source.write_order_) {
        const std::string& name = item->name();
        if (handled.count(name) != 0) continue;
        if (item->is_looped()) {
            source.loop_columns(name, columns);
            copy_loop(columns, source, mode);
            handled.insert(columns.begin(), columns.end());
        } else {
            copy(name, source, mode);
        }
    }
}

void CifDataBlock::copy(const CifDataBlock& source) {
    if (&source == this) return;
    write_order_.clear();
    items_->clear();
    loops_.clear();
    line_ = source.line_;
    name_ = source.name_;
    CifCommentable::copy_comments(source);
    merge(source, Overwrite);
}

// Categories.

bool CifDataBlock::has_item_with_category(const std::string& category) const {
    return std::any_of(write_order_.begin(), write_order_.end(),
                       [&category](const THandle<CifDataItem>& item) {
                           return item->dictionary()->name_in_category(item->name(), category);
                       });
}

void CifDataBlock::find_category_items(const std::string& category,
                                       std::vector<std::string>& out) const {
    out.clear();
    for (const THandle<CifDataItem>& item : write_order_) {
        if (item->dictionary()->name_in_category(item->name(), category)) {
            out.push_back(item->name());
        }
    }
    std::sort(out.begin(), out.end(), CaseInsensitiveStringLess());
}

void CifDataBlock::remove_category(const std::string& category) {
    std::vector<std::string> names;
    find_category_items(category, names);
    remove(names);
}

void CifDataBlock::move_category(const std::string& category, CifDataBlock& source,
                                 OverwriteMode mode) {
    std::vector<std::string> names;
    source.find_category_items(category, names);
    for (const std::string& name : names)
        move(name, source, mode);
}

void CifDataBlock::copy_category(const std::string& category, const CifDataBlock& source,
                                 OverwriteMode mode) {
    std::vector<std::string> names;
    source.find_category_items(category, names);
    copy(names, source, mode);
}

// Writing.

void CifDataBlock::print(std::ostream& os, const CifWriteSettings& settings) const {
    cif::detail::CifWriter writer(os, settings);
    writer.block_header(*this);
    // Names compare without case here, as everywhere in a block, so that an item spelled
    // unlike its loop column still finds its loop written.
    std::set<std::string, CaseInsensitiveStringLess> written;
    std::vector<THandle<CifDataItem>> column_items;
    for (const THandle<CifDataItem>& item : write_order_) {
        if (!item->is_looped()) {
            writer.item(*item);
            continue;
        }
        if (written.count(item->name()) != 0) continue;
        auto loop = loop_containing(item->name());
        if (loop == loops_.end()) THandleCommon::null_handle_error();  // a looped item has a loop
        const CifLoop& printed = **loop;
        find(printed.column_names(), column_items);
        writer.loop(printed, column_items);
        written.insert(printed.column_names().begin(), printed.column_names().end());
    }
}

std::ostream& operator<<(std::ostream& os, const CifDataBlock& block) {
    block.print(os, CifWriteSettings());
    return os;
}
