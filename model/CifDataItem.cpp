#include "cif/CifDataItem.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cif/CifErrorException.h"
#include "cif/StringFunctionsLibCif.h"
#include "host/TextUtilities.h"
#include "model/CifCharacters.h"
#include "model/CifWriter.h"
#include "model/ReaderAccess.h"

using cif::detail::ReaderAccess;

namespace {

using cif::detail::is_placeholder;

bool is_alpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A plain decimal without exponent of at most 7 digits, such as 0.1234 or -12.5, read as
// its digits over a power of ten: both are exact floats, so the one division is correctly
// rounded, the float strtof gives (Clinger's fast path). False for any other form.
// `decimals` counts the digits after the point.
bool read_short_decimal(const char* p, const char* last, float& number, int& decimals,
                        const char*& end) {
    static constexpr float powers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    const bool negative = *p == '-';
    if (negative) ++p;
    std::uint32_t digits = 0;
    int count = 0;
    decimals = -1;
    for (; p != last; ++p) {
        if (cif::detail::is_digit(*p)) {
            digits = digits * 10 + static_cast<std::uint32_t>(*p - '0');
            if (++count > 7) return false;
            if (decimals >= 0) ++decimals;
        } else if (*p == '.' && decimals < 0) {
            decimals = 0;
        } else {
            break;
        }
    }
    if (count == 0 || (p != last && (*p | 0x20) == 'e')) return false;
    decimals = std::max(decimals, 0);
    number = static_cast<float>(digits) / powers[decimals];
    if (negative) number = -number;
    end = p;
    return true;
}

// A number in the form most values have: a short decimal (below) and, optionally, an s.u. of
// at most 9 digits in parentheses, nothing else. Such a text is a CIF number, reads as its
// decimal, and has no exponent.
struct ShortNumber {
    float number = 0.0f;
    int decimals = 0;
    bool has_su = false;
    int su = 0;
};

bool read_short_number(std::string_view value, ShortNumber& out) {
    const char* last = value.data() + value.size();
    const char* p = nullptr;
    if (!read_short_decimal(value.data(), last, out.number, out.decimals, p)) return false;
    if (p == last) return true;
    if (*p != '(') return false;
    int digits = 0;
    for (++p; p != last && cif::detail::is_digit(*p); ++p) {
        if (++digits > 9) return false;  // before it could pass the int range
        out.su = out.su * 10 + (*p - '0');
    }
    out.has_su = true;
    return digits > 0 && p + 1 == last && *p == ')';
}

// strtof, with a fast path and std::from_chars for the plain decimal forms that nearly every
// value has: they give the same correctly rounded float without the cost of glibc's general
// conversion. The view's text is followed by a NUL, for strtof.
float read_float(std::string_view view, char** end) {
    const char* text = view.data();
    const char* p = text;
    if (*p == '-') ++p;
    const bool plain = cif::detail::is_digit(*p) || (*p == '.' && cif::detail::is_digit(*(p + 1)));
    float number = 0.0f;
    const char* stop = nullptr;
    int decimals = 0;
    if (plain && read_short_decimal(text, text + view.size(), number, decimals, stop)) {
        *end = const_cast<char*>(stop);
        return number;
    }
    if (plain) {
        auto [stop, error] = std::from_chars(text, text + view.size(), number);
        if (error == std::errc()) {
            *end = const_cast<char*>(stop);
            return number;
        }
    }
    return std::strtof(text, end);  // white space, '+', inf, nan, hexadecimal, out of range
}

// sscanf reads numbers as strtof does, but where the text goes on with a letter or a sign
// (an exponent letter without digits, a hexadecimal prefix without digits) its scan may
// take in more, or fail where strtof succeeds; there sscanf itself is asked.
bool strtof_agrees_with_sscanf(const char* end) {
    return !is_alpha(*end) && *end != '+' && *end != '-';
}

// sscanf(text, "%f", &number) == 1, without sscanf's cost for ordinary numbers.
bool scan_number(const char* text, float& number) {
    char* end = nullptr;
    number = read_float(text, &end);
    if (end == text) return false;
    return strtof_agrees_with_sscanf(end) || std::sscanf(text, "%f", &number) == 1;
}

// sscanf(text, "%f(%d)", &number, &esd): the number of conversions.
int scan_number_and_esd(std::string_view view, float& number, int& esd) {
    const char* text = view.data();
    char* end = nullptr;
    number = read_float(view, &end);
    if (end == text) return 0;
    if (!strtof_agrees_with_sscanf(end)) return std::sscanf(text, "%f(%d)", &number, &esd);
    if (*end != '(') return 1;
    const char* digits = end + 1;
    long read = std::strtol(digits, &end, 10);
    if (end == digits) return 1;
    esd = static_cast<int>(std::max<long>(std::min<long>(read, 2147483647L), -2147483647L - 1));
    return 2;
}

CifDataItem::Validated check_number_form(std::string_view value) {
    if (is_cif_number(value.data())) return CifDataItem::Valid;  // a CIF number reads as a float
    float number = 0.0f;
    return scan_number(value.data(), number) ? CifDataItem::BadlyFormattedNumber
                                             : CifDataItem::NotANumber;
}

enum class RangeForm { None, Both, LowerOnly, UpperOnly };

// Which of sscanf's "%f:%f", "%f:" and ":%f" first reads the range text, read as sscanf
// would, without its cost where strtof reads the same.
RangeForm scan_range(const char* text, float& lower, float& upper) {
    char* end = nullptr;
    lower = read_float(text, &end);
    if (end != text && !strtof_agrees_with_sscanf(end)) {
        if (std::sscanf(text, "%f:%f", &lower, &upper) == 2) return RangeForm::Both;
        if (std::sscanf(text, "%f:", &lower) == 1) return RangeForm::LowerOnly;
    } else if (end != text) {
        return *end == ':' && scan_number(end + 1, upper) ? RangeForm::Both : RangeForm::LowerOnly;
    }
    return text[0] == ':' && scan_number(text + 1, upper) ? RangeForm::UpperOnly : RangeForm::None;
}

// Reads the dictionary's range text as sscanf reads "%f:%f", else "%f:", else ":%f"; a
// text that none of them converts is a bad range.
void read_range(const std::string& text, cif::detail::ReaderAccess::Definition& definition) {
    definition.has_range = !text.empty();
    if (!definition.has_range) return;
    switch (scan_range(text.c_str(), definition.lower_bound, definition.upper_bound)) {
        case RangeForm::Both:
            definition.has_lower_bound = definition.has_upper_bound = true;
            break;
        case RangeForm::LowerOnly:
            definition.has_lower_bound = true;
            break;
        case RangeForm::UpperOnly:
            definition.has_upper_bound = true;
            break;
        case RangeForm::None:
            definition.bad_range = true;
            break;
    }
}

// The number of digits directly after the first decimal point.
int decimals(std::string_view text) {
    std::size_t point = text.find('.');
    if (point == std::string_view::npos) return 0;
    std::size_t end = text.find_first_not_of("0123456789", point + 1);
    return static_cast<int>((end == std::string_view::npos ? text.size() : end) - point - 1);
}

// The integer after the first 'e' (or else the first 'E'), as "%d" reads it; 0 when none.
// A NUL follows the text in memory.
int exponent(std::string_view text) {
    std::size_t at = text.find('e');
    if (at == std::string_view::npos) at = text.find('E');
    if (at == std::string_view::npos) return 0;
    return static_cast<int>(std::strtol(text.data() + at + 1, nullptr, 10));
}

// 10 to the power, as std::pow(10.0, power) gives it: the correctly rounded double, from a
// table where the most s.u. scales fall.
double power_of_ten(int power) {
    static constexpr double table[] = {
        1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11,
        1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,
        1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,
        1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22};
    if (power < -22 || power > 22) return std::pow(10.0, power);
    return table[power + 22];
}

void replace_first(std::string& text, char from, char to) {
    std::size_t at = text.find(from);
    if (at != std::string::npos) text[at] = to;
}

// The dictionary's bounds, widened by the allowance an s.u. gives.
CifDataItem::Validated check_bounds(const ReaderAccess::Definition& definition, float number,
                                    double allowance) {
    if (definition.has_lower_bound && double(number) < double(definition.lower_bound) - allowance) {
        return CifDataItem::BelowMinimum;
    }
    if (definition.has_upper_bound && double(number) > double(definition.upper_bound) + allowance) {
        return CifDataItem::AboveMaximum;
    }
    return CifDataItem::Valid;
}

// What check_definition concludes of a number in the short form, without reading it again.
CifDataItem::Validated check_short_number(const ReaderAccess::Definition& definition,
                                          const ShortNumber& number) {
    if (definition.has_range) {
        if (definition.bad_range) return CifDataItem::BadRange;
        double allowance = 0.0;
        if (number.has_su && definition.condition == CifDictionary::COND_ESD) {
            allowance = 3.0 * number.su * power_of_ten(-number.decimals);
        }
        const CifDataItem::Validated bounds = check_bounds(definition, number.number, allowance);
        if (bounds != CifDataItem::Valid) return bounds;
    }
    return number.has_su && definition.condition == CifDictionary::COND_NONE
               ? CifDataItem::UnexpectedEsd
               : CifDataItem::Valid;
}

}  // namespace

