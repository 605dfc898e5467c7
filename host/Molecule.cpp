#include "host/Molecule.h"

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

std::string Molecule::formula() const {
    std::map<std::string, int> counts;
    for (const THandle<Atom>& atom : atoms_) {
        if (atom->element().is_known()) ++counts[atom->element().symbol()];
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
