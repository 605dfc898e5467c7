// Fuzz target: arbitrary bytes read as a DDL1 dictionary, then a small CIF validated and
// checked against whatever definitions and rules were read. Nothing may crash, leak or
// throw.
#include <cif/Cif.h>
#include <cif/CifConcreteDictionary.h>
#include <cif/CifDictionaryRuleChecker.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream dictionary_text(std::string(reinterpret_cast<const char*>(data), size));
    THandle<CifConcreteDictionary> dictionary = make_handle<CifConcreteDictionary>();
    dictionary->read(dictionary_text, make_handle<CifErrorContainer>(), nullptr);
    std::istringstream cif_text(
        "data_x\n_a 1.5(2)\n_b 'H~2~O'\nloop_ _c _d\nyes 1e3\n? -2\nyes 1e3\n"
        "loop_ _e _a_ _b_\nx y z\n");
    THandle<Cif> cif = make_handle<Cif>(dictionary);
    cif->read(cif_text, CifParserSettings());
    cif->check_mandatory({"_a", "_e"}, {"_c", "_f"});
    CifDictionaryRuleChecker(cif).check();
    return 0;
}
