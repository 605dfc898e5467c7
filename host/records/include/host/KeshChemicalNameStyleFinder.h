// KeshChemicalNameStyleFinder: reads chemical names in the in-house
// notation, a small tagged form:
//   <sub>...</sub>   subscript          <sup>...</sup>   superscript
//   <g>a</g>         a Greek letter, by the Latin letter CIF uses for it (a alpha, b beta,
//                    g gamma, d delta, ... ; capitals for capitals)
//   <c>\'e</c>       any other special character, by its CIF backslash code
// and the characters <, > and & in the text as &lt;, &gt; and &amp;. Every CIF name goes to
// this form and back unchanged; text that is not well tagged is read as plain text.
#pragma once

#include "host/HostApi.h"
#include "host/InputTextStyleFinder.h"

class HOST_API KeshChemicalNameStyleFinder : public InputTextStyleFinder {
  public:
    std::vector<TextRun> find_runs(const std::string& text) const override;
};
