// Internal: uncertain values as the mappers read and write them, in the crystal model's own
// notation.
#pragma once

#include <sstream>
#include <stdexcept>
#include <string>

#include "cif/CifUtilities.h"
#include "host/UncertainValue.h"

template <>
inline std::string to_string<UncertainValue>(const UncertainValue& value) {
    std::ostringstream out;
    value.print(out);
    return out.str();
}

namespace cif::detail {

/// The value the text begins with. Throws std::runtime_error "Reading <subject> from Cif
/// failed, could not interpret '<text>' as a valid value for <name>" when none does.
inline UncertainValue parse_or_throw(const std::string& text, const char* subject,
                                     const std::string& name) {
    std::istringstream in(text);
    UncertainValue value;
    value.parse(in);
    if (in.fail()) {
        throw std::runtime_error(std::string("Reading ") + subject +
                                 " from Cif failed, could not interpret '" + text +
                                 "' as a valid value for " + name);
    }
    return value;
}

}  // namespace cif::detail
