#include "host/Atom.h"

#include "host/FileOrderedAtom3d.h"
#include "host/FileOrderedProteinAtom.h"

Atom::Atom(int index, const Element& element, const std::string& label, THandle<Site> site)
    : index_(index), element_(element), label_(label), site_(std::move(site)), symmtag_(index) {}

Atom::~Atom() = default;

FileOrderedAtom3d::FileOrderedAtom3d(int index, const Element& element, const std::string& label,
                                     THandle<Site> site)
    : Atom(index, element, label, std::move(site)) {}

THandle<Atom> FileOrderedAtom3d::clone() const {
    return make_handle<FileOrderedAtom3d>(*this);
}

FileOrderedProteinAtom::FileOrderedProteinAtom(int index, const Element& element,
                                               const std::string& label, const std::string& residue,
                                               THandle<Site> site)
    : Atom(index, element, label, std::move(site)), residue_(residue) {}

THandle<Atom> FileOrderedProteinAtom::clone() const {
    return make_handle<FileOrderedProteinAtom>(*this);
}
