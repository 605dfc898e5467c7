// Journal: a journal by its integer code, with its full name from a small built-in table.
#pragma once

#include <string>

#include "host/HostApi.h"

class HOST_API Journal {
  public:
    /// A code the table does not have gives an empty full name.
    explicit Journal(int code = 0);
    /// A journal as a file names it: the name given, or the table's when it gives none.
    Journal(int code, const std::string& full_name);

    int code() const { return code_; }
    const std::string& full_name() const { return full_name_; }

  private:
    int code_;
    std::string full_name_;
};
