// The dictionary's structural rules: one hand-made fault per rule beside its corrected twin,
// the findings on the bundled structures against the core dictionary, and the same findings
// beside those of cod-tools' cif_validate when it is installed.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <set>

#include "Support.h"
#include "cif/CifDictionaryRuleChecker.h"

namespace {

// A small dictionary with every kind of rule: sites keyed by label, types as the sites'
// parents, bonds keyed by two labels (a family defined together), a stand-in aniso label.
const char* const rules_dictionary = R"(
data_on_this_dictionary
    _dictionary_name rules.dic
    _dictionary_version 1.0
data_site_label
    _name '_site_label'
    _category site
    _type char
    _list yes
    _list_mandatory yes
data_site_x
    _name '_site_x'
    _category site
    _type numb
    _list yes
    _list_reference '_site_label'
data_site_note
    _name '_site_note'
    _category site
    _type char
    _list yes
    _list_reference '_site_x'
data_site_type
    _name '_site_type'
    _category site
    _type char
    _list yes
    _list_link_parent '_type_symbol'
data_aniso_label
    _name '_aniso_label'
    _category site
    _type char
    _list yes
    _list_link_parent '_site_label'
data_aniso_u
    _name '_aniso_u'
    _category site
    _type numb
    _list yes
    _list_reference '_aniso_label'
data_type_symbol
    _name '_type_symbol'
    _category type
    _type char
    _list yes
    _list_mandatory yes
data_cell_a
    _name '_cell_a'
    _category cell
    _type numb
    _list no
data_bond_label_
    loop_ _name '_bond_label_1' '_bond_label_2'
    _category bond
    _type char
    _list yes
    _list_mandatory yes
    _list_link_parent '_site_label'
data_bond_site_symmetry_
    loop_ _name '_bond_site_symmetry_1' '_bond_site_symmetry_2'
    _category bond
    _type char
    _list yes
data_bond_length
    _name '_bond_length'
    _category bond
    _type numb
    _list yes
    _list_reference '_bond_label_'
data_cell_b
    _name '_cell_b'
    _category cell
    _type numb
data_peak_index_h
    _name '_peak_index_h'
    _category peak
    _type numb
    _list yes
data_peak_index_k
    _name '_peak_index_k'
    _category peak
    _type numb
    _list yes
data_peak_intensity
    _name '_peak_intensity'
    _category peak
    _type numb
    _list yes
    loop_ _list_reference '_peak_index_h' '_peak_index_k'
data_peak_id
    _name '_peak_id'
    _category peak
    _type char
    _list yes
    loop_ _list_uniqueness '_peak_n' '_peak_tag'
data_peak_n
    _name '_peak_n'
    _category peak
    _type numb
    _list yes
data_peak_tag
    _name '_peak_tag'
    _category peak
    _type char
    _list yes
data_flag_code
    _name '_flag_code'
    _category flag
    _type char
    _list both
data_flag_a
    _name '_flag_a'
    _category flag
    _type char
    _list yes
    _list_reference '_flag_code'
data_flag_b
    _name '_flag_b'
    _category flag
    _type char
    _list yes
    _list_reference '_flag_code'
data_peak_width
    _name '_peak_width'
    _category peak
    _type numb
    _list yes
    _list_reference '_PEAK_N'
data_flag_site
    _name '_flag_site'
    _category flag
    _type char
    _list yes
    loop_ _list_link_parent '_site_label' '_type_symbol'
)";

std::string findings(const std::string& text, THandle<CifDictionary> dictionary) {
    THandle<Cif> cif = read_cif(text, dictionary);
    const std::size_t read = cif->errors()->size();
    CifDictionaryRuleChecker(cif).check();
    std::string found;
    for (auto error = cif->errors()->begin() + read; error != cif->errors()->end(); ++error)
        found += (found.empty() ? "" : "; ") + std::to_string(error->id()) + "@" +
                 std::to_string(error->line());
    return found;
}

struct RuleCase {
    std::string fault;
    std::string twin;   // the fault corrected
    std::string found;  // the fault's findings as id@line
    bool judged_alike;  // cod-tools' cif_validate finds the same
};

const std::string sites = "loop_\n_site_label\n_site_x\nC1 0.1\nC2 0.2\n";
const std::string peaks = "data_a\nloop_\n_peak_index_h\n_peak_index_k\n_peak_intensity\n";
const std::string peak_ids = "data_a\nloop_\n_peak_id\n_peak_n\n_peak_tag\n";
const std::string bonds =
    "data_a\n" + sites +
    "loop_\n_bond_label_1\n_bond_label_2\n_bond_site_symmetry_1\n_bond_site_symmetry_2\n"
    "_bond_length\n";

