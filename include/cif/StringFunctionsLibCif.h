// Character, number and markup rules of CIF text.
#pragma once

#include <iosfwd>
#include <string>

#include "cif/CifApi.h"
#include "cif/CifDataItem.h"
#include "host/THandle.h"

/// True when `c` comes before any character that is not white space.
CIF_API bool is_first_non_white_char(const char* text, char c);

/// True for the empty text and for text of white space only.
CIF_API bool is_blank_line(const char* text);

/// True when the whole text (trailing white space allowed) is a CIF number: sign, mantissa
/// with at most one point, exponent e/E/d/D, standard uncertainty in parentheses.
CIF_API bool is_cif_number(const char* text);

/// Control characters other than tab, line feed and carriage return.
CIF_API bool is_bad_nonprinting_char(unsigned char c);

/// Bytes of code 128 and above.
CIF_API bool is_bad_printing_char(unsigned char c);

/// Checks that unescaped '~' (subscript) and '^' (superscript) come in closed, non-nested
/// spans; a backslash before one escapes it.
CIF_API CifDataItem::Validated check_super_subscript_markup(const std::string& text);

/// The item's data name and a line end; "NA" for an empty handle.
CIF_API void print_item_name(std::ostream& os, THandle<CifDataItem> item);

/// Value `index` of the item and a line end; "NA" when the handle is empty or the item has
/// no such value.
CIF_API void print_item_value(std::ostream& os, THandle<CifDataItem> item, int index);

/// The text without its leading and trailing blank lines, its lines shifted left by their
/// common indentation, joined by line feeds with none after the last.
CIF_API std::string left_justify_text_block(const std::string& text);
