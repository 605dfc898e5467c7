// Internal: an identifier ignored in a container for a while, restored on every way out.
#pragma once

#include "cif/CifErrorContainer.h"

/// Ignores the identifier until restore() or destruction, whichever comes first; an
/// identifier the caller had ignored already stays ignored. The guard keeps a plain pointer:
/// the container must outlive it.
namespace cif::detail {

class TemporaryIgnore {
  public:
    TemporaryIgnore(CifErrorContainer& errors, CifError::ErrorID id)
        : errors_(&errors), id_(id), was_ignored_(errors.error_ignored(id)) {
        errors.ignore_error(id);
    }
    ~TemporaryIgnore() { restore(); }
    TemporaryIgnore(const TemporaryIgnore&) = delete;
    TemporaryIgnore& operator=(const TemporaryIgnore&) = delete;

    void restore() {
        if (errors_ != nullptr && !was_ignored_) errors_->pass_error(id_);
        errors_ = nullptr;
    }

  private:
    CifErrorContainer* errors_;
    CifError::ErrorID id_;
    bool was_ignored_;
};

}  // namespace cif::detail
