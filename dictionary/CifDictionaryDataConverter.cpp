#include "cif/CifDictionaryDataConverter.h"

#include <initializer_list>

#include "cif/StringFunctionsLibCif.h"
#include "host/TextUtilities.h"

namespace {

template <class T>
using KeywordTable = std::initializer_list<std::pair<const char*, T>>;

// The attribute names, made once: a name built from a literal at each of the thousand
// definitions of a dictionary would be an allocation each, most being over the length a
// string keeps in itself.
const std::string name_name = "_name", category_name = "_category", definition_name = "_definition",
                  default_name = "_enumeration_default", range_name = "_enumeration_range",
                  link_child_name = "_list_link_child", link_parent_name = "_list_link_parent",
                  mandatory_name = "_list_mandatory", uniqueness_name = "_list_uniqueness",
                  list_name = "_list", reference_name = "_list_reference", type_name = "_type",
                  conditions_name = "_type_conditions", construct_name = "_type_construct",
                  units_name = "_units", units_detail_name = "_units_detail",
                  enumeration_name = "_enumeration",
                  enumeration_detail_name = "_enumeration_detail", example_name = "_example",
                  example_detail_name = "_example_detail", related_name = "_related_item",
                  function_name = "_related_function";

// The result of the first keyword the value contains (ignoring case); false when none.
template <class T>
bool match_keyword(const std::string& value, KeywordTable<T> table, T& out) {
    for (const auto& [keyword, result] : table) {
        if (contains_case_insensitive(value, keyword)) {
            out = result;
            return true;
        }
    }
    return false;
}

}  // namespace

// A keyword attribute: the first match decides; none gives the fallback and the error.
template <class T>
void CifDictionaryDataConverter::convert_keyword(const std::string& value, int line,
                                                 KeywordTable<T> table, T fallback,
                                                 CifError::ErrorID error, T& out) const {
    if (match_keyword(value, table, out)) return;
    out = fallback;
    report(error, line, value);
}

CifDictionaryDataConverter::CifDictionaryDataConverter(THandle<CifErrorContainer> errors)
    : errors_(std::move(errors)) {}

void CifDictionaryDataConverter::report(CifError::ErrorID id, int line, const std::string& first,
                                        const std::string& second) const {
    errors_->add(CifError(id, first, second, line));
}

void CifDictionaryDataConverter::convert(const std::string& value, int, std::string& out) const {
    out = left_justify_text_block(value);
}

void CifDictionaryDataConverter::convert(const std::string& value, int line, bool& out) const {
    if (is_blank_line(value.c_str())) {
        out = false;
        return;
    }
    convert_keyword<bool>(value, line, {{"no", false}, {"yes", true}}, false,
                          CifError::InvalidYesNoValue, out);
}

void CifDictionaryDataConverter::convert(const std::string& value, int line,
                                         CifDictionary::DataType& out) const {
    convert_keyword<CifDictionary::DataType>(value, line,
                                             {{"numb", CifDictionary::TYPE_NUMB},
                                              {"char", CifDictionary::TYPE_CHAR},
                                              {"null", CifDictionary::TYPE_NULL}},
                                             CifDictionary::TYPE_UNDEFINED,
                                             CifError::InvalidTypeValue, out);
}

void CifDictionaryDataConverter::convert(const std::string& value, int line,
                                         CifDictionary::DataTypeCond& out) const {
    // DDL 1.4's name for "esd", as the IUCr dictionaries say it; the whole word, since as a
    // part it would take in words such as "measured".
    if (CaseInsensitiveStringEquality()(strip(value), "su")) {
        out = CifDictionary::COND_ESD;
        return;
    }
    convert_keyword<CifDictionary::DataTypeCond>(value, line,
                                                 {{"none", CifDictionary::COND_NONE},
                                                  {"esd", CifDictionary::COND_ESD},
                                                  {"seq", CifDictionary::COND_SEQ}},
                                                 CifDictionary::COND_NONE,
                                                 CifError::InvalidTypeConditionsValue, out);
}

void CifDictionaryDataConverter::convert(const std::string& value, int line,
                                         CifDictionary::ListType& out) const {
    convert_keyword<CifDictionary::ListType>(value, line,
                                             {{"no", CifDictionary::LIST_NO},
                                              {"both", CifDictionary::LIST_BOTH},
                                              {"yes", CifDictionary::LIST_YES}},
                                             CifDictionary::LIST_NO, CifError::InvalidListValue,
                                             out);
}

void CifDictionaryDataConverter::convert(const std::string& value, int line,
                                         Relation::RelatedFunction& out) const {
    convert_keyword<Relation::RelatedFunction>(value, line,
                                               {{"alternate", Relation::ALTERNATE},
                                                {"convention", Relation::CONVENTION},
                                                {"conversion", Relation::CONVERSION},
                                                {"replace", Relation::REPLACE}},
                                               Relation::ALTERNATE,
                                               CifError::InvalidRelatedFunctionValue, out);
}

void CifDictionaryDataConverter::convert_text_list(THandle<CifDataBlock> block,
                                                   const std::string& name,
                                                   std::vector<std::string>& out) const {
    THandle<CifDataItem> item = block->find(name);
    if (!item || !item->has_value()) return;
    for (unsigned int i = 0; i < item->size(); ++i)
        out.emplace_back(item->value_view(i));
}

void CifDictionaryDataConverter::convert_name_list(THandle<CifDataBlock> block,
                                                   const std::string& name,
                                                   std::vector<std::string>& names,
                                                   std::string& first) const {
    convert_text_list(block, name, names);
    if (!names.empty()) convert(names.front(), block->line(), first);
}

void CifDictionaryDataConverter::convert(THandle<CifDataBlock> block, Definitions& out) const {
    out.clear();
    std::vector<std::string> names;
    convert_text_list(block, name_name, names);
    if (names.empty()) {
        report(CifError::DictionaryEntryWithoutName, block->line());
        return;
    }
    THandle<CifDictionaryItem> definition = make_handle<CifDictionaryItem>();
    out.emplace_back(names.front(), definition);
    CifDictionaryItem& d = *definition;
    get_single_data_item(*this, block, category_name, d.category);
    get_single_data_item(*this, block, definition_name, d.definition);
    get_single_data_item(*this, block, default_name, d.enumeration_default);
    get_single_data_item(*this, block, range_name, d.enumeration_range);
    convert_text_list(block, link_child_name, d.list_link_child);
    convert_name_list(block, link_parent_name, d.list_link_parents, d.list_link_parent);
    get_single_data_item(*this, block, mandatory_name, d.list_mandatory);
    convert_name_list(block, uniqueness_name, d.list_uniqueness_names, d.list_uniqueness);
    get_single_data_item(*this, block, list_name, d.list);
    const THandle<CifDataItem> list = block->find(list_name);
    d.list_stated = list && list->has_value();
    convert_text_list(block, reference_name, d.list_reference);
    get_single_data_item(*this, block, type_name, d.type);
    get_single_data_item(*this, block, conditions_name, d.condition);
    get_single_data_item(*this, block, construct_name, d.type_construct);
    get_single_data_item(*this, block, units_name, d.units);
    get_single_data_item(*this, block, units_detail_name, d.units_detail);
    get_multiple_data_item(*this, block, enumeration_name, enumeration_detail_name, std::string(),
                           d.enumeration);
    get_multiple_data_item(*this, block, example_name, example_detail_name, std::string(),
                           d.example);
    get_multiple_data_item(*this, block, related_name, function_name, Relation::ALTERNATE,
                           d.related_item);
    for (std::size_t i = 1; i < names.size(); ++i)
        out.emplace_back(names[i], definition);
}
