#include "host/Crystal.h"

Crystal::Crystal(const Cell& cell, THandle<MoleculeList> molecules)
    : cell_(cell), molecules_(std::move(molecules)) {}
