// CifChemicalInfo: the chemical items of a data block (common and systematic names, formula
// moiety, source, biological properties), read into a ChemicalInfo and written back. The
// systematic name changes notation on the way: CIF's in the block, the in-house one in the
// record.
#pragma once

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "host/ChemicalInfo.h"
#include "host/THandle.h"

class CIF_API CifChemicalInfo {
  public:
    static THandle<ChemicalInfo> read(THandle<CifDataBlock> block);
    static void write(THandle<CifDataBlock> block, const ChemicalInfo& info);
};
