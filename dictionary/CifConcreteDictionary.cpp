#include "cif/CifConcreteDictionary.h"

#include <istream>
#include <ostream>

#include "cif/CifDictionaryDataConverter.h"
#include "cif/CifParser.h"
#include "cif/CifTokenStream.h"
#include "diagnostics/TemporaryIgnore.h"
#include "host/TextUtilities.h"
#include "model/CifCharacters.h"

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

CifConcreteDictionary::CifConcreteDictionary() = default;

CifConcreteDictionary::~CifConcreteDictionary() = default;

CifConcreteDictionary::Definitions::const_iterator CifConcreteDictionary::find_entry(
    const std::string& name) const {
    if (definitions_.empty()) return definitions_.end();  // the common empty dictionary
    auto found = index_.find(name);
    return found == index_.end() ? definitions_.end() : found->second;
}

std::size_t CifConcreteDictionary::NameHash::operator()(std::string_view name) const {
    return cif::detail::case_folded_hash(name);
}

bool CifConcreteDictionary::NameEqual::operator()(std::string_view a, std::string_view b) const {
    return CaseInsensitiveStringEquality()(a, b);
}

void CifConcreteDictionary::build_index() {
    index_.clear();
    index_.reserve(definitions_.size());
    for (auto it = definitions_.begin(); it != definitions_.end(); ++it) {
        index_.emplace(std::string_view(it->first), it);  // the first of equal names wins
    }
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

const CifDictionaryItem* CifConcreteDictionary::find_definition(const std::string& name) const {
    auto found = find_entry(name);
    return found == definitions_.end() ? nullptr : found->second.get();
}

// Reading.

void CifConcreteDictionary::read(std::istream& in, THandle<CifErrorContainer> errors,
                                 std::ostream* echo) {
    definitions_.clear();
    index_.clear();
    categories_.clear();
    descriptor_ = Descriptor();
    const std::size_t errors_before = errors->size();
    if (!in.good()) {
        errors->add(CifError(CifError::FileNotRead, -1));
        return;
    }
    // Parsed against an empty dictionary, every attribute would count as non-standard.
    cif::detail::TemporaryIgnore attributes(*errors, CifError::NonStandardDataItem);
    std::deque<THandle<CifDataBlock>> blocks;
    CifTokenStream tokens(&in, errors, CifParserSettings());
    CifParser parser(make_handle<CifConcreteDictionary>(), errors, blocks);
    parser.parse(tokens);
    attributes.restore();
    if (blocks.empty()) {
        errors->add(CifError(CifError::NoDataBlocks, -1));
        return;
    }
    if (errors->size() != errors_before) return;  // a faulty text gives no dictionary
    populate_dictionary(errors, blocks);
    if (echo == nullptr) return;
    for (const THandle<CifDataBlock>& block : blocks)
        block->print(*echo, CifWriteSettings());
}

void CifConcreteDictionary::populate_dictionary(THandle<CifErrorContainer> errors,
                                                const std::deque<THandle<CifDataBlock>>& blocks) {
    auto block = blocks.begin();
    if (block != blocks.end() && update_descriptor(*block, errors)) ++block;
    CifDictionaryDataConverter converter(errors);
    CifDictionaryDataConverter::Definitions definitions;
    definitions.reserve(20);
    for (; block != blocks.end(); ++block) {
        converter.convert(*block, definitions);
        for (const auto& definition : definitions)
            definitions_.insert(definition);
    }
    remove_duplicates(errors);
    build_category_list();
}

bool CifConcreteDictionary::update_descriptor(THandle<CifDataBlock> block,
                                              THandle<CifErrorContainer> errors) {
    CifDictionaryDataConverter converter(errors);
    Descriptor read;
    get_single_data_item(converter, block, "_dictionary_name", read.name);
    get_single_data_item(converter, block, "_dictionary_history", read.history);
    get_single_data_item(converter, block, "_dictionary_update", read.update);
    get_single_data_item(converter, block, "_dictionary_version", read.version);
    if (read.name.empty() && read.history.empty() && read.update.empty() && read.version.empty()) {
        return false;
    }
    descriptor_ = read;
    return true;
}

// Equal names (ignoring case) stand next to each other in the table, in the order they were
// inserted, so the first of each run is the earliest definition.
void CifConcreteDictionary::remove_duplicates(THandle<CifErrorContainer> errors) {
    if (definitions_.empty()) return;
    auto first = definitions_.begin();
    for (auto next = std::next(first); next != definitions_.end(); next = std::next(first)) {
        if (CaseInsensitiveStringEquality()(first->first, next->first)) {
            errors->add(CifError(CifError::DuplicateDictionaryItem, next->first, -1));
            definitions_.erase(next);
        } else {
            first = next;
        }
    }
    build_index();
}

void CifConcreteDictionary::build_category_list() {
    categories_.clear();
    // Names in table order mostly come category by category: the members of the category of
    // the previous name are found again without building its key.
    const std::string* previous = nullptr;
    NameSet* members = nullptr;
    for (const auto& [name, definition] : definitions_) {
        if (previous == nullptr || *previous != definition->category) {
            members = &categories_[category_key(definition->category)];
            previous = &definition->category;
        }
        members->insert(name);
    }
}
