// FileOrderedProteinAtom: an atom of a macromolecule, numbered in the order of its file,
// with the residue it belongs to.
#pragma once

#include <string>

#include "host/Atom.h"
#include "host/HostApi.h"

class HOST_API FileOrderedProteinAtom : public Atom {
  public:
    FileOrderedProteinAtom(int index, const Element& element, const std::string& label,
                           const std::string& residue, THandle<Site> site);

    /// The residue as the file names it (for CIF files, the label's third and fourth
    /// components joined by ':').
    const std::string& residue() const { return residue_; }

    THandle<Atom> clone() const override;

  private:
    std::string residue_;
};
