#include "cif/CifDictionaryRuleChecker.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "cif/CifDictionaryItem.h"
#include "host/TextUtilities.h"
#include "model/CifCharacters.h"

namespace {

using NameSet = std::set<std::string, CaseInsensitiveStringLess>;
using cif::detail::is_digit;
using cif::detail::is_placeholder;

// "_a, _b": names as a diagnostic lists them.
std::string join(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

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

// The names whose values together identify a row, and which of them are numbers.
struct Key {
    std::vector<std::string> names;
    std::size_t identifying = 0;  // the first names, whose ? or . leave a row unkeyed

    // Every name of the other key is one of ours: our repeats are a part of its repeats.
    bool covers(const Key& other) const {
        return std::all_of(other.names.begin(), other.names.end(), [&](const std::string& n) {
            return std::any_of(names.begin(), names.end(), [&](const std::string& m) {
                return CaseInsensitiveStringEquality()(n, m);
            });
        });
    }
};

// The loop's mandatory columns, then its symmetry codes: the core dictionary keys its
// geometry categories by atom labels alone (a family of names, no loop column), yet the same
// atoms recur in a list of bonds or angles with other symmetry codes ("." among them).
Key mandatory_key(const LoopColumns& columns, const CifDictionary& dictionary) {
    Key key;
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

// The loop's keys: each column's `_list_uniqueness` and `_list_reference` names when the
// loop holds them all, else its mandatory columns. A key that takes in a narrower one finds
// nothing that one does not, so only the narrowest are kept.
std::vector<Key> keys_of(const LoopColumns& columns, const CifDictionary& dictionary) {
    std::vector<Key> keys;
    const auto add = [&](const std::vector<std::string>& names) {
        if (names.empty() || !std::all_of(names.begin(), names.end(),
                                          [&](const std::string& n) { return columns.has(n); }))
            return;
        keys.push_back({names, names.size()});
    };
    for (const std::string& name : columns.loop.column_names()) {
        const CifDictionaryItem* definition = dictionary.find_definition(name);
        if (!definition) continue;
        add(definition->list_uniqueness_names);
        add(definition->list_reference);
    }
    if (keys.empty()) keys.push_back(mandatory_key(columns, dictionary));
    std::vector<Key> narrowest;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const auto narrower = [&](std::size_t other) {
            return keys[k].covers(keys[other]) && (!keys[other].covers(keys[k]) || other < k);
        };
        bool covered = false;
        for (std::size_t other = 0; other < keys.size() && !covered; ++other)
            covered = other != k && narrower(other);
        if (!covered) narrowest.push_back(keys[k]);
    }
    return narrowest;
}

// The power of ten of a mantissa's last digit: -3 for 1.234, 1 for 1.2E2.
int last_digit_power(std::string_view mantissa) {
    const std::size_t exponent = mantissa.find_first_of("eE");
    int power = 0;
    if (exponent != std::string_view::npos) {
        const char* p = mantissa.data() + exponent + 1;
        if (p != mantissa.end() && *p == '+') ++p;
        std::from_chars(p, mantissa.end(), power);
        mantissa = mantissa.substr(0, exponent);
    }
    const std::size_t point = mantissa.find('.');
    return point == std::string_view::npos ? power : power - int(mantissa.size() - point - 1);
}

// A CIF number as the value it states, its s.u. as digits times a power of ten with the
// digits' trailing zeros taken into the power, so that 1.1(2) and 1.10(20) are one number.
// False for text that is no number.
bool append_number(std::string& key, std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    if (p != end && *p == '+') ++p;
    const char* first_digit = p != end && *p == '-' ? p + 1 : p;
    if (first_digit == end || !(is_digit(*first_digit) || *first_digit == '.')) return false;
    double value = 0;
    const auto [stop, failed] = std::from_chars(p, end, value);
    if (failed != std::errc()) return false;
    long long digits = 0;
    int power = 0;
    if (stop != end) {
        if (*stop != '(' || end[-1] != ')') return false;
        const auto [su_end, su_failed] = std::from_chars(stop + 1, end - 1, digits);
        if (su_failed != std::errc() || su_end != end - 1) return false;
        power = last_digit_power(std::string_view(p, std::size_t(stop - p)));
        for (; digits != 0 && digits % 10 == 0; digits /= 10)
            ++power;
    }
    if (digits == 0) power = 0;
    value += 0.0;   // -0 is 0
    key += '\x01';  // no text value starts so
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
    key.append(reinterpret_cast<const char*>(&digits), sizeof digits);
    key.append(reinterpret_cast<const char*>(&power), sizeof power);
    return true;
}

// A key value as compared: a number of a `numb` item by what it states (10, 1E+1 and
// 1000E-2 are one value; 1.1(2) and 1.1(3) are two), anything else by its text.
void append_key_part(std::string& key, std::string_view text, bool numeric) {
    if (numeric && append_number(key, text)) return;
    key += text;
    key += '\x1e';
}

// Every row whose key repeats an earlier row's.
void check_key(const CifDataBlock& block, const LoopColumns& columns, const Key& key,
               const CifDictionary& dictionary, CifErrorContainer& errors) {
    if (key.names.empty()) return;
    std::vector<THandle<CifDataItem>> items;
    std::vector<bool> numeric;
    for (const std::string& name : key.names) {
        items.push_back(block.find(name));
        numeric.push_back(dictionary.type(name) == CifDictionary::TYPE_NUMB);
    }
    const std::string names = join(key.names);
    std::unordered_set<std::string> seen(columns.rows);
    std::string compared;
    for (unsigned int row = 0; row < columns.rows; ++row) {
        compared.clear();
        bool unkeyed = false;
        for (std::size_t k = 0; k < items.size(); ++k) {
            const std::string_view part = items[k]->value_view(row);
            unkeyed = unkeyed || (k < key.identifying && is_placeholder(part));
            append_key_part(compared, part, numeric[k]);
        }
        if (unkeyed || seen.insert(compared).second) continue;
        std::string shown;
        for (std::size_t k = 0; k < items.size(); ++k)
            shown += (k ? ", " : "") + std::string(items[k]->value_view(row));
        errors.add(
            CifError(CifError::DuplicateKeyValue, names, "'" + shown + "'", columns.loop.line()));
    }
}

}  // namespace

CifDictionaryRuleChecker::CifDictionaryRuleChecker(THandle<Cif> cif) : cif_(std::move(cif)) {}

void CifDictionaryRuleChecker::check() {
    for (auto block = cif_->block_begin(); block != cif_->block_end(); ++block) {
        check_items(**block);
        check_loops(**block);
        check_parents(**block);
        check_groups(**block);
    }
}

void CifDictionaryRuleChecker::check_items(const CifDataBlock& block) const {
    const CifDictionary& dictionary = *cif_->dictionary();
    CifErrorContainer& errors = *cif_->errors();
    for (auto item = block.begin_write_order(); item != block.end_write_order(); ++item) {
        const std::string& name = (*item)->name();
        const CifDictionaryItem* definition = dictionary.find_definition(name);
        if (!definition) continue;
        // DDL1 reads a definition without `_list` as "no".
        const auto list = definition->list_stated ? definition->list : CifDictionary::LIST_NO;
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
        for (const Key& key : keys_of(columns, dictionary))
            check_key(block, columns, key, dictionary, errors);
    }
}

void CifDictionaryRuleChecker::check_parents(const CifDataBlock& block) const {
    const CifDictionary& dictionary = *cif_->dictionary();
    CifErrorContainer& errors = *cif_->errors();
    // Each parent's values, gathered once: every bond and angle label refers to the sites.
    std::map<std::string, std::unordered_set<std::string_view>, CaseInsensitiveStringLess> values;
    const auto values_of = [&](const THandle<CifDataItem>& parent) -> const auto& {
        auto [found, added] = values.try_emplace(parent->name());
        for (unsigned int row = 0; added && row < parent->size(); ++row)
            found->second.insert(parent->value_view(row));
        return found->second;
    };
    for (auto item = block.begin_write_order(); item != block.end_write_order(); ++item) {
        const CifDictionaryItem* definition = dictionary.find_definition((*item)->name());
        if (!definition) continue;
        // A value may come from any of the parents the block gives.
        std::vector<const std::unordered_set<std::string_view>*> parents;
        for (const std::string& parent_name : definition->list_link_parents) {
            const THandle<CifDataItem> parent = block.find(parent_name);
            if (parent && parent->has_value()) parents.push_back(&values_of(parent));
        }
        if (parents.empty()) continue;
        for (unsigned int row = 0; row < (*item)->size(); ++row) {
            const std::string_view value = (*item)->value_view(row);
            const auto has = [&](const auto* set) { return set->count(value) != 0; };
            if (is_placeholder(value) || std::any_of(parents.begin(), parents.end(), has)) continue;
            errors.add(CifError(CifError::ValueWithoutParent, (*item)->name(),
                                "'" + std::string(value) + "'", (*item)->line()));
        }
    }
}

void CifDictionaryRuleChecker::check_groups(const CifDataBlock& block) const {
    const CifDictionary& dictionary = *cif_->dictionary();
    std::vector<const CifLoop*> loops;
    std::map<std::string, std::size_t, CaseInsensitiveStringLess> loop_of;
    for (auto loop = block.begin_loops(); loop != block.end_loops(); ++loop) {
        for (const std::string& name : (*loop)->column_names())
            loop_of.emplace(name, loops.size());
        loops.push_back(loop->get());
    }
    // Each key with the loops that hold it or an item referring to it.
    std::map<std::string, std::set<std::size_t>, CaseInsensitiveStringLess> groups;
    for (const auto& [name, loop] : loop_of) {
        const std::vector<std::string>& key = dictionary.list_reference(name);
        if (key.empty()) continue;
        std::set<std::size_t>& holding = groups[join(key)];
        holding.insert(loop);
        for (const std::string& key_name : key) {
            const auto found = loop_of.find(key_name);
            if (found != loop_of.end()) holding.insert(found->second);
        }
    }
    for (const auto& [key, holding] : groups) {
        const int first_line = loops[*holding.begin()]->line();
        for (auto loop = std::next(holding.begin()); loop != holding.end(); ++loop) {
            cif_->errors()->add(CifError(CifError::ItemsSplitOverLoops, key,
                                         std::to_string(first_line), loops[*loop]->line()));
        }
    }
}
