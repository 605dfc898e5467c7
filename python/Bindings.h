#pragma once

// What the binding units share: the objects Python sees, each holding handles to the
// library's objects so that an item, block or loop taken from a document stays valid after
// the document is dropped, and helpers that turn library values into Python ones.

#include <cif/Cif.h>
#include <cif/CifConcreteDictionary.h>
#include <cif/CifDataBlock.h>
#include <cif/CifError.h>
#include <cif/CifLoop.h>
#include <host/UncertainValue.h>
#include <pybind11/pybind11.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cifpy {

namespace py = pybind11;

struct Document {
    THandle<Cif> cif;
};

struct Block {
    THandle<CifDataBlock> block;
};

struct Item {
    THandle<CifDataItem> item;
};

struct Loop {
    THandle<CifDataBlock> block;  // where the loop's columns live
    THandle<CifLoop> loop;
};

struct Dictionary {
    THandle<CifDictionary> dictionary;
    THandle<CifConcreteDictionary> file;  // the same when read from a file; empty for a pool
    std::vector<CifError> diagnostics;    // what reading it reported
};

/// The dictionary Python passed, or the empty one that knows no names.
THandle<CifDictionary> dictionary_or_empty(const Dictionary* dictionary);

/// A value as Python text; bytes that are no UTF-8 are taken as Latin-1, so no value fails.
py::str text(std::string_view value);

/// The item's value at the index as a number; nothing for "?" and "."; ValueError for text
/// that is no number.
std::optional<UncertainValue> number_of(const CifDataItem& item, unsigned index);
/// (value, su) as a cif.Number, su None when the text states none.
py::object number(const UncertainValue& value);

/// The records from `first` on, as a list of Python diagnostics.
py::list diagnostics(const CifErrorContainer& errors, std::size_t first = 0);

void bind_diagnostics(py::module_& m);
void bind_document(py::module_& m);
void bind_checks(py::module_& m);
void bind_dictionary(py::module_& m);
void bind_structure(py::module_& m);
void bind_database(py::module_& m);

}  // namespace cifpy
