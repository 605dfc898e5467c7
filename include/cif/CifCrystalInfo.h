// CifCrystalInfo: the crystal items of a data block (colour, habit, melting point, Z,
// preparation), read into a CrystalInfo and written back.
#pragma once

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "host/CrystalInfo.h"
#include "host/THandle.h"

class CIF_API CifCrystalInfo {
  public:
    static THandle<CrystalInfo> read(THandle<CifDataBlock> block);
    static void write(THandle<CifDataBlock> block, const CrystalInfo& info);
};
