#include "cif/CifError.h"

#include <ostream>
#include <utility>

#include "cif/CifErrorText.h"

namespace {

// Replaces the first occurrence of the placeholder, if any, by the argument.
void fill(std::string& text, const char* placeholder, std::string_view argument) {
    std::size_t at = text.find(placeholder);
    if (at != std::string::npos) text.replace(at, 3, argument);
}

}  // namespace

CifError::CifError(ErrorID id, int line) : id_(id), line_(line) {}

CifError::CifError(ErrorID id, std::string_view first, int line)
    : id_(id), line_(line), arguments_(first, std::string_view()) {}

CifError::CifError(ErrorID id, std::string_view first, std::string_view second, int line)
    : id_(id), line_(line), arguments_(first, second) {}

CifError::ErrorType CifError::type() const {
    return CifErrorText::type(id_);
}

std::string CifError::message() const {
    std::string text = CifErrorText::message(id_);
    fill(text, "<1>", arguments_.first());
    fill(text, "<2>", arguments_.second());
    return text;
}

std::string CifError::type_as_string() const {
    switch (type()) {
        case Remark:
            return "Remark";
        case Warning:
            return "Warning";
        case Error:
            return "Error";
    }
    return "Unknown";
}

// Built without a stream: a report of a large file renders hundreds of thousands of these.
// std::to_string never groups digits, whatever locale the host set.
std::string CifError::complete_message() const {
    std::string text = type_as_string();
    if (line_ != -1) text += ": Line " + std::to_string(line_) + ' ';
    return text + ": " + message();
}

bool CifError::operator==(const CifError& other) const {
    return id_ == other.id_ && line_ == other.line_ && first_argument() == other.first_argument() &&
           second_argument() == other.second_argument();
}

void CifError::print(std::ostream& out) const {
    out << complete_message();
}

std::ostream& operator<<(std::ostream& out, const CifError& error) {
    error.print(out);
    return out;
}
