#include "cif/CifErrorContainer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

std::vector<CifError::ErrorID> ids_of(const CifErrorContainer& container) {
    std::vector<CifError::ErrorID> ids;
    for (const CifError& e : container)
        ids.push_back(e.id());
    return ids;
}

TEST(CifErrorContainer, IgnoredIdentifiersAreDroppedOnAddUntilPassed) {
    CifErrorContainer errors;
    CifError too_long(CifError::DataNameTooLong, "_x", 1);
    errors.ignore_error(CifError::DataNameTooLong);
    EXPECT_TRUE(errors.error_ignored(CifError::DataNameTooLong));
    errors.add(too_long);
    EXPECT_TRUE(errors.empty());
    errors.pass_error(CifError::DataNameTooLong);
    errors.add(too_long);
    EXPECT_EQ(errors.size(), 1u);
    errors.pass_error(CifError::DataNameTooLong);  // passing an absent identifier is harmless
    EXPECT_FALSE(errors.error_ignored(CifError::DataNameTooLong));
}

TEST(CifErrorContainer, FilterRemovesStoredRecordsOfIgnoredIdentifiersKeepingOrder) {
    CifErrorContainer errors;
    errors.add(CifError(CifError::EmptyLoop, 1));
    errors.add(CifError(CifError::LineTooLong, "80", 2));
    errors.add(CifError(CifError::IgnoredString, "x", 3));
    errors.add(CifError(CifError::LineTooLong, "80", 4));
    errors.add(CifError(CifError::RepeatedKeyword, "loop_", 5));
    errors.ignore_error(CifError::LineTooLong);
    EXPECT_EQ(errors.size(), 5u);  // stored records are not touched by ignoring
    errors.filter_existing_errors();
    EXPECT_EQ(ids_of(errors),
              (std::vector<CifError::ErrorID>{CifError::EmptyLoop, CifError::IgnoredString,
                                              CifError::RepeatedKeyword}));
    EXPECT_TRUE(errors.error_ignored(CifError::LineTooLong));
}

TEST(CifErrorContainer, ClearKeepsTheIgnoredSet) {
    CifErrorContainer errors;
    errors.add(CifError(CifError::EmptyLoop, 1));
    errors.ignore_error(CifError::EmptyLoop);
    errors.clear();
    errors.add(CifError(CifError::EmptyLoop, 2));
    EXPECT_TRUE(errors.empty());
    errors.ignore_error(CifError::IgnoredString);
    std::vector<CifError::ErrorID> ignored(errors.ignored_errors_begin(),
                                           errors.ignored_errors_end());
    EXPECT_EQ(ignored,
              (std::vector<CifError::ErrorID>{CifError::IgnoredString, CifError::EmptyLoop}));
    errors.pass_all_errors();
    EXPECT_EQ(errors.ignored_errors_begin(), errors.ignored_errors_end());
}

TEST(CifErrorContainer, CountsBySeverity) {
    CifErrorContainer errors;
    errors.add(CifError(CifError::EmptyLoop, 1));
    errors.add(CifError(CifError::LineTooLong, "80", 2));
    errors.add(CifError(CifError::UnterminatedQuote, "'", 3));
    errors.add(CifError(CifError::RepeatedKeyword, "loop_", 4));
    errors.add(CifError(CifError::LineTooLong, "2048", 5));
    EXPECT_EQ(errors.errors_of_type(CifError::Error), 2u);
    EXPECT_EQ(errors.errors_of_type(CifError::Warning), 3u);
    EXPECT_EQ(errors.errors_of_type(CifError::Remark), 0u);
}

TEST(CifErrorContainer, PrintsOneRenderedRecordPerLine) {
    CifErrorContainer errors;
    std::ostringstream empty;
    errors.print(empty);
    EXPECT_EQ(empty.str(), "");
    errors.add(CifError(CifError::NoDataBlocks, -1));
    errors.add(CifError(CifError::UnterminatedQuote, "\"", 7));
    std::ostringstream out;
    errors.print(out);
    EXPECT_EQ(out.str(),
              "Error: CIF contains no data_ blocks\n"
              "Error: Line 7 : No terminating (\") quote\n");
}

TEST(CifErrorContainer, CopiesAreIndependentValues) {
    CifErrorContainer errors;
    errors.ignore_error(CifError::EmptyLoop);
    errors.add(CifError(CifError::IgnoredString, "x", 3));
    CifErrorContainer copy = errors;
    copy.add(CifError(CifError::IgnoredString, "y", 4));
    copy.pass_all_errors();
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_TRUE(errors.error_ignored(CifError::EmptyLoop));
    std::set<CifError::ErrorID> all;
    copy.complete_error_list(all);
    EXPECT_EQ(all.size(), 64u);
}

}  // namespace
