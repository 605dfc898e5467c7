// cif-bench: read and write throughput of the library on three texts, raced against gemmi's
// CIF reader on the same bytes when gemmi is present: one real structure ("small"), real
// structures concatenated to about 50 MB ("structures"), and real structures mixed with long
// generated atom-site loops ("large").
//
//   cif-bench [DATA_DIR [MORE_CIF_DIR]]  timings; one line per measurement
//   cif-bench --rss FILE        reads FILE into a document and prints the peak resident size
//   cif-bench --write-structures FILE [DATA_DIR [MORE_CIF_DIR]]  writes the structures text
//   cif-bench --write-large FILE [DATA_DIR [MORE_CIF_DIR]]       writes the large text
//   cif-bench --read FILE       prints the best of three reads of FILE from memory, in seconds
//                               (bench/python_bench.py races the Python module against it)
//
// Plain timer, best of several runs; not part of the test run.
#include <cif/Cif.h>
#include <cif/CifCell.h>
#include <cif/CifConcreteDictionary.h>
#include <cif/CifDatabase.h>
#include <cif/CifDictionaryPool.h>
#include <cif/CifMolecule.h>
#include <host/BondDetector.h>
#include <host/FileOrderedAtom3d.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#ifdef CIF_BENCH_GEMMI
#include <gemmi/cif.hpp>
#endif

namespace fs = std::filesystem;

