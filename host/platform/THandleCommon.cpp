#include "host/THandle.h"

NullHandleError::NullHandleError() : std::logic_error("THandle: dereference of an empty handle") {}

void THandleCommon::null_handle_error() {
    throw NullHandleError();
}
