// CifEditorsInfo: the creation date of a data block, read into an EditorsInfo and written
// back.
#pragma once

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "host/EditorsInfo.h"
#include "host/THandle.h"

class CIF_API CifEditorsInfo {
  public:
    static THandle<EditorsInfo> read(THandle<CifDataBlock> block);
    static void write(THandle<CifDataBlock> block, const EditorsInfo& info);
};
