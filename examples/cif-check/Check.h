// Checking one file: reading it, the checks asked for, and the report of it.
#pragma once

#include <cif/CifDictionary.h>

#include <string>

#include "Report.h"

namespace check {

/// The report of the file (- for standard input); with `write_to`, the document is written
/// there as read. `dictionary` is used by this thread alone while it checks.
Report check_file(const std::string& path, const THandle<CifDictionary>& dictionary,
                  const Options& options, const std::string& write_to);

/// The files named, a folder standing for the CIF files in and below it (sorted); a folder
/// without any is told to `messages` and gives false.
bool expand_inputs(const Names& paths, Names& files, std::ostream& messages);

}  // namespace check
