// CifErrorToFileError: a diagnostic as a FileError of the host's file-format framework.
#pragma once

#include "cif/CifApi.h"
#include "cif/CifError.h"
#include "host/FileError.h"

struct CIF_API CifErrorToFileError {
    /// Severity 2 for a Remark, 1 for a Warning, 0 otherwise; the filled message; the line.
    FileError operator()(const CifError& error) const;
};
