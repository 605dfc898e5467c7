// Reads a CIF text into a document for tests, and writes documents back to text.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cif/Cif.h"
#include "cif/CifConcreteDictionary.h"

inline THandle<Cif> read_cif(
    const std::string& text,
    THandle<CifDictionary> dictionary = THandle<CifDictionary>(new CifConcreteDictionary)) {
    THandle<Cif> cif(new Cif(dictionary));
    std::istringstream in(text);
    cif->read(in, CifParserSettings());
    return cif;
}

inline std::string written(const Cif& cif, CifWriteSettings settings = CifWriteSettings()) {
    std::ostringstream out;
    cif.write(out, settings);
    return out.str();
}

inline std::string written(const CifDataBlock& block,
                           CifWriteSettings settings = CifWriteSettings()) {
    std::ostringstream out;
    block.print(out, settings);
    return out.str();
}

/// The diagnostics other than NonStandardDataItem, which an empty dictionary raises for
/// every item.
inline std::vector<CifError> problems(const Cif& cif) {
    std::vector<CifError> found;
    for (const CifError& e : *cif.errors()) {
        if (e.id() != CifError::NonStandardDataItem) found.push_back(e);
    }
    return found;
}
