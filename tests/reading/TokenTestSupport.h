// Runs the token stream over a text and keeps the tokens and diagnostics for inspection.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cif/CifTokenStream.h"

struct Tokenised {
    std::vector<CifToken> tokens;  // the EndOfInput token included
    THandle<CifErrorContainer> errors{new CifErrorContainer};

    std::vector<CifError> diagnostics() const {
        return std::vector<CifError>(errors->begin(), errors->end());
    }
};

inline Tokenised tokenise(std::istream& input, CifParserSettings settings = CifParserSettings()) {
    Tokenised result;
    CifTokenStream stream(&input, result.errors, settings);
    do {
        result.tokens.push_back(stream.get_token());
    } while (result.tokens.back().type != CifToken::EndOfInput);
    return result;
}

inline Tokenised tokenise(const std::string& text,
                          CifParserSettings settings = CifParserSettings()) {
    std::istringstream input(text);
    return tokenise(input, settings);
}