namespace {

// An input stream buffer over bytes in memory, so that no run pays for a copy.
class MemoryBuffer : public std::streambuf {
  public:
    explicit MemoryBuffer(const std::string& text) {
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

// An output stream buffer that only counts, so that writing is timed without the disk.
class CountingBuffer : public std::streambuf {
  public:
    std::size_t count() const { return count_ + static_cast<std::size_t>(pptr() - pbase()); }

  protected:
    int_type overflow(int_type c) override {
        count_ += static_cast<std::size_t>(pptr() - pbase());
        setp(buffer_, buffer_ + sizeof buffer_);
        if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        count_ += static_cast<std::size_t>(n);
        return n;
    }

  private:
    char buffer_[1 << 16];
    std::size_t count_ = 0;
};

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Renames every block header so that the copies of a file do not share block names.
std::string with_renamed_blocks(const std::string& text, int copy) {
    std::string out;
    out.reserve(text.size() + 64);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        out += line;
        if (line.compare(0, 5, "data_") == 0) out += "_" + std::to_string(copy);
        out += '\n';
    }
    return out;
}

// A block with one long atom-site loop.
std::string long_loop_block(int index, int rows) {
    std::string out = "data_long_loop_" + std::to_string(index) +
                      "\nloop_\n_atom_site_label\n"
                      "_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
                      "_atom_site_fract_z\n_atom_site_U_iso_or_equiv\n";
    char row[160];
    for (long i = 0; i < rows; ++i) {
        std::snprintf(row, sizeof row, "C%ld C 0.%04ld(3) 0.%04ld(4) 0.%04ld(2) 0.0%03ld(5)\n", i,
                      (i * 7919) % 10000, (i * 104729) % 10000, (i * 1299709) % 10000, i % 1000);
        out += row;
    }
    return out;
}

// Copies of the structures, block names made unique, to about `target` bytes; with
// `loop_rows`, each round of copies is followed by a generated loop of that many rows.
std::string concatenate(const std::vector<std::string>& structures, std::size_t target,
                        int loop_rows = 0) {
    std::string out;
    out.reserve(target + (1 << 20));
    for (int copy = 0; out.size() < target; ++copy) {
        for (const std::string& text : structures)
            out += with_renamed_blocks(text, copy);
        if (loop_rows > 0) out += long_loop_block(copy, loop_rows);
    }
    return out;
}

template <class Work>
double best_seconds(int runs, Work work) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

void report(const std::string& what, std::size_t bytes, double seconds) {
    std::printf("%-44s %8.1f MB/s\n", what.c_str(), double(bytes) / 1e6 / seconds);
}

void report_ratio(const std::string& what, double ratio) {
    std::printf("%-44s %8.2f\n", what.c_str(), ratio);
}

THandle<Cif> read_document(const std::string& text, THandle<CifDictionary> dictionary =
                                                        make_handle<CifConcreteDictionary>()) {
    THandle<Cif> cif = make_handle<Cif>(dictionary);
    MemoryBuffer buffer(text);
    std::istream in(&buffer);
    cif->read(in, CifParserSettings());
    return cif;
}

double read_seconds(const std::string& text) {
    return best_seconds(1, [&] { read_document(text); });
}

#ifdef CIF_BENCH_GEMMI
double gemmi_read_seconds(const std::string& text) {
    return best_seconds(1, [&] {
        gemmi::cif::Document doc = gemmi::cif::read_memory(text.data(), text.size(), "bench");
    });
}
#endif

// Times our reader, our writer and (when built with it) gemmi's reader on the text. The two
// readers take turns, so that neither inherits a heap the other has warmed up.
void measure(const std::string& name, const std::string& text, int runs) {
    double ours = 1e30;
    double theirs = 1e30;
    for (int i = 0; i < runs; ++i) {
        ours = std::min(ours, read_seconds(text));
#ifdef CIF_BENCH_GEMMI
        theirs = std::min(theirs, gemmi_read_seconds(text));
#endif
    }
    report("read " + name + " cif", text.size(), ours);
    THandle<Cif> cif = read_document(text);
    std::size_t written = 0;
    double writing = best_seconds(runs, [&] {
        CountingBuffer counter;
        std::ostream out(&counter);
        cif->write(out, CifWriteSettings());
        written = counter.count();
    });
    report("write " + name + " cif", written, writing);
#ifdef CIF_BENCH_GEMMI
    report("read " + name + " gemmi", text.size(), theirs);
    report_ratio("ratio " + name + " cif/gemmi", theirs / ours);
#else
    (void)theirs;
#endif
}

THandle<CifConcreteDictionary> read_dictionary(const std::string& text) {
    THandle<CifConcreteDictionary> dictionary = make_handle<CifConcreteDictionary>();
    MemoryBuffer buffer(text);
    std::istream in(&buffer);
    dictionary->read(in, make_handle<CifErrorContainer>(), nullptr);
    return dictionary;
}

// Reading the dictionary itself, then the text with every value validated against it.
void measure_validation(const fs::path& data, const std::string& name, const std::string& text,
                        int runs) {
    const std::string core_text = read_file(data / "dict" / "cif_core.dic");
    double reading = best_seconds(10 * runs, [&] { read_dictionary(core_text); });
    report("read cif_core.dic", core_text.size(), reading);
    THandle<CifDictionary> core = read_dictionary(core_text);
    double plain = 1e30;
    double validated = 1e30;
    for (int i = 0; i < runs; ++i) {
        plain = std::min(plain, read_seconds(text));
        validated = std::min(validated, best_seconds(1, [&] { read_document(text, core); }));
    }
    report("read " + name + " cif with cif_core.dic", text.size(), validated);
    report_ratio("ratio " + name + " validated/empty dictionary", plain / validated);
}

// Dropping the last handle to a document frees every block, item and loop of it; the share
// is of a read that includes it, as the read figures do.
void measure_destruction(const std::string& name, const std::string& text, int runs) {
    double share = 1.0;
    for (int i = 0; i < runs; ++i) {
        THandle<Cif> cif;
        const double reading = best_seconds(1, [&] { cif = read_document(text); });
        const double destroying = best_seconds(1, [&] { cif = THandle<Cif>(); });
        share = std::min(share, destroying / (reading + destroying));
    }
    report_ratio("share of the " + name + " read spent destroying", share);
}

// Opening the text as a database and listing its identifiers converts no entry: it costs the
// read and the sorting of blocks into entries.
void measure_database(const std::string& text, int runs) {
    double reading = 1e30, opening = 1e30;
    std::size_t listed = 0;
    for (int i = 0; i < runs; ++i) {
        reading = std::min(reading, read_seconds(text));
        opening = std::min(opening, best_seconds(1, [&] {
                               CifDatabase database;
                               MemoryBuffer buffer(text);
                               std::istream in(&buffer);
                               database.read(in);
                               listed = 0;
                               for (int e = 0; e < database.size(); ++e)
                                   listed += database.identifier(e).str().size();
                           }));
    }
    report("open large cif as a database, list entries", text.size(), opening);
    report_ratio("ratio database open/document read", opening / reading);
}

// The contents of a 2 x 2 x 2 block of cells of a real structure as the atoms of one P 1
// cell: an asymmetric unit of thousands of atoms for the bond detector.
std::vector<THandle<Atom>> supercell_atoms(const CrystalMaker& maker, Cell& supercell) {
    const Cell& cell = maker.cell();
    supercell = Cell(UncertainValue(2 * cell.a().value()), UncertainValue(2 * cell.b().value()),
                     UncertainValue(2 * cell.c().value()),
                     UncertainValue(cell.alpha().value() * 57.29577951308232),
                     UncertainValue(cell.beta().value() * 57.29577951308232),
                     UncertainValue(cell.gamma().value() * 57.29577951308232), Spacegroup());
    std::vector<THandle<Atom>> atoms;
    const THandle<Crystal> crystal = maker.create_crystal();
    for (int shift = 0; shift < 8; ++shift) {
        const int cell_shift[3] = {shift & 1, (shift >> 1) & 1, (shift >> 2) & 1};
        for (const THandle<Molecule>& molecule : *crystal->molecules()) {
            for (auto atom = molecule->atoms_begin(); atom != molecule->atoms_end(); ++atom) {
                Site::Point x = (*atom)->site()->fractional();
                for (int i = 0; i < 3; ++i)
                    x[i] = (x[i] + cell_shift[i]) / 2;
                auto site = make_handle<Site>(x, Site::Point{}, UncertainValue(1.0),
                                              THandle<Array<Uncertainty, 3>>(),
                                              THandle<AtomicDisplacementParameters>());
                atoms.push_back(make_handle<FileOrderedAtom3d>(
                    int(atoms.size()), (*atom)->element(), (*atom)->label(), site));
            }
        }
    }
    return atoms;
}

// Whole molecules of a real structure, and bond detection on a large asymmetric unit.
void measure_molecules(const fs::path& data) {
    THandle<Cif> cif =
        read_document(read_file(data / "cif" / "7052819-thermal-hist-with-newlines.cif"));
    CifErrorContainer errors;
    const THandle<Cell> cell = CifCell::read(cif->block(0), errors);
    THandle<CrystalMaker> maker;
    const double reading =
        best_seconds(20, [&] { maker = CifMolecule::crystal_maker(cif->block(0), *cell, errors); });
    std::printf("%-44s %8.2f ms\n", "molecules of a 110-atom structure (P21/c)", reading * 1e3);
    Cell supercell = *cell;
    const std::vector<THandle<Atom>> atoms = supercell_atoms(*maker, supercell);
    const BondDetector detector(BondDetector::CompleteMolecules, BondDetector::DisorderAware,
                                BondDistanceLimit::standard());
    std::size_t found = 0;
    const double detecting =
        best_seconds(3, [&] { found = detector.molecules(atoms, supercell)->size(); });
    std::printf("%-44s %8.2f ms (%zu molecules)\n",
                ("bonds of " + std::to_string(atoms.size()) + " atoms in P 1").c_str(),
                detecting * 1e3, found);
}

int measure_peak_memory(const char* path) {
    struct rusage before;
    getrusage(RUSAGE_SELF, &before);
    std::ifstream in(path, std::ios::binary);
    Cif cif(make_handle<CifConcreteDictionary>());
    cif.read(in, CifParserSettings());
    struct rusage after;
    getrusage(RUSAGE_SELF, &after);
    const double file_mb = double(fs::file_size(path)) / 1e6;
    const double peak_mb = double(after.ru_maxrss) / 1e3;  // ru_maxrss is in KiB
    std::printf("peak resident size holding %.1f MB: %.1f MB (%.2f x the file, %.1f MB before)\n",
                file_mb, peak_mb, peak_mb / file_mb, double(before.ru_maxrss) / 1e3);
    return cif.blocks() > 0 ? 0 : 1;
}

// The structure files of the data folder, and of a second folder of CIF files when given,
// each file name once.
std::vector<fs::path> structure_files(const fs::path& data, const fs::path& more) {
    std::vector<fs::path> files;
    for (const fs::path& folder : {data / "cif", more}) {
        if (folder.empty() || !fs::is_directory(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            const fs::path name = entry.path().filename();
            if (entry.path().extension() != ".cif") continue;
            if (std::none_of(files.begin(), files.end(),
                             [&name](const fs::path& f) { return f.filename() == name; })) {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Real structures mixed with long generated atom-site loops, about 60 MB.
std::string large_text(const std::vector<std::string>& structures) {
    return concatenate(structures, 60u * 1000 * 1000, 20000);
}

std::vector<std::string> read_structures(const std::vector<fs::path>& files) {
    std::vector<std::string> structures;
    for (const fs::path& file : files)
        structures.push_back(read_file(file));
    return structures;
}

#ifdef CIF_BENCH_CHECK
// Wall-clock seconds of a command run through the shell, its output discarded.
double command_seconds(const std::string& command, int runs) {
    return best_seconds(runs, [&] {
        if (std::system((command + " >/dev/null 2>&1").c_str()) < 0) std::perror("system");
    });
}

// A whole check as users run one, each program reading the dictionary, then checking every
// value and the loops against it: cif-check --dict --rules beside gemmi validate -d.
void measure_whole_checks(const fs::path& data, const std::vector<fs::path>& files) {
    if (std::system("gemmi --version >/dev/null 2>&1") != 0) {
        std::printf("whole checks: the gemmi program is not installed\n");
        return;
    }
    const std::string dictionary = (data / "dict" / "cif_core.dic").string();
    const std::string ours =
        std::string(CIF_BENCH_CHECK) + " --jobs 1 --rules --dict " + dictionary;
    const std::string theirs = "gemmi validate -d " + dictionary;
    const auto race = [&](const std::string& what, const std::string& inputs, int runs) {
        const double mine = command_seconds(ours + inputs, runs);
        const double gemmi = command_seconds(theirs + inputs, runs);
        std::printf("%-44s %8.1f ms, gemmi validate %.1f ms, ratio %.2f\n",
                    ("check " + what + " cif-check").c_str(), mine * 1e3, gemmi * 1e3,
                    gemmi / mine);
    };
    race("4003024.cif", " " + (data / "cif" / "4003024.cif").string(), 10);
    std::string all;
    for (const fs::path& file : files)
        all += " " + file.string();
    race(std::to_string(files.size()) + " structures", all, 3);
}
#endif

int print_peak_memory(const char* self, const std::string& name, const std::string& text) {
    const fs::path file = fs::temp_directory_path() / ("cif-bench-" + name + ".cif");
    std::ofstream(file, std::ios::binary) << text;
    const std::string command = std::string(self) + " --rss " + file.string();
    std::fflush(stdout);  // our lines before the child's
    const int status = std::system(command.c_str());
    fs::remove(file);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--rss") return measure_peak_memory(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--read") {
        const std::string text = read_file(argv[2]);
        std::printf("%.6f\n", best_seconds(3, [&] { read_document(text); }));
        return 0;
    }
    const std::string command = argc >= 3 ? argv[1] : "";
    const bool write_only = command == "--write-structures" || command == "--write-large";
    const int first_folder = write_only ? 3 : 1;
    const fs::path data =
        argc > first_folder ? fs::path(argv[first_folder]) : fs::path(CIF_BENCH_DATA_DIR);
    const fs::path more = argc > first_folder + 1 ? fs::path(argv[first_folder + 1])
                                                  : data / ".." / ".." / "shared" / "data" / "cif";
    const std::vector<fs::path> files = structure_files(data, more);
    const std::vector<std::string> structures = read_structures(files);
    if (structures.empty()) {
        std::fprintf(stderr, "cif-bench: no CIF files in %s\n", (data / "cif").c_str());
        return 2;
    }
    const std::string structures_text = concatenate(structures, 50u * 1000 * 1000);
    if (write_only) {
        std::ofstream(argv[2], std::ios::binary)
            << (command == "--write-large" ? large_text(structures) : structures_text);
        return 0;
    }
    measure("small", read_file(data / "cif" / "4003024.cif"), 200);
#ifdef CIF_BENCH_CHECK
    measure_whole_checks(data, files);
#endif
    measure_molecules(data);

    std::printf("structures CIF: %zu files, %.1f MB\n", structures.size(),
                double(structures_text.size()) / 1e6);
    measure("structures", structures_text, 3);
    measure_destruction("structures", structures_text, 3);
    measure_validation(data, "structures", structures_text, 3);

    const std::string large = large_text(structures);
    std::printf("large generated CIF: %.1f MB\n", double(large.size()) / 1e6);
    measure("large", large, 3);
    measure_database(large, 3);

    const int status = print_peak_memory(argv[0], "structures", structures_text) |
                       print_peak_memory(argv[0], "large", large);
    return status == 0 ? 0 : 1;
}
