// CifConcreteDictionary: one data dictionary. A new one is empty and answers every query
// with the defaults, which is what a document uses when no dictionary is wanted.
#pragma once

#include <deque>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "cif/CifDictionary.h"
#include "cif/CifDictionaryItem.h"
#include "cif/CifErrorContainer.h"
#include "host/THandle.h"
#include "host/TextUtilities.h"

class CIF_API CifConcreteDictionary : public CifDictionary {
  public:
    using Definitions =
        std::multimap<std::string, THandle<CifDictionaryItem>, CaseInsensitiveStringLess>;
    using Categories = std::map<std::string, NameSet, CaseInsensitiveStringLess>;

    CifConcreteDictionary();
    ~CifConcreteDictionary() override;
    // Shared through handles, never copied: the lookup cache points into the table.
    CifConcreteDictionary(const CifConcreteDictionary&) = delete;
    CifConcreteDictionary& operator=(const CifConcreteDictionary&) = delete;

    /// Replaces the content with the DDL1 dictionary read from the stream. Any problem of the
    /// CIF text itself leaves the dictionary empty; malformed attributes are reported and the
    /// rest is kept. With `echo`, a successful read writes every block read to it.
    void read(std::istream& in, THandle<CifErrorContainer> errors, std::ostream* echo);

    const Descriptor& descriptor() const { return descriptor_; }
    /// The definition of the name, or the end of the table. The names looked up last are
    /// answered from a small cache: validation asks several questions of one name in a row,
    /// and the columns of a loop take turns.
    Definitions::const_iterator find_entry(const std::string& name) const;
    Definitions::const_iterator definitions_end() const { return definitions_.end(); }

    bool entry_with_name(const std::string& name) const override;
    const std::string category(const std::string& name) const override;
    const std::string list_link_parent(const std::string& name) const override;
    const std::vector<std::string>& list_reference(const std::string& name) const override;
    const std::string enumeration_default(const std::string& name) const override;
    const std::string enumeration_range(const std::string& name) const override;
    const std::string definition(const std::string& name) const override;
    const std::string units(const std::string& name) const override;
    const std::string units_detail(const std::string& name) const override;
    const std::string type_construct(const std::string& name) const override;
    const std::string list_uniqueness(const std::string& name) const override;
    DataType type(const std::string& name) const override;
    DataTypeCond condition(const std::string& name) const override;
    ListType list(const std::string& name) const override;
    bool list_mandatory(const std::string& name) const override;
    const std::vector<std::string>& list_link_child(const std::string& name) const override;
    const std::vector<Example>& example(const std::string& name) const override;
    const std::vector<Enumeration>& enumeration(const std::string& name) const override;
    const std::vector<Relation>& related_item(const std::string& name) const override;
    const Descriptor& dictionary_descriptor(const std::string& name) const override;
    void category_list(std::vector<std::string>& names) const override;
    bool is_category(const std::string& category) const override;
    void category_members(const std::string& category, NameSet& members) const override;
    bool name_in_category(const std::string& name, const std::string& category) const override;
    const CifDictionaryItem* find_definition(const std::string& name) const override;

    /// The category's position in the category table, the name taken by the marker rule.
    Categories::const_iterator find_category(std::string name) const;
    /// Nothing to clear: lookups go straight to the name index, so no query changes a read
    /// dictionary and several threads may query one at once.
    void clear_cache() const {}

    /// Steps of read(): definitions from the blocks (the first may be the descriptor), then
    /// duplicates dropped and categories built.
    void populate_dictionary(THandle<CifErrorContainer> errors,
                             const std::deque<THandle<CifDataBlock>>& blocks);
    /// Keeps the first definition of each name (ignoring case), reporting the others.
    void remove_duplicates(THandle<CifErrorContainer> errors);
    /// Takes the _dictionary_ items of the block; false when it has none.
    bool update_descriptor(THandle<CifDataBlock> block, THandle<CifErrorContainer> errors);
    void build_category_list();

  private:
    // A hash index over the definitions: validation asks for every value of every loop
    // column in turn, so names change at each value and a tree search per value would
    // dominate reading. Its keys view the table's own keys.
    struct NameHash {
        std::size_t operator()(std::string_view name) const;
    };
    struct NameEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using Index =
        std::unordered_map<std::string_view, Definitions::const_iterator, NameHash, NameEqual>;
    void build_index();

    Definitions definitions_;
    Index index_;
    Categories categories_;
    Descriptor descriptor_;
};

/// The field of the name's definition, or `fallback` when the dictionary does not define it.
template <class T>
const T& get_data_item(const CifConcreteDictionary& dictionary, const std::string& name,
                       T CifDictionaryItem::*field, const T& fallback) {
    auto found = dictionary.find_entry(name);
    return found == dictionary.definitions_end() ? fallback : (*found->second).*field;
}
