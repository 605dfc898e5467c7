// CifDictionaryPool: several dictionaries answering as one; the first that defines a name
// answers every attribute of it, and categories combine all of them.
#pragma once

#include <string>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifConcreteDictionary.h"
#include "cif/CifDictionary.h"
#include "host/THandle.h"

class CIF_API CifDictionaryPool : public CifDictionary {
  public:
    using Dictionaries = std::vector<THandle<CifConcreteDictionary>>;
    using const_iterator = Dictionaries::const_iterator;

    CifDictionaryPool();
    ~CifDictionaryPool() override;

    /// Appends the dictionary; the same one may be inserted more than once.
    void insert(THandle<CifConcreteDictionary> dictionary);
    /// Removes every entry of that very dictionary object.
    void erase(THandle<CifConcreteDictionary> dictionary);
    std::size_t size() const { return dictionaries_.size(); }
    const_iterator begin() const { return dictionaries_.begin(); }
    const_iterator end() const { return dictionaries_.end(); }
    /// The first dictionary, in insertion order, that defines the name; end() when none.
    const_iterator dictionary_with_name(const std::string& name) const;
    void dictionaries_with_category(const std::string& category,
                                    std::vector<THandle<CifConcreteDictionary>>& found) const;
    void descriptors(std::vector<Descriptor>& out) const;

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

    /// The dictionary that answers for the name: the first defining it, else the empty one.
    const CifConcreteDictionary& answering(const std::string& name) const;

  private:
    THandle<CifConcreteDictionary> fallback_;
    Dictionaries dictionaries_;
};

/// The answer of the first dictionary that defines the name, or the default.
template <class R>
R get_item(const CifDictionaryPool& pool, const std::string& name,
           R (CifConcreteDictionary::*query)(const std::string&) const) {
    return (pool.answering(name).*query)(name);
}
