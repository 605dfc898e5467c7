// A dictionary for tests, filled in code with the definitions a test needs.
#pragma once

#include <map>
#include <string>

#include "cif/CifDictionary.h"
#include "cif/CifDictionaryItem.h"

class TestDictionary : public CifDictionary {
  public:
    /// Defines the name and returns its record for the test to fill.
    CifDictionaryItem& define(const std::string& name) { return items_[name]; }

    bool entry_with_name(const std::string& n) const override { return items_.count(n) != 0; }
    const std::string category(const std::string& n) const override { return get(n).category; }
    const std::string list_link_parent(const std::string& n) const override {
        return get(n).list_link_parent;
    }
    const std::vector<std::string>& list_reference(const std::string& n) const override {
        return get(n).list_reference;
    }
    const std::string enumeration_default(const std::string& n) const override {
        return get(n).enumeration_default;
    }
    const std::string enumeration_range(const std::string& n) const override {
        ++range_queries;
        return get(n).enumeration_range;
    }
    const std::string definition(const std::string& n) const override { return get(n).definition; }
    const std::string units(const std::string& n) const override { return get(n).units; }
    const std::string units_detail(const std::string& n) const override {
        return get(n).units_detail;
    }
    const std::string type_construct(const std::string& n) const override {
        return get(n).type_construct;
    }
    const std::string list_uniqueness(const std::string& n) const override {
        return get(n).list_uniqueness;
    }
    DataType type(const std::string& n) const override { return get(n).type; }
    DataTypeCond condition(const std::string& n) const override { return get(n).condition; }
    ListType list(const std::string& n) const override { return get(n).list; }
    bool list_mandatory(const std::string& n) const override { return get(n).list_mandatory; }
    const std::vector<std::string>& list_link_child(const std::string& n) const override {
        return get(n).list_link_child;
    }
    const std::vector<Example>& example(const std::string& n) const override {
        return get(n).example;
    }
    const std::vector<Enumeration>& enumeration(const std::string& n) const override {
        return get(n).enumeration;
    }
    const std::vector<Relation>& related_item(const std::string& n) const override {
        return get(n).related_item;
    }
    const Descriptor& dictionary_descriptor(const std::string&) const override {
        return descriptor_;
    }
    void category_list(std::vector<std::string>&) const override {}
    bool is_category(const std::string& c) const override {
        for (const auto& item : items_) {
            if (same_category(item.second.category, c)) return true;
        }
        return false;
    }
    void category_members(const std::string& c, NameSet& members) const override {
        members.clear();
        for (const auto& item : items_) {
            if (same_category(item.second.category, c)) members.insert(item.first);
        }
    }
    bool name_in_category(const std::string& n, const std::string& c) const override {
        return entry_with_name(n) && same_category(get(n).category, c);
    }

    /// How often the range text was asked for: the item caches what it reads.
    mutable int range_queries = 0;

  private:
    const CifDictionaryItem& get(const std::string& n) const {
        auto found = items_.find(n);
        return found == items_.end() ? defaults_ : found->second;
    }
    static std::string bare(std::string c) {
        if (!c.empty() && c[0] == '_') c.erase(0, 1);
        if (c.size() >= 3 && c.compare(c.size() - 3, 3, "_[]") == 0) c.resize(c.size() - 3);
        return c;
    }
    static bool same_category(const std::string& a, const std::string& b) {
        return CaseInsensitiveStringEquality()(bare(a), bare(b));
    }

    std::map<std::string, CifDictionaryItem, CaseInsensitiveStringLess> items_;
    CifDictionaryItem defaults_;
    Descriptor descriptor_;
};
