// What cif-check says of one file: its findings (diagnostics placed in their block, folded
// and filtered as asked), notes of the structure sections, counts and verdict.
#pragma once

#include <cif/Cif.h>
#include <cif/CifDatabase.h>

#include <string>
#include <vector>

#include "Options.h"

namespace check {

/// One diagnostic, or several identical ones of a block folded into one.
struct Finding {
    std::string block;  // empty before the first block or for the whole file
    int line = -1;
    int last_line = -1;  // of the last folded occurrence
    unsigned count = 1;
    CifError error;
};

/// A line of a structure section (consistency, atoms, summary) about one block or entry.
struct Note {
    std::string section;
    std::string block;
    std::string text;
};

struct Report {
    std::string path;
    std::vector<Finding> findings;      // in the order found, at most --max-messages
    std::size_t findings_left_out = 0;  // beyond --max-messages
    std::vector<Note> notes;
    unsigned blocks = 0, items = 0, loops = 0;
    unsigned errors = 0, warnings = 0, remarks = 0;  // every finding not ignored
    std::vector<std::string> failures;               // why the file fails; none when it passes
    THandle<CifDatabase> database;  // its structures, kept for --convert until reported

    bool passed() const { return failures.empty(); }
};

/// Findings, counts and verdict from the document's diagnostics, as the options ask.
void add_findings(const Cif& cif, const Options& options, Report& report);

/// Whether a diagnostic says that the document does not hold the file's text as written:
/// text dropped (ignored strings, lines cut at 2048 characters, a damaged file, CIF 2.0) or
/// a block made up for items before the first data_ line.
bool not_read_as_written(const CifError& error);

}  // namespace check
