// CifDataItem: one data item of a block and the outcome of validating its values.
#pragma once

#include "cif/CifApi.h"

class CIF_API CifDataItem {
  public:
    /// Outcome of checking one value against the item's definition.
    enum Validated {
        Valid = 0,
        NotInEnumeration = 1,
        BadlyFormattedNumber = 2,
        NotANumber = 3,
        BelowMinimum = 4,
        AboveMaximum = 5,
        UnexpectedEsd = 6,
        BadRange = 7,
        BadSubscriptMarkup = 8,
        BadSuperscriptMarkup = 9,
    };
};
