#include "Check.h"

#include <cif/CifDictionaryRuleChecker.h>
#include <cif/VexorCifConsistencyChecker.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include "Structures.h"

namespace check {

namespace fs = std::filesystem;

namespace {

// What the reader dropped and what a checker found are the document's diagnostics; the
// counts and notes come from its blocks.
void add_counts(const Cif& cif, Report& report) {
    report.blocks = cif.blocks();
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        report.items += (*block)->item_count();
        report.loops +=
            static_cast<unsigned>(std::distance((*block)->begin_loops(), (*block)->end_loops()));
    }
}

// The document written as read; the reason when that fails.
std::string write_document(const Cif& cif, const std::string& target) {
    if (target == "-") {
        cif.write(std::cout, CifWriteSettings());
        std::cout.flush();
        return std::cout.good() ? "" : "cannot write to standard output";
    }
    errno = 0;
    std::ofstream out(target, std::ios::binary);
    if (out) cif.write(out, CifWriteSettings());
    out.close();
    if (out.good()) return "";
    const int code = errno != 0 ? errno : EIO;
    return "cannot write " + target + ": " +
           std::error_code(code, std::generic_category()).message();
}

// CIF files by name: .cif, .dic and .mmcif in any letter case, and those compressed as .gz.
bool is_cif_name(const fs::path& path) {
    std::string name = path.filename().string();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto ends_with = [&](const std::string& end) {
        return name.size() > end.size() &&
               name.compare(name.size() - end.size(), end.size(), end) == 0;
    };
    for (const char* ending : {".cif", ".dic", ".mmcif"}) {
        if (ends_with(ending) || ends_with(std::string(ending) + ".gz")) return true;
    }
    return false;
}

}  // namespace

bool expand_inputs(const Names& paths, Names& files, std::ostream& messages) {
    bool all_found = true;
    for (const std::string& path : paths) {
        std::error_code error;
        if (path == "-" || !fs::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        Names found;
        for (fs::recursive_directory_iterator entry(path, error), end; !error && entry != end;
             entry.increment(error)) {
            if (entry->is_regular_file(error) && is_cif_name(entry->path()))
                found.push_back(entry->path().string());
        }
        if (found.empty()) {
            messages << "cif-check: " << path << ": no .cif, .dic or .mmcif files in the folder\n";
            all_found = false;
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return all_found;
}

Report check_file(const std::string& path, const THandle<CifDictionary>& dictionary,
                  const Options& options, const std::string& write_to) {
    Report report;
    report.path = path;
    THandle<Cif> document = make_handle<Cif>(dictionary);
    Cif& cif = *document;
    // Against no dictionary every item is non-standard: a syntax check reports none of them.
    if (options.dictionaries.empty() && !options.non_standard)
        cif.errors()->ignore_error(CifError::NonStandardDataItem);
    CifParserSettings settings;
    settings.max_line_length = options.line_length;
    if (path == "-") {
        cif.read(std::cin, settings);
    } else {
        cif.read_file(path, settings);
    }
    if (options.mandatory) cif.check_mandatory(options.publication_items, options.structure_items);
    if (options.consistency) VexorCifConsistencyChecker(document).check_cif();
    if (options.rules) CifDictionaryRuleChecker(document).check();
    add_counts(cif, report);
    add_findings(cif, options, report);
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        if (options.consistency) add_geometry_notes(*block, report);
        if (options.atoms) add_atom_notes(*block, report);
    }
    if (options.summary || !options.convert_to.empty()) {
        try {
            report.database = make_handle<CifDatabase>(document);
            if (options.summary) add_entry_notes(*report.database, report);
        } catch (const database_error& e) {
            report.failures.push_back(std::string("not a database: ") + e.what());
        }
        if (options.convert_to.empty()) report.database = THandle<CifDatabase>();
    }
    if (!write_to.empty()) {
        const std::string failure = write_document(cif, write_to);
        if (!failure.empty()) report.failures.push_back(failure);
    }
    return report;
}

}  // namespace check
