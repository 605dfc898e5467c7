// CifErrorException: a diagnostic thrown when a caller breaks a rule of the data model.
#pragma once

#include <stdexcept>

#include "cif/CifApi.h"
#include "cif/CifError.h"

/// what() is the record's complete_message().
class CIF_API CifErrorException : public std::runtime_error {
  public:
    explicit CifErrorException(const CifError& error);
    ~CifErrorException() override;

    const CifError& error() const { return error_; }

  private:
    CifError error_;
};
