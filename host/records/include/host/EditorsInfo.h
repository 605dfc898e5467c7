// EditorsInfo: the editorial history of an entry: when it was created and last revised,
// by whom, and its revision number.
#pragma once

#include <string>

#include "host/Date.h"
#include "host/HostApi.h"

class HOST_API EditorsInfo {
  public:
    EditorsInfo(Date created, Date revised, std::string editor = std::string(), int revision = 0)
        : created_(created), revised_(revised), editor_(std::move(editor)), revision_(revision) {}

    const Date& created() const { return created_; }
    const Date& revised() const { return revised_; }
    const std::string& editor() const { return editor_; }
    int revision() const { return revision_; }

  private:
    Date created_;
    Date revised_;
    std::string editor_;
    int revision_;
};
