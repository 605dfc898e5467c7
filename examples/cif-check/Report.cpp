#include "Report.h"

#include <algorithm>
#include <functional>
#include <string_view>
#include <unordered_map>

namespace check {

bool not_read_as_written(const CifError& error) {
    switch (error.id()) {
        case CifError::IgnoredString:
        case CifError::IgnoredStringSemicolonMismatch:
        case CifError::IgnoredStringsBeforeFirstBlock:
        case CifError::FileNotRead:
        case CifError::FileReadFailed:
        case CifError::Cif2NotRead:
        case CifError::DataBeforeFirstBlock:
            return true;
        case CifError::LineTooLong:  // the reader keeps the first 2048 characters of a line
            return error.first_argument() == "2048";
        default:
            return false;
    }
}

namespace {

// The name of the block each line belongs to: that of the closest data_ line at or before.
class BlockLines {
  public:
    explicit BlockLines(const Cif& cif) {
        for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
            if ((*block)->line() > 0) starts_.emplace_back((*block)->line(), (*block)->name());
        }
        std::stable_sort(starts_.begin(), starts_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    const std::string& block_of(int line) const {
        static const std::string none;
        const auto after = std::upper_bound(
            starts_.begin(), starts_.end(), line,
            [](int l, const std::pair<int, std::string>& start) { return l < start.first; });
        return line < 1 || after == starts_.begin() ? none : std::prev(after)->second;
    }

  private:
    std::vector<std::pair<int, std::string>> starts_;
};

// What makes findings identical: identifier, arguments and block. Views into the records
// and the block names, which outlive the folding.
struct FoldKey {
    int id;
    std::string_view first, second, block;

    bool operator==(const FoldKey& other) const {
        return id == other.id && first == other.first && second == other.second &&
               block == other.block;
    }
};

struct FoldKeyHash {
    std::size_t operator()(const FoldKey& key) const {
        const std::hash<std::string_view> hash;
        std::size_t h = std::size_t(key.id);
        for (std::string_view part : {key.first, key.second, key.block})
            h = h * 1000003u ^ hash(part);
        return h;
    }
};

std::string counted(unsigned n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

// Why the file fails at the options' level; nothing when it passes.
void judge(const Options& options, unsigned dropped, int first_dropped_line, Report& report) {
    if (dropped > 0) {
        report.failures.push_back("text not read as written (" + counted(dropped, "finding") +
                                  (first_dropped_line > 0
                                       ? ", first at line " + std::to_string(first_dropped_line)
                                       : std::string()) +
                                  ")");
    }
    if (report.errors > 0) report.failures.push_back(counted(report.errors, "error"));
    if (options.fail_on <= CifError::Warning && report.warnings > 0)
        report.failures.push_back(counted(report.warnings, "warning"));
    if (options.fail_on <= CifError::Remark && report.remarks > 0)
        report.failures.push_back(counted(report.remarks, "remark"));
}

}  // namespace

void add_findings(const Cif& cif, const Options& options, Report& report) {
    const BlockLines blocks(cif);
    std::unordered_map<FoldKey, std::size_t, FoldKeyHash> folded;
    unsigned dropped = 0;
    int first_dropped_line = -1;
    for (const CifError& error : *cif.errors()) {
        if (options.ignored.count(error.id()) != 0) continue;
        const CifError::ErrorType type = error.type();
        ++(type == CifError::Error     ? report.errors
           : type == CifError::Warning ? report.warnings
                                       : report.remarks);
        if (not_read_as_written(error)) {
            if (dropped++ == 0) first_dropped_line = error.line();
        }
        const std::string& block = blocks.block_of(error.line());
        const bool room =
            options.max_messages == 0 || report.findings.size() < options.max_messages;
        if (options.fold) {
            constexpr std::size_t left_out = std::size_t(-1);
            const FoldKey key{int(error.id()), error.first_argument(), error.second_argument(),
                              block};
            const auto [at, added] = folded.try_emplace(key, left_out);
            if (!added && at->second == left_out) ++report.findings_left_out;
            if (!added && at->second != left_out) {
                Finding& first = report.findings[at->second];
                ++first.count;
                first.last_line = error.line();
            }
            if (!added) continue;
            if (room) at->second = report.findings.size();
        }
        if (!room) {
            ++report.findings_left_out;
            continue;
        }
        report.findings.push_back({block, error.line(), error.line(), 1, error});
    }
    judge(options, dropped, first_dropped_line, report);
}

}  // namespace check