CifDataItem::CifDataItem(THandle<CifDictionary> dictionary, const std::string& name)
    : CifDataItem(std::move(dictionary), make_handle<const std::string>(name)) {}

CifDataItem::CifDataItem(THandle<CifDictionary> dictionary, THandle<const std::string> name)
    : name_(std::move(name)), dictionary_(std::move(dictionary)) {
    if (!name_) name_ = make_handle<const std::string>();
    select_validator();
}

CifDataItem::~CifDataItem() = default;

std::string_view CifDataItem::value_view(unsigned int index) const {
    return index < size() ? values_.view(index) : std::string_view();
}

std::optional<UncertainValue> CifDataItem::number(unsigned int index) const {
    return UncertainValue::from_text(value_view(index));
}

bool CifDataItem::has_value() const {
    return !values_.empty();
}

unsigned int CifDataItem::size() const {
    return static_cast<unsigned int>(values_.size());
}

void CifDataItem::clear_value() {
    values_.clear();
}

// Values.

CifDataItem::Validated CifDataItem::set_value(const std::string& value) {
    Validated result = validate(value);
    values_.clear();
    if (!value.empty()) values_.push_back(value);
    return result;
}

CifDataItem::Validated CifDataItem::set_value(unsigned int index, const std::string& value) {
    check_looped("set_value", index);
    Validated result = validate(value);
    values_.set(index, value);
    return result;
}

