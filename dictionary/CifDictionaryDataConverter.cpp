#include "cif/CifDictionaryDataConverter.h"

#include <initializer_list>

#include "cif/StringFunctionsLibCif.h"
#include "host/TextUtilities.h"

namespace {

template <class T>
using KeywordTable = std::initializer_list<std::pair<const char*, T>>;

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

void CifDictionaryDataConverter::convert(THandle<CifDataBlock> block, Definitions& out) const {
    out.clear();
    std::vector<std::string> names;
    convert_text_list(block, "_name", names);
    if (names.empty()) {
        report(CifError::DictionaryEntryWithoutName, block->line());
        return;
    }
    THandle<CifDictionaryItem> definition(new CifDictionaryItem);
    out.emplace_back(names.front(), definition);
    CifDictionaryItem& d = *definition;
    get_single_data_item(*this, block, "_category", d.category);
    get_single_data_item(*this, block, "_definition", d.definition);
    get_single_data_item(*this, block, "_enumeration_default", d.enumeration_default);
    get_single_data_item(*this, block, "_enumeration_range", d.enumeration_range);
    convert_text_list(block, "_list_link_child", d.list_link_child);
    get_single_data_item(*this, block, "_list_link_parent", d.list_link_parent);
    get_single_data_item(*this, block, "_list_mandatory", d.list_mandatory);
    get_single_data_item(*this, block, "_list_uniqueness", d.list_uniqueness);
    get_single_data_item(*this, block, "_list", d.list);
    convert_text_list(block, "_list_reference", d.list_reference);
    get_single_data_item(*this, block, "_type", d.type);
    get_single_data_item(*this, block, "_type_conditions", d.condition);
    get_single_data_item(*this, block, "_type_construct", d.type_construct);
    get_single_data_item(*this, block, "_units", d.units);
    get_single_data_item(*this, block, "_units_detail", d.units_detail);
    get_multiple_data_item(*this, block, "_enumeration", "_enumeration_detail", std::string(),
                           d.enumeration);
    get_multiple_data_item(*this, block, "_example", "_example_detail", std::string(), d.example);
    get_multiple_data_item(*this, block, "_related_item", "_related_function", Relation::ALTERNATE,
                           d.related_item);
    for (std::size_t i = 1; i < names.size(); ++i)
        out.emplace_back(names[i], definition);
}
