// DisorderAtom: an atom with the disorder assembly and group it belongs to.
#pragma once

#include "host/Atom.h"
#include "host/HostApi.h"
#include "host/THandle.h"

/// Assemblies and groups are numbered by the reader; group 0 is the ordered part. The
/// groups of one assembly are alternatives: one of them is present at a time.
class HOST_API DisorderAtom {
  public:
    DisorderAtom(THandle<Atom> atom, int assembly, int group)
        : atom(std::move(atom)), assembly(assembly), group(group) {}

    THandle<Atom> atom;
    int assembly;
    int group;
};
