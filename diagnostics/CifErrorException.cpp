#include "cif/CifErrorException.h"

CifErrorException::CifErrorException(const CifError& error)
    : std::runtime_error(error.complete_message()), error_(error) {}

// Defined here so that the class's type information lives in the library.
CifErrorException::~CifErrorException() = default;
