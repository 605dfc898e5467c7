// A host program built against the installed library: tokenises a small CIF text.
#include <cif/CifTokenStream.h>

#include <iostream>
#include <sstream>

int main() {
    std::istringstream text("data_x\n_cell_length_a 5.4(1)\n");
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    CifTokenStream tokens(&text, errors, CifParserSettings());
    int values = 0;
    for (CifToken t = tokens.get_token(); t.type != CifToken::EndOfInput; t = tokens.get_token()) {
        values += t.type == CifToken::Value;
    }
    std::cout << "values: " << values << ", diagnostics: " << errors->size() << '\n';
    return values == 1 && errors->empty() ? 0 : 1;
}
