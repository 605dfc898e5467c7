// Crystal: the contents of one unit cell, as whole molecules.
#pragma once

#include <utility>
#include <vector>

#include "host/Cell.h"
#include "host/HostApi.h"
#include "host/Molecule.h"
#include "host/THandle.h"

class HOST_API Crystal {
  public:
    using MoleculeList = std::vector<THandle<Molecule>>;

    Crystal(const Cell& cell, THandle<MoleculeList> molecules)
        : cell_(cell), molecules_(std::move(molecules)) {}

    const Cell& cell() const { return cell_; }
    THandle<MoleculeList> molecules() const { return molecules_; }

  private:
    Cell cell_;
    THandle<MoleculeList> molecules_;
};
