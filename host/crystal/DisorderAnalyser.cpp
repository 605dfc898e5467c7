#include "host/DisorderAnalyser.h"

#include <algorithm>
#include <map>

#include "host/BondDetector.h"

DisorderAnalyser::DisorderAnalyser(const std::vector<DisorderAtom>& atoms, const Cell& cell)
    : cell_(cell), selectors_(make_handle<SelectorList>()) {
    std::map<int, std::map<int, DisorderSelector::AtomList>> assemblies;
    for (const DisorderAtom& atom : atoms) {
        if (atom.group == 0) {
            ordered_.push_back(atom.atom);
        } else {
            assemblies[atom.assembly][atom.group].push_back(atom.atom);
        }
    }
    for (const auto& [assembly, groups] : assemblies)
        selectors_->push_back(make_handle<DisorderSelector>(assembly, groups));
}

THandle<DisorderAnalyser::MoleculeList> DisorderAnalyser::molecules() const {
    std::vector<THandle<Atom>> present = ordered_;
    for (const THandle<DisorderSelector>& selector : *selectors_) {
        const auto& chosen = selector->selected_atoms();
        present.insert(present.end(), chosen.begin(), chosen.end());
    }
    std::stable_sort(
        present.begin(), present.end(),
        [](const THandle<Atom>& a, const THandle<Atom>& b) { return a->index() < b->index(); });
    const BondDetector detector(BondDetector::CompleteMolecules, BondDetector::DisorderAware,
                                BondDistanceLimit::standard());
    return detector.molecules(present, cell_);
}
