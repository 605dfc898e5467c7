#include "host/FileOrderedProteinAtom.h"

FileOrderedProteinAtom::FileOrderedProteinAtom(int index, const Element& element,
                                               const std::string& label, const std::string& residue,
                                               THandle<Site> site)
    : Atom(index, element, label, std::move(site)), residue_(residue) {}

THandle<Atom> FileOrderedProteinAtom::clone() const {
    return make_handle<FileOrderedProteinAtom>(*this);
}
