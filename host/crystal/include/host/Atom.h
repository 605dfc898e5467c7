// Atom: an atom of a structure, its element, label and site, with its place in the file it
// came from (the symmetry tag) and the symmetry image it is of that listed atom.
#pragma once

#include <string>

#include "host/Array.h"
#include "host/Element.h"
#include "host/HostApi.h"
#include "host/Site.h"
#include "host/THandle.h"

class HOST_API Atom {
  public:
    /// How an atom was made from the atom as listed: by the space group's operator of that
    /// index (-1: the listed position itself) and then a whole-cell translation.
    struct SymmetryImage {
        int operator_index = -1;
        Array<int, 3> translation{};
    };

    Atom(int index, const Element& element, const std::string& label, THandle<Site> site);
    virtual ~Atom();

    /// The atom's position in its file's list.
    int index() const { return index_; }
    const Element& element() const { return element_; }
    const std::string& label() const { return label_; }

    /// A number the reader gives the atom to tell where it came from: the file order.
    virtual int symmtag() const { return symmtag_; }
    virtual void set_symmtag(int symmtag) { symmtag_ = symmtag; }
    virtual THandle<Site> site() const { return site_; }
    virtual void set_site(THandle<Site> site) { site_ = std::move(site); }

    const SymmetryImage& image() const { return image_; }
    /// The listed atom this one is an image of; empty for a listed atom.
    const THandle<Atom>& listed_atom() const { return listed_atom_; }
    void set_image(const SymmetryImage& image, THandle<Atom> listed_atom) {
        image_ = image;
        listed_atom_ = std::move(listed_atom);
    }
    /// The disorder group of refinement programs: 0 for the ordered part; atoms of two
    /// different non-zero groups are alternatives, and an atom of a negative group is
    /// disordered about a special position, an alternative to its own symmetry images.
    int disorder_group() const { return disorder_group_; }
    void set_disorder_group(int group) { disorder_group_ = group; }
    /// The texts the file gave for the atom's type ("Re4+") and disorder assembly ("A");
    /// empty when it gave none.
    const std::string& type_symbol() const { return type_symbol_; }
    void set_type_symbol(const std::string& symbol) { type_symbol_ = symbol; }
    const std::string& disorder_assembly() const { return disorder_assembly_; }
    void set_disorder_assembly(const std::string& assembly) { disorder_assembly_ = assembly; }
    /// An atom of a disorder group other than its assembly's first: a minor alternative
    /// position, which its molecule's formula leaves out.
    bool minor_alternative() const { return minor_alternative_; }
    void set_minor_alternative(bool minor) { minor_alternative_ = minor; }

    /// A copy of the same kind, sharing the site until it is given another.
    virtual THandle<Atom> clone() const = 0;

  private:
    int index_;
    Element element_;
    std::string label_;
    THandle<Site> site_;
    int symmtag_ = 0;
    int disorder_group_ = 0;
    bool minor_alternative_ = false;
    std::string type_symbol_;
    std::string disorder_assembly_;
    SymmetryImage image_;
    THandle<Atom> listed_atom_;
};
