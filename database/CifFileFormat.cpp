#include "cif/CifFileFormat.h"

#include "cif/CifDatabase.h"
#include "cif/CifFile.h"

THandle<Database<CrystalStructureDatabaseEntry>> CifFileFormat::make_database(
    const OpenParameters& parameters) const {
    if (!identify(parameters.file_name)) return {};
    return THandle<Database<CrystalStructureDatabaseEntry>>(
        make_handle<CifDatabase>(parameters.file_name));
}

THandle<MoleculeFile> CifFileFormat::make_molecule_file(const OpenParameters& parameters) const {
    if (!identify(parameters.file_name)) return {};
    return THandle<MoleculeFile>(make_handle<CifFile>());
}

std::string CifFileFormat::name() const {
    return "Cif file";
}

std::string CifFileFormat::default_extension() const {
    return "cif";
}

void CifFileFormat::all_extensions(std::vector<std::string>& extensions) const {
    extensions.clear();
    extensions.push_back("cif");
    extensions.push_back("cmf");
}

bool CifFileFormat::writeable() const {
    return false;
}

bool CifFileFormat::examine_line(const std::string& line, int /*number*/) const {
    for (const char* mark : {"data_", "_publ_", "_symmetry_equiv_pos_as_xyz"}) {
        if (line.find(mark) != std::string::npos) return true;
    }
    return false;
}
