// Dictionaries and pools of them, and the checks a document runs against its dictionary.

#include <cif/CifConcreteDictionary.h>
#include <cif/CifDictionaryItem.h>
#include <cif/CifDictionaryPool.h>
#include <cif/CifDictionaryRuleChecker.h>
#include <cif/VexorCifConsistencyChecker.h>
#include <host/InputFile.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <sstream>

#include "Bindings.h"

namespace cifpy {

namespace {

// Reads a DDL1 dictionary from the stream; OSError-free: what went wrong is in diagnostics.
Dictionary read_dictionary(std::istream& in) {
    THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
    errors->ignore_error(CifError::LineTooLong);  // dictionaries use CIF 1.1's 2048
    THandle<CifConcreteDictionary> dictionary = make_handle<CifConcreteDictionary>();
    dictionary->read(in, errors, nullptr);
    return Dictionary{dictionary, dictionary,
                      std::vector<CifError>(errors->begin(), errors->end())};
}

Dictionary dictionary_from_file(const std::filesystem::path& path) {
    py::gil_scoped_release unlocked;
    InputFile file(path.string());
    if (!file.is_open()) {
        py::gil_scoped_acquire locked;
        throw py::value_error("dictionary " + path.string() + ": " + file.error());
    }
    return read_dictionary(file.stream());
}

Dictionary dictionary_from_text(const std::string& text) {
    py::gil_scoped_release unlocked;
    std::istringstream in(text);
    return read_dictionary(in);
}

Dictionary pool_of(const std::vector<const Dictionary*>& dictionaries) {
    THandle<CifDictionaryPool> pool = make_handle<CifDictionaryPool>();
    std::vector<CifError> diagnostics;
    for (const Dictionary* dictionary : dictionaries) {
        if (!dictionary->file) throw py::value_error("a pool holds dictionaries, not pools");
        pool->insert(dictionary->file);
        diagnostics.insert(diagnostics.end(), dictionary->diagnostics.begin(),
                           dictionary->diagnostics.end());
    }
    return Dictionary{pool, THandle<CifConcreteDictionary>(), diagnostics};
}

std::vector<CifDictionary::Descriptor> descriptors(const Dictionary& d) {
    std::vector<CifDictionary::Descriptor> all;
    if (d.file) {
        all.push_back(d.file->descriptor());
    } else if (const auto* pool = dynamic_cast<const CifDictionaryPool*>(d.dictionary.get())) {
        pool->descriptors(all);
    }
    return all;
}

const char* type_name(CifDictionary::DataType type) {
    switch (type) {
        case CifDictionary::TYPE_NUMB:
            return "numb";
        case CifDictionary::TYPE_CHAR:
            return "char";
        case CifDictionary::TYPE_NULL:
            return "null";
        default:
            return "undefined";
    }
}

const char* list_name(CifDictionary::ListType list) {
    switch (list) {
        case CifDictionary::LIST_NO:
            return "no";
        case CifDictionary::LIST_YES:
            return "yes";
        default:
            return "both";
    }
}

py::dict definition(const Dictionary& d, const std::string& name) {
    const CifDictionary& dictionary = *d.dictionary;
    if (!dictionary.entry_with_name(name)) throw py::key_error(name);
    py::list enumeration;
    for (const Enumeration& value : dictionary.enumeration(name))
        enumeration.append(text(value.value));
    py::dict definition;
    definition["name"] = text(name);
    definition["category"] = text(dictionary.category(name));
    definition["type"] = type_name(dictionary.type(name));
    definition["esd"] = dictionary.condition(name) == CifDictionary::COND_ESD;
    definition["list"] = list_name(dictionary.list(name));
    definition["list_mandatory"] = dictionary.list_mandatory(name);
    definition["units"] = text(dictionary.units(name));
    definition["range"] = text(dictionary.enumeration_range(name));
    definition["default"] = text(dictionary.enumeration_default(name));
    definition["enumeration"] = enumeration;
    definition["definition"] = text(dictionary.definition(name));
    return definition;
}

// The records a check added to the document.
template <class Check>
py::list run_check(const Document& document, Check check) {
    const std::size_t before = document.cif->errors()->size();
    check();
    return diagnostics(*document.cif->errors(), before);
}

}  // namespace

void bind_dictionary(py::module_& m) {
    py::class_<Dictionary>(m, "Dictionary",
                           "A DDL1 data dictionary (as the IUCr's cif_core.dic), or a pool of "
                           "them. Once read it may be shared by reads on several threads.")
        .def(py::init(&dictionary_from_file), py::arg("path"),
             "Reads the dictionary file (plain or .gz); ValueError when it cannot be read.")
        .def_static("from_string", &dictionary_from_text, py::arg("text"),
                    "Reads a dictionary from its text.")
        .def_static("pool", &pool_of, py::arg("dictionaries"),
                    "One dictionary answering for several: the first that defines a name answers "
                    "for it.")
        .def_property_readonly(
            "diagnostics", [](const Dictionary& d) { return d.diagnostics; },
            "What reading the dictionary file reported.")
        .def_property_readonly(
            "descriptors",
            [](const Dictionary& d) {
                py::list all;
                for (const CifDictionary::Descriptor& descriptor : descriptors(d))
                    all.append(py::dict(py::arg("name") = text(descriptor.name),
                                        py::arg("version") = text(descriptor.version),
                                        py::arg("update") = text(descriptor.update)));
                return all;
            },
            "Name, version and update date of each dictionary.")
        .def("__contains__",
             [](const Dictionary& d, const std::string& name) {
                 return d.dictionary->entry_with_name(name);
             })
        .def(
            "categories",
            [](const Dictionary& d) {
                std::vector<std::string> names;
                d.dictionary->category_list(names);
                return names;
            },
            "The category keys ('_atom_site_[]', ...).")
        .def("definition", &definition, py::arg("name"),
             "What the dictionary says of the item: category, type, esd, list, units, range, "
             "enumeration, default, definition text (KeyError when it defines none).");
}

void bind_checks(py::module_& m) {
    // What a small-molecule structure paper is expected to state (cif-check's defaults).
    const std::vector<std::string> publication_items = {"_publ_section_title", "_journal_name_full",
                                                        "_journal_year", "_publ_author_name"};
    const std::vector<std::string> structure_items = {
        "_cell_length_a",    "_cell_length_b",        "_cell_length_c",
        "_cell_angle_alpha", "_cell_angle_beta",      "_cell_angle_gamma",
        "_cell_volume",      "_chemical_formula_sum", "_symmetry_space_group_name_H-M",
        "_atom_site_label",  "_atom_site_fract_x",    "_atom_site_fract_y",
        "_atom_site_fract_z"};
    m.attr("PUBLICATION_ITEMS") = py::tuple(py::cast(publication_items));
    m.attr("STRUCTURE_ITEMS") = py::tuple(py::cast(structure_items));
    py::object document = m.attr("Document");
    const auto add = [&document](const char* name, py::cpp_function function) {
        document.attr(name) = function;
    };
    add("check_mandatory",
        py::cpp_function(
            [](const Document& d, const std::vector<std::string>& publication,
               const std::vector<std::string>& structure) {
                return run_check(d, [&] { d.cif->check_mandatory(publication, structure); });
            },
            py::name("check_mandatory"), py::is_method(document),
            py::arg("publication") = publication_items, py::arg("structure") = structure_items,
            "Reports (as remarks) publication items missing from the blocks with journal or "
            "publication data and structure items missing from those with structure data; "
            "returns the diagnostics added. By default the items of PUBLICATION_ITEMS and "
            "STRUCTURE_ITEMS."));
    add("check_consistency",
        py::cpp_function(
            [](const Document& d) {
                return run_check(d, [&] { VexorCifConsistencyChecker(d.cif).check_cif(); });
            },
            py::name("check_consistency"), py::is_method(document),
            "Checks space group against its operators, atom labels, and formula weight against "
            "the formula; returns the diagnostics added."));
    add("check_rules",
        py::cpp_function(
            [](const Document& d) {
                return run_check(d, [&] { CifDictionaryRuleChecker(d.cif).check(); });
            },
            py::name("check_rules"), py::is_method(document),
            "Checks the dictionary's rules: looped or not, loop keys, categories, parents; "
            "returns the diagnostics added."));
}

}  // namespace cifpy
