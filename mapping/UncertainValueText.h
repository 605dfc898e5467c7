// The text of an uncertain value as the mappers write it: the crystal model's own notation.
#pragma once

#include <sstream>
#include <string>

#include "cif/CifUtilities.h"
#include "host/UncertainValue.h"

template <>
inline std::string to_string<UncertainValue>(const UncertainValue& value) {
    std::ostringstream out;
    value.print(out);
    return out.str();
}
