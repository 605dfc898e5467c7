// Molecule3d: a molecule whose atoms all have sites, as a structure's reader and the bond
// detector make them.
#pragma once

#include "host/HostApi.h"
#include "host/Molecule.h"

class HOST_API Molecule3d : public Molecule {
  public:
    Molecule3d() = default;
    /// The same atoms and bonds.
    explicit Molecule3d(const Molecule& molecule) : Molecule(molecule) {}
};
