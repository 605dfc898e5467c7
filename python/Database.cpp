// A CIF file as a database of structures, and the records of its entries.

#include <cif/CifDatabase.h>
#include <host/ChemicalInfo.h>
#include <host/CrystalInfo.h>
#include <host/Date.h>
#include <host/DepositionInfo.h>
#include <host/EditorsInfo.h>
#include <host/ExperimentalInfo.h>
#include <host/Publication.h>
#include <host/database_error.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "Structure.h"

namespace cifpy {

namespace {

struct Database {
    Document document;
    THandle<CifDatabase> database;
};

struct Entry {
    THandle<CifDatabase> database;
    int index;
};

Database open_database(Document document) {
    try {
        return Database{document, make_handle<CifDatabase>(document.cif)};
    } catch (const database_error& e) {
        py::object error = py::module_::import("cif").attr("Error")(e.what());
        error.attr("diagnostics") = diagnostics(*document.cif->errors());
        PyErr_SetObject(error.get_type().ptr(), error.ptr());
        throw py::error_already_set();
    }
}

Database read_database(const std::filesystem::path& path) {
    Document document{make_handle<Cif>(make_handle<CifConcreteDictionary>())};
    document.cif->errors()->ignore_error(CifError::NonStandardDataItem);
    {
        py::gil_scoped_release unlocked;
        CifParserSettings settings;
        settings.max_line_length = 2048;
        document.cif->read_file(path.string(), settings);
    }
    return open_database(document);
}

std::size_t entry_index(const Database& d, py::ssize_t index) {
    const py::ssize_t size = d.database->size();
    if (index < 0) index += size;
    if (index < 0 || index >= size) throw py::index_error("entry index out of range");
    return std::size_t(index);
}

py::object date(const Date& date) {
    if (date.year() == 0) return py::none();
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year(), date.month(), date.day());
    return py::str(text);
}

py::object publication(const Publication* p) {
    if (p == nullptr) return py::none();
    py::list authors;
    for (const std::string& author : p->authors())
        authors.append(text(author));
    return py::dict(
        py::arg("authors") = authors, py::arg("journal") = text(p->journal().full_name()),
        py::arg("journal_code") = p->journal().code(), py::arg("volume") = text(p->volume()),
        py::arg("year") = p->year(), py::arg("first_page") = text(p->first_page()));
}

const char* probe_name(ExperimentalInfo::RadiationProbe probe) {
    static const char* const names[] = {"", "x-ray", "neutron", "electron", "gamma"};
    return names[probe];
}

py::object experimental(const ExperimentalInfo* e) {
    if (e == nullptr) return py::none();
    return py::dict(
        py::arg("temperature") = e->temperature(),
        py::arg("temperature_text") = text(e->temperature_text()),
        py::arg("pressure_text") = text(e->pressure_text()),
        py::arg("measured_density") = e->measured_density(),
        py::arg("calculated_density") = e->calculated_density(),
        py::arg("r_factor_percent") = e->r_factor_percent(),
        py::arg("radiation_probe") = probe_name(e->radiation_probe()),
        py::arg("radiation_source") = text(e->radiation_source()),
        py::arg("absolute_configuration_determined") = e->absolute_configuration_determined(),
        py::arg("powder") = e->powder_study() == ExperimentalInfo::Powder,
        py::arg("refinement_details") = text(e->refinement_details()),
        py::arg("diffraction_details") = text(e->diffraction_details()));
}

py::object chemical(const ChemicalInfo* c) {
    if (c == nullptr) return py::none();
    py::list classifications;
    for (const ChemicalClassification& k : c->classifications())
        classifications.append(py::make_tuple(text(k.scheme), text(k.name)));
    return py::dict(
        py::arg("systematic_name") = text(c->systematic_name()),
        py::arg("compound_source") = text(c->compound_source()),
        py::arg("formula_moiety") = text(c->formula_moiety()),
        py::arg("stereochemistry") = text(c->stereochemistry()),
        py::arg("trade_name") = text(c->trade_name()), py::arg("remarks") = text(c->remarks()),
        py::arg("classifications") = classifications, py::arg("synonyms") = c->synonyms());
}

py::object crystal(const CrystalInfo* c) {
    if (c == nullptr) return py::none();
    return py::dict(
        py::arg("colour") = text(c->colour()), py::arg("description") = text(c->description()),
        py::arg("melting_point") = text(c->melting_point()), py::arg("z") = c->formula_units_z(),
        py::arg("z_prime") = c->formula_units_z_prime(),
        py::arg("physical_properties") = text(c->physical_properties()),
        py::arg("recrystallization_method") = text(c->recrystallization_method()),
        py::arg("preparation") = text(c->preparation()),
        py::arg("polymorph") = text(c->polymorph()));
}

py::object editors(const EditorsInfo* e) {
    if (e == nullptr) return py::none();
    return py::dict(py::arg("created") = date(e->created()),
                    py::arg("revised") = date(e->revised()), py::arg("editor") = text(e->editor()),
                    py::arg("revision") = e->revision());
}

py::object deposition(const DepositionInfo* d) {
    static const char* const names[] = {"archive",  "fiz",     "ccdc", "validation",
                                        "coeditor", "journal", "pdb",  "cod",
                                        "icsd",     "nbs",     "mdf",  "orb"};
    if (d == nullptr) return py::none();
    py::dict numbers;
    for (const DepositionInfo::Entry& entry : d->entries())
        numbers[names[entry.first]] = text(entry.second);
    return std::move(numbers);
}

THandle<CrystalStructureDatabaseEntry> entry_of(const Entry& e) {
    return e.database->entry(e.index);
}

void bind_entry(py::module_& m) {
    py::class_<Entry>(m, "Entry",
                      "One structure of a database: its block, structure and records, each "
                      "read when first asked for.")
        .def_property_readonly(
            "identifier",
            [](const Entry& e) { return text(e.database->identifier(e.index).str()); },
            "The entry's identifier: its block's name without data_.")
        .def_property_readonly(
            "block", [](const Entry& e) { return Block{e.database->data_block(e.index)}; },
            "The entry's data block.")
        .def(
            "structure",
            [](const Entry& e) {
                return std::make_shared<Structure>(*e.database->data_block(e.index));
            },
            "The structure of the entry's block (as cif.Structure(entry.block)).")
        .def_property_readonly(
            "publication",
            [](const Entry& e) { return publication(entry_of(e)->publication().get()); },
            "Authors, journal, volume, year, first page; None when the block states none.")
        .def_property_readonly(
            "experimental",
            [](const Entry& e) { return experimental(entry_of(e)->experimental_info().get()); },
            "Temperature, pressure, densities, R factor, radiation; None when none.")
        .def_property_readonly(
            "chemical", [](const Entry& e) { return chemical(entry_of(e)->chemical_info().get()); },
            "Names, moiety formula, source, classifications; None when none.")
        .def_property_readonly(
            "crystal", [](const Entry& e) { return crystal(entry_of(e)->crystal_info().get()); },
            "Colour, description, melting point, Z and Z'; None when none.")
        .def_property_readonly(
            "editors", [](const Entry& e) { return editors(entry_of(e)->editors_info().get()); },
            "Dates created and revised, editor, revision; None when none.")
        .def_property_readonly(
            "deposition",
            [](const Entry& e) { return deposition(entry_of(e)->deposition_info().get()); },
            "Deposition numbers by archive ('ccdc', 'cod', ...); None when none.")
        .def("__repr__", [](const Entry& e) {
            return "<cif.Entry " + e.database->identifier(e.index).str() + ">";
        });
}

}  // namespace

