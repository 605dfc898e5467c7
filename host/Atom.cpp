#include "host/Atom.h"

Atom::Atom(int index, const Element& element, const std::string& label, THandle<Site> site)
    : index_(index), element_(element), label_(label), site_(std::move(site)), symmtag_(index) {}

Atom::~Atom() = default;
