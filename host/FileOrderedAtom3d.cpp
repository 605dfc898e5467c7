#include "host/FileOrderedAtom3d.h"

FileOrderedAtom3d::FileOrderedAtom3d(int index, const Element& element, const std::string& label,
                                     THandle<Site> site)
    : Atom(index, element, label, std::move(site)) {}

THandle<Atom> FileOrderedAtom3d::clone() const {
    return make_handle<FileOrderedAtom3d>(*this);
}
