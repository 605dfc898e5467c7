// CifDepositionInfo: the deposition and database codes of a data block, read into a
// DepositionInfo and written back.
#pragma once

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "host/DepositionInfo.h"
#include "host/THandle.h"

class CIF_API CifDepositionInfo {
  public:
    static THandle<DepositionInfo> read(THandle<CifDataBlock> block);
    static void write(THandle<CifDataBlock> block, const DepositionInfo& info);
};
