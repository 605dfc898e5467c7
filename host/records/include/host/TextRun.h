// TextRun: one piece of marked-up text: where it stands (on the line, sub- or superscript)
// and what it is (characters, a Greek letter, another special character).
#pragma once

#include <string>
#include <vector>

#include "host/HostApi.h"

/// One piece of marked-up text.
struct HOST_API TextRun {
    enum Position { Normal = 0, Subscript = 1, Superscript = 2 };
    enum Kind {
        Text = 0,   ///< characters as they are
        Greek = 1,  ///< one Greek letter, named by its Latin letter as CIF writes it ("a", "G")
        Code = 2,   ///< any other special character, as its CIF backslash code ("\\'e", "\\\\db")
    };

    Position position = Normal;
    Kind kind = Text;
    std::string text;
    /// The run opens a new sub- or superscript span (two spans may follow one another).
    bool opens_span = false;

    bool operator==(const TextRun& other) const {
        return position == other.position && kind == other.kind && text == other.text &&
               opens_span == other.opens_span;
    }
};
