// InputTextStyleFinder: reads a notation of marked-up text into runs.
#pragma once

#include <string>
#include <vector>

#include "host/HostApi.h"
#include "host/TextRun.h"

class HOST_API InputTextStyleFinder {
  public:
    virtual ~InputTextStyleFinder() = default;
    virtual std::vector<TextRun> find_runs(const std::string& text) const = 0;
};
