#include "cif/CifDictionaryPool.h"

#include <algorithm>

#include "host/TextUtilities.h"

CifDictionaryPool::CifDictionaryPool() : fallback_(make_handle<CifConcreteDictionary>()) {}

CifDictionaryPool::~CifDictionaryPool() = default;

void CifDictionaryPool::insert(THandle<CifConcreteDictionary> dictionary) {
    dictionaries_.push_back(std::move(dictionary));
}

void CifDictionaryPool::erase(THandle<CifConcreteDictionary> dictionary) {
    dictionaries_.erase(std::remove(dictionaries_.begin(), dictionaries_.end(), dictionary),
                        dictionaries_.end());
}

CifDictionaryPool::const_iterator CifDictionaryPool::dictionary_with_name(
    const std::string& name) const {
    return std::find_if(
        dictionaries_.begin(), dictionaries_.end(),
        [&name](const THandle<CifConcreteDictionary>& d) { return d->entry_with_name(name); });
}

void CifDictionaryPool::dictionaries_with_category(
    const std::string& category, std::vector<THandle<CifConcreteDictionary>>& found) const {
    found.clear();
    for (const THandle<CifConcreteDictionary>& d : dictionaries_) {
        if (d->is_category(category)) found.push_back(d);
    }
}

void CifDictionaryPool::descriptors(std::vector<Descriptor>& out) const {
    out.clear();
    for (const THandle<CifConcreteDictionary>& d : dictionaries_)
        out.push_back(d->descriptor());
}

const CifConcreteDictionary& CifDictionaryPool::answering(const std::string& name) const {
    auto found = dictionary_with_name(name);
    return found == dictionaries_.end() ? *fallback_ : **found;
}

bool CifDictionaryPool::entry_with_name(const std::string& name) const {
    return dictionary_with_name(name) != dictionaries_.end();
}

const std::string CifDictionaryPool::category(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::category);
}
const std::string CifDictionaryPool::list_link_parent(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::list_link_parent);
}
const std::vector<std::string>& CifDictionaryPool::list_reference(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::list_reference);
}
const std::string CifDictionaryPool::enumeration_default(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::enumeration_default);
}
const std::string CifDictionaryPool::enumeration_range(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::enumeration_range);
}
const std::string CifDictionaryPool::definition(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::definition);
}
const std::string CifDictionaryPool::units(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::units);
}
const std::string CifDictionaryPool::units_detail(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::units_detail);
}
const std::string CifDictionaryPool::type_construct(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::type_construct);
}
const std::string CifDictionaryPool::list_uniqueness(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::list_uniqueness);
}
CifDictionary::DataType CifDictionaryPool::type(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::type);
}
CifDictionary::DataTypeCond CifDictionaryPool::condition(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::condition);
}
CifDictionary::ListType CifDictionaryPool::list(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::list);
}
bool CifDictionaryPool::list_mandatory(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::list_mandatory);
}
const std::vector<std::string>& CifDictionaryPool::list_link_child(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::list_link_child);
}
const std::vector<Example>& CifDictionaryPool::example(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::example);
}
const std::vector<Enumeration>& CifDictionaryPool::enumeration(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::enumeration);
}
const std::vector<Relation>& CifDictionaryPool::related_item(const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::related_item);
}
const CifDictionary::Descriptor& CifDictionaryPool::dictionary_descriptor(
    const std::string& name) const {
    return get_item(*this, name, &CifConcreteDictionary::dictionary_descriptor);
}

void CifDictionaryPool::category_list(std::vector<std::string>& names) const {
    for (const THandle<CifConcreteDictionary>& d : dictionaries_)
        d->category_list(names);
    std::stable_sort(names.begin(), names.end(), CaseInsensitiveStringLess());
    names.erase(std::unique(names.begin(), names.end(),
                            [](const std::string& a, const std::string& b) {
                                return CaseInsensitiveStringEquality()(a, b);
                            }),
                names.end());
}

bool CifDictionaryPool::is_category(const std::string& category) const {
    return std::any_of(
        dictionaries_.begin(), dictionaries_.end(),
        [&category](const THandle<CifConcreteDictionary>& d) { return d->is_category(category); });
}

void CifDictionaryPool::category_members(const std::string& category, NameSet& members) const {
    members.clear();
    NameSet some;
    for (const THandle<CifConcreteDictionary>& d : dictionaries_) {
        if (!d->is_category(category)) continue;
        d->category_members(category, some);
        members.insert(some.begin(), some.end());
    }
}

bool CifDictionaryPool::name_in_category(const std::string& name,
                                         const std::string& category) const {
    return std::any_of(dictionaries_.begin(), dictionaries_.end(),
                       [&](const THandle<CifConcreteDictionary>& d) {
                           return d->is_category(category) && d->name_in_category(name, category);
                       });
}

const CifDictionaryItem* CifDictionaryPool::find_definition(const std::string& name) const {
    return answering(name).find_definition(name);
}
