#include "cif/CifErrorToVexorLog.h"

#include <ostream>

#include "host/VexorLog.h"

void CifErrorToVexorLog::operator()(const CifError& error) const {
    switch (error.type()) {
        case CifError::Remark:
            VexorLog::start_info_line() << error.message();
            VexorLog::end_info_line();
            break;
        case CifError::Warning:
            VexorLog::start_warning_line() << error.message();
            VexorLog::end_warning_line();
            break;
        default:
            VexorLog::start_error_line() << error.message();
            VexorLog::end_error_line();
            break;
    }
}
