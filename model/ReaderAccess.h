// Internal: ReaderAccess: the one way the library's own units reach into the public classes
// the reader fills, so that the reader's fast path stays out of the installed headers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cif/CifDataItem.h"
#include "cif/CifDictionary.h"
#include "cif/StringFunctionsLibCif.h"
#include "model/CifCharacters.h"

class CifDataBlock;
class CifLoop;
class CifTokenStream;

namespace cif::detail {

template <class Small, class Medium>
class BasicPackedStrings;
using PackedStrings = BasicPackedStrings<std::uint16_t, std::uint32_t>;
class Tokenizer;
class HandleArena;

// Every text these functions read must have a NUL after it in memory, as a std::string's text
// and the tokenizer's views of its line do: the number scans stop at it.
class ReaderAccess {
  public:
    /// What the default validator needs of an item's definition, read from the dictionary in
    /// one go. Valid while the dictionary is unchanged: a reader takes it once per loop column
    /// instead of asking the dictionary again for every value.
    struct Definition {
        CifDictionary::DataType type = CifDictionary::TYPE_UNDEFINED;
        CifDictionary::DataTypeCond condition = CifDictionary::COND_NONE;
        const std::vector<Enumeration>* enumeration = nullptr;
        /// The dictionary gives a range; `bad_range` when its text converts to no bound.
        bool has_range = false;
        bool bad_range = false;
        bool has_lower_bound = false;
        bool has_upper_bound = false;
        float lower_bound = 0.0f;
        float upper_bound = 0.0f;
        /// The default validator over a name the dictionary does not define, or defines as
        /// text with neither permitted values nor a range: values need only their sub- and
        /// superscript markup checked.
        bool markup_only = false;
    };

    // CifDataItem; defined in model/CifDataItem.cpp.

    static Definition read_definition(const CifDataItem& item);
    /// CifDataItem::set_value() with the item's definition at hand.
    static CifDataItem::Validated set_value(CifDataItem& item, const Definition& definition,
                                            std::string_view value);
    /// CifDataItem::validate() with the item's definition at hand. Inline: a reader calls it
    /// for every loop value, and most need only their markup looked at. `padded`: at least
    /// 15 bytes past the value may be read.
    static CifDataItem::Validated validate(CifDataItem& item, const Definition& definition,
                                           std::string_view value, bool padded = false) {
        if (definition.markup_only || is_placeholder(value)) {
            return has_markup_character(value, padded)
                       ? check_super_subscript_markup(std::string(value))
                       : CifDataItem::Valid;
        }
        return validate_by_validator(item, definition, value, padded);
    }
    /// The default validator; `padded` as for validate().
    static CifDataItem::Validated check_definition(const Definition& definition,
                                                   std::string_view value, bool padded = false);
    /// The values become those given, without validation, and `values` gets the item's former
    /// ones.
    static void take_values(CifDataItem& item, PackedStrings& values);
    /// Makes the names the loop's columns: names the caller knows to be distinct in any
    /// letter case.
    static void set_columns(CifLoop& loop, std::vector<std::string> names);
    /// Makes a new, empty block take its items and write-order nodes from the arena, with
    /// room for `items` names in its index.
    static void prepare_block(CifDataBlock& block, HandleArena* arena, std::size_t items);

    // CifTokenStream; defined in reading/CifTokenStream.cpp.

    static Tokenizer& tokenizer(CifTokenStream& stream);

  private:
    // Where the definition asks for more than balanced markup of a value that is not "?" or ".".
    static CifDataItem::Validated validate_by_validator(CifDataItem& item,
                                                        const Definition& definition,
                                                        std::string_view value, bool padded);
    static CifDataItem::Validated check_range(const Definition& definition, std::string_view value);
};

}  // namespace cif::detail
