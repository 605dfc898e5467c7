// CifCell: the unit cell and symmetry of a data block, read into the crystal model's Cell
// and written back as the cell and symmetry items.
#pragma once

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "cif/CifErrorContainer.h"
#include "host/Cell.h"
#include "host/THandle.h"

class CIF_API CifCell {
  public:
    /// The cell of the block. Throws std::runtime_error when a cell item is missing or
    /// unreadable or the block has no symmetry item at all; an operator text that cannot be
    /// read is recorded (InvalidSymmetryOperator) and its exception passed on. A name or a
    /// number that the operators contradict is recorded as a remark; the operators win.
    static THandle<Cell> read(THandle<CifDataBlock> block, CifErrorContainer& errors);
    /// Sets the crystal system, space-group name and number, the operator loop, the six cell
    /// parameters and the volume.
    static void write(THandle<CifDataBlock> block, const Cell& cell);
};
