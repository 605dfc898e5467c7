#include "cif/CifVersion.h"

const char* cif::version() {
    return CIF_VERSION_STRING;
}
