// CifParserSettings: options for reading CIF text.
#pragma once

#include "cif/CifApi.h"

struct CIF_API CifParserSettings {
    /// A line with more characters than this raises one LineTooLong warning.
    int max_line_length = 80;
};
