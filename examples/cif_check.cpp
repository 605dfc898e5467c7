// cif-check: reads CIF files, prints each diagnostic as "FILE: rendered diagnostic" and a
// summary line per file, and optionally writes the document back.
//
//   cif-check [--write OUT] FILE...
//
// OUT is a file name, or - for standard output. Exits with 1 when any file has an Error
// diagnostic, 2 on bad usage.
#include <cif/Cif.h>
#include <cif/CifConcreteDictionary.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <vector>

namespace {

struct Options {
    std::string write_to;
    std::vector<std::string> files;
};

bool parse_options(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--write") == 0) {
            if (++i == argc) return false;
            options.write_to = argv[i];
        } else {
            options.files.push_back(argv[i]);
        }
    }
    return !options.files.empty();
}

void print_summary(const std::string& path, const Cif& cif) {
    std::size_t items = 0;
    std::size_t loops = 0;
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        items += (*block)->item_count();
        loops +=
            static_cast<std::size_t>(std::distance((*block)->begin_loops(), (*block)->end_loops()));
    }
    const CifErrorContainer& errors = *cif.errors();
    std::cout << path << ": " << cif.blocks() << " blocks, " << items << " items, " << loops
              << " loops, " << errors.errors_of_type(CifError::Error) << " errors, "
              << errors.errors_of_type(CifError::Warning) << " warnings\n";
}

bool write_document(const Cif& cif, const std::string& target) {
    if (target == "-") {
        cif.write(std::cout, CifWriteSettings());
        return std::cout.good();
    }
    std::ofstream out(target, std::ios::binary);
    cif.write(out, CifWriteSettings());
    return out.good();
}

// Returns false when the file has an Error diagnostic or cannot be written back.
bool check(const std::string& path, const std::string& write_to) {
    Cif cif(THandle<CifDictionary>(new CifConcreteDictionary));
    std::ifstream in(path, std::ios::binary);
    cif.read(in, CifParserSettings());
    for (const CifError& error : *cif.errors()) {
        std::cout << path << ": " << error.complete_message() << '\n';
    }
    print_summary(path, cif);
    if (!write_to.empty() && !write_document(cif, write_to)) {
        std::cerr << "cif-check: cannot write " << write_to << '\n';
        return false;
    }
    return cif.errors()->errors_of_type(CifError::Error) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::cerr << "usage: cif-check [--write OUT] FILE...\n";
        return 2;
    }
    bool clean = true;
    for (const std::string& file : options.files)
        clean = check(file, options.write_to) && clean;
    return clean ? 0 : 1;
}
