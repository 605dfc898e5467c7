// CifDataBlock: one data_ block: its items by case-insensitive data name, the loops that
// group some of them into tables, and the order in which they are written.
#pragma once

#include <iosfwd>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifCommentable.h"
#include "cif/CifDataItem.h"
#include "cif/CifDictionary.h"
#include "cif/CifLoop.h"
#include "cif/CifWriteSettings.h"
#include "host/HandleArena.h"
#include "host/THandle.h"
#include "host/TextUtilities.h"

namespace cif::detail {
class ItemNameIndex;
class ReaderAccess;
}  // namespace cif::detail

/// Every item stands once in the write order; every loop column names a looped item of the
/// block; no name is a column of two loops; a loop without columns is removed. Misuse
/// throws CifErrorException and leaves the block as it was.
class CIF_API CifDataBlock : public CifCommentable {
  public:
    // A fixed underlying type, so that any int a caller passes is a value to refuse.
    enum OrderingMode : int {
        MoveToEnd = 0,
        MoveToStart = 1,
        MoveToFirstListed = 2,
        MoveToEarliest = 3
    };
    enum OverwriteMode { Overwrite = 0, KeepExisting = 1 };

    // The reader gives the blocks of one read an arena: their items and write-order nodes come
    // from it instead of a heap block each. A block made otherwise takes the heap.
    using WriteOrder =
        std::list<THandle<CifDataItem>, cif::detail::ArenaAllocator<THandle<CifDataItem>>>;
    using Loops = std::list<THandle<CifLoop>>;

    /// `name` includes its data_ prefix; `line` is that of the data_ line.
    CifDataBlock(THandle<CifDictionary> dictionary, const std::string& name, int line);
    ~CifDataBlock() override;

    std::string name() const { return name_; }
    int line() const { return line_; }
    THandle<CifDictionary> dictionary() const { return dictionary_; }
    WriteOrder::const_iterator begin_write_order() const { return write_order_.begin(); }
    WriteOrder::const_iterator end_write_order() const { return write_order_.end(); }
    Loops::const_iterator begin_loops() const { return loops_.begin(); }
    Loops::const_iterator end_loops() const { return loops_.end(); }
    std::size_t item_count() const;

    /// The item of that name, created at the end of the write order when absent.
    THandle<CifDataItem> obtain(const std::string& name);
    /// The same; a new item shares the name's text (see CifDataItem).
    THandle<CifDataItem> obtain(const THandle<const std::string>& name);
    void obtain(const std::vector<std::string>& names, std::vector<THandle<CifDataItem>>& out);
    /// The item of that name, or an empty handle.
    THandle<CifDataItem> find(const std::string& name) const;
    void find(const std::vector<std::string>& names, std::vector<THandle<CifDataItem>>& out) const;
    CifDataItem::Validated set_value(const std::string& name, const std::string& value);
    /// The item's first value, or the empty string.
    std::string value(const std::string& name) const;
    bool has_value(const std::string& name) const;
    bool is_looped(const std::string& name) const;
    /// Removes the item, from its loop too; a loop left without columns goes with it.
    void remove(const std::string& name);
    void remove(const std::vector<std::string>& names);

    /// Makes the named items (created when absent) exactly one loop, in the listed order.
    void create_loop(const std::vector<std::string>& names);
    /// Registers a loop built over existing items, none of them in a loop yet.
    void add_loop(THandle<CifLoop> loop);
    /// `out` becomes the columns of the loop holding the name, or empty.
    void loop_columns(const std::string& name, std::vector<std::string>& out) const;
    /// `out` becomes, per name, the first loop holding it or an empty handle.
    void find_loops_containing(const std::vector<std::string>& names,
                               std::list<THandle<CifLoop>>& out) const;
    void copy_loop(const std::vector<std::string>& names, const CifDataBlock& source,
                   OverwriteMode mode);

    /// Moves the named items, as one run in the listed order, to where `mode` says, and
    /// orders the columns of their loops the same way.
    void set_write_order(const std::vector<std::string>& names, OrderingMode mode);
    /// Accepts MoveToEnd and MoveToStart only.
    void set_write_order(const std::string& name, OrderingMode mode);

    /// Copies the source's item; true when something was copied.
    bool copy(const std::string& name, const CifDataBlock& source, OverwriteMode mode);
    void copy(const std::vector<std::string>& names, const CifDataBlock& source,
              OverwriteMode mode);
    /// Copies, then removes the item from the source when anything was copied.
    void move(const std::string& name, CifDataBlock& source, OverwriteMode mode);
    /// Copies every item of the source, loops as whole loops, in the source's write order.
    void merge(const CifDataBlock& source, OverwriteMode mode);
    /// Replaces the whole content, name, line and comments by the source's; the block keeps
    /// its own dictionary.
    void copy(const CifDataBlock& source);

    /// Categories as the items' dictionary defines them.
    bool has_item_with_category(const std::string& category) const;
    /// `out` becomes the names of the category's items, in ascending case-insensitive order.
    void find_category_items(const std::string& category, std::vector<std::string>& out) const;
    void remove_category(const std::string& category);
    void move_category(const std::string& category, CifDataBlock& source, OverwriteMode mode);
    void copy_category(const std::string& category, const CifDataBlock& source, OverwriteMode mode);

    /// Writes the block: comments and data_ line, then its items in write order, each loop
    /// once where its first item stands.
    void print(std::ostream& os, const CifWriteSettings& settings) const;

  private:
    friend class cif::detail::ReaderAccess;

    THandle<CifDataItem> obtain(const std::string& name, const THandle<const std::string>* shared);
    Loops::iterator loop_containing(const std::string& name);
    Loops::const_iterator loop_containing(const std::string& name) const;
    std::vector<Loops::iterator> loops_containing_any(const std::vector<std::string>& names);
    void merge_loops_into(Loops::iterator target, const std::vector<Loops::iterator>& others);
    void split_off_unlisted_columns(CifLoop& target, const std::vector<std::string>& names);
    void move_in_write_order(const std::vector<std::string>& names, OrderingMode mode);

    WriteOrder write_order_;
    int line_;
    std::string name_;
    // Each item's place in the write order by name, so removal is no search.
    std::unique_ptr<cif::detail::ItemNameIndex> items_;
    THandle<CifDictionary> dictionary_;
    Loops loops_;
};

/// Prints the block with the default settings.
CIF_API std::ostream& operator<<(std::ostream& os, const CifDataBlock& block);
