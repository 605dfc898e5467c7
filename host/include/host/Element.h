// Element: a chemical element of the periodic table, with its standard atomic weight and
// covalent radius.
#pragma once

#include <string>

#include "host/HostApi.h"

class HOST_API Element {
  public:
    /// From a symbol in any letter case ("C", "cl", "CL"); deuterium "D" is hydrogen's
    /// isotope with its own weight. An unknown symbol gives the unknown element (number 0,
    /// weight 0), which is_known() tells apart.
    explicit Element(const std::string& symbol);

    bool is_known() const { return number_ != 0; }
    int atomic_number() const { return number_; }
    /// The symbol as the periodic table writes it ("Cl"); "X" when unknown.
    std::string symbol() const;
    /// Standard atomic weight in g/mol.
    double atomic_weight() const;
    /// Covalent radius in angstroms.
    double covalent_radius() const;

  private:
    int number_ = 0;
    bool deuterium_ = false;
};
