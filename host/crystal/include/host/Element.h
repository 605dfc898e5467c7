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

    /// The symbols of the element table, by index: "X" for the unknown element at 0, the
    /// elements by atomic number from 1 to 118, deuterium "D" at 119.
    struct HOST_API Table {
        static constexpr int size = 120;
        /// The symbol at an index; "X" outside the table.
        const char* operator[](int index) const;
    };
    static const Table table_;

    bool is_known() const { return number_ != 0; }
    /// The element's place in table_ (its atomic number, except deuterium's 119).
    int index() const;
    int atomic_number() const { return number_; }
    /// The symbol as the periodic table writes it ("Cl"); "X" when unknown, "D" for deuterium.
    std::string symbol() const;
    /// Standard atomic weight in g/mol.
    double atomic_weight() const;
    /// Covalent radius in angstroms.
    double covalent_radius() const;

  private:
    int number_ = 0;
    bool deuterium_ = false;
};
