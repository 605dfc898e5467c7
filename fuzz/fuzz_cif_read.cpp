// Fuzz target: arbitrary bytes through Cif::read, the consistency checks (cell and symmetry
// included), each block's cell written into a new block, its atoms read into molecules, a
// packed cell and disorder selectors and written back, Cif::write of whatever was read, and
// the document as a database whose entries are converted into a new one and printed.
// Nothing may crash or leak; only the cell and atom reads may throw, and only what they
// promise.
#include <cif/Cif.h>
#include <cif/CifCell.h>
#include <cif/CifConcreteDictionary.h>
#include <cif/CifDatabase.h>
#include <cif/CifMolecule.h>
#include <cif/VexorCifConsistencyChecker.h>
#include <host/VexorLog.h>

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
    static std::ostream quiet(nullptr);  // entries log their remarks; keep the fuzzer's output
    VexorLog::set_stream(&quiet);
    MemoryBuffer input_buffer(data, size);
    std::istream input(&input_buffer);
    THandle<Cif> cif = make_handle<Cif>(make_handle<CifConcreteDictionary>());
    cif->read(input, CifParserSettings());
    VexorCifConsistencyChecker(cif).check_cif();
    for (auto block = cif->block_begin(); block != cif->block_end(); ++block) {
        try {
            THandle<Cell> cell = CifCell::read(*block, *cif->errors());
            THandle<CifDataBlock> copy = make_handle<CifDataBlock>(cif->dictionary(), "data_c", 1);
            CifCell::write(copy, *cell);
            CifMolecule::molecule(*block, *cell, *cif->errors());
            CifMolecule::crystal_maker_disorder_selector(*block, *cell, *cif->errors());
            THandle<CrystalMaker> maker = CifMolecule::crystal_maker(*block, *cell, *cif->errors());
            maker->select_cell();
            maker->select_3d();
            CifMolecule::write(copy, maker->molecules(), *cell);
        } catch (const std::runtime_error&) {
        } catch (const std::invalid_argument&) {
        }
    }
    NullBuffer output_buffer;
    std::ostream output(&output_buffer);
    cif->write(output, CifWriteSettings());
    // The document as a database: entries with their global blocks, records and structures,
    // converted into a new database and printed.
    try {
        CifDatabase database(cif);
        CifDatabase converted;
        for (int i = 0; i < database.size(); ++i) {
            THandle<CrystalStructureDatabaseEntry> entry = database.entry(i);
            entry->publication();
            entry->experimental_info();
            try {
                converted.append(*entry);
            } catch (const std::runtime_error&) {
            } catch (const std::invalid_argument&) {
            }
        }
        if (converted.size() > 0) converted.print(output);
    } catch (const database_error&) {
    }
    return 0;
}