void CifDataItem::add_value(const std::string& value) {
    check_looped("add_value", size());
    values_.push_back(value);
}

void CifDataItem::copy_value(const THandle<CifDataItem>& other) {
    const CifDataItem& source = *other;
    if (source.size() > 1) check_looped("copy_value", source.size());
    values_ = source.values_;
}

std::string CifDataItem::value() const {
    return values_.empty() ? std::string() : std::string(values_.view(0));
}

std::string CifDataItem::value(unsigned int index) const {
    check_looped("value", index);
    return index < size() ? std::string(values_.view(index)) : std::string();
}

bool CifDataItem::has_significant_value() const {
    return !values_.empty() && !is_placeholder(values_.view(0));
}

bool CifDataItem::has_significant_value(unsigned int index) const {
    check_looped("has_significant_value", index);
    return index < size() && !is_placeholder(values_.view(index));
}

void CifDataItem::remove_value(unsigned int index) {
    check_looped("remove_value", index);
    if (index < size()) values_.erase(index);
}

void CifDataItem::check_looped(const char* action, unsigned int index) const {
    if (looped_ || index == 0) return;
    throw CifErrorException(CifError(CifError::ActionOnUnloopedItem, action, name(), -1));
}

bool CifDataItem::operator==(const CifDataItem& other) const {
    return name() == other.name() && values_ == other.values_;
}

// Dictionary getters.

