// FileOrderedAtom3d: an atom with a site, numbered in the order of its file.
#pragma once

#include "host/Atom.h"
#include "host/HostApi.h"

class HOST_API FileOrderedAtom3d : public Atom {
  public:
    FileOrderedAtom3d(int index, const Element& element, const std::string& label,
                      THandle<Site> site);

    THandle<Atom> clone() const override;
};
