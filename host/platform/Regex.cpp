#include "host/Regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace {

std::string pcre2_message(int code) {
    PCRE2_UCHAR buffer[256];
    int length = pcre2_get_error_message(code, buffer, sizeof buffer);
    return length < 0 ? "unknown PCRE2 error " + std::to_string(code)
                      : std::string(reinterpret_cast<const char*>(buffer));
}

uint32_t pcre2_options(int options, const std::string& pattern) {
    if ((options & ~(Regex::Caseless | Regex::Extended)) != 0) {
        throw RegexError("Regex: unknown option word " + std::to_string(options) +
                         " for pattern '" + pattern + "'");
    }
    uint32_t flags = 0;
    if (options & Regex::Caseless) flags |= PCRE2_CASELESS;
    if (options & Regex::Extended) flags |= PCRE2_EXTENDED;
    return flags;
}

struct MatchData {
    explicit MatchData(const pcre2_code* code)
        : data(pcre2_match_data_create_from_pattern(code, nullptr)) {
        if (data == nullptr) throw std::bad_alloc();
    }
    ~MatchData() { pcre2_match_data_free(data); }
    MatchData(const MatchData&) = delete;
    MatchData& operator=(const MatchData&) = delete;
    pcre2_match_data* data;
};

}  // namespace

struct Regex::Compiled {
    pcre2_code* code = nullptr;
    ~Compiled() { pcre2_code_free(code); }
};

Regex::Regex(const std::string& pattern, int options)
    : pattern_(pattern), compiled_(std::make_unique<Compiled>()) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    compiled_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                    pcre2_options(options, pattern), &error, &offset, nullptr);
    if (compiled_->code == nullptr) {
        throw RegexError("Regex: cannot compile '" + pattern + "' at offset " +
                         std::to_string(offset) + ": " + pcre2_message(error));
    }
}

Regex::~Regex() = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;

RegexResults Regex::search_from_position(const std::string& text, std::size_t position) const {
    RegexResults results;
    if (position > text.size()) return results;
    MatchData match(compiled_->code);
    int rc = pcre2_match(compiled_->code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(),
                         position, 0, match.data, nullptr);
    if (rc <= 0) return results;  // no match, or an error such as a match limit: nothing found
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(match.data);
    uint32_t groups = pcre2_get_ovector_count(match.data);
    results.subject_ = text;
    for (uint32_t i = 0; i < groups; ++i) {
        bool set = ovector[2 * i] != PCRE2_UNSET;
        results.spans_.emplace_back(set ? ovector[2 * i] : std::string::npos,
                                    set ? ovector[2 * i + 1] : std::string::npos);
    }
    return results;
}

std::string RegexResults::match(std::size_t i) const {
    if (i >= spans_.size() || spans_[i].first == std::string::npos) return std::string();
    return subject_.substr(spans_[i].first, spans_[i].second - spans_[i].first);
}

std::size_t RegexResults::position(std::size_t i) const {
    return i < spans_.size() ? spans_[i].first : std::string::npos;
}

std::size_t RegexResults::end(std::size_t i) const {
    return i < spans_.size() ? spans_[i].second : std::string::npos;
}

std::string regex_replace(const Regex& regex, const std::string& text,
                          const std::string& replacement, int flags) {
    uint32_t options = PCRE2_SUBSTITUTE_OVERFLOW_LENGTH;
    if ((flags & ReplaceFirstOnly) == 0) options |= PCRE2_SUBSTITUTE_GLOBAL;
    std::string output(text.size() + replacement.size() + 16, '\0');
    for (;;) {
        PCRE2_SIZE length = output.size();
        int rc = pcre2_substitute(
            regex.compiled_->code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0,
            options, nullptr, nullptr, reinterpret_cast<PCRE2_SPTR>(replacement.data()),
            replacement.size(), reinterpret_cast<PCRE2_UCHAR*>(&output[0]), &length);
        if (rc >= 0) {
            output.resize(length);
            return output;
        }
        if (rc != PCRE2_ERROR_NOMEMORY) {
            throw RegexError("regex_replace: '" + replacement + "' for pattern '" +
                             regex.pattern() + "': " + pcre2_message(rc));
        }
        output.resize(length);  // PCRE2 told us the length it needs
    }
}
