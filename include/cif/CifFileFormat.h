// CifFileFormat: how the host's file-format framework recognises CIF files and opens them
// as databases or molecule files.
#pragma once

#include <string>
#include <vector>

#include "cif/CifApi.h"
#include "host/FileFormat.h"

class CIF_API CifFileFormat : public TextIdentifiedFileFormat {
  public:
    /// A database read from the file; an empty handle when the file is not recognised.
    THandle<Database<CrystalStructureDatabaseEntry>> make_database(
        const OpenParameters& parameters) const override;
    /// An empty CifFile for the caller to load; an empty handle when not recognised.
    THandle<MoleculeFile> make_molecule_file(const OpenParameters& parameters) const override;
    std::string name() const override;
    std::string default_extension() const override;
    void all_extensions(std::vector<std::string>& extensions) const override;
    bool writeable() const override;
    /// A line holding "data_", "_publ_" or "_symmetry_equiv_pos_as_xyz" anywhere.
    bool examine_line(const std::string& line, int number) const override;
};
