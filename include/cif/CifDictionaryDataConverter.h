// CifDictionaryDataConverter: one DDL1 definition block into definition records, with every
// malformed attribute reported.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "cif/CifDictionary.h"
#include "cif/CifDictionaryItem.h"
#include "cif/CifErrorContainer.h"
#include "cif/StringFunctionsLibCif.h"
#include "host/THandle.h"
#include "host/TextUtilities.h"

/// Reports into the container and goes on; never throws for bad dictionary content. Every
/// report carries the line of the definition's data block.
class CIF_API CifDictionaryDataConverter {
  public:
    using Definitions = std::vector<std::pair<std::string, THandle<CifDictionaryItem>>>;

    explicit CifDictionaryDataConverter(THandle<CifErrorContainer> errors);

    /// Text attributes lose the common indentation of their lines.
    void convert(const std::string& value, int line, std::string& out) const;
    /// Keyword attributes: the first keyword the value contains, ignoring case, decides;
    /// none gives the fallback and an error.
    void convert(const std::string& value, int line, bool& out) const;
    void convert(const std::string& value, int line, CifDictionary::DataType& out) const;
    void convert(const std::string& value, int line, CifDictionary::DataTypeCond& out) const;
    void convert(const std::string& value, int line, CifDictionary::ListType& out) const;
    void convert(const std::string& value, int line, Relation::RelatedFunction& out) const;

    /// Appends every value of the item, verbatim; leaves `out` as it is when it has none.
    void convert_text_list(THandle<CifDataBlock> block, const std::string& name,
                           std::vector<std::string>& out) const;
    /// `out` becomes one (name, definition) pair per _name, all sharing one record.
    void convert(THandle<CifDataBlock> block, Definitions& out) const;

    void report(CifError::ErrorID id, int line, const std::string& first = std::string(),
                const std::string& second = std::string()) const;

  private:
    template <class T>
    void convert_keyword(const std::string& value, int line,
                         std::initializer_list<std::pair<const char*, T>> table, T fallback,
                         CifError::ErrorID error, T& out) const;
    // An attribute that may name several items: all of them, and the first as text.
    void convert_name_list(THandle<CifDataBlock> block, const std::string& name,
                           std::vector<std::string>& names, std::string& first) const;

    THandle<CifErrorContainer> errors_;
};

/// Converts the first value of the item into `out`; more than one value is an error.
template <class T>
void get_single_data_item(const CifDictionaryDataConverter& converter, THandle<CifDataBlock> block,
                          const std::string& name, T& out) {
    THandle<CifDataItem> item = block->find(name);
    if (!item || !item->has_value()) return;
    converter.convert(item->value(), block->line(), out);
    if (item->size() > 1) converter.report(CifError::SingleValueExpected, block->line());
}

/// The element of a paired list from its value and its detail.
inline Enumeration make_list_element(const std::string& value, const std::string& detail,
                                     Enumeration*) {
    return Enumeration{value, detail};
}
inline Example make_list_element(const std::string& value, const std::string& detail, Example*) {
    return Example{value, detail};
}
inline Relation make_list_element(const std::string& value, Relation::RelatedFunction function,
                                  Relation*) {
    return Relation{value, function};
}

/// Row by row, with the detail column when there is one.
template <class T, class D>
void convert_looped_list(const CifDictionaryDataConverter& converter, THandle<CifDataItem> values,
                         THandle<CifDataItem> details, int line, D default_detail,
                         std::vector<T>& out) {
    for (unsigned int row = 0; row < values->size(); ++row) {
        D detail = default_detail;
        if (details) converter.convert(details->value(row), line, detail);
        out.push_back(make_list_element(left_justify_text_block(values->value(row)), detail,
                                        static_cast<T*>(nullptr)));
    }
}

/// One value and its detail, neither in a loop.
template <class T, class D>
void convert_nonlooped_list(const CifDictionaryDataConverter& converter,
                            THandle<CifDataItem> values, THandle<CifDataItem> details, int line,
                            D default_detail, std::vector<T>& out) {
    if (values->size() > 1) converter.report(CifError::MultipleValuesNotLooped, line);
    D detail = default_detail;
    if (details && details->has_value()) converter.convert(details->value(), line, detail);
    if (details && details->size() > 1) converter.report(CifError::MultipleValuesNotLooped, line);
    out.push_back(make_list_element(left_justify_text_block(values->value()), detail,
                                    static_cast<T*>(nullptr)));
}

/// A value list with its optional detail list, such as _enumeration and
/// _enumeration_detail, looped together or given singly.
template <class T, class D>
void get_multiple_data_item(const CifDictionaryDataConverter& converter,
                            THandle<CifDataBlock> block, const std::string& name,
                            const std::string& detail_name, D default_detail, std::vector<T>& out) {
    THandle<CifDataItem> values = block->find(name);
    if (!values) return;
    const int line = block->line();
    if (!values->is_looped()) {
        convert_nonlooped_list(converter, values, block->find(detail_name), line, default_detail,
                               out);
        return;
    }
    std::vector<std::string> columns;
    block->loop_columns(name, columns);
    if (columns.size() > 2) {
        converter.report(CifError::TooManyLoopLabels, line);
        return;
    }
    THandle<CifDataItem> details;
    if (columns.size() == 2) {
        const std::string& other =
            CaseInsensitiveStringEquality(name)(columns[0]) ? columns[1] : columns[0];
        if (!CaseInsensitiveStringEquality(detail_name)(other)) {
            converter.report(CifError::UnexpectedLoopItem, line, other, detail_name);
            return;
        }
        details = block->find(other);
    }
    convert_looped_list(converter, values, details, line, default_detail, out);
}
