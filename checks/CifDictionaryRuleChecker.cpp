#include "cif/CifDictionaryRuleChecker.h"

#include <algorithm>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "host/TextUtilities.h"
#include "model/CifCharacters.h"

namespace {

using NameSet = std::set<std::string, CaseInsensitiveStringLess>;
using cif::detail::is_placeholder;

// A loop's columns and what the dictionary says of them.
struct LoopColumns {
    const CifLoop& loop;
    NameSet names;
    unsigned int rows;  // the first column's values, as the loop is written

    LoopColumns(const CifLoop& loop, const CifDataBlock& block)
        : loop(loop),
          names(loop.column_names().begin(), loop.column_names().end()),
          rows(loop.empty() ? 0 : block.find(loop.column_names().front())->size()) {}

    bool has(const std::string& name) const { return !name.empty() && names.count(name) != 0; }

    // The item stands in the loop itself, through its parent (a merged atom-site loop for
    // _atom_site_aniso_label) or through a child (the anisotropic loop for _atom_site_label).
    // A name ending in "_" that the dictionary does not define names the family of items
    // defined together under it (_geom_bond_atom_site_label_ for ..._1 and ..._2).
    bool represents(const std::string& name, const CifDictionary& dictionary) const {
        if (has(name) || has(dictionary.list_link_parent(name))) return true;
        const bool family =
            !name.empty() && name.back() == '_' && !dictionary.entry_with_name(name);
        return std::any_of(names.begin(), names.end(), [&](const std::string& column) {
            if (family && starts_with_ignoring_case(column, name)) return true;
            const std::string parent = dictionary.list_link_parent(column);
            return !parent.empty() && CaseInsensitiveStringEquality()(parent, name);
        });
    }

    static bool starts_with_ignoring_case(const std::string& text, const std::string& prefix) {
        return text.size() >= prefix.size() &&
               CaseInsensitiveStringEquality()(std::string_view(text).substr(0, prefix.size()),
                                               prefix);
    }
};

// The defined categories of the loop's columns, in column order, each once.
std::vector<std::string> categories_of(const LoopColumns& columns,
                                       const CifDictionary& dictionary) {
    std::vector<std::string> categories;
    for (const std::string& name : columns.loop.column_names()) {
        if (!dictionary.entry_with_name(name)) continue;
        const std::string category = dictionary.category(name);
        const bool seen = std::any_of(categories.begin(), categories.end(), [&](const auto& c) {
            return CaseInsensitiveStringEquality()(c, category);
        });
        if (!seen) categories.push_back(category);
    }
    return categories;
}

// _geom_bond_site_symmetry_1, _geom_hbond_site_symmetry_D: the symmetry code of one atom.
bool is_symmetry_code(const std::string& name) {
    const std::string marker = "_site_symmetry_";
    const std::size_t at = name.size() > marker.size() ? name.size() - marker.size() - 1 : 0;
    return at > 0 && CaseInsensitiveStringEquality()(
                         std::string_view(name).substr(at, marker.size()), marker);
}

// The names whose values together identify a row: a column's `_list_uniqueness` item, or
// else the mandatory columns, then the loop's symmetry codes. The core dictionary keys its
// geometry categories by atom labels alone, yet the same atoms recur in a list of bonds or
// angles with other symmetry codes ("." among them: the identity).
struct Key {
    std::vector<std::string> names;
    std::size_t identifying = 0;  // the first names, whose ? or . leave a row unkeyed
};

Key key_of(const LoopColumns& columns, const CifDictionary& dictionary) {
    Key key;
    for (const std::string& name : columns.loop.column_names()) {
        const std::string unique = dictionary.list_uniqueness(name);
        if (!unique.empty()) return {{unique}, 1};
    }
    for (const std::string& name : columns.loop.column_names()) {
        if (dictionary.list_mandatory(name)) key.names.push_back(name);
    }
    key.identifying = key.names.size();
    if (key.names.empty()) return key;
    for (const std::string& name : columns.loop.column_names()) {
        if (is_symmetry_code(name)) key.names.push_back(name);
    }
    return key;
}

// Every row whose key repeats an earlier row's.
void check_key(const CifDataBlock& block, const LoopColumns& columns, const Key& key,
               CifErrorContainer& errors) {
    const auto in_loop = [&](const std::string& name) { return columns.has(name); };
    if (key.names.empty() || !std::all_of(key.names.begin(), key.names.end(), in_loop)) return;
    std::vector<THandle<CifDataItem>> items;
    std::string names;
    for (const std::string& name : key.names) {
        items.push_back(block.find(name));
        names += (names.empty() ? "" : ", ") + name;
    }
    std::unordered_set<std::string> seen;
    for (unsigned int row = 0; row < columns.rows; ++row) {
        std::string value;
        bool unkeyed = false;
        for (std::size_t k = 0; k < items.size(); ++k) {
            const std::string_view part = items[k]->value_view(row);
            unkeyed = unkeyed || (k < key.identifying && is_placeholder(part));
            value += (k ? ", " : "") + std::string(part);
        }
        if (!unkeyed && !seen.insert(value).second) {
            errors.add(CifError(CifError::DuplicateKeyValue, names, "'" + value + "'",
                                columns.loop.line()));
        }
    }
}

}  // namespace

