// Diagnostic records as Python objects.

#include <cif/CifErrorContainer.h>
#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <cctype>
#include <map>

#include "Bindings.h"

namespace cifpy {

namespace {

const std::map<CifError::ErrorID, const char*> identifier_names = {
    {CifError::FileNotRead, "FileNotRead"},
    {CifError::NoDataBlocks, "NoDataBlocks"},
    {CifError::DataItemNotSet, "DataItemNotSet"},
    {CifError::RelatedItemNotSet, "RelatedItemNotSet"},
    {CifError::DataBeforeFirstBlock, "DataBeforeFirstBlock"},
    {CifError::DataNameTooLong, "DataNameTooLong"},
    {CifError::DataNameFollowedByDataName, "DataNameFollowedByDataName"},
    {CifError::DataNameWithoutValue, "DataNameWithoutValue"},
    {CifError::MissingBlockIdentifier, "MissingBlockIdentifier"},
    {CifError::DuplicateBlockName, "DuplicateBlockName"},
    {CifError::IgnoredStringSemicolonMismatch, "IgnoredStringSemicolonMismatch"},
    {CifError::IgnoredString, "IgnoredString"},
    {CifError::IgnoredStringsBeforeFirstBlock, "IgnoredStringsBeforeFirstBlock"},
    {CifError::GeneralError, "GeneralError"},
    {CifError::GeneralWarning, "GeneralWarning"},
    {CifError::InternalReadError, "InternalReadError"},
    {CifError::DataItemAlreadySet, "DataItemAlreadySet"},
    {CifError::RepeatedKeyword, "RepeatedKeyword"},
    {CifError::NonStandardDataItem, "NonStandardDataItem"},
    {CifError::EmptyLoop, "EmptyLoop"},
    {CifError::LoopValueCountMismatch, "LoopValueCountMismatch"},
    {CifError::ItemValidatedOK, "ItemValidatedOK"},
    {CifError::ValueNotInEnumeration, "ValueNotInEnumeration"},
    {CifError::BadNumberFormat, "BadNumberFormat"},
    {CifError::ValueNotNumber, "ValueNotNumber"},
    {CifError::ValueBelowLimit, "ValueBelowLimit"},
    {CifError::ValueAboveLimit, "ValueAboveLimit"},
    {CifError::UnexpectedStandardUncertainty, "UnexpectedStandardUncertainty"},
    {CifError::DictionaryEntryWithoutName, "DictionaryEntryWithoutName"},
    {CifError::DuplicateDictionaryItem, "DuplicateDictionaryItem"},
    {CifError::TooManyLoopLabels, "TooManyLoopLabels"},
    {CifError::SingleValueExpected, "SingleValueExpected"},
    {CifError::MultipleValuesNotLooped, "MultipleValuesNotLooped"},
    {CifError::IncorrectLoopMaster, "IncorrectLoopMaster"},
    {CifError::UnexpectedLoopItem, "UnexpectedLoopItem"},
    {CifError::InvalidYesNoValue, "InvalidYesNoValue"},
    {CifError::InvalidTypeValue, "InvalidTypeValue"},
    {CifError::InvalidTypeConditionsValue, "InvalidTypeConditionsValue"},
    {CifError::InvalidListValue, "InvalidListValue"},
    {CifError::InvalidRelatedFunctionValue, "InvalidRelatedFunctionValue"},
    {CifError::DataItemNotFound, "DataItemNotFound"},
    {CifError::BadEnumerationRange, "BadEnumerationRange"},
    {CifError::ActionOnUnloopedItem, "ActionOnUnloopedItem"},
    {CifError::LineTooLongError, "LineTooLongError"},
    {CifError::LineTooLong, "LineTooLong"},
    {CifError::InvalidNonPrintableCharacter, "InvalidNonPrintableCharacter"},
    {CifError::InvalidPrintableCharacter, "InvalidPrintableCharacter"},
    {CifError::UnterminatedQuote, "UnterminatedQuote"},
    {CifError::OpeningSemicolonNotFirst, "OpeningSemicolonNotFirst"},
    {CifError::ClosingSemicolonNotFirst, "ClosingSemicolonNotFirst"},
    {CifError::UnterminatedTextField, "UnterminatedTextField"},
    {CifError::MismatchedSubscriptMarkup, "MismatchedSubscriptMarkup"},
    {CifError::MismatchedSuperscriptMarkup, "MismatchedSuperscriptMarkup"},
    {CifError::ClosingSemicolonNotFollowedByWhiteSpace, "ClosingSemicolonNotFollowedByWhiteSpace"},
    {CifError::NonStandardEndOfFileMarker, "NonStandardEndOfFileMarker"},
    {CifError::InvalidSymmetryOperator, "InvalidSymmetryOperator"},
    {CifError::SpacegroupReplaced, "SpacegroupReplaced"},
    {CifError::SpacegroupNumberReplaced, "SpacegroupNumberReplaced"},
    {CifError::DuplicateAtomLabel, "DuplicateAtomLabel"},
    {CifError::FormulaWeightMismatch, "FormulaWeightMismatch"},
    {CifError::AtomTreatedAnisotropically, "AtomTreatedAnisotropically"},
    {CifError::AtomTreatedIsotropically, "AtomTreatedIsotropically"},
    {CifError::AnisotropicDisplacementError, "AnisotropicDisplacementError"},
    {CifError::IsotropicDisplacementError, "IsotropicDisplacementError"},
    {CifError::ItemNotInLoop, "ItemNotInLoop"},
    {CifError::ItemInLoop, "ItemInLoop"},
    {CifError::LoopLacksMandatoryItem, "LoopLacksMandatoryItem"},
    {CifError::LoopLacksReferencedItem, "LoopLacksReferencedItem"},
    {CifError::DuplicateKeyValue, "DuplicateKeyValue"},
    {CifError::ValueWithoutParent, "ValueWithoutParent"},
    {CifError::LoopMixesCategories, "LoopMixesCategories"},
    {CifError::SpacegroupAxesReplaced, "SpacegroupAxesReplaced"},
    {CifError::ItemsSplitOverLoops, "ItemsSplitOverLoops"},
    {CifError::Cif2NotRead, "Cif2NotRead"},
    {CifError::FileReadFailed, "FileReadFailed"},
};

// "error", "warning" or "remark": the record's own word, in lower case.
std::string severity(const CifError& error) {
    std::string word = error.type_as_string();
    word[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(word[0])));
    return word;
}

}  // namespace