std::string CifDataItem::category() const {
    return dictionary_->category(name());
}
std::string CifDataItem::list_parent() const {
    return dictionary_->list_link_parent(name());
}
const std::vector<std::string>& CifDataItem::list_reference() const {
    return dictionary_->list_reference(name());
}
std::string CifDataItem::enumeration_default() const {
    return dictionary_->enumeration_default(name());
}
std::string CifDataItem::enumeration_range() const {
    return dictionary_->enumeration_range(name());
}
std::string CifDataItem::definition() const {
    return dictionary_->definition(name());
}
std::string CifDataItem::units() const {
    return dictionary_->units(name());
}
std::string CifDataItem::units_detail() const {
    return dictionary_->units_detail(name());
}
CifDictionary::DataType CifDataItem::type() const {
    return dictionary_->type(name());
}
CifDictionary::DataTypeCond CifDataItem::condition() const {
    return dictionary_->condition(name());
}
CifDictionary::ListType CifDataItem::list() const {
    return dictionary_->list(name());
}
bool CifDataItem::list_mandatory() const {
    return dictionary_->list_mandatory(name());
}
const std::vector<std::string>& CifDataItem::list_child() const {
    return dictionary_->list_link_child(name());
}
const std::vector<Example>& CifDataItem::example() const {
    return dictionary_->example(name());
}
const std::vector<Enumeration>& CifDataItem::enumeration() const {
    return dictionary_->enumeration(name());
}
const std::vector<Relation>& CifDataItem::relation() const {
    return dictionary_->related_item(name());
}

// Validation.

void CifDataItem::select_validator() {
    auto is = [this](std::string_view name) {
        return CaseInsensitiveStringEquality()(this->name(), name);
    };
    if (is("_atom_site_refinement_flags")) {
        validator_ = Validator::RefinementFlags;
    } else if (is("_refine_ls_weighting_scheme")) {
        validator_ = Validator::WeightingScheme;
    } else if (is("_publ_contact_author_phone") || is("_publ_contact_author_fax") ||
               is("_audit_contact_author_phone") || is("_audit_contact_author_fax")) {
        validator_ = Validator::Null;
    } else {
        validator_ = Validator::Default;
    }
}

CifDataItem::Validated CifDataItem::validate(const std::string& value) {
    switch (validator_) {
        case Validator::RefinementFlags:
            return validate_atom_site_refinement_flags(value);
        case Validator::WeightingScheme:
            return validate_refine_ls_weighting_scheme(value);
        case Validator::Null:
            return null_validator(value);
        case Validator::Default:
            break;
    }
    return default_validate(value);
}

ReaderAccess::Definition ReaderAccess::read_definition(const CifDataItem& item) {
    Definition definition;
    definition.type = item.type();
    const bool default_validator = item.validator_ == CifDataItem::Validator::Default;
    if (definition.type == CifDictionary::TYPE_UNDEFINED) {
        definition.markup_only = default_validator;
        return definition;
    }
    definition.condition = item.condition();
    definition.enumeration = &item.enumeration();
    read_range(item.enumeration_range(), definition);
    // Text without a list of permitted values or a range passes whatever it holds.
    definition.markup_only = default_validator && definition.type != CifDictionary::TYPE_NUMB &&
                             definition.enumeration->empty() && !definition.has_range;
    return definition;
}

CifDataItem::Validated ReaderAccess::set_value(CifDataItem& item, const Definition& definition,
                                               std::string_view value) {
    // An empty value passes the default validator, as default_validate() says.
    const CifDataItem::Validated result =
        value.empty() && item.validator_ == CifDataItem::Validator::Default
            ? CifDataItem::Valid
            : validate(item, definition, value);
    item.values_.clear();
    if (!value.empty()) item.values_.push_back(value);
    return result;
}

// Where the definition asks only for balanced markup, and for the placeholders "?" and ".",
// validate() looks at the markup alone: every validator gives what that gives.
CifDataItem::Validated ReaderAccess::validate_by_validator(CifDataItem& item,
                                                           const Definition& definition,
                                                           std::string_view value, bool padded) {
    return item.validator_ == CifDataItem::Validator::Default
               ? check_definition(definition, value, padded)
               : item.validate(std::string(value));
}

