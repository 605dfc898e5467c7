// UncertainValue: a measured number with its standard uncertainty, read and written in the
// notation of CIF files: 12.345(6) is 12.345 with an uncertainty of 0.006.
#pragma once

#include <iosfwd>
#include <optional>
#include <string_view>

#include "host/HostApi.h"
#include "host/Range.h"

/// What is known of a value's uncertainty: the standard uncertainty when one was given, and
/// the decimals the value was stated to when it was read from text (-1 otherwise), so that
/// it is written back as it was read.
class HOST_API Uncertainty {
  public:
    Uncertainty() = default;
    explicit Uncertainty(double value, int decimals = -1)
        : value_(value), decimals_(decimals), given_(true) {}

    /// No uncertainty given for a value stated to that many decimals.
    static Uncertainty stated_to(int decimals) {
        Uncertainty none;
        none.decimals_ = decimals;
        return none;
    }

    double value() const { return value_; }
    bool given() const { return given_; }
    int decimals() const { return decimals_; }

  private:
    double value_ = 0.0;
    int decimals_ = -1;
    bool given_ = false;
};

class HOST_API UncertainValue {
  public:
    UncertainValue() = default;
    explicit UncertainValue(double value) : value_(value) {}
    UncertainValue(double value, Uncertainty uncertainty)
        : value_(value), uncertainty_(uncertainty) {}

    double value() const { return value_; }
    const Uncertainty& uncertainty() const { return uncertainty_; }

    /// Reads one value: an optional sign, digits with an optional decimal point and exponent
    /// ("-.5", "90.", "1.2E-3"), then an optional uncertainty in units of the last digit in
    /// parentheses ("1.2e3(4)" is 1200 with 400). Sets the stream's failbit when no number
    /// starts the text or the parentheses do not hold a whole number; what follows the value
    /// is left unread.
    void parse(std::istream& in);
    /// The number the whole text spells, as parse reads it ("1.234(5)", "-2e3", "7");
    /// nothing for any other text, "?" and "." among them.
    static std::optional<UncertainValue> from_text(std::string_view text);
    /// Writes the value as it was read (with as many decimals) and the uncertainty in units
    /// of the last decimal; a value built from numbers gets the decimals its uncertainty
    /// needs for one or two digits, or six significant digits when it has none.
    void print(std::ostream& out) const;
    /// value - k u to value + k u, both ends inclusive.
    Range<double, DoubleComparator> range(double k) const;

  private:
    double value_ = 0.0;
    Uncertainty uncertainty_;
};