// clang-format off
const std::vector<RuleCase> rule_cases = {
    {"data_a\n_site_label C1\n", "data_a\nloop_\n_site_label\nC1\n", "367@2", true},
    {"data_a\nloop_\n_cell_a\n5\n", "data_a\n_cell_a 5\n", "368@3", true},
    // no _list: DDL1's default is "no"
    {"data_a\nloop_\n_cell_b\n5\n", "data_a\n_cell_b 5\n", "368@3", true},
    {"data_a\nloop_\n_site_x\n0.1\n", "data_a\n" + sites, "369@2", true},
    {"data_a\nloop_\n_site_label\n_site_note\nC1 n\n",
     "data_a\nloop_\n_site_label\n_site_note\n_site_x\nC1 n 0.1\n", "370@2", true},
    // bonds are keyed by their labels and symmetry codes
    {bonds + "C1 C2 . 2_555 1.5\nC1 C2 . 2_555 1.5\n", bonds + "C1 C2 . 2_555 1.5\nC1 C2 . 3_555 1.5\n",
     "371@7", false},
    {"data_a\nloop_\n_site_label\nC1\nC1\n", "data_a\nloop_\n_site_label\nC1\nC2\n", "371@2",
     true},
    // a key named by _list_reference, its numbers compared as numbers
    {peaks + "1.1 10 5\n11E-1 1E+1 6\n1.100 10 7\n.11E1 1000E-2 8\n",
     peaks + "1.1 10 5\n1.2 1E+1 6\n1.10 11 7\n.11E2 1000E-2 8\n", "371@2; 371@2; 371@2", true},
    // a key of two names given by _list_uniqueness; text is compared as written
    {peak_ids + "p1 10 test\np2 1E+1 test\n", peak_ids + "p1 10 test\np2 1E+1 Test\n", "371@2",
     true},
    {"data_a\nloop_\n_type_symbol\nC\nloop_\n_site_label\n_site_type\nC1 C\nC2 Z\n",
     "data_a\nloop_\n_type_symbol\nC\nZ\nloop_\n_site_label\n_site_type\nC1 C\nC2 Z\n",
     "372@7", true},
    // a value may match any of several parents
    {"data_a\n" + sites + "loop_\n_type_symbol\nC\nloop_\n_flag_site\nC1\nC\nN\n",
     "data_a\n" + sites + "loop_\n_type_symbol\nC\nloop_\n_flag_site\nC1\nC\nC2\n", "372@11",
     false},
    {"data_a\nloop_\n_site_label\n_type_symbol\nC1 C\n",
     "data_a\nloop_\n_site_label\nC1\nloop_\n_type_symbol\nC\n", "373@2", false},
    // items of one key in two loops
    {"data_a\n" + sites + "loop_\n_flag_code\n_flag_a\nf1 x\nloop_\n_flag_b\ny\n",
     "data_a\n" + sites + "loop_\n_flag_code\n_flag_a\n_flag_b\nf1 x y\n", "370@11; 375@11", true},
    {"data_a\n" + sites + "loop_\n_flag_code\nf1\nloop_\n_flag_a\n_flag_b\nx y\n",
     "data_a\n" + sites + "loop_\n_flag_code\n_flag_a\n_flag_b\nf1 x y\n",
     "370@10; 370@10; 375@10", false},  // cod-tools: one 370 for the two columns
    // the anisotropic loop stands for the sites by its label; a merged loop by the label
    {"data_a\nloop_\n_aniso_u\n0.01\n", "data_a\n" + sites + "loop_\n_aniso_label\n_aniso_u\nC1 0.01\n",
     "369@2; 370@2", false},
    {"data_a\nloop_\n_site_x\n_aniso_u\n0.1 0.01\n",
     "data_a\nloop_\n_site_label\n_site_x\n_aniso_u\nC1 0.1 0.01\n", "369@2; 370@2", false},
    // a bond to a site the block does not list
    {"data_a\n" + sites + "loop_\n_bond_label_1\n_bond_label_2\nC1 C9\n",
     "data_a\n" + sites + "loop_\n_bond_label_1\n_bond_label_2\nC1 C2\n", "372@9", false},
};
// clang-format on

