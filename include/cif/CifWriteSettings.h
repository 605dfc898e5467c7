// CifWriteSettings: options for writing CIF text.
#pragma once

#include <cstdint>

#include "cif/CifApi.h"

class CIF_API CifWriteSettings {
  public:
    /// What a loop row writes for a column shorter than the first column.
    enum ShortColumnPolicy : std::int32_t { WriteEmpty = 0, Omit = 1 };

    /// The width the value layout measures against.
    std::int32_t line_length = 80;
    ShortColumnPolicy short_column_policy = WriteEmpty;
};
