// cif-tokens: cuts CIF files into tokens and prints, for each file, its diagnostics and how
// many tokens of each kind it holds. Exits with 1 when any file has an Error diagnostic.
#include <cif/CifTokenStream.h>

#include <fstream>
#include <iostream>
#include <map>

namespace {

const char* type_name(int type) {
    switch (type) {
        case CifToken::Value:
            return "values";
        case CifToken::DataName:
            return "data names";
        case CifToken::DataBlockHeader:
            return "block headers";
        case CifToken::LoopKeyword:
            return "loop keywords";
        case CifToken::Comment:
            return "comments";
        default:
            return "blank lines";
    }
}

// Returns false when the file cannot be read or has an Error diagnostic.
bool report(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cout << path << ": cannot open\n";
        return false;
    }
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    CifTokenStream tokens(&in, errors, CifParserSettings());
    std::map<int, int> counts;
    CifToken token = tokens.get_token();
    for (; token.type != CifToken::EndOfInput; token = tokens.get_token())
        ++counts[token.type];
    for (const CifError& error : *errors)
        std::cout << path << ": " << error.complete_message() << '\n';
    std::cout << path << ": " << token.line << " lines";
    for (const auto& [type, count] : counts)
        std::cout << ", " << count << ' ' << type_name(type);
    std::cout << ", " << errors->errors_of_type(CifError::Error) << " errors, "
              << errors->errors_of_type(CifError::Warning) << " warnings\n";
    return errors->errors_of_type(CifError::Error) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: cif-tokens FILE...\n";
        return 2;
    }
    bool clean = true;
    for (int i = 1; i < argc; ++i)
        clean = report(argv[i]) && clean;
    return clean ? 0 : 1;
}
