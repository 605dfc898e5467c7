// KeshRichTextGenerator: writes marked-up text in the in-house tagged notation (see
// KeshChemicalNameStyleFinder).
#pragma once

#include "host/HostApi.h"
#include "host/RichTextGenerator.h"

class HOST_API KeshRichTextGenerator : public RichTextGenerator {
  public:
    std::string generate(const std::vector<TextRun>& runs) override;
};
