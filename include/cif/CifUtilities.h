// Block queries for the mappers: the first of several alternative names that has a value,
// setting a value only when there is one, and whether a block has a name of some family.
#pragma once

#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "host/THandle.h"

/// The item of the first name, in list order, that the block has with a value ("?" and "."
/// count); an empty handle when none has.
CIF_API THandle<CifDataItem> find_from_alternatives(THandle<CifDataBlock> block,
                                                    const std::vector<std::string>& names);
/// Sets the value unless it is the empty string (a blank is a value).
CIF_API void set_if_not_empty(THandle<CifDataBlock> block, const std::string& name,
                              const std::string& value);
/// Whether an item's name begins with the prefix, without regard to letter case.
CIF_API bool has_item_name_beginning(THandle<CifDataBlock> block, const std::string& prefix);

/// The library's text of a number or other printable value: a default-formatted stream in
/// the classic locale, so integers in plain decimal and doubles with six significant digits
/// and a decimal point, whatever locale the host has set.
template <class T>
std::string to_string(const T& value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}
