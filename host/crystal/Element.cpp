#include "host/Element.h"

#include <gemmi/elem.hpp>

namespace {

constexpr int deuterium_index = static_cast<int>(gemmi::El::D);
static_assert(deuterium_index + 1 == Element::Table::size, "the table ends with deuterium");

gemmi::El element_of(int index) {
    return static_cast<gemmi::El>(index);
}

}  // namespace

const Element::Table Element::table_{};

const char* Element::Table::operator[](int index) const {
    return index >= 0 && index < size ? gemmi::element_name(element_of(index)) : "X";
}

Element::Element(const std::string& symbol) {
    const gemmi::El found = gemmi::find_element(symbol.size() <= 2 ? symbol.c_str() : "");
    deuterium_ = found == gemmi::El::D;
    number_ = deuterium_ ? 1 : static_cast<int>(found);
    if (number_ > 118) number_ = 0;
}

int Element::index() const {
    return deuterium_ ? deuterium_index : number_;
}

std::string Element::symbol() const {
    return table_[index()];
}

double Element::atomic_weight() const {
    return gemmi::molecular_weight(element_of(index()));
}

double Element::covalent_radius() const {
    return gemmi::covalent_radius(element_of(index()));
}