CifDictionaryRuleChecker::CifDictionaryRuleChecker(THandle<Cif> cif) : cif_(std::move(cif)) {}

void CifDictionaryRuleChecker::check() {
    for (auto block = cif_->block_begin(); block != cif_->block_end(); ++block) {
        check_items(**block);
        check_loops(**block);
        check_parents(**block);
    }
}

void CifDictionaryRuleChecker::check_items(const CifDataBlock& block) const {
    const CifDictionary& dictionary = *cif_->dictionary();
    CifErrorContainer& errors = *cif_->errors();
    for (auto item = block.begin_write_order(); item != block.end_write_order(); ++item) {
        const std::string& name = (*item)->name();
        if (!dictionary.entry_with_name(name)) continue;
        const CifDictionary::ListType list = dictionary.list(name);
        if (list == CifDictionary::LIST_YES && !(*item)->is_looped()) {
            errors.add(CifError(CifError::ItemNotInLoop, name, (*item)->line()));
        } else if (list == CifDictionary::LIST_NO && (*item)->is_looped()) {
            errors.add(CifError(CifError::ItemInLoop, name, (*item)->line()));
        }
    }
}

void CifDictionaryRuleChecker::check_loops(const CifDataBlock& block) const {
    const CifDictionary& dictionary = *cif_->dictionary();
    CifErrorContainer& errors = *cif_->errors();
    for (auto loop = block.begin_loops(); loop != block.end_loops(); ++loop) {
        const LoopColumns columns(**loop, block);
        const int line = (*loop)->line();
        const std::vector<std::string> categories = categories_of(columns, dictionary);
        for (std::size_t c = 1; c < categories.size(); ++c)
            errors.add(CifError(CifError::LoopMixesCategories, categories[0], categories[c], line));
        // An item missing as mandatory is not reported again as referenced.
        NameSet missing;
        for (const std::string& category : categories) {
            NameSet members;
            dictionary.category_members(category, members);
            for (const std::string& member : members) {
                if (dictionary.list_mandatory(member) && !columns.represents(member, dictionary)) {
                    errors.add(CifError(CifError::LoopLacksMandatoryItem, category, member, line));
                    missing.insert(member);
                }
            }
        }
        for (const std::string& name : (*loop)->column_names()) {
            for (const std::string& reference : dictionary.list_reference(name)) {
                if (missing.count(reference) == 0 && !columns.represents(reference, dictionary)) {
                    errors.add(CifError(CifError::LoopLacksReferencedItem, name, reference, line));
                }
            }
        }
        check_key(block, columns, key_of(columns, dictionary), errors);
    }
}

void CifDictionaryRuleChecker::check_parents(const CifDataBlock& block) const {
    const CifDictionary& dictionary = *cif_->dictionary();
    CifErrorContainer& errors = *cif_->errors();
    for (auto item = block.begin_write_order(); item != block.end_write_order(); ++item) {
        const std::string parent_name = dictionary.list_link_parent((*item)->name());
        if (parent_name.empty()) continue;
        const THandle<CifDataItem> parent = block.find(parent_name);
        if (!parent || !parent->has_value()) continue;
        std::unordered_set<std::string_view> parents;
        for (unsigned int row = 0; row < parent->size(); ++row)
            parents.insert(parent->value_view(row));
        for (unsigned int row = 0; row < (*item)->size(); ++row) {
            const std::string_view value = (*item)->value_view(row);
            if (is_placeholder(value) || parents.count(value) != 0) continue;
            errors.add(CifError(CifError::ValueWithoutParent, (*item)->name(),
                                "'" + std::string(value) + "'", (*item)->line()));
        }
    }
}
