// DatabaseEntryIdentifier: the name of one entry of a database, compared byte for byte.
#pragma once

#include <ostream>
#include <string>

#include "host/HostApi.h"

class HOST_API DatabaseEntryIdentifier {
  public:
    /// The longest identifier a database keeps unless it says otherwise.
    static const int maximum_length_ = 75;

    DatabaseEntryIdentifier() = default;
    DatabaseEntryIdentifier(const std::string& text) : text_(text) {}  // NOLINT: a name is text
    DatabaseEntryIdentifier(const char* text) : text_(text) {}         // NOLINT

    const std::string& str() const { return text_; }
    operator const std::string&() const { return text_; }  // NOLINT: usable as its text

    bool operator==(const DatabaseEntryIdentifier& other) const { return text_ == other.text_; }
    bool operator!=(const DatabaseEntryIdentifier& other) const { return text_ != other.text_; }
    bool operator<(const DatabaseEntryIdentifier& other) const { return text_ < other.text_; }

  private:
    std::string text_;
};

inline std::ostream& operator<<(std::ostream& out, const DatabaseEntryIdentifier& id) {
    return out << id.str();
}
