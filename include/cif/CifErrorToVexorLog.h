// CifErrorToVexorLog: a diagnostic as one line of the host's log.
#pragma once

#include "cif/CifApi.h"
#include "cif/CifError.h"

struct CIF_API CifErrorToVexorLog {
    /// Remarks become info lines, warnings warning lines, the rest error lines; the line
    /// text is the filled message.
    void operator()(const CifError& error) const;
};
