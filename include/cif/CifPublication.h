// CifPublication: the bibliography of a data block (journal, volume, year, first page and
// authors), read into a Publication and written back.
#pragma once

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "host/Publication.h"
#include "host/THandle.h"

class CIF_API CifPublication {
  public:
    /// Throws std::runtime_error when the block has no journal code.
    static THandle<Publication> read(THandle<CifDataBlock> block);
    static void write(THandle<CifDataBlock> block, const Publication& publication);
};