TEST(RuleChecks, EachFaultBesideItsTwin) {
    const THandle<CifConcreteDictionary> dictionary = dictionary_from(rules_dictionary);
    for (const RuleCase& c : rule_cases) {
        SCOPED_TRACE(c.fault);
        EXPECT_EQ(findings(c.fault, dictionary), c.found);
        EXPECT_EQ(findings(c.twin, dictionary), "");
    }
    // every fault is reported: each repeated row, each orphaned value
    EXPECT_EQ(findings("data_a\nloop_\n_site_label\nC1\nC1\nC1\n", dictionary), "371@2; 371@2");
    // a number's s.u. is part of it; ? and . leave a row unkeyed
    EXPECT_EQ(findings(peaks + "1.1(2) 1 5\n1.1(3) 1 6\n? 1 7\n? 1 8\n-0 1 9\n", dictionary), "");
    EXPECT_EQ(findings(peaks + "1.1(2) 1 5\n1.10(20) +1 6\n0 1 7\n-0.0 1 8\n", dictionary),
              "371@2; 371@2");
    // text in a number's column compares as text; numbers in a text column too
    EXPECT_EQ(findings(peaks + "x 1 5\nX 1 6\n1x 1 7\n1x 1 8\n", dictionary), "371@2");
    EXPECT_EQ(findings(peak_ids + "p1 1 10\np2 1 1E+1\np3 1 10.0\n", dictionary), "");
    // the s.u. in units of the last digit, whatever the exponent and decimals
    EXPECT_EQ(findings(peaks + "11(2) 1 5\n11.0(20) 1 6\n1.1E+1(2) 1 7\n1.1(0) 2 8\n1.10 2 9\n",
                       dictionary),
              "371@2; 371@2; 371@2");
    // a key of the loop that takes in another (names spelt otherwise) finds nothing more
    EXPECT_EQ(findings(peak_ids.substr(0, peak_ids.size() - 1) + "\n_peak_width\n"
                                                                 "p1 1 a 0.1\np2 1 a 0.2\n",
                       dictionary),
              "371@2");
    // ? and . are no label; a parent item without values is as if absent
    EXPECT_EQ(findings("data_a\nloop_\n_site_label\n?\n?\n.\n.\n", dictionary), "");
    EXPECT_EQ(
        findings("data_a\nloop_\n_site_label\n_site_type\nC1 C\nloop_\n_type_symbol\n", dictionary),
        "");
}

// The bundled structures against the core dictionary: what each file breaks, by rule and
// line; every other file keeps the rules.
TEST(RuleChecks, BundledStructuresAgainstTheCoreDictionary) {
    // clang-format off
    const std::map<std::string, std::string> expected = {
        // two disorder components share a hydrogen label
        {"1004001.cif", "371@184; 371@184"},
        // one atom type, its scattering source written outside a loop
        {"2003526-r-factor-with-esd.cif", "367@85"},
        {"2010793.cif", "367@40"},
        {"2219444.cif", "367@48"},
        // symmetry operators listed without their ids
        {"4003024.cif", "369@1009"},
        {"4024913-with-new-symop-tags.cif", "369@111"},
        {"9000612.cif", "369@48"},
        {"9014915.cif", "369@51"},
        // mineral files labelling sites by element only
        {"9000019.cif", "371@57"},
        {"9002735-isotermally-ordered.cif", "371@236; 371@236"},
        {"9005205-Quenched.cif", "371@235; 371@235"},
    };
    // clang-format on
    for (const std::string& path : test_data::files_in(test_data::bundled("cif"), ".cif")) {
        const std::string name = path.substr(path.find_last_of('/') + 1);
        const auto listed = expected.find(name);
        EXPECT_EQ(findings(test_data::read_file(path), core_dictionary()),
                  listed == expected.end() ? "" : listed->second)
            << name;
    }
}

// A finding as "rule item [value]", lower case, for the kinds both checkers judge alike.
using Findings = std::multiset<std::string>;

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Ours. A repeated key of several columns is counted by its names alone; the bundled
// structures leave such keys out, since ours take in the symmetry-code columns that the core
// dictionary leaves out of bond and angle keys.
Findings our_findings(const std::string& text, THandle<CifDictionary> dictionary,
                      bool composite_keys) {
    THandle<Cif> cif = read_cif(text, dictionary);
    const std::size_t read = cif->errors()->size();
    CifDictionaryRuleChecker(cif).check();
    Findings found;
    for (auto e = cif->errors()->begin() + read; e != cif->errors()->end(); ++e) {
        const std::string id = std::to_string(e->id()) + " ";
        const std::string first(e->first_argument());
        const std::string second(e->second_argument());
        switch (e->id()) {
            case CifError::ItemNotInLoop:
            case CifError::ItemInLoop:
                found.insert(id + lower(first));
                break;
            case CifError::LoopLacksMandatoryItem:
            case CifError::LoopLacksReferencedItem:
                found.insert(id + lower(second));
                break;
            case CifError::DuplicateKeyValue:
                if (first.find(',') == std::string::npos)
                    found.insert(id + lower(first) + " " + second);
                else if (composite_keys)
                    found.insert(id + lower(first));
                break;
            case CifError::ValueWithoutParent:  // lower case, as the oracle's are
                found.insert(id + lower(first + " " + second));
                break;
            case CifError::ItemsSplitOverLoops:
                found.insert(id);
                break;
            default:
                break;
        }
    }
    return found;
}