void bind_database(py::module_& m) {
    bind_entry(m);
    py::class_<Database>(m, "Database",
                         "A CIF file as a database of crystal structures, one entry per data "
                         "block that holds one; entries are read when first asked for.")
        .def(py::init(&read_database), py::arg("path"),
             "Reads the file (plain or .gz); cif.Error when it holds no readable data.")
        .def(py::init(&open_database), py::arg("document"),
             "The database of a document read before.")
        .def_property_readonly(
            "document", [](const Database& d) { return d.document; },
            "The document the database was read from.")
        .def("__len__", [](const Database& d) { return d.database->size(); })
        .def("__getitem__",
             [](const Database& d, py::ssize_t index) {
                 return Entry{d.database, int(entry_index(d, index))};
             })
        .def("__getitem__",
             [](const Database& d, const std::string& identifier) {
                 if (!d.database->identifier_exists(identifier)) throw py::key_error(identifier);
                 return Entry{d.database, d.database->index(identifier)};
             })
        .def("__iter__",
             [](const Database& d) {
                 py::list entries;
                 for (int i = 0; i < d.database->size(); ++i)
                     entries.append(Entry{d.database, i});
                 return py::iter(entries);
             })
        .def(
            "identifiers",
            [](const Database& d) {
                std::vector<std::string> ids;
                for (int i = 0; i < d.database->size(); ++i)
                    ids.push_back(d.database->identifier(i).str());
                return ids;
            },
            "The entries' identifiers, in order.");
}

}  // namespace cifpy
