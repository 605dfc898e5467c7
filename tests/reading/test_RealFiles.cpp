// Real files: the bundled structures, and the shared corpora of structures, edge cases and
// malformed files when they are present. Each is read from every kind of stream, must leave
// usable blocks, and must survive writing and reading again.
#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "Support.h"

namespace {

// Edge-case files holding values the writer's rules cannot give back as they were read:
// their second reading differs from the first.
const std::set<std::string> not_kept_by_writing = {
    "cod-tools--quote-in-quoted.cif",              // bare values starting with a quote
    "cod-tools--various-CIF2-values.cif",          // '#' first, keywords as values, quotes
    "cod-tools-codcif--whitespace-in-values.cif",  // tabs inside values
    "cod-tools-yapp--multi-empty-lines.cif",       // blank lines between a name and its value
};

// Everything a reading gives: the document, the text it writes, its diagnostics.
std::string read_from(std::istream& in) {
    Cif cif(make_handle<CifConcreteDictionary>());
    cif.read(in, CifParserSettings());
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block)
        EXPECT_TRUE(block_invariants_hold(**block)) << (*block)->name();
    std::ostringstream errors;
    cif.errors()->print(errors);
    return dump_document(cif) + written(cif) + errors.str();
}

void check_file(const std::string& path) {
    SCOPED_TRACE(path);
    const std::string text = test_data::read_file(path);
    std::istringstream string_stream(text);
    const std::string expected = read_from(string_stream);
    std::ifstream buffered(path, std::ios::binary);
    std::ifstream unbuffered;
    unbuffered.rdbuf()->pubsetbuf(nullptr, 0);
    unbuffered.open(path, std::ios::binary);
    CharacterSource source(text);
    std::istream characters(&source);
    for (std::istream* in :
         std::initializer_list<std::istream*>{&buffered, &unbuffered, &characters})
        EXPECT_EQ(read_from(*in), expected);

    THandle<Cif> first = read_cif(text);
    const std::string once = written(*first);
    THandle<Cif> second = read_cif(once);
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (not_kept_by_writing.count(name) == 0 && path.find("malformed") == std::string::npos) {
        EXPECT_EQ(dump_document(*second), dump_document(*first));
        EXPECT_EQ(written(*second), once);
    }
}

void check_folder(const std::string& folder) {
    if (folder.empty()) GTEST_SKIP() << "shared corpora not present";
    for (const std::string& path : test_data::files_in(folder, ".cif"))
        check_file(path);
}

TEST(RealFiles, BundledStructures) {
    check_folder(test_data::bundled("cif"));
}

TEST(RealFiles, SharedStructures) {
    check_folder(test_data::shared("cif"));
}

TEST(RealFiles, SharedEdgeCases) {
    check_folder(test_data::shared("edge"));
}

TEST(RealFiles, SharedMalformedFiles) {
    check_folder(test_data::shared("malformed"));
}

// Published structures are well-formed: characters and long lines aside, the reader has
// nothing to say about their syntax.
TEST(RealFiles, PublishedStructuresHaveNoSyntaxErrors) {
    for (const std::string& path : test_data::structures()) {
        THandle<Cif> cif = read_cif(test_data::read_file(path));
        EXPECT_GE(cif->blocks(), 1u) << path;
        for (const CifError& e : problems(*cif)) {
            EXPECT_TRUE(e.id() == CifError::LineTooLong ||
                        e.id() == CifError::InvalidPrintableCharacter)
                << path << ": " << e;
        }
    }
}

