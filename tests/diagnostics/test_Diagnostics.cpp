// Diagnostics: rendering, the container's filtering, the exception and the adapters.
#include <gtest/gtest.h>

#include <algorithm>

#include <set>

#include "Support.h"
#include "cif/CifErrorException.h"
#include "cif/CifErrorText.h"
#include "cif/CifErrorToFileError.h"
#include "cif/CifErrorToVexorLog.h"
#include "host/VexorLog.h"

namespace {

// clang-format off
TEST(Diagnostics, Rendering) {
    const std::vector<std::pair<CifError, std::string>> cases = {
        {CifError(CifError::DataNameWithoutValue, "_a", 12), "Error: Line 12 : Data name _a not followed by data value"},
        {CifError(CifError::FileNotRead, -1), "Error: File could not be read"},
        {CifError(CifError::EmptyLoop, "x", "y", 0), "Error: Line 0 : No data items in loop_"},
        // "<2>" is looked for from the start once "<1>" is filled.
        {CifError(CifError::DataItemNotSet, "<2>", "B", -1), "Remark: Data item B not set in block <2>"},
        {CifError(CifError::LineTooLong, "80", 2), "Warning: Line 2 : More than 80 characters long"},
        {CifError(CifError::ErrorID(317), "a", "b", -1), "Warning: Unknown error a b"}};
    // clang-format on
    for (const auto& [error, text] : cases) {
        std::ostringstream printed;
        printed << error;
        EXPECT_EQ(printed.str(), text);
    }
    std::set<CifError::ErrorID> ids;
    CifErrorText::complete_error_list(ids);
    // The 64 of reading, checking and mapping (301 to 366), then the dictionary rule check's
    // (367 to 373 and 375), the cell reader's axes, and reading's CIF 2.0 and file failures.
    EXPECT_EQ(ids.size(), 64u + 8u + 1u + 2u);
    EXPECT_EQ(std::count_if(ids.begin(), ids.end(), [](int id) { return id <= 366; }), 64);
    for (CifError::ErrorID id : ids)
        EXPECT_EQ(CifErrorText::message(id).find("Unknown error"), std::string::npos) << id;
}

// Arguments short enough to stay in the record and long enough for the heap, on either
// side of the boundary, through every way a record is copied, moved and compared.
TEST(Diagnostics, ArgumentsOfEveryLength) {
    // Both arguments stay inside the record while together they fit 54 bytes.
    for (std::size_t length : {0u, 1u, 26u, 27u, 31u, 32u, 33u, 53u, 54u, 55u, 300u}) {
        SCOPED_TRACE(length);
        std::string first(length, 'a');
        for (std::size_t i = 0; i < length; ++i)
            first[i] = static_cast<char>('a' + i % 26);
        const std::string second = first + "!";
        const CifError error(CifError::DataItemNotSet, first, second, 7);
        EXPECT_EQ(error.first_argument(), first);
        EXPECT_EQ(error.second_argument(), second);
        EXPECT_EQ(error.message(), "Data item " + first + " not set in block " + second);
        CifError copy = error;
        EXPECT_EQ(copy, error);
        CifError moved = std::move(copy);
        EXPECT_EQ(moved, error);
        copy = moved;  // a moved-from record takes a new value
        EXPECT_EQ(copy, error);
        CifError& same = copy;
        copy = same;  // self-assignment keeps the value
        EXPECT_EQ(copy.first_argument(), first);
        copy = std::move(same);
        EXPECT_EQ(copy.second_argument(), second);
        CifError other(CifError::DataItemNotSet, first + "b", second, 7);
        EXPECT_NE(other, error);
        other = error;
        EXPECT_EQ(other, error);
        other = CifError(CifError::EmptyLoop, 1);  // a heap argument replaced by none
        EXPECT_EQ(other.first_argument(), "");
        const CifError single(CifError::NonStandardDataItem, first, 3);
        EXPECT_EQ(single.first_argument(), first);
        EXPECT_EQ(single.second_argument(), "");
        EXPECT_EQ(CifError(single), single);
        EXPECT_NE(single, CifError(CifError::NonStandardDataItem, first, "x", 3));
        std::vector<CifError> many(3, error);  // vectors move records as they grow
        many.resize(100, error);
        EXPECT_EQ(many.front(), many.back());
    }
}

TEST(Diagnostics, ContainerFiltering) {
    CifErrorContainer errors;
    errors.add(CifError(CifError::EmptyLoop, 1));
    errors.add(CifError(CifError::LineTooLong, "80", 2));
    errors.ignore_error(CifError::LineTooLong);
    errors.add(CifError(CifError::LineTooLong, "80", 3));
    errors.add(CifError(CifError::RepeatedKeyword, "loop_", 4));
    EXPECT_EQ(errors.size(), 3u);  // ignoring drops new records only
    EXPECT_EQ(errors.errors_of_type(CifError::Warning), 2u);
    errors.filter_existing_errors();
    std::ostringstream out;
    errors.print(out);
    EXPECT_EQ(out.str(),
              "Error: Line 1 : No data items in loop_\nWarning: Line 4 : Repeated keyword loop_\n");
    errors.clear();
    errors.add(CifError(CifError::LineTooLong, "80", 5));
    EXPECT_TRUE(errors.empty());  // clear keeps the ignored set
    errors.pass_error(CifError::LineTooLong);
    errors.add(CifError(CifError::LineTooLong, "80", 5));
    EXPECT_EQ(errors.size(), 1u);
}

// Records are stored in chunks of 1024: neither the order, the count, a copy, a filter nor
// iterator arithmetic may show where a chunk begins.
TEST(Diagnostics, ContainerOrderAcrossBatchesAndReads) {
    CifErrorContainer errors;
    CifErrorContainer copy;
    auto lines_of = [](const CifErrorContainer& container) {
        std::vector<int> lines;
        for (const CifError& error : container)
            lines.push_back(error.line());
        return lines;
    };
    auto ascending = [](int from, int to, int step) {
        std::vector<int> lines;
        for (int line = from; line <= to; line += step)
            lines.push_back(line);
        return lines;
    };
    for (int line = 1; line <= 3000; ++line) {
        errors.add(CifError(line % 2 ? CifError::EmptyLoop : CifError::LineTooLong, line));
        if (line == 5 || line == 1025 || line == 2047) {
            EXPECT_EQ(errors.size(), std::size_t(line));
        }
        if (line == 2500) copy = errors;
    }
    EXPECT_EQ(lines_of(errors), ascending(1, 3000, 1));
    EXPECT_EQ(lines_of(copy), ascending(1, 2500, 1));
    EXPECT_EQ(errors.end() - errors.begin(), 3000);
    EXPECT_EQ((errors.end() - 1)->line(), 3000);
    EXPECT_EQ(errors.begin()[1023].line(), 1024);
    EXPECT_EQ((2048 + errors.begin())->line(), 2049);
    auto last = errors.end();
    EXPECT_EQ((--last)->line(), 3000);
    EXPECT_EQ((last--)->line(), 3000);
    EXPECT_EQ(last->line(), 2999);
    EXPECT_TRUE(errors.begin() < last && last <= errors.end() - 2 && errors.end() > last);
    EXPECT_EQ(std::prev(errors.end(), 1977)->line(), 1024);
    errors.add(CifError(CifError::LineTooLong, 3001));  // not looked at before the filter
    errors.ignore_error(CifError::LineTooLong);
    errors.filter_existing_errors();
    EXPECT_EQ(lines_of(errors), ascending(1, 2999, 2));
    EXPECT_EQ(errors.errors_of_type(CifError::Error), 1500u);
}

TEST(Diagnostics, ExceptionAndAdapters) {
    const CifError error(CifError::ActionOnUnloopedItem, "set_value", "_a", -1);
    try {
        throw CifErrorException(error);
    } catch (const std::runtime_error& thrown) {
        EXPECT_STREQ(thrown.what(),
                     "Error: Internal error: Action invalid as data item not looped, action: "
                     "set_value, name: _a");
        EXPECT_EQ(dynamic_cast<const CifErrorException&>(thrown).error(), error);
    }
    CifErrorToFileError convert;
    EXPECT_EQ(convert(CifError(CifError::DataItemNotFound, "_a", "b", -1)),
              FileError(FileError::Remark, "Data item _a not found in block b", -1));
    EXPECT_EQ(convert(CifError(CifError::UnterminatedQuote, "'", 8)),
              FileError(FileError::Error, "No terminating (') quote", 8));
    std::ostringstream log;
    VexorLog::set_stream(&log);
    CifErrorToVexorLog to_log;
    to_log(CifError(CifError::DuplicateAtomLabel, "C1", 5));
    to_log(CifError(CifError::LineTooLong, "80", 2));
    to_log(CifError(CifError::NoDataBlocks, -1));
    VexorLog::set_stream(nullptr);
    EXPECT_EQ(log.str(),
              "Info: Duplicate atom label 'C1'\nWarning: More than 80 characters long\n"
              "Error: CIF contains no data_ blocks\n");
}

}  // namespace
