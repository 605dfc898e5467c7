// Regular expressions of the host platform, on PCRE2 (Perl-compatible syntax).
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/HostApi.h"

/// Thrown when a pattern does not compile; the text names the pattern and the offset.
class HOST_API RegexError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// The outcome of one search: the whole match (index 0) and the capture groups.
class HOST_API RegexResults {
  public:
    RegexResults() = default;

    /// True when the search found nothing.
    bool empty_match() const { return spans_.empty(); }
    /// Number of groups, the whole match included (0 when nothing matched).
    std::size_t size() const { return spans_.size(); }
    /// Text of group i; empty for a group that did not take part or does not exist.
    std::string match(std::size_t i = 0) const;
    /// Offset of group i in the searched text, or std::string::npos.
    std::size_t position(std::size_t i = 0) const;
    /// Offset just past group i, or std::string::npos.
    std::size_t end(std::size_t i = 0) const;
    /// The whole match as text.
    operator std::string() const { return match(0); }

  private:
    friend class Regex;
    using Span = std::pair<std::size_t, std::size_t>;  // begin, end; npos when unset
    std::string subject_;
    std::vector<Span> spans_;
};

class HOST_API Regex {
  public:
    enum Options {
        Plain = 0,
        Caseless = 1,  ///< letters match without regard to case
        Extended = 8,  ///< blanks and '#' comments in the pattern are not part of it
    };

    /// Compiles the pattern; throws RegexError when it is invalid or an option is unknown.
    explicit Regex(const std::string& pattern, int options = Plain);
    ~Regex();
    Regex(Regex&&) noexcept;
    Regex& operator=(Regex&&) noexcept;

    /// Leftmost match anywhere in the text.
    RegexResults search(const std::string& text) const { return search_from_position(text, 0); }
    /// Leftmost match that starts at or after the position; empty when the position is
    /// past the end of the text.
    RegexResults search_from_position(const std::string& text, std::size_t position) const;

    const std::string& pattern() const { return pattern_; }

  private:
    friend HOST_API std::string regex_replace(const Regex&, const std::string&, const std::string&,
                                              int);
    struct Compiled;
    std::string pattern_;
    std::unique_ptr<Compiled> compiled_;
};

enum RegexReplaceFlags {
    ReplaceAll = 0,        ///< every match is replaced
    ReplaceFirstOnly = 1,  ///< only the leftmost match is replaced
};

/// The text with matches of the expression replaced. In the replacement, $n or ${n} stands
/// for group n and $$ for a dollar sign.
HOST_API std::string regex_replace(const Regex& regex, const std::string& text,
                                   const std::string& replacement, int flags = ReplaceAll);