// What users' files begin with, how they are stored, and files that cannot be read.
TEST(RealFiles, InputsAsUsersHaveThem) {
    // a byte-order mark is no character of the text
    EXPECT_EQ(dump_document(*read_cif("\xEF\xBB\xBF"
                                      "data_a\n_x 1\n")),
              dump_document(*read_cif("data_a\n_x 1\n")));
    EXPECT_EQ(problems(*read_cif("\xEF\xBB\xBF"
                                 "data_a\n_x 1\n")),
              Errors());
    // CIF 2.0 is refused whole, with one diagnostic
    THandle<Cif> cif2 = read_cif("#\\#CIF_2.0\ndata_a\n_x [1 2]\n_y '''a'b'''\n");
    EXPECT_EQ(all_of(*cif2->errors()), Errors{CifError(CifError::Cif2NotRead, 1)});
    EXPECT_EQ(cif2->blocks(), 0u);
    EXPECT_EQ(read_cif("#\\#CIF_1.1\ndata_a\n")->blocks(), 1u);

    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "cif-inputs";
    std::filesystem::create_directories(folder);
    const std::string plain = test_data::bundled("cif/4003024.cif");
    const std::string text = test_data::read_file(plain);
    const std::string packed = (folder / "4003024.cif.gz").string();
    gzFile out = gzopen(packed.c_str(), "wb");
    gzwrite(out, text.data(), static_cast<unsigned>(text.size()));
    gzclose(out);
    const auto read_path = [](const std::string& path) {
        Cif cif(make_handle<CifConcreteDictionary>());
        cif.read_file(path, CifParserSettings());
        return dump_document(cif) + written(cif) + std::to_string(cif.errors()->size());
    };
    EXPECT_EQ(read_path(packed), read_path(plain));
    const THandle<Cif> from_text = read_cif(text);
    EXPECT_EQ(read_path(plain), dump_document(*from_text) + written(*from_text) +
                                    std::to_string(from_text->errors()->size()));
    // a cut compressed file keeps what could be read and says it is damaged
    const std::string compressed = test_data::read_file(packed);
    const std::string cut = (folder / "cut.cif.gz").string();
    std::ofstream(cut, std::ios::binary) << compressed.substr(0, compressed.size() / 2);
    Cif damaged(make_handle<CifConcreteDictionary>());
    damaged.read_file(cut, CifParserSettings());
    EXPECT_EQ(damaged.blocks(), 1u);
    EXPECT_EQ(*(damaged.errors()->end() - 1),
              CifError(CifError::FileReadFailed, "the file is damaged or cut short", -1));
    // the system's reason when a file cannot be opened
    for (const auto& [path, reason] :
         {std::pair<std::string, std::string>{(folder / "missing.cif").string(),
                                              "No such file or directory"},
          {folder.string(), "Is a directory"}}) {
        Cif cif(make_handle<CifConcreteDictionary>());
        cif.read_file(path, CifParserSettings());
        EXPECT_EQ(all_of(*cif.errors()), Errors{CifError(CifError::FileReadFailed, reason, -1)});
    }
    std::filesystem::remove_all(folder);
}

}  // namespace

// One dictionary serves reads on several threads at once: each thread's documents are what
// a read alone gives, and the dictionary's count is back where it started.
TEST(RealFiles, ThreadsShareOneDictionary) {
    const THandle<CifConcreteDictionary> dictionary = core_dictionary();
    const THandle<CifDictionary> shared = dictionary;
    const int count_before = dictionary.count();
    const std::vector<std::string> paths = test_data::structures();
    const auto read_all = [&] {
        std::vector<std::string> results;
        for (const std::string& path : paths) {
            Cif cif(shared);
            cif.read_file(path, CifParserSettings());
            std::ostringstream errors;
            cif.errors()->print(errors);
            results.push_back(written(cif) + errors.str());
        }
        return results;
    };
    const std::vector<std::string> alone = read_all();
    std::vector<std::vector<std::string>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results)
        threads.emplace_back([&result, &read_all] {
            for (int round = 0; round < 3; ++round)
                result = read_all();
        });
    for (std::thread& thread : threads)
        thread.join();
    for (const auto& result : results)
        EXPECT_EQ(result, alone);
    EXPECT_EQ(dictionary.count(), count_before);
}
