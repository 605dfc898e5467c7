// CrystalChemicalFormula: a chemical formula as CIF files write it, with the summed atomic
// weight of its elements.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/HostApi.h"

class HOST_API CrystalChemicalFormula {
  public:
    /// Reads element symbols in any letter case, each with an optional count that may be a
    /// fraction ("C12 H22 O11", "C6 H5 N O2", "H2.5", "Cl0.5"), groups in parentheses with a
    /// multiplier ("(C6 H5)2"), and moieties separated by commas, each with an optional
    /// leading multiplier ("C6 H12 O6, 2(H2 O)"). Charges ("Na+", "SO4 2-") are skipped.
    /// Symbols the periodic table does not know are kept in unknown_symbols() and weigh
    /// nothing. `by_moiety` keeps the moieties apart in moieties(); the sum is the same.
    CrystalChemicalFormula(const std::string& text, bool by_moiety);

    /// Element symbols with their counts, in order of first appearance.
    const std::vector<std::pair<std::string, double>>& elements() const { return elements_; }
    const std::vector<std::string>& unknown_symbols() const { return unknown_; }
    /// The moieties as read, when read by moiety.
    const std::vector<std::string>& moieties() const { return moieties_; }

    /// The formula weight in g/mol.
    double molecular_weight_sum() const;

  private:
    void add(const std::string& symbol, double count);

    std::vector<std::pair<std::string, double>> elements_;
    std::vector<std::string> unknown_;
    std::vector<std::string> moieties_;
};
