// Read, write, read again: the second document equals the first and writes the same text.
// The writer's rules cannot express a few things (a bare value that would read back as
// something else, a blank line between a name and its value); a file holding such a case
// is named with their count instead.
#include <gtest/gtest.h>

#include <iostream>

#include "DocumentDump.h"
#include "ParseSupport.h"
#include "TestData.h"

namespace {

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

// Why the writer cannot give this value back as it is, or nullptr when it can.
const char* known_limit(std::string_view value, bool looped) {
    if (value.find('\n') != std::string_view::npos) {
        if (value.back() != '\n') return "text field not ending in a line feed";
        if (value.find("\n;") != std::string_view::npos) return "text field line starting with ';'";
        return nullptr;
    }
    if (value.empty()) return looped ? nullptr : "empty single value";
    const bool quoted =
        value.find(' ') != std::string_view::npos || value[0] == '_' || value[0] == '[';
    if (quoted) {
        const char delimiter = value.find('\'') == std::string_view::npos ? '\'' : '"';
        for (std::size_t i = 0; i + 1 <= value.size(); ++i) {
            bool closes =
                value[i] == delimiter &&
                (i + 1 == value.size() || std::isspace(static_cast<unsigned char>(value[i + 1])));
            if (closes) return "quote inside quotes followed by white space";
        }
        return nullptr;
    }
    if (value.find_first_of("\t\r\v\f") != std::string_view::npos)
        return "white space other than blanks";
    if (value[0] == '#' || value[0] == '\'' || value[0] == '"' || value[0] == ';') {
        return "bare value starting with a delimiter";
    }
    if (starts_with_ignoring_case(value, "data_") || starts_with_ignoring_case(value, "loop_")) {
        return "bare value read back as a keyword";
    }
    return nullptr;
}

// The name's own line end absorbs the first line end of the comment between a name and its
// value, so a blank line there is not written back.
bool blank_line_after_name(const CifDataItem& item) {
    return !item.is_looped() && item.comments(CifCommentable::AfterName).compare(0, 1, "\n") == 0;
}

int count_known_limits(const Cif& cif, std::string& reasons) {
    int count = 0;
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        for (auto it = (*block)->begin_write_order(); it != (*block)->end_write_order(); ++it) {
            if (blank_line_after_name(**it)) {
                ++count;
                reasons += " " + (*it)->name() + ": blank line between name and value;";
            }
            for (unsigned int i = 0; i < (*it)->size(); ++i) {
                if (const char* why = known_limit((*it)->value_view(i), (*it)->is_looped())) {
                    ++count;
                    reasons += std::string(" ") + (*it)->name() + ": " + why + ";";
                }
            }
        }
    }
    return count;
}

// Returns the number of cases the writer cannot express; the file is checked fully only
// when there are none.
int check_round_trip(const std::string& path) {
    SCOPED_TRACE(path);
    THandle<Cif> first = read_cif(test_data::read_file(path));
    std::string reasons;
    const int limits = count_known_limits(*first, reasons);
    const std::string text = written(*first);
    THandle<Cif> second = read_cif(text);
    if (limits > 0) {
        std::cout << "known limit of the value rules: " << path << ": " << limits
                  << " value(s):" << reasons << '\n';
        return limits;
    }
    EXPECT_EQ(dump_document(*second), dump_document(*first));
    EXPECT_EQ(written(*second), text);
    return 0;
}

int check_folder(const std::string& folder) {
    std::vector<std::string> files = test_data::files_in(folder, ".cif");
    EXPECT_FALSE(files.empty());
    int limits = 0;
    for (const std::string& path : files)
        limits += check_round_trip(path);
    return limits;
}

TEST(RoundTrip, BundledStructures) {
    int limits = check_folder(test_data::bundled("cif"));
    RecordProperty("values_beyond_the_writer", limits);
}

TEST(RoundTrip, SharedEdgeCases) {
    const std::string folder = test_data::shared("edge");
    if (folder.empty()) GTEST_SKIP() << "shared corpora not present";
    int limits = check_folder(folder);
    RecordProperty("values_beyond_the_writer", limits);
}

}  // namespace
