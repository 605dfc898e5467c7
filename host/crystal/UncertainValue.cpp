#include "host/UncertainValue.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>
#include <string>

namespace {

bool is_digit(int c) {
    return c >= '0' && c <= '9';
}

// Reads characters through the stream buffer, so that looking past the last one does not
// fail the stream; the end of input sets eofbit when the reading is done.
class Characters {
  public:
    explicit Characters(std::istream& in) : in_(in), buffer_(*in.rdbuf()) {}
    ~Characters() {
        if (peek() == eof) in_.setstate(std::ios::eofbit);
    }
    int peek() { return buffer_.sgetc(); }
    char take() { return static_cast<char>(buffer_.sbumpc()); }
    // Moves characters to the text while they pass the test; how many moved.
    template <class Test>
    int take_while(std::string& text, Test test) {
        int taken = 0;
        for (int c = peek(); c != eof && test(c); c = peek(), ++taken)
            text += take();
        return taken;
    }

  private:
    static constexpr int eof = std::char_traits<char>::eof();
    std::istream& in_;
    std::streambuf& buffer_;
};

// The characters of a text in memory, read like Characters.
class TextCharacters {
  public:
    explicit TextCharacters(std::string_view text) : text_(text) {}
    bool at_end() const { return next_ == text_.size(); }
    int peek() const { return at_end() ? -1 : static_cast<unsigned char>(text_[next_]); }
    char take() { return at_end() ? '\0' : text_[next_++]; }
    template <class Test>
    int take_while(std::string& text, Test test) {
        const std::size_t first = next_;
        while (!at_end() && test(peek()))
            ++next_;
        text.append(text_, first, next_ - first);
        return static_cast<int>(next_ - first);
    }

  private:
    std::string_view text_;
    std::size_t next_ = 0;
};

// The decimals an uncertainty needs to show one or two significant digits, at most 2 of
// them 19 or less (the usual convention: 0.0012 is (12), 0.03 is (3)).
int decimals_for(double uncertainty) {
    int decimals = 0;
    while (decimals < 15 && uncertainty * std::pow(10.0, decimals) < 2.0 - 1e-9)
        ++decimals;
    return decimals;
}

// Reads the number the whole text spells into `number`, leaving it as it was when the number
// is out of the type's range.
template <class Number>
std::errc read_number(const std::string& text, Number& number) {
    const char* first = text.data() + (!text.empty() && text[0] == '+');
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), number);
    return error;
}

// Exponents beyond this give no double but zero or infinity: a text with one is no value.
constexpr int largest_exponent = 400;

// One value and its uncertainty; false when the text is none, or a number no double holds.
template <class Source>
bool read_value(Source& in, double& value, Uncertainty& uncertainty) {
    std::string number;
    if (in.peek() == '+' || in.peek() == '-') number += in.take();
    const int digits = in.take_while(number, is_digit);
    int fraction_digits = 0;
    if (in.peek() == '.') {
        number += in.take();
        fraction_digits = in.take_while(number, is_digit);
    }
    if (digits + fraction_digits == 0) return false;
    int exponent = 0;
    if (in.peek() == 'e' || in.peek() == 'E') {
        std::string exponent_text(1, in.take());
        if (in.peek() == '+' || in.peek() == '-') exponent_text += in.take();
        if (in.take_while(exponent_text, is_digit) == 0) return false;
        if (read_number(exponent_text.substr(1), exponent) != std::errc() ||
            std::abs(exponent) > largest_exponent) {
            return false;
        }
        number += exponent_text;
    }
    double read = 0.0;
    // Out of range: too large for a double is no value; too small is zero.
    if (read_number(number, read) != std::errc() && exponent + digits > 0) return false;
    const int decimals = std::max(0, fraction_digits - exponent);
    Uncertainty stated = Uncertainty::stated_to(decimals);
    if (in.peek() == '(') {
        in.take();
        std::string units;
        double unit_count = 0.0;
        if (in.take_while(units, is_digit) == 0 || in.take() != ')') return false;
        if (read_number(units, unit_count) != std::errc()) return false;
        const double size = unit_count * std::pow(10.0, exponent - fraction_digits);
        if (!std::isfinite(size)) return false;
        stated = Uncertainty(size, decimals);
    }
    value = read;
    uncertainty = stated;
    return true;
}

}  // namespace

void UncertainValue::parse(std::istream& in) {
    std::istream::sentry sentry(in);  // skips leading white space
    if (!sentry) return;
    bool read = false;
    {
        Characters text(in);
        read = read_value(text, value_, uncertainty_);
    }
    if (!read) in.setstate(std::ios::failbit);
}

std::optional<UncertainValue> UncertainValue::from_text(std::string_view text) {
    TextCharacters characters(text);
    UncertainValue number;
    if (!read_value(characters, number.value_, number.uncertainty_) || !characters.at_end()) {
        return std::nullopt;
    }
    return number;
}

void UncertainValue::print(std::ostream& out) const {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    int decimals = uncertainty_.decimals();
    if (decimals < 0 && uncertainty_.given() && uncertainty_.value() > 0.0) {
        decimals = decimals_for(uncertainty_.value());
    }
    if (decimals < 0) {
        text << value_;
    } else {
        text.setf(std::ios::fixed);
        text.precision(decimals);
        text << value_;
        if (uncertainty_.given()) {
            text << '(' << std::llround(uncertainty_.value() * std::pow(10.0, decimals)) << ')';
        }
    }
    out << text.str();
}

Range<double, DoubleComparator> UncertainValue::range(double k) const {
    const double spread = k * uncertainty_.value();
    return Range<double, DoubleComparator>::inclusive(value_ - spread, value_ + spread,
                                                      DoubleComparator());
}
