// CifDataItem: one data name of a block with its value, or its column of values when it is
// a loop column, bound to the block's dictionary for its definition and validation.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifCommentable.h"
#include "cif/CifDictionary.h"
#include "cif/CifWriteSettings.h"
#include "cif/detail/PackedStrings.h"
#include "host/THandle.h"
#include "host/UncertainValue.h"

namespace cif::detail {
class ReaderAccess;
}

/// Values are raw text: no quotes, no trimming; "?" and "." are ordinary one-character
/// values that count as not significant. A non-looped item holds at most one value, and
/// addressing a second throws CifErrorException (ActionOnUnloopedItem).
class CIF_API CifDataItem : public CifCommentable {
  public:
    /// Outcome of checking one value against the item's definition.
    enum Validated {
        Valid = 0,
        NotInEnumeration = 1,
        BadlyFormattedNumber = 2,
        NotANumber = 3,
        BelowMinimum = 4,
        AboveMaximum = 5,
        UnexpectedEsd = 6,
        BadRange = 7,
        BadSubscriptMarkup = 8,
        BadSuperscriptMarkup = 9,
    };

    /// The validator is chosen here, once, from the data name.
    CifDataItem(THandle<CifDictionary> dictionary, const std::string& name);
    /// The same, the name shared with other items that carry it (the reader gives every item
    /// of one name the same text). A document and the items from it are used by one thread
    /// at a time: the count of a shared name is not atomic.
    CifDataItem(THandle<CifDictionary> dictionary, THandle<const std::string> name);
    /// Items are shared through handles; copy_value() copies the values of one to another.
    CifDataItem(const CifDataItem&) = delete;
    CifDataItem& operator=(const CifDataItem&) = delete;
    ~CifDataItem() override;

    const std::string& name() const { return *name_; }

    /// Validates, then makes the value the only one; an empty value removes all values.
    Validated set_value(const std::string& value);
    /// Validates, then stores the value at the row, padding with empty values up to it.
    Validated set_value(unsigned int index, const std::string& value);
    /// Appends a value without validation.
    void add_value(const std::string& value);
    /// Takes a copy of the other item's values, without validation.
    void copy_value(const THandle<CifDataItem>& other);
    /// The first value, or the empty string.
    std::string value() const;
    /// Value of the row, or the empty string past the end.
    std::string value(unsigned int index) const;
    /// Value of the row without a copy or a looped check; empty past the end. Valid until
    /// the item changes.
    std::string_view value_view(unsigned int index) const;
    /// The value at the index as a number with its s.u. ("1.234(5)" is 1.234 with 0.005);
    /// nothing for "?", ".", text that is no number, and an index past the last value.
    std::optional<UncertainValue> number(unsigned int index = 0) const;
    bool has_value() const;
    /// A first value that is neither "?" nor ".".
    bool has_significant_value() const;
    bool has_significant_value(unsigned int index) const;
    unsigned int size() const;
    void clear_value();
    /// Removes the row's value; later rows move down. Nothing past the end.
    void remove_value(unsigned int index);
    bool is_looped() const { return looped_; }
    void set_looped() { looped_ = true; }
    /// The line of the data name where the reader first met it; 0 for an item made otherwise.
    int line() const { return line_; }
    void set_line(int line) { line_ = line; }

    /// Runs the item's validator without storing the value.
    Validated validate(const std::string& value);
    /// Throws CifErrorException(ActionOnUnloopedItem, action, name) unless the item is
    /// looped or the index is 0.
    void check_looped(const char* action, unsigned int index) const;

    /// Same name (exact letter case) and same values; nothing else takes part.
    bool operator==(const CifDataItem& other) const;
    bool operator!=(const CifDataItem& other) const { return !(*this == other); }

    /// Writes a non-looped item: its leading comment, the name/value line, its trailing
    /// comment; nothing at all when it has no value.
    void print(std::ostream& os, const CifWriteSettings& settings) const;

    /// The definition of this name in the block's dictionary. Each getter dereferences the
    /// dictionary handle.
    THandle<CifDictionary> dictionary() const { return dictionary_; }
    std::string category() const;
    std::string list_parent() const;
    const std::vector<std::string>& list_reference() const;
    std::string enumeration_default() const;
    std::string enumeration_range() const;
    std::string definition() const;
    std::string units() const;
    std::string units_detail() const;
    CifDictionary::DataType type() const;
    CifDictionary::DataTypeCond condition() const;
    CifDictionary::ListType list() const;
    bool list_mandatory() const;
    const std::vector<std::string>& list_child() const;
    const std::vector<Example>& example() const;
    const std::vector<Enumeration>& enumeration() const;
    const std::vector<Relation>& relation() const;

    /// Validators; select_validator() picks one by data name.
    void select_validator();
    Validated default_validate(const std::string& value);
    Validated null_validator(const std::string& value);
    Validated validate_atom_site_refinement_flags(const std::string& value);
    Validated validate_refine_ls_weighting_scheme(const std::string& value);

  private:
    // The reader validates loop columns as it reads them and hands them over whole.
    friend class cif::detail::ReaderAccess;

    // The validator select_validator() chose.
    enum class Validator : unsigned char { Default, RefinementFlags, WeightingScheme, Null };

    THandle<const std::string> name_;  // never empty, never changed
    cif::detail::PackedStrings values_;
    THandle<CifDictionary> dictionary_;
    int line_ = 0;
    Validator validator_ = Validator::Default;
    bool looped_ = false;
};