void ReaderAccess::take_values(CifDataItem& item, PackedStrings& values) {
    if (values.size() > 1)
        item.check_looped("take_values", static_cast<unsigned int>(values.size()));
    item.values_.swap(values);
}

CifDataItem::Validated ReaderAccess::check_definition(const Definition& definition,
                                                      std::string_view value, bool padded) {
    if (value.empty()) return CifDataItem::Valid;
    if (cif::detail::has_markup_character(value, padded)) {
        CifDataItem::Validated markup = check_super_subscript_markup(std::string(value));
        if (markup != CifDataItem::Valid) return markup;
    }
    if (definition.type == CifDictionary::TYPE_UNDEFINED || is_placeholder(value))
        return CifDataItem::Valid;

    if (!definition.enumeration->empty()) {
        for (const Enumeration& e : *definition.enumeration) {
            if (CaseInsensitiveStringEquality()(e.value, value)) return CifDataItem::Valid;
        }
        return CifDataItem::NotInEnumeration;
    }
    const bool numeric = definition.type == CifDictionary::TYPE_NUMB;
    if (numeric) {
        ShortNumber number;
        if (read_short_number(value, number)) return check_short_number(definition, number);
        CifDataItem::Validated form = check_number_form(value);
        if (form != CifDataItem::Valid) return form;
    }
    CifDataItem::Validated range = check_range(definition, value);
    if (range != CifDataItem::Valid) return range;
    // Only a value with a '(' can read as a number with an s.u.; most have none.
    if (numeric && definition.condition == CifDictionary::COND_NONE &&
        value.find('(') != std::string_view::npos) {
        float number = 0.0f;
        int esd = 0;
        if (scan_number_and_esd(value, number, esd) == 2) return CifDataItem::UnexpectedEsd;
    }
    return CifDataItem::Valid;
}

CifDataItem::Validated CifDataItem::null_validator(const std::string&) {
    return Valid;
}

CifDataItem::Validated CifDataItem::validate_atom_site_refinement_flags(const std::string& value) {
    if (value.empty()) return NotInEnumeration;
    if (is_placeholder(value)) return Valid;
    return value.find_first_not_of("SGRDTUP") == std::string::npos ? Valid : NotInEnumeration;
}

// A scheme written as a keyword and a formula is judged by its keyword.
CifDataItem::Validated CifDataItem::validate_refine_ls_weighting_scheme(const std::string& value) {
    return default_validate(value.substr(0, value.find(' ')));
}

CifDataItem::Validated CifDataItem::default_validate(const std::string& value) {
    return value.empty()
               ? Valid
               : ReaderAccess::check_definition(ReaderAccess::read_definition(*this), value);
}

// Values within three standard uncertainties of a bound are accepted.
CifDataItem::Validated ReaderAccess::check_range(const Definition& definition,
                                                 std::string_view value) {
    if (!definition.has_range) return CifDataItem::Valid;
    if (definition.bad_range) return CifDataItem::BadRange;
    // FORTRAN-style exponents: 1.0D2 is 1.0E2. Few values have one, so few need a copy.
    std::string fortran;
    if (std::any_of(value.begin(), value.end(), [](char c) { return (c | 0x20) == 'd'; })) {
        fortran = value;
        replace_first(fortran, 'D', 'E');
        replace_first(fortran, 'd', 'e');
    }
    const std::string_view text = fortran.empty() ? value : std::string_view(fortran);
    float number = 0.0f;
    int esd = 0;
    int converted = scan_number_and_esd(text, number, esd);
    if (converted == 0) return CifDataItem::Valid;
    double allowance = 0.0;
    if (converted == 2 && definition.condition == CifDictionary::COND_ESD) {
        allowance = 3.0 * esd * power_of_ten(exponent(text) - decimals(text));
    }
    return check_bounds(definition, number, allowance);
}

// Writing.

void CifDataItem::print(std::ostream& os, const CifWriteSettings& settings) const {
    cif::detail::CifWriter(os, settings).item(*this);
}
