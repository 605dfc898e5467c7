// database_error: what the database framework throws when a database cannot do what it is
// asked (no such entry, not writable, unreadable data).
#pragma once

#include <stdexcept>
#include <string>

#include "host/HostApi.h"

class HOST_API database_error : public std::runtime_error {
  public:
    explicit database_error(const std::string& what) : std::runtime_error(what) {}
};
