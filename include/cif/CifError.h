// CifError: one diagnostic (identifier, line, up to two arguments) and its rendering.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "cif/CifApi.h"
#include "cif/detail/InlineTexts.h"

/// A plain value: severity and wording are looked up in CifErrorText by identifier.
class CIF_API CifError {
  public:
    enum ErrorType { Remark = 0, Warning = 1, Error = 2 };

    // A fixed underlying type: identifiers outside the table are representable, and
    // look up as the unknown error.
    enum ErrorID : int {
        FileNotRead = 301,
        NoDataBlocks = 302,
        DataItemNotSet = 303,
        RelatedItemNotSet = 304,
        DataBeforeFirstBlock = 305,
        DataNameTooLong = 306,
        DataNameFollowedByDataName = 307,
        DataNameWithoutValue = 308,
        MissingBlockIdentifier = 309,
        DuplicateBlockName = 310,
        IgnoredStringSemicolonMismatch = 311,
        IgnoredString = 312,
        IgnoredStringsBeforeFirstBlock = 313,
        GeneralError = 314,
        GeneralWarning = 315,
        InternalReadError = 316,
        DataItemAlreadySet = 318,
        RepeatedKeyword = 319,
        NonStandardDataItem = 320,
        EmptyLoop = 321,
        LoopValueCountMismatch = 322,
        ItemValidatedOK = 323,
        ValueNotInEnumeration = 324,
        BadNumberFormat = 325,
        ValueNotNumber = 326,
        ValueBelowLimit = 327,
        ValueAboveLimit = 328,
        UnexpectedStandardUncertainty = 329,
        DictionaryEntryWithoutName = 331,
        DuplicateDictionaryItem = 332,
        TooManyLoopLabels = 333,
        SingleValueExpected = 334,
        MultipleValuesNotLooped = 335,
        IncorrectLoopMaster = 336,
        UnexpectedLoopItem = 337,
        InvalidYesNoValue = 338,
        InvalidTypeValue = 339,
        InvalidTypeConditionsValue = 340,
        InvalidListValue = 341,
        InvalidRelatedFunctionValue = 342,
        DataItemNotFound = 343,
        BadEnumerationRange = 344,
        ActionOnUnloopedItem = 345,
        LineTooLongError = 346,
        LineTooLong = 347,
        InvalidNonPrintableCharacter = 348,
        InvalidPrintableCharacter = 349,
        UnterminatedQuote = 350,
        OpeningSemicolonNotFirst = 351,
        ClosingSemicolonNotFirst = 352,
        UnterminatedTextField = 353,
        MismatchedSubscriptMarkup = 354,
        MismatchedSuperscriptMarkup = 355,
        ClosingSemicolonNotFollowedByWhiteSpace = 356,
        NonStandardEndOfFileMarker = 357,
        InvalidSymmetryOperator = 358,
        SpacegroupReplaced = 359,
        SpacegroupNumberReplaced = 360,
        DuplicateAtomLabel = 361,
        FormulaWeightMismatch = 362,
        AtomTreatedAnisotropically = 363,
        AtomTreatedIsotropically = 364,
        AnisotropicDisplacementError = 365,
        IsotropicDisplacementError = 366,
        // The dictionary rule check's findings (CifDictionaryRuleChecker).
        ItemNotInLoop = 367,
        ItemInLoop = 368,
        LoopLacksMandatoryItem = 369,
        LoopLacksReferencedItem = 370,
        DuplicateKeyValue = 371,
        ValueWithoutParent = 372,
        LoopMixesCategories = 373,
        // The cell reader's finding beyond the ones above.
        SpacegroupAxesReplaced = 374,
        // The dictionary rule check's, continued.
        ItemsSplitOverLoops = 375,
        // Reading's, beyond the ones above.
        Cif2NotRead = 376,
        FileReadFailed = 377,
    };

    /// `line` is the 1-based input line, or -1 when no line applies. Arguments of up to 54
    /// bytes together are kept inside the record, so that most diagnostics allocate nothing.
    CifError(ErrorID id, int line);
    CifError(ErrorID id, std::string_view first, int line);
    CifError(ErrorID id, std::string_view first, std::string_view second, int line);

    ErrorID id() const { return id_; }
    int line() const { return line_; }
    /// Valid while the record lives unchanged.
    std::string_view first_argument() const { return arguments_.first(); }
    std::string_view second_argument() const { return arguments_.second(); }

    ErrorType type() const;
    /// The message template with "<1>" and "<2>" filled by the arguments.
    std::string message() const;
    /// "Remark", "Warning", "Error", or "Unknown" for any other type value.
    std::string type_as_string() const;
    /// The one-line rendering: type word, ": Line N " when the line is known, ": " message.
    std::string complete_message() const;

    bool operator==(const CifError& other) const;
    bool operator!=(const CifError& other) const { return !(*this == other); }

    /// Writes complete_message(), without a line break.
    void print(std::ostream& out) const;

  private:
    ErrorID id_;
    int line_;
    cif::detail::InlineTexts arguments_;
};

/// Writes the record's complete_message().
CIF_API std::ostream& operator<<(std::ostream& out, const CifError& error);
