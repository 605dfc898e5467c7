#include "host/Molecule.h"

#include <algorithm>
#include <map>

Molecule::~Molecule() = default;

void Molecule::add_bond(THandle<Atom> first, THandle<Atom> second) {
    bonds_.emplace_back(std::move(first), std::move(second));
}

std::vector<int> Molecule::add_molecule(const Molecule& other) {
    std::vector<int> indices;
    indices.reserve(other.atoms_.size());
    for (const THandle<Atom>& atom : other.atoms_) {
        indices.push_back(natoms());
        atoms_.push_back(atom);
    }
    bonds_.insert(bonds_.end(), other.bonds_.begin(), other.bonds_.end());
    return indices;
}

// The major form's formula: minor alternatives count only in a molecule made of them alone.
std::string Molecule::formula() const {
    const bool major_form =
        std::any_of(atoms_.begin(), atoms_.end(),
                    [](const THandle<Atom>& atom) { return !atom->minor_alternative(); });
    std::map<std::string, int> counts;
    for (const THandle<Atom>& atom : atoms_) {
        if (atom->element().is_known() && !(major_form && atom->minor_alternative())) {
            ++counts[atom->element().symbol()];
        }
    }
    std::string text;
    auto append = [&](const std::string& symbol, int count) {
        text += (text.empty() ? "" : " ") + symbol + (count > 1 ? std::to_string(count) : "");
    };
    const bool hill = counts.count("C") != 0;
    for (const char* first : {"C", "H"}) {
        if (!hill || !counts.count(first)) continue;
        append(first, counts[first]);
        counts.erase(first);
    }
    for (const auto& [symbol, count] : counts)
        append(symbol, count);
    return text;
}

std::string counted_formulas(const std::vector<THandle<Molecule>>& molecules) {
    std::vector<std::pair<std::string, int>> counted;
    for (const THandle<Molecule>& molecule : molecules) {
        const std::string formula = molecule->formula();
        auto found = std::find_if(counted.begin(), counted.end(),
                                  [&](const auto& entry) { return entry.first == formula; });
        if (found == counted.end()) {
            counted.emplace_back(formula, 1);
        } else {
            ++found->second;
        }
    }
    std::string text;
    for (const auto& [formula, count] : counted) {
        text += (text.empty() ? "" : ", ") +
                (count > 1 ? std::to_string(count) + " x " : std::string()) +
                (formula.empty() ? "(no element)" : formula);
    }
    return text;
}
