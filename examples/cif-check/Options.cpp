#include "Options.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

namespace check {

const char* const usage =
    "Usage: cif-check [OPTION]... FILE...\n"
    "Check CIF files: every problem of a file as \"FILE: diagnostic\", then one line per\n"
    "file saying whether it passed. A FILE of - reads standard input; a directory stands\n"
    "for the .cif, .dic and .mmcif files in and below it (any letter case, gzip-compressed\n"
    "as .gz too). Without --dict this is a syntax check.\n"
    "\n"
    "Checking:\n"
    "  -d, --dict DIC         validate values against a DDL1 dictionary: a file, or an\n"
    "                         installed IUCr dictionary by name (core, pd, ms, rho,\n"
    "                         twinning, restraints, ddl); several make a pool in which the\n"
    "                         first defining a name wins. A dictionary that defines nothing\n"
    "                         stops the program\n"
    "      --non-standard     also report each data item no dictionary defines (always\n"
    "                         reported with --dict)\n"
    "      --line-length N    warn of lines longer than N characters (default 2048, the\n"
    "                         CIF 1.1 limit, beyond which a line is cut)\n"
    "      --mandatory        report missing publication and structure items (a built-in\n"
    "                         list for small-molecule papers unless the next two are given)\n"
    "      --publication-items A,B,...  --structure-items A,B,...\n"
    "      --rules            check the dictionary's rules on structure: looped items,\n"
    "                         mandatory and referenced loop items, repeated keys, values\n"
    "                         without a parent value, loops mixing categories\n"
    "      --consistency      per block: the cell, the space group of the symmetry\n"
    "                         operators, volume, formula weight and density beside the\n"
    "                         stated ones\n"
    "\n"
    "Summarising:\n"
    "      --summary          per structure: identifier, cell, space group, formula, atoms,\n"
    "                         molecules and publication\n"
    "      --atoms            per block: atoms, whole molecules with formulas, disorder\n"
    "\n"
    "Writing:\n"
    "      --write OUT        write each document back as read: OUT a file, or - for\n"
    "                         standard output; with several FILEs, OUT is a folder that\n"
    "                         gets one file per input\n"
    "      --convert OUT      read the structures of every FILE as database entries and\n"
    "                         write them as one new CIF through the database\n"
    "  With OUT -, reports go to standard error.\n"
    "\n"
    "Reporting:\n"
    "  -f, --format FORMAT    text (default), json (JSON Lines: one object per finding,\n"
    "                         note, file and batch) or tsv (tab-separated, with a header)\n"
    "  -q, --quiet            report only the files that fail\n"
    "      --ignore ID[,ID]   leave out findings with these identifiers\n"
    "      --max-messages N   at most N findings per file (0: all, the default)\n"
    "      --no-fold          one line per finding; by default identical findings of a\n"
    "                         block are one line with their count\n"
    "      --fail-on LEVEL    error (default), warning or remark: the least severity that\n"
    "                         fails a file. A file not read as written (ignored strings,\n"
    "                         lines cut at 2048 characters, items before the first data_\n"
    "                         line, a damaged file) fails at every level\n"
    "\n"
    "Batches:\n"
    "  -j, --jobs N           files checked at once (default: the processor count); each\n"
    "                         file is reported as soon as it and those before it are done\n"
    "  -h, --help             print this help and exit\n"
    "  -V, --version          print the version and exit\n"
    "\n"
    "Exit status: 0 when every file passes, 1 when one fails, 2 on bad usage or an\n"
    "unusable dictionary.\n";

namespace {

// What a small-molecule structure paper is expected to state.
const Names default_publication_items = {"_publ_section_title", "_journal_name_full",
                                         "_journal_year", "_publ_author_name"};
const Names default_structure_items = {
    "_cell_length_a",    "_cell_length_b",        "_cell_length_c",
    "_cell_angle_alpha", "_cell_angle_beta",      "_cell_angle_gamma",
    "_cell_volume",      "_chemical_formula_sum", "_symmetry_space_group_name_H-M",
    "_atom_site_label",  "_atom_site_fract_x",    "_atom_site_fract_y",
    "_atom_site_fract_z"};

Names split_list(const std::string& text) {
    Names names;
    std::istringstream in(text);
    for (std::string name; std::getline(in, name, ',');) {
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

bool to_number(const std::string& text, long& number) {
    const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), number);
    return failed == std::errc() && end == text.data() + text.size();
}

// What an option does with its value; false with a complaint when the value will not do.
using Setter = std::function<bool(Options&, const std::string&, std::string&)>;

Setter number_setter(long least, std::function<void(Options&, long)> set) {
    return [least, set](Options& options, const std::string& value, std::string& error) {
        long number = 0;
        if (!to_number(value, number) || number < least) {
            error = "'" + value + "' is not a number of at least " + std::to_string(least);
            return false;
        }
        set(options, number);
        return true;
    };
}

const std::map<std::string, Setter>& valued_options() {
    static const std::map<std::string, Setter> options = {
        {"--dict",
         [](Options& o, const std::string& v, std::string&) {
             o.dictionaries.push_back(v);
             return true;
         }},
        {"--line-length", number_setter(1, [](Options& o, long n) { o.line_length = int(n); })},
        {"--publication-items",
         [](Options& o, const std::string& v, std::string&) {
             o.publication_items = split_list(v);
             o.mandatory = true;
             return true;
         }},
        {"--structure-items",
         [](Options& o, const std::string& v, std::string&) {
             o.structure_items = split_list(v);
             o.mandatory = true;
             return true;
         }},
        {"--write",
         [](Options& o, const std::string& v, std::string&) {
             o.write_to = v;
             return true;
         }},
        {"--convert",
         [](Options& o, const std::string& v, std::string&) {
             o.convert_to = v;
             return true;
         }},
        {"--format",
         [](Options& o, const std::string& v, std::string& error) {
             static const std::map<std::string, Format> formats = {
                 {"text", Format::Text}, {"json", Format::Json}, {"tsv", Format::Tsv}};
             const auto found = formats.find(v);
             if (found == formats.end()) error = "unknown format '" + v + "'";
             if (found != formats.end()) o.format = found->second;
             return found != formats.end();
         }},
        {"--ignore",
         [](Options& o, const std::string& v, std::string& error) {
             for (const std::string& id : split_list(v)) {
                 long number = 0;
                 if (!to_number(id, number)) {
                     error = "'" + id + "' is not a diagnostic identifier";
                     return false;
                 }
                 o.ignored.insert(int(number));
             }
             return true;
         }},
        {"--max-messages",
         number_setter(0, [](Options& o, long n) { o.max_messages = std::size_t(n); })},
        {"--fail-on",
         [](Options& o, const std::string& v, std::string& error) {
             static const std::map<std::string, CifError::ErrorType> levels = {
                 {"error", CifError::Error},
                 {"warning", CifError::Warning},
                 {"remark", CifError::Remark}};
             const auto found = levels.find(v);
             if (found == levels.end()) error = "unknown level '" + v + "'";
             if (found != levels.end()) o.fail_on = found->second;
             return found != levels.end();
         }},
        {"--jobs", number_setter(1, [](Options& o, long n) { o.jobs = unsigned(n); })},
    };
    return options;
}

bool Options::*flag_of(const std::string& option) {
    static const std::map<std::string, bool Options::*> flags = {
        {"--non-standard", &Options::non_standard},
        {"--mandatory", &Options::mandatory},
        {"--rules", &Options::rules},
        {"--consistency", &Options::consistency},
        {"--atoms", &Options::atoms},
        {"--summary", &Options::summary},
        {"--quiet", &Options::quiet},
        {"--help", &Options::help},
        {"--version", &Options::version}};
    const auto found = flags.find(option);
    return found == flags.end() ? nullptr : found->second;
}

// The long form of a short option; empty for none.
std::string long_form(char letter) {
    switch (letter) {
        case 'd':
            return "--dict";
        case 'f':
            return "--format";
        case 'j':
            return "--jobs";
        case 'q':
            return "--quiet";
        case 'h':
            return "--help";
        case 'V':
            return "--version";
        default:
            return "";
    }
}

// One long option, its value taken from "=value" or from the next argument.
bool take_long(const std::string& argument, int argc, char** argv, int& i, Options& options,
               std::string& error) {
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    if (name == "--no-fold" && equals == std::string::npos) {
        options.fold = false;
        return true;
    }
    if (bool Options::*flag = flag_of(name); flag && equals == std::string::npos) {
        options.*flag = true;
        return true;
    }
    const auto setter = valued_options().find(name);
    if (setter == valued_options().end()) {
        error = "unknown option '" + name + "'";
        return false;
    }
    if (equals == std::string::npos && i + 1 == argc) {
        error = "option '" + name + "' needs a value";
        return false;
    }
    const std::string value = equals == std::string::npos ? argv[++i] : argument.substr(equals + 1);
    if (!setter->second(options, value, error)) {
        error = name + ": " + error;
        return false;
    }
    return true;
}

// A cluster of short options such as -qj4 or -d core.
bool take_short(const std::string& argument, int argc, char** argv, int& i, Options& options,
                std::string& error) {
    for (std::size_t at = 1; at < argument.size(); ++at) {
        const std::string name = long_form(argument[at]);
        if (name.empty()) {
            error = std::string("unknown option '-") + argument[at] + "'";
            return false;
        }
        if (bool Options::*flag = flag_of(name)) {
            options.*flag = true;
            continue;
        }
        const std::string rest = argument.substr(at + 1);
        if (rest.empty()) return take_long(name, argc, argv, i, options, error);
        return take_long(name + "=" + rest, argc, argv, i, options, error);
    }
    return true;
}

}  // namespace

bool parse_options(int argc, char** argv, Options& options, std::string& error) {
    options.jobs = std::max(1u, std::thread::hardware_concurrency());
    options.publication_items = default_publication_items;
    options.structure_items = default_structure_items;
    bool only_files = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        bool taken = true;
        if (only_files || argument == "-" || argument[0] != '-') {
            options.files.push_back(argument);
        } else if (argument == "--") {
            only_files = true;
        } else if (argument[1] == '-') {
            taken = take_long(argument, argc, argv, i, options, error);
        } else {
            taken = take_short(argument, argc, argv, i, options, error);
        }
        if (!taken) return false;
    }
    if (options.help || options.version) return true;
    if (options.files.empty()) error = "no FILE given";
    return !options.files.empty();
}

}  // namespace check
