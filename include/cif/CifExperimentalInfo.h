// CifExperimentalInfo: the experimental items of a data block (temperature, pressure,
// densities, radiation probe, R factor, absolute configuration, details), read into an
// ExperimentalInfo and written back.
#pragma once

#include "cif/CifApi.h"
#include "cif/CifDataBlock.h"
#include "host/ExperimentalInfo.h"
#include "host/THandle.h"

class CIF_API CifExperimentalInfo {
  public:
    static THandle<ExperimentalInfo> read(THandle<CifDataBlock> block);
    static void write(THandle<CifDataBlock> block, const ExperimentalInfo& info);
};