void bind_diagnostics(py::module_& m) {
    py::class_<CifError>(m, "Diagnostic",
                         "One problem found in a text or document: its numbered identifier, "
                         "the line it was found at (-1 for none), severity and message.")
        .def_property_readonly(
            "id", [](const CifError& e) { return int(e.id()); },
            "The numbered identifier (301-...).")
        .def_property_readonly(
            "name", [](const CifError& e) { return identifier_names.at(e.id()); },
            "The identifier's name, as 'DataNameWithoutValue'.")
        .def_property_readonly(
            "severity", [](const CifError& e) { return severity(e); },
            "'error', 'warning' or 'remark'.")
        .def_property_readonly("line", &CifError::line, "The line, or -1 when none applies.")
        .def_property_readonly(
            "message", [](const CifError& e) { return text(e.message()); },
            "The message with its arguments filled in.")
        .def_property_readonly(
            "arguments",
            [](const CifError& e) {
                return py::make_tuple(text(e.first_argument()), text(e.second_argument()));
            },
            "The two texts the message was filled in with (empty when unused).")
        .def("__str__", [](const CifError& e) { return text(e.complete_message()); })
        .def("__repr__",
             [](const CifError& e) {
                 return "<Diagnostic " + std::to_string(int(e.id())) + " " +
                        identifier_names.at(e.id()) + " line " + std::to_string(e.line()) + ">";
             })
        .def(py::self == py::self);
}

}  // namespace cifpy
