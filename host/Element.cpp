#include "host/Element.h"

#include <gemmi/elem.hpp>

namespace {

gemmi::El element_of(int number, bool deuterium) {
    return deuterium ? gemmi::El::D : static_cast<gemmi::El>(number);
}

}  // namespace

Element::Element(const std::string& symbol) {
    const gemmi::El found = gemmi::find_element(symbol.size() <= 2 ? symbol.c_str() : "");
    deuterium_ = found == gemmi::El::D;
    number_ = deuterium_ ? 1 : static_cast<int>(found);
    if (number_ > 118) number_ = 0;
}

std::string Element::symbol() const {
    return is_known() ? gemmi::element_name(element_of(number_, deuterium_)) : "X";
}

double Element::atomic_weight() const {
    return gemmi::molecular_weight(element_of(number_, deuterium_));
}

double Element::covalent_radius() const {
    return gemmi::covalent_radius(element_of(number_, deuterium_));
}
