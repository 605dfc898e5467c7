#include "cif/CifError.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "cif/CifErrorException.h"
#include "cif/CifErrorText.h"
#include "cif/CifErrorToFileError.h"
#include "cif/CifErrorToVexorLog.h"
#include "host/VexorLog.h"

TEST(CifError, RendersTypeLineAndFilledTemplate) {
    CifError error(CifError::DataNameWithoutValue, "_cell_length_a", 12);
    EXPECT_EQ(error.complete_message(),
              "Error: Line 12 : Data name _cell_length_a not followed by data value");
    EXPECT_EQ(CifError(CifError::FileNotRead, -1).complete_message(),
              "Error: File could not be read");
    EXPECT_EQ(CifError(CifError::EmptyLoop, 0).complete_message(),
              "Error: Line 0 : No data items in loop_");
    EXPECT_EQ(CifError(CifError::EmptyLoop, -7).complete_message(),
              "Error: Line -7 : No data items in loop_");
    std::ostringstream printed;
    error.print(printed);
    EXPECT_EQ(printed.str(), error.complete_message());
}

TEST(CifError, FillsEachPlaceholderOnceAndIgnoresUnusedArguments) {
    CifError both(CifError::DataItemAlreadySet, "_a", "7", 9);
    EXPECT_EQ(both.message(), "Data item _a has already been set in this data_ block at line: 7");
    EXPECT_EQ(CifError(CifError::EmptyLoop, "x", "y", 3).message(), "No data items in loop_");
    // "<2>" is looked for from the start of the text once "<1>" is filled, so a first
    // argument holding "<2>" takes the second argument in its place.
    EXPECT_EQ(CifError(CifError::DataItemNotSet, "<2>", "B", -1).message(),
              "Data item B not set in block <2>");
    EXPECT_EQ(CifError(CifError::GeneralError, "", -1).message(), "");
}

TEST(CifError, SameTemplateDifferentSeverity) {
    EXPECT_EQ(CifError(CifError::GeneralError, "x", -1).complete_message(), "Error: x");
    EXPECT_EQ(CifError(CifError::GeneralWarning, "x", -1).complete_message(), "Warning: x");
    EXPECT_EQ(CifError(CifError::LineTooLongError, "80", 2).complete_message(),
              "Error: Line 2 : More than 80 characters long");
    EXPECT_EQ(CifError(CifError::LineTooLong, "80", 2).complete_message(),
              "Warning: Line 2 : More than 80 characters long");
    EXPECT_EQ(CifError(CifError::DataItemNotSet, -1).type_as_string(), "Remark");
}

TEST(CifError, UnknownIdentifierUsesTheUnknownEntry) {
    for (int value : {0, 300, 317, 330, 367, 511}) {
        CifError error(static_cast<CifError::ErrorID>(value), "a", "b", -1);
        EXPECT_EQ(error.type(), CifError::Warning) << value;
        EXPECT_EQ(error.message(), "Unknown error a b") << value;
    }
    EXPECT_EQ(CifErrorText::message(static_cast<CifError::ErrorID>(317)), "Unknown error <1> <2>");
}

TEST(CifError, EqualityComparesAllFourFields) {
    CifError a(CifError::DataItemNotSet, "_x", "b1", 4);
    EXPECT_EQ(a, CifError(CifError::DataItemNotSet, "_x", "b1", 4));
    EXPECT_NE(a, CifError(CifError::DataItemNotSet, "_x", "b2", 4));
    EXPECT_NE(a, CifError(CifError::DataItemNotSet, "_X", "b1", 4));
    EXPECT_NE(a, CifError(CifError::DataItemNotSet, "_x", "b1", 5));
    EXPECT_NE(a, CifError(CifError::DataItemNotFound, "_x", "b1", 4));
}

TEST(CifErrorText, CompleteListHasTheSixtyFourIdentifiers) {
    std::set<CifError::ErrorID> ids;
    CifErrorText::complete_error_list(ids);
    ASSERT_EQ(ids.size(), 64u);
    EXPECT_EQ(*ids.begin(), CifError::FileNotRead);
    EXPECT_EQ(*ids.rbegin(), CifError::IsotropicDisplacementError);
    EXPECT_EQ(ids.count(static_cast<CifError::ErrorID>(317)), 0u);
    EXPECT_EQ(ids.count(static_cast<CifError::ErrorID>(330)), 0u);
    // Every identifier resolves to its own entry, not to the unknown one.
    for (CifError::ErrorID id : ids) {
        EXPECT_EQ(CifErrorText::message(id).find("Unknown error"), std::string::npos) << id;
    }
}

TEST(CifErrorText, SeveritiesOfEachFamily) {
    EXPECT_EQ(CifErrorText::type(CifError::RelatedItemNotSet), CifError::Remark);
    EXPECT_EQ(CifErrorText::type(CifError::DataBeforeFirstBlock), CifError::Warning);
    EXPECT_EQ(CifErrorText::type(CifError::UnterminatedTextField), CifError::Error);
    EXPECT_EQ(CifErrorText::type(CifError::MismatchedSuperscriptMarkup), CifError::Warning);
    EXPECT_EQ(CifErrorText::type(CifError::IsotropicDisplacementError), CifError::Warning);
    EXPECT_EQ(CifErrorText::message(CifError::InvalidRelatedFunctionValue),
              "Invalid value for _related_function '<1>' : expected 'alternate', 'conversion', "
              "'convention' or 'replace'");
}

TEST(CifErrorException, CarriesTheRecordAndItsRendering) {
    CifError error(CifError::ActionOnUnloopedItem, "set_value", "_cell_length_a", -1);
    try {
        throw CifErrorException(error);
    } catch (const std::runtime_error& thrown) {
        EXPECT_STREQ(thrown.what(),
                     "Error: Internal error: Action invalid as data item not looped, action: "
                     "set_value, name: _cell_length_a");
        EXPECT_EQ(dynamic_cast<const CifErrorException&>(thrown).error(), error);
    }
}

TEST(CifErrorToFileError, MapsSeverityAndKeepsMessageAndLine) {
    CifErrorToFileError convert;
    FileError remark = convert(CifError(CifError::DataItemNotFound, "_a", "b", -1));
    EXPECT_EQ(remark.severity(), 2);
    EXPECT_EQ(remark.line(), -1);
    EXPECT_EQ(remark.text(), "Data item _a not found in block b");
    EXPECT_EQ(convert(CifError(CifError::RepeatedKeyword, "loop_", 3)).severity(), 1);
    FileError error = convert(CifError(CifError::UnterminatedQuote, "'", 8));
    EXPECT_EQ(error, FileError(FileError::Error, "No terminating (') quote", 8));
}

TEST(CifErrorToVexorLog, WritesTheMessageAsALineOfItsKind) {
    std::ostringstream log;
    VexorLog::set_stream(&log);
    CifErrorToVexorLog to_log;
    to_log(CifError(CifError::DuplicateAtomLabel, "C1", 5));
    to_log(CifError(CifError::LineTooLong, "80", 5));
    to_log(CifError(CifError::NoDataBlocks, -1));
    VexorLog::set_stream(nullptr);
    EXPECT_EQ(log.str(),
              "Info: Duplicate atom label 'C1'\n"
              "Warning: More than 80 characters long\n"
              "Error: CIF contains no data_ blocks\n");
}
