// Internal: where the records of reading a cell or atoms for a database go.
#pragma once

#include <vector>

#include "cif/CifErrorContainer.h"
#include "cif/CifErrorToFileError.h"
#include "cif/CifErrorToVexorLog.h"

namespace cif::detail {

/// Each record to the log and, as a file error, to the database's list when it has one
/// (a database that never read a file has none).
inline void report_records(const CifErrorContainer& records, std::vector<FileError>* list) {
    for (const CifError& record : records) {
        CifErrorToVexorLog()(record);
        if (list) list->push_back(CifErrorToFileError()(record));
    }
}

}  // namespace cif::detail