// cif_validate's, by file, mapped to ours. Where it reports an item missing both as
// mandatory and as referenced, ours reports it once, as mandatory; a parent item absent from
// the block altogether, ours does not report (README).
std::map<std::string, Findings> cod_findings(const std::string& dictionary,
                                             const std::vector<std::string>& paths,
                                             bool composite_keys) {
    std::string command = "cif_validate -d " + dictionary;
    for (const std::string& path : paths)
        command += " " + path;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    const std::vector<std::pair<std::regex, std::string>> kinds = {
        {std::regex("data item '(\\S+)' must appear in a loop"), "367 $1"},
        {std::regex("data item '(\\S+)' must not appear in a loop"), "368 $1"},
        {std::regex("missing mandatory looped list data item -- the '(\\S+)'"), "369 $1"},
        {std::regex("missing looped list reference data item -- the '(\\S+)'"), "370 $1"},
        {std::regex("data item '(\\S+)' contains value '(.*)' that was not found among"),
         "372 $1 '$2'"},
        {std::regex("must all appear in the same loop"), "375 "},
    };
    // one finding for each repeat after the first
    const std::regex repeated_key(
        "data item '(\\S+)' (?:acts as a loop key|requires data item '\\S+' to have unique "
        "values), .* value '(.*)' appears ([0-9]+) times");
    const std::regex repeated_keys(
        "data items \\[(.*)\\] (?:act as a composite loop key|to have collectively unique "
        "values), .* appear ([0-9]+) times");
    const std::regex line_form("^\\S+: (\\S+) \\S+: [A-Z]+, (.*)$");
    std::map<std::string, Findings> found;
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get())) {
        std::smatch line, part;
        const std::string text(buffer, std::strcspn(buffer, "\n"));
        if (!std::regex_match(text, line, line_form)) continue;
        Findings& file = found[line[1]];
        const std::string message = line[2];
        for (const auto& [form, finding] : kinds) {
            if (std::regex_search(message, part, form)) file.insert(lower(part.format(finding)));
        }
        if (std::regex_search(message, part, repeated_key)) {
            for (int n = std::stoi(part[3]); n > 1; --n)
                file.insert("371 " + lower(part[1]) + " '" + std::string(part[2]) + "'");
        }
        if (composite_keys && std::regex_search(message, part, repeated_keys)) {
            const std::string names = std::regex_replace(std::string(part[1]), std::regex("'"), "");
            for (int n = std::stoi(part[2]); n > 1; --n)
                file.insert("371 " + lower(names));
        }
    }
    for (auto& [path, file] : found) {
        for (auto f = file.begin(); f != file.end();) {
            const bool also_mandatory =
                f->rfind("370 ", 0) == 0 && file.count("369" + f->substr(3));
            f = also_mandatory ? file.erase(f) : std::next(f);
        }
    }
    return found;
}

bool cod_tools_installed() {
    return std::system("cif_validate --version >/dev/null 2>&1") == 0;
}

TEST(RuleChecks, AgreeWithCodToolsWhereBothJudgeAlike) {
    if (!cod_tools_installed()) GTEST_SKIP() << "cod-tools' cif_validate is not installed";
    const std::vector<std::string> paths = test_data::structures();
    std::map<std::string, Findings> theirs =
        cod_findings(test_data::bundled("dict/cif_core.dic"), paths, false);
    std::size_t compared = 0;
    for (const std::string& path : paths) {
        const Findings ours = our_findings(test_data::read_file(path), core_dictionary(), false);
        EXPECT_EQ(ours, theirs[path]) << path;
        compared += ours.size();
    }
    EXPECT_GT(compared, 10u);  // the oracle ran and found what the bundled files hold
}

// The hand-made faults and twins that both checkers judge alike, through both.
TEST(RuleChecks, HandMadeCasesAgreeWithCodTools) {
    if (!cod_tools_installed()) GTEST_SKIP() << "cod-tools' cif_validate is not installed";
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "cif-rules";
    std::filesystem::create_directories(folder);
    const std::string dictionary = (folder / "rules.dic").string();
    std::ofstream(dictionary) << rules_dictionary;
    std::vector<std::pair<std::string, std::string>> files;  // path, text
    for (const RuleCase& c : rule_cases) {
        if (!c.judged_alike) continue;
        for (const std::string* text : {&c.fault, &c.twin}) {
            files.emplace_back((folder / (std::to_string(files.size()) + ".cif")).string(), *text);
            std::ofstream(files.back().first) << *text;
        }
    }
    std::vector<std::string> paths;
    for (const auto& file : files)
        paths.push_back(file.first);
    std::map<std::string, Findings> theirs = cod_findings(dictionary, paths, true);
    const THandle<CifConcreteDictionary> ours = dictionary_from(rules_dictionary);
    for (const auto& [path, text] : files)
        EXPECT_EQ(our_findings(text, ours, true), theirs[path]) << text;
    std::filesystem::remove_all(folder);
}

}  // namespace
