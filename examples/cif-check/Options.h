// cif-check's command line: what each option sets, and the help text.
#pragma once

#include <cif/CifError.h>

#include <set>
#include <string>
#include <vector>

namespace check {

using Names = std::vector<std::string>;

enum class Format { Text, Json, Tsv };

struct Options {
    Names dictionaries;  // paths, or names of the installed IUCr dictionaries
    bool non_standard = false;
    int line_length = 2048;
    bool mandatory = false;
    bool consistency = false;
    bool rules = false;
    Names publication_items;
    Names structure_items;
    bool atoms = false;
    bool summary = false;
    std::string write_to;
    std::string convert_to;
    Format format = Format::Text;
    bool quiet = false;
    bool fold = true;
    std::size_t max_messages = 0;  // 0: all
    std::set<int> ignored;
    CifError::ErrorType fail_on = CifError::Error;
    unsigned jobs = 1;
    bool help = false;
    bool version = false;
    Names files;

    /// Whether reports go to standard error: standard output carries a written CIF.
    bool reports_to_standard_error() const { return write_to == "-" || convert_to == "-"; }
};

/// The options, or a one-line complaint naming what is wrong in `error`.
bool parse_options(int argc, char** argv, Options& options, std::string& error);

extern const char* const usage;

}  // namespace check
