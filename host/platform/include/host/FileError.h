// FileError: one problem found in a file, as the host's file-format framework lists them.
#pragma once

#include <string>
#include <utility>

#include "host/HostApi.h"

class HOST_API FileError {
  public:
    enum Severity { Error = 0, Warning = 1, Remark = 2 };

    /// `line` is the 1-based line of the file, or -1 when no line applies.
    FileError(Severity severity, std::string text, int line)
        : severity_(severity), text_(std::move(text)), line_(line) {}

    Severity severity() const { return severity_; }
    const std::string& text() const { return text_; }
    int line() const { return line_; }

    bool operator==(const FileError& other) const {
        return severity_ == other.severity_ && text_ == other.text_ && line_ == other.line_;
    }

  private:
    Severity severity_;
    std::string text_;
    int line_;
};
