// How reports are shown: as text for people, JSON Lines or tab-separated values for
// programs. Each printer writes a file's report whole, as soon as it is given.
#pragma once

#include <iosfwd>
#include <memory>
#include <string_view>

#include "Report.h"

namespace check {

class Printer {
  public:
    static std::unique_ptr<Printer> make(const Options& options, std::ostream& out);
    virtual ~Printer() = default;

    /// The file's findings, notes and verdict; with --quiet, nothing for a file that passes.
    virtual void print(const Report& report) = 0;
    /// The batch's verdict, after its last file.
    virtual void totals(std::size_t files, std::size_t failed) = 0;

  protected:
    Printer(const Options& options, std::ostream& out) : options_(options), out_(out) {}

    const Options& options_;
    std::ostream& out_;
};

/// The text as a JSON string, quotes included; bytes that are not UTF-8 are read as Latin-1.
std::string json_string(std::string_view text);

}  // namespace check
