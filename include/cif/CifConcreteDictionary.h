// CifConcreteDictionary: one data dictionary. A new one is empty and answers every query
// with the defaults, which is what a document uses when no dictionary is wanted.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDictionary.h"
#include "cif/CifDictionaryItem.h"
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

    const Descriptor& descriptor() const { return descriptor_; }
    /// The definition of the name, or the end of the table. A repeat of the last name looked
    /// up (in any letter case) is answered from a one-entry cache.
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

    /// The category's position in the category table, the name taken by the marker rule.
    Categories::const_iterator find_category(std::string name) const;
    void clear_cache() const;

  private:
    Definitions definitions_;
    Categories categories_;
    Descriptor descriptor_;
    mutable std::string cached_name_;
    mutable Definitions::const_iterator cached_position_;
};

/// The field of the name's definition, or `fallback` when the dictionary does not define it.
template <class T>
const T& get_data_item(const CifConcreteDictionary& dictionary, const std::string& name,
                       T CifDictionaryItem::*field, const T& fallback) {
    auto found = dictionary.find_entry(name);
    return found == dictionary.definitions_end() ? fallback : (*found->second).*field;
}
