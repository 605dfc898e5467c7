#include "host/CrystalSymmetryOperator.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace {

// Translations closer than this to a multiple of 1/24 are that multiple: files write 1/3
// as 0.3333 or 0.33333.
constexpr double fraction_tolerance = 1e-3;

// Into [0, 1), on the nearest 24th when it is that close.
double wrapped(double t) {
    t -= std::floor(t);
    const double nearest = std::round(t * 24.0) / 24.0;
    if (std::fabs(t - nearest) < fraction_tolerance) t = nearest;
    return t >= 1.0 ? 0.0 : t;
}

std::vector<std::string> split_parts(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ',') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    if (parts.size() != 3) {
        throw std::invalid_argument("Symmetry operator '" + text +
                                    "' does not have three comma-separated parts");
    }
    return parts;
}

int variable_index(char c) {
    switch (c | 0x20) {
        case 'x':
            return 0;
        case 'y':
            return 1;
        case 'z':
            return 2;
        default:
            return -1;
    }
}

// A number at p, read whatever the locale: digits with an optional decimal point, or a
// fraction.
double read_number(const char*& p, const std::string& part) {
    const char* const end = part.c_str() + part.size();
    double value = 0.0;
    std::from_chars_result read = std::from_chars(p, end, value);
    if (read.ec != std::errc()) {
        throw std::runtime_error("Expected a number in symmetry operator part '" + part + "'");
    }
    p = read.ptr;
    if (*p != '/') return value;
    double denominator = 0.0;
    read = std::from_chars(p + 1, end, denominator);
    if (read.ec != std::errc() || denominator == 0.0) {
        throw std::runtime_error("Bad fraction in symmetry operator part '" + part + "'");
    }
    p = read.ptr;
    return value / denominator;
}

void skip_blanks(const char*& p) {
    while (*p == ' ' || *p == '\t')
        ++p;
}

std::runtime_error bad_term(const std::string& part) {
    return std::runtime_error("Expected a signed term in symmetry operator part '" + part + "'");
}

// One part: a sum of terms, each a variable with an optional factor or a number, every term
// after the first with its sign ("xy" and "x+2*3" are no operator parts).
void parse_part(const std::string& part, std::array<int, 3>& row, double& translation) {
    const char* p = part.c_str();
    skip_blanks(p);
    if (*p == '\0') throw std::runtime_error("Empty part in symmetry operator");
    for (bool first = true; *p != '\0'; first = false) {
        double sign = 1.0;
        if (*p == '+' || *p == '-') {
            sign = *p == '-' ? -1.0 : 1.0;
            ++p;
            skip_blanks(p);
        } else if (!first) {
            throw bad_term(part);
        }
        if (variable_index(*p) >= 0) {
            row[variable_index(*p++)] += static_cast<int>(sign);
        } else if ((*p >= '0' && *p <= '9') || *p == '.') {
            const double number = read_number(p, part);
            skip_blanks(p);
            const bool factor = *p == '*';
            if (factor) {
                ++p;
                skip_blanks(p);
            }
            if (variable_index(*p) >= 0) {
                row[variable_index(*p++)] += static_cast<int>(std::lround(sign * number));
            } else if (factor) {
                throw bad_term(part);
            } else {
                translation += sign * number;
            }
        } else if (*p == '\0') {
            throw std::runtime_error("Sign without a term in symmetry operator part '" + part +
                                     "'");
        } else {
            throw std::invalid_argument("Unexpected character '" + std::string(1, *p) +
                                        "' in symmetry operator part '" + part + "'");
        }
        skip_blanks(p);
    }
}

// "+1/2", "+1/6", "+0.1234" for a translation in [0, 1); nothing for 0.
std::string translation_text(double t) {
    if (t == 0.0) return std::string();
    const double twenty_fourths = t * 24.0;
    const long whole = std::lround(twenty_fourths);
    if (std::fabs(twenty_fourths - static_cast<double>(whole)) < 1e-9) {
        const long divisor = std::gcd(whole, 24L);
        return "+" + std::to_string(whole / divisor) + "/" + std::to_string(24 / divisor);
    }
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << '+' << t;
    return out.str();
}

}  // namespace

CrystalSymmetryOperator::CrystalSymmetryOperator()
    : rotation_{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}, translation_{0.0, 0.0, 0.0} {}

CrystalSymmetryOperator::CrystalSymmetryOperator(const Rotation& rotation,
                                                 const Translation& translation)
    : rotation_(rotation),
      translation_{wrapped(translation[0]), wrapped(translation[1]), wrapped(translation[2])} {}

std::string CrystalSymmetryOperator::to_string() const {
    static const char variables[] = "xyz";
    std::string text;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) text += ',';
        std::string part;
        for (int j = 0; j < 3; ++j) {
            const int factor = rotation_[i][j];
            if (factor == 0) continue;
            if (factor < 0) {
                part += '-';
            } else if (!part.empty()) {
                part += '+';
            }
            if (std::abs(factor) != 1) part += std::to_string(std::abs(factor));
            part += variables[j];
        }
        std::string translation = translation_text(translation_[i]);
        if (part.empty()) {
            part = translation.empty() ? "0" : translation.substr(1);
        } else {
            part += translation;
        }
        text += part;
    }
    return text;
}

std::array<double, 3> CrystalSymmetryOperator::apply(const std::array<double, 3>& point) const {
    std::array<double, 3> mapped{};
    for (int i = 0; i < 3; ++i) {
        mapped[i] = translation_[i];
        for (int j = 0; j < 3; ++j)
            mapped[i] += rotation_[i][j] * point[j];
    }
    return mapped;
}

bool CrystalSymmetryOperator::operator==(const CrystalSymmetryOperator& other) const {
    if (rotation_ != other.rotation_) return false;
    for (int i = 0; i < 3; ++i) {
        const double d = std::fabs(translation_[i] - other.translation_[i]);
        if (std::min(d, 1.0 - d) > fraction_tolerance) return false;
    }
    return true;
}

namespace {

CrystalSymmetryOperator parse_operator(const std::string& text) {
    const std::vector<std::string> parts = split_parts(text);
    CrystalSymmetryOperator::Rotation rotation{};
    CrystalSymmetryOperator::Translation translation{};
    for (int i = 0; i < 3; ++i)
        parse_part(parts[i], rotation[i], translation[i]);
    return CrystalSymmetryOperator(rotation, translation);
}

}  // namespace

CrystalSymmetryTransformation::CrystalSymmetryTransformation(const std::string& text)
    : CrystalSymmetryOperator(parse_operator(text)) {}
