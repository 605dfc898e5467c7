// Fuzz target: arbitrary bytes through Cif::read, then Cif::write of whatever was read.
// Nothing may crash, leak or throw.
#include <cif/Cif.h>
#include <cif/CifConcreteDictionary.h>

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <streambuf>

namespace {

class MemoryBuffer : public std::streambuf {
  public:
    MemoryBuffer(const uint8_t* data, size_t size) {
        char* begin = reinterpret_cast<char*>(const_cast<uint8_t*>(data));
        setg(begin, begin, begin + size);
    }
};

// Accepts and drops everything written to it.
class NullBuffer : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryBuffer input_buffer(data, size);
    std::istream input(&input_buffer);
    Cif cif(THandle<CifDictionary>(new CifConcreteDictionary));
    cif.read(input, CifParserSettings());
    NullBuffer output_buffer;
    std::ostream output(&output_buffer);
    cif.write(output, CifWriteSettings());
    return 0;
}
