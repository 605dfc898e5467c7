// The Python module `cif._cif`; the package `cif` re-exports it.

#include <cif/CifConcreteDictionary.h>
#include <cif/CifErrorException.h>
#include <pybind11/stl.h>

#include "Bindings.h"

namespace cifpy {

namespace {

// Classes made at import and kept for the life of the interpreter (never freed: the
// interpreter may be gone when static destructors run).
PyObject* number_class = nullptr;
PyObject* error_class = nullptr;

}  // namespace

py::str text(std::string_view value) {
    PyObject* decoded = PyUnicode_DecodeUTF8(value.data(), py::ssize_t(value.size()), nullptr);
    if (decoded == nullptr) {
        PyErr_Clear();
        decoded = PyUnicode_DecodeLatin1(value.data(), py::ssize_t(value.size()), nullptr);
        if (decoded == nullptr) throw py::error_already_set();
    }
    return py::reinterpret_steal<py::str>(decoded);
}

py::object number(const UncertainValue& value) {
    const Uncertainty& su = value.uncertainty();
    return py::reinterpret_borrow<py::object>(number_class)(
        value.value(), su.given() ? py::object(py::float_(su.value())) : py::none());
}

std::optional<UncertainValue> number_of(const CifDataItem& item, unsigned index) {
    const std::string_view value = item.value_view(index);
    if (value == "?" || value == ".") return std::nullopt;
    std::optional<UncertainValue> read = UncertainValue::from_text(value);
    if (!read) {  // the message as the value reads in Python, whatever its bytes
        const std::string message = item.name() + " value " + std::to_string(index + 1) + ": '" +
                                    std::string(value) + "' is not a number";
        PyErr_SetObject(PyExc_ValueError, text(message).ptr());
        throw py::error_already_set();
    }
    return read;
}

py::list diagnostics(const CifErrorContainer& errors, std::size_t first) {
    py::list list;
    for (auto record = errors.begin() + std::ptrdiff_t(first); record != errors.end(); ++record)
        list.append(py::cast(*record));
    return list;
}

THandle<CifDictionary> dictionary_or_empty(const Dictionary* dictionary) {
    if (dictionary != nullptr) return dictionary->dictionary;
    static const THandle<CifDictionary> empty = make_handle<CifConcreteDictionary>();
    return empty;
}

namespace {

void make_classes(py::module_& m) {
    py::object namedtuple = py::module_::import("collections").attr("namedtuple");
    py::object number_type = namedtuple("Number", "value su", py::arg("module") = "cif");
    number_type.attr("__doc__") =
        "A number read from CIF text: its value and its standard uncertainty (None when the "
        "text states none). '1.234(5)' is Number(value=1.234, su=0.005).";
    number_class = number_type.release().ptr();
    m.attr("Number") = py::reinterpret_borrow<py::object>(number_class);

    error_class = PyErr_NewExceptionWithDoc(
        "cif.Error",
        "A library error. `diagnostic` is the record that caused it (identifier, line, "
        "message and arguments), `diagnostics` the list holding it.",
        PyExc_RuntimeError, nullptr);
    m.attr("Error") = py::reinterpret_borrow<py::object>(error_class);
}

void translate_library_errors() {
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown) std::rethrow_exception(thrown);
        } catch (const CifErrorException& e) {
            py::object error =
                py::reinterpret_borrow<py::object>(error_class)(e.error().complete_message());
            error.attr("diagnostic") = py::cast(e.error());
            error.attr("diagnostics") = py::make_tuple(e.error());
            PyErr_SetObject(error_class, error.ptr());
        } catch (const NullHandleError& e) {
            PyErr_SetString(PyExc_RuntimeError, e.what());
        }
    });
}

}  // namespace

}  // namespace cifpy

PYBIND11_MODULE(_cif, m) {
    m.doc() =
        "Crystallographic Information Files: read, check, edit and write CIF, validate against "
        "DDL1 dictionaries, and turn data blocks into crystal structures.";
    cifpy::make_classes(m);
    cifpy::translate_library_errors();
    cifpy::bind_diagnostics(m);
    cifpy::bind_dictionary(m);
    cifpy::bind_document(m);
    cifpy::bind_checks(m);
    cifpy::bind_structure(m);
    cifpy::bind_database(m);
}
