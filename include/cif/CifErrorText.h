// CifErrorText: the table of severities and message templates of all diagnostics.
#pragma once

#include <set>
#include <string>

#include "cif/CifApi.h"
#include "cif/CifError.h"

class CIF_API CifErrorText {
  public:
    /// Severity of the identifier; Warning for an identifier not in the table.
    static CifError::ErrorType type(CifError::ErrorID id);
    /// The raw template, placeholders unfilled; "Unknown error <1> <2>" for an identifier
    /// not in the table.
    static std::string message(CifError::ErrorID id);
    /// Adds every identifier of the table to the set.
    static void complete_error_list(std::set<CifError::ErrorID>& ids);
};
