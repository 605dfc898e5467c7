// Copyright: the notice this library's writers put at the head of the files they write.
#pragma once

#include <string>
#include <vector>

#include "host/HostApi.h"

class HOST_API Copyright {
  public:
    /// The notice as comment lines of a format: the header lines, then the notice for that
    /// format name wrapped to `width` columns with each line between prefix and suffix,
    /// then the footer lines, appended to `lines`. Header and footer lines are taken as
    /// they are, one per line of their text.
    static void commented_text(const std::string& format_name, std::vector<std::string>& lines,
                               const std::string& header, const std::string& footer,
                               const std::string& prefix, const std::string& suffix, int width);
};
