#include "host/CrystalChemicalFormula.h"

#include <cctype>
#include <charconv>

#include "host/Element.h"

namespace {

bool is_upper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool is_letter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool is_number_start(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

// A count at p (whole or decimal), or 1 when none stands there.
double read_count(const char*& p, const char* end) {
    if (p == end || !is_number_start(*p)) return 1.0;
    double count = 1.0;
    const std::from_chars_result read = std::from_chars(p, end, count);
    if (read.ec != std::errc()) return 1.0;
    p = read.ptr;
    return count;
}

// The symbol at p: a capital and a small letter as the periodic table writes it; a run of
// letters written all in one case is a symbol of one or two letters ("CL", "cl").
std::string read_symbol(const char*& p, const char* end) {
    const char* start = p++;
    const bool one_case = p != end && is_letter(*p) && is_upper(*p) == is_upper(*start);
    if (p != end && is_letter(*p) && !is_upper(*p) && is_upper(*start)) {
        ++p;
    } else if (one_case && Element(std::string(start, p + 1)).is_known()) {
        ++p;
    }
    return std::string(start, p);
}

using Counts = std::vector<std::pair<std::string, double>>;

// Symbols with counts up to the end or, inside parentheses, the closing one; a group is
// followed by its multiplier. Anything else (blanks, charges such as "2-") is skipped.
Counts read_sequence(const char*& p, const char* end, bool in_group) {
    Counts counts;
    while (p != end) {
        const char c = *p;
        if (c == ')' && in_group) {
            ++p;
            return counts;
        }
        if (c == '(') {
            ++p;
            const Counts group = read_sequence(p, end, true);
            const double multiplier = read_count(p, end);
            for (const auto& [symbol, count] : group)
                counts.emplace_back(symbol, count * multiplier);
        } else if (is_letter(c)) {
            const std::string symbol = read_symbol(p, end);
            counts.emplace_back(symbol, read_count(p, end));
        } else {
            ++p;
        }
    }
    return counts;
}

// The moieties of the text, each without surrounding blanks.
std::vector<std::string> split_moieties(const std::string& text) {
    std::vector<std::string> moieties(1);
    for (char c : text) {
        if (c == ',') {
            moieties.emplace_back();
        } else if (c != ' ' || !moieties.back().empty()) {
            moieties.back() += c;
        }
    }
    for (std::string& moiety : moieties) {
        while (!moiety.empty() && moiety.back() == ' ')
            moiety.pop_back();
    }
    return moieties;
}

}  // namespace

CrystalChemicalFormula::CrystalChemicalFormula(const std::string& text, bool by_moiety) {
    for (const std::string& moiety : split_moieties(text)) {
        if (moiety.empty()) continue;
        if (by_moiety) moieties_.push_back(moiety);
        const char* p = moiety.c_str();
        const char* const end = p + moiety.size();
        const double multiplier = read_count(p, end);  // "2(H2 O)" is two waters
        for (const auto& [symbol, count] : read_sequence(p, end, false))
            add(symbol, count * multiplier);
    }
}

void CrystalChemicalFormula::add(const std::string& symbol, double count) {
    const Element element(symbol);
    const std::string name = element.is_known() ? element.symbol() : symbol;
    if (!element.is_known()) unknown_.push_back(symbol);
    for (auto& known : elements_) {
        if (known.first == name) {
            known.second += count;
            return;
        }
    }
    elements_.emplace_back(name, count);
}

double CrystalChemicalFormula::molecular_weight_sum() const {
    double weight = 0.0;
    for (const auto& [symbol, count] : elements_)
        weight += Element(symbol).atomic_weight() * count;
    return weight;
}
