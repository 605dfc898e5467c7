// cif-check's views of the structures a file holds: geometry beside the stated values,
// atoms and molecules, database entries, and their conversion.
#pragma once

#include <cif/CifDatabase.h>
#include <cif/CifDictionary.h>

#include <iosfwd>

#include "Report.h"

namespace check {

/// The dictionaries named: files, or installed IUCr dictionaries by name ("core"). An empty
/// one without names; an empty handle when one cannot be used (said to `messages`).
THandle<CifDictionary> load_dictionaries(const Names& names, std::ostream* messages);

/// The cell, space group, volume, formula weight and density beside the stated ones.
void add_geometry_notes(const THandle<CifDataBlock>& block, Report& report);
/// Atoms, whole molecules with their formulas, disorder groups.
void add_atom_notes(const THandle<CifDataBlock>& block, Report& report);
/// Each entry's cell, space group, formula, atoms, molecules and publication.
void add_entry_notes(const CifDatabase& database, Report& report);

/// Collects the structures of reports, in the order given, into one database written at the
/// end; problems go to `messages`.
class Converter {
  public:
    explicit Converter(std::ostream& messages) : messages_(messages) {}
    /// False when an entry cannot be converted.
    bool add(const Report& report);
    /// False when there is nothing to write or writing fails.
    bool write(const std::string& target);

  private:
    std::ostream& messages_;
    CifDatabase converted_;
};

}  // namespace check
