// FileFormat: a kind of file the host can open, recognised from the file itself, and made
// into a database or a molecule file.
#pragma once

#include <string>
#include <vector>

#include "host/CrystalStructureDatabaseEntry.h"
#include "host/Database.h"
#include "host/HostApi.h"
#include "host/MoleculeFile.h"
#include "host/THandle.h"

class HOST_API FileFormat {
  public:
    /// What opening a file needs: its name.
    struct OpenParameters {
        std::string file_name;
    };

    virtual ~FileFormat();

    /// Whether the file is of this format.
    virtual bool identify(const std::string& file_name) const = 0;
    /// The file as a database; an empty handle when it is not of this format.
    virtual THandle<Database<CrystalStructureDatabaseEntry>> make_database(
        const OpenParameters& parameters) const = 0;
    /// An empty molecule file of this format for the caller to load; an empty handle when the
    /// file is not of this format.
    virtual THandle<MoleculeFile> make_molecule_file(const OpenParameters& parameters) const = 0;
    virtual std::string name() const = 0;
    virtual std::string default_extension() const = 0;
    virtual void all_extensions(std::vector<std::string>& extensions) const = 0;
    virtual bool writeable() const = 0;
};

/// A format recognised from its text: a file is of the format when one of its first
/// lines_examined lines is a line the format knows (examine_line).
class HOST_API TextIdentifiedFileFormat : public FileFormat {
  public:
    /// Enough for the heading comments real files open with, few enough that a large file
    /// of another kind is not read through.
    static const int lines_examined = 200;

    /// False for a file that cannot be opened or read (a directory, a missing file).
    bool identify(const std::string& file_name) const override;
    /// Whether the line (numbered from 1) belongs to this format.
    virtual bool examine_line(const std::string& line, int number) const = 0;
};
