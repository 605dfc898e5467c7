// FileErrorAccessInterface: the problems a file reader found, for the host to show.
#pragma once

#include <vector>

#include "host/FileError.h"
#include "host/HostApi.h"
#include "host/THandle.h"

class HOST_API FileErrorAccessInterface {
  public:
    virtual ~FileErrorAccessInterface() = default;

    /// The list of problems; an empty handle when nothing has been read.
    virtual THandle<std::vector<FileError>> errors() const = 0;
    virtual void clear_errors() = 0;
};
