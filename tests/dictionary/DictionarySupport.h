// Reads dictionaries for tests: from text, or the bundled IUCr core dictionary (read once).
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "TestData.h"
#include "cif/CifConcreteDictionary.h"

inline THandle<CifConcreteDictionary> read_dictionary(const std::string& text,
                                                      THandle<CifErrorContainer> errors) {
    THandle<CifConcreteDictionary> dictionary(new CifConcreteDictionary);
    std::istringstream in(text);
    dictionary->read(in, errors, nullptr);
    return dictionary;
}

/// cif_core.dic 2.4.5, read once for the whole test program.
inline THandle<CifConcreteDictionary> core_dictionary() {
    static THandle<CifConcreteDictionary> core = [] {
        THandle<CifErrorContainer> errors(new CifErrorContainer);
        return read_dictionary(test_data::read_file(test_data::bundled("dict/cif_core.dic")),
                               errors);
    }();
    return core;
}
