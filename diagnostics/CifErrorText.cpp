#include "cif/CifErrorText.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry {
    CifError::ErrorID id;
    CifError::ErrorType type;
    const char* message;
};

// Sorted by identifier for the binary search; the unknown-error entry stands behind the
// searched range.
const Entry table[] = {
    {CifError::FileNotRead, CifError::Error, "File could not be read"},
    {CifError::NoDataBlocks, CifError::Error, "CIF contains no data_ blocks"},
    {CifError::DataItemNotSet, CifError::Remark, "Data item <1> not set in block <2>"},
    {CifError::RelatedItemNotSet, CifError::Remark, "Related item <1> not set in block <2>"},
    {CifError::DataBeforeFirstBlock, CifError::Warning,
     "Data item found before the first data_ block"},
    {CifError::DataNameTooLong, CifError::Error, "Data name <1> more than 75 characters long"},
    {CifError::DataNameFollowedByDataName, CifError::Error,
     "Data name <1> immediately followed by another data name"},
    {CifError::DataNameWithoutValue, CifError::Error, "Data name <1> not followed by data value"},
    {CifError::MissingBlockIdentifier, CifError::Warning, "Missing identifier for data_ block"},
    {CifError::DuplicateBlockName, CifError::Error,
     "CIF contains more than one data block called <1>"},
    {CifError::IgnoredStringSemicolonMismatch, CifError::Warning,
     "Ignored string (possible semi-colon mismatch) <1>"},
    {CifError::IgnoredString, CifError::Warning, "Ignored string <1>"},
    {CifError::IgnoredStringsBeforeFirstBlock, CifError::Warning,
     "Ignoring uncommented string(s) before first data block"},
    {CifError::GeneralError, CifError::Error, "<1>"},
    {CifError::GeneralWarning, CifError::Warning, "<1>"},
    {CifError::InternalReadError, CifError::Error, "Internal error in CIF read: <1>"},
    {CifError::DataItemAlreadySet, CifError::Error,
     "Data item <1> has already been set in this data_ block at line: <2>"},
    {CifError::RepeatedKeyword, CifError::Warning, "Repeated keyword <1>"},
    {CifError::NonStandardDataItem, CifError::Warning, "Created non-standard data item <1>"},
    {CifError::EmptyLoop, CifError::Error, "No data items in loop_"},
    {CifError::LoopValueCountMismatch, CifError::Error,
     "Too many or too few data values in the loop"},
    {CifError::ItemValidatedOK, CifError::Warning, "Item validated OK : <1>"},
    {CifError::ValueNotInEnumeration, CifError::Warning,
     "Data value is not in dictionary enumeration list : <1>"},
    {CifError::BadNumberFormat, CifError::Warning,
     "Data value is not a correctly formatted number : <1>"},
    {CifError::ValueNotNumber, CifError::Warning, "Data value should be a number : <1>"},
    {CifError::ValueBelowLimit, CifError::Warning,
     "Data value should be greater than a defined limit : <1>"},
    {CifError::ValueAboveLimit, CifError::Warning,
     "Data value should be smaller than a defined limit : <1>"},
    {CifError::UnexpectedStandardUncertainty, CifError::Warning,
     "Data value should not have a standard uncertainty (ESD) : <1>"},
    {CifError::DictionaryEntryWithoutName, CifError::Error, "Dictionary entry has no _name"},
    {CifError::DuplicateDictionaryItem, CifError::Warning, "Duplicate dictionary item <1> ignored"},
    {CifError::TooManyLoopLabels, CifError::Error,
     "Loop contains too many labels, expected one or two"},
    {CifError::SingleValueExpected, CifError::Error, "Only a single value expected"},
    {CifError::MultipleValuesNotLooped, CifError::Error, "Multiple values must be in a loop"},
    {CifError::IncorrectLoopMaster, CifError::Error, "Incorrect loop master"},
    {CifError::UnexpectedLoopItem, CifError::Error, "Item <1> unexpected in loop, expected <2>"},
    {CifError::InvalidYesNoValue, CifError::Error,
     "Invalid value for item <1> : expected 'yes' or 'no'"},
    {CifError::InvalidTypeValue, CifError::Error,
     "Invalid value for _type '<1>' : expected 'numb', 'char' or 'null'"},
    {CifError::InvalidTypeConditionsValue, CifError::Error,
     "Invalid value for _type_conditions '<1>' : expected 'esd', 'seq' or 'null'"},
    {CifError::InvalidListValue, CifError::Error,
     "Invalid value for _list '<1>' : expected 'yes', 'no' or 'both'"},
    {CifError::InvalidRelatedFunctionValue, CifError::Error,
     "Invalid value for _related_function '<1>' : expected 'alternate', 'conversion', 'convention' "
     "or 'replace'"},
    {CifError::DataItemNotFound, CifError::Remark, "Data item <1> not found in block <2>"},
    {CifError::BadEnumerationRange, CifError::Warning,
     "Could not validate enumeration due to bad range, check dictionary for <1>"},
    {CifError::ActionOnUnloopedItem, CifError::Error,
     "Internal error: Action invalid as data item not looped, action: <1>, name: <2>"},
    {CifError::LineTooLongError, CifError::Error, "More than <1> characters long"},
    {CifError::LineTooLong, CifError::Warning, "More than <1> characters long"},
    {CifError::InvalidNonPrintableCharacter, CifError::Error,
     "Invalid non-printable character <1>"},
    {CifError::InvalidPrintableCharacter, CifError::Error, "Invalid printable character <1>"},
    {CifError::UnterminatedQuote, CifError::Error, "No terminating (<1>) quote"},
    {CifError::OpeningSemicolonNotFirst, CifError::Error,
     "Opening (;) semicolon not first character on line"},
    {CifError::ClosingSemicolonNotFirst, CifError::Error,
     "Closing (;) semicolon not first character on line"},
    {CifError::UnterminatedTextField, CifError::Error,
     "Text block finished at end of file without final ';'"},
    {CifError::MismatchedSubscriptMarkup, CifError::Warning,
     "Data value contains mismatched subscript markup (~) : <1>"},
    {CifError::MismatchedSuperscriptMarkup, CifError::Warning,
     "Data value contains mismatched superscript markup (^) : <1>"},
    {CifError::ClosingSemicolonNotFollowedByWhiteSpace, CifError::Error,
     "Closing (;) semicolon not followed by white space"},
    {CifError::NonStandardEndOfFileMarker, CifError::Warning,
     "End of file marker '<1>' is non-standard"},
    {CifError::InvalidSymmetryOperator, CifError::Remark,
     "Ignoring invalid symmetry operator text '<1>'"},
    {CifError::SpacegroupReplaced, CifError::Remark,
     "Ignoring supplied spacegroup (<1>); using spacegroup generated from symmetry operators "
     "(<2>)"},
    {CifError::SpacegroupNumberReplaced, CifError::Remark,
     "Ignoring supplied international tables number (<1>); using number generated from symmetry "
     "operators (<2>)"},
    {CifError::DuplicateAtomLabel, CifError::Remark, "Duplicate atom label '<1>'"},
    {CifError::FormulaWeightMismatch, CifError::Remark,
     "Formula weight <1> different to weight calculated from chemical formula <2>"},
    {CifError::AtomTreatedAnisotropically, CifError::Remark,
     "Atom <1>: will be treated anisotropically: stored type was: <2>"},
    {CifError::AtomTreatedIsotropically, CifError::Remark,
     "Atom <1>: will be treated isotropically: stored type was: <2>"},
    {CifError::AnisotropicDisplacementError, CifError::Warning,
     "Error creating anisotropic Atomic Displacement Parameters for atom <1>. Error message was "
     "'<2>'"},
    {CifError::IsotropicDisplacementError, CifError::Warning,
     "Error creating isotropic Atomic Displacement Parameters for atom <1>. Error message was "
     "'<2>'"},
    {CifError::ItemNotInLoop, CifError::Warning,
     "Data item is defined as looped but stands outside a loop : <1>"},
    {CifError::ItemInLoop, CifError::Warning,
     "Data item is defined as not looped but stands in a loop : <1>"},
    {CifError::LoopLacksMandatoryItem, CifError::Warning,
     "Loop of category <1> lacks the item its category makes mandatory : <2>"},
    {CifError::LoopLacksReferencedItem, CifError::Warning,
     "Loop lacks the item that <1> must be looped with : <2>"},
    {CifError::DuplicateKeyValue, CifError::Warning, "Loop repeats the value <2> of its key : <1>"},
    {CifError::ValueWithoutParent, CifError::Warning,
     "Data value <2> has no matching value of its parent item : <1>"},
    {CifError::LoopMixesCategories, CifError::Warning,
     "Loop mixes items of categories <1> and <2>"},
    {CifError::SpacegroupAxesReplaced, CifError::Remark,
     "Ignoring the axes of supplied spacegroup (<1>); using the axes the cell angles fit (<2>)"},
    {CifError::ItemsSplitOverLoops, CifError::Warning,
     "Items keyed by <1> stand in more than one loop; the first is at line <2>"},
    {CifError::Cif2NotRead, CifError::Error,
     "CIF 2.0 is not read: the file begins with the CIF 2.0 magic line"},
    {CifError::FileReadFailed, CifError::Error, "File could not be read : <1>"},
    {static_cast<CifError::ErrorID>(0), CifError::Warning, "Unknown error <1> <2>"},
};

const Entry* const table_end = std::end(table) - 1;

const Entry& lookup(CifError::ErrorID id) {
    const Entry* found = std::lower_bound(
        std::begin(table), table_end, id,
        [](const Entry& entry, CifError::ErrorID wanted) { return entry.id < wanted; });
    return (found != table_end && found->id == id) ? *found : *table_end;
}

}  // namespace

CifError::ErrorType CifErrorText::type(CifError::ErrorID id) {
    return lookup(id).type;
}

std::string CifErrorText::message(CifError::ErrorID id) {
    return lookup(id).message;
}

void CifErrorText::complete_error_list(std::set<CifError::ErrorID>& ids) {
    for (const Entry* entry = std::begin(table); entry != table_end; ++entry)
        ids.insert(entry->id);
}
