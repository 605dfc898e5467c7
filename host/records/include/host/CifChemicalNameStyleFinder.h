// CifChemicalNameStyleFinder: reads chemical names in the notation of
// CIF 1.1 text: ~subscript~, ^superscript^, \a ... \z and \A ... \Z for Greek letters, and
// the other backslash codes (accents such as \'e and \"u, special letters such as \%a and
// \/o, and words such as \\db and \\times), which are kept as they are written.
#pragma once

#include "host/HostApi.h"
#include "host/InputTextStyleFinder.h"

/// A '~' or '^' opens a span only when the same mark closes it later; a lone one is text.
class HOST_API CifChemicalNameStyleFinder : public InputTextStyleFinder {
  public:
    std::vector<TextRun> find_runs(const std::string& text) const override;
};
