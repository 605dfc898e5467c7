#include "cif/CifErrorToFileError.h"

FileError CifErrorToFileError::operator()(const CifError& error) const {
    FileError::Severity severity = FileError::Error;
    if (error.type() == CifError::Remark) severity = FileError::Remark;
    if (error.type() == CifError::Warning) severity = FileError::Warning;
    return FileError(severity, error.message(), error.line());
}
