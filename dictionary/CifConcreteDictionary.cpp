#include "cif/CifConcreteDictionary.h"

#include "reading/CifCharacters.h"

namespace {

// The defaults for names the dictionary does not define; they live for the whole run.
const std::string& empty_text() {
    static const std::string text;
    return text;
}

template <class T>
const std::vector<T>& empty_list() {
    static const std::vector<T> list;
    return list;
}

const CifDictionary::Descriptor& empty_descriptor() {
    static const CifDictionary::Descriptor descriptor;
    return descriptor;
}

// DDL1 marks a category as "_name_[]"; atom_site, _atom_site and _atom_site_[] all give
// the key _atom_site_[].
std::string category_key(const std::string& name) {
    std::string key = (!name.empty() && name[0] == '_') ? name : "_" + name;
    if (key.size() < 3 || key.compare(key.size() - 3, 3, "_[]") != 0) key += "_[]";
    return key;
}

}  // namespace

CifConcreteDictionary::CifConcreteDictionary() : cached_position_(definitions_.end()) {}

CifConcreteDictionary::~CifConcreteDictionary() = default;

CifConcreteDictionary::Definitions::const_iterator CifConcreteDictionary::find_entry(
    const std::string& name) const {
    if (definitions_.empty()) return definitions_.end();  // the common empty dictionary
    if (cif_characters::equal_ignoring_case(name, cached_name_)) return cached_position_;
    cached_name_ = name;
    cached_position_ = definitions_.find(name);
    return cached_position_;
}

void CifConcreteDictionary::clear_cache() const {
    cached_name_.clear();
    cached_position_ = definitions_.end();
}

bool CifConcreteDictionary::entry_with_name(const std::string& name) const {
    return find_entry(name) != definitions_.end();
}

const std::string CifConcreteDictionary::category(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::category, empty_text());
}

const std::string CifConcreteDictionary::list_link_parent(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::list_link_parent, empty_text());
}

const std::vector<std::string>& CifConcreteDictionary::list_reference(
    const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::list_reference,
                         empty_list<std::string>());
}

const std::string CifConcreteDictionary::enumeration_default(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::enumeration_default, empty_text());
}

const std::string CifConcreteDictionary::enumeration_range(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::enumeration_range, empty_text());
}

const std::string CifConcreteDictionary::definition(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::definition, empty_text());
}

const std::string CifConcreteDictionary::units(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::units, empty_text());
}

const std::string CifConcreteDictionary::units_detail(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::units_detail, empty_text());
}

const std::string CifConcreteDictionary::type_construct(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::type_construct, empty_text());
}

const std::string CifConcreteDictionary::list_uniqueness(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::list_uniqueness, empty_text());
}

CifDictionary::DataType CifConcreteDictionary::type(const std::string& name) const {
    static const DataType fallback = TYPE_UNDEFINED;
    return get_data_item(*this, name, &CifDictionaryItem::type, fallback);
}

CifDictionary::DataTypeCond CifConcreteDictionary::condition(const std::string& name) const {
    static const DataTypeCond fallback = COND_NONE;
    return get_data_item(*this, name, &CifDictionaryItem::condition, fallback);
}

CifDictionary::ListType CifConcreteDictionary::list(const std::string& name) const {
    static const ListType fallback = LIST_BOTH;
    return get_data_item(*this, name, &CifDictionaryItem::list, fallback);
}

bool CifConcreteDictionary::list_mandatory(const std::string& name) const {
    static const bool fallback = false;
    return get_data_item(*this, name, &CifDictionaryItem::list_mandatory, fallback);
}

const std::vector<std::string>& CifConcreteDictionary::list_link_child(
    const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::list_link_child,
                         empty_list<std::string>());
}

const std::vector<Example>& CifConcreteDictionary::example(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::example, empty_list<Example>());
}

const std::vector<Enumeration>& CifConcreteDictionary::enumeration(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::enumeration, empty_list<Enumeration>());
}

const std::vector<Relation>& CifConcreteDictionary::related_item(const std::string& name) const {
    return get_data_item(*this, name, &CifDictionaryItem::related_item, empty_list<Relation>());
}

const CifDictionary::Descriptor& CifConcreteDictionary::dictionary_descriptor(
    const std::string& name) const {
    return entry_with_name(name) ? descriptor_ : empty_descriptor();
}

CifConcreteDictionary::Categories::const_iterator CifConcreteDictionary::find_category(
    std::string name) const {
    return categories_.find(category_key(name));
}

void CifConcreteDictionary::category_list(std::vector<std::string>& names) const {
    for (const auto& category : categories_)
        names.push_back(category.first);
}

bool CifConcreteDictionary::is_category(const std::string& category) const {
    return find_category(category) != categories_.end();
}

void CifConcreteDictionary::category_members(const std::string& category, NameSet& members) const {
    members.clear();
    auto found = find_category(category);
    if (found != categories_.end()) members = found->second;
}

bool CifConcreteDictionary::name_in_category(const std::string& name,
                                             const std::string& category) const {
    auto found = find_category(category);
    return found != categories_.end() && found->second.count(name) != 0;
}
