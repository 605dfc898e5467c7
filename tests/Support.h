// What the tests share: where the real files are, reading and writing documents, and
// compact text forms of tokens, diagnostics and documents for one-line expectations.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cif/Cif.h"
#include "cif/CifConcreteDictionary.h"
#include "cif/CifTokenStream.h"

namespace test_data {

/// A file or folder of the bundled data.
std::string bundled(const std::string& relative);
/// A folder of the shared corpora, or an empty string when they are absent.
std::string shared(const std::string& relative);
/// The regular files of a folder with the given ending, sorted by name.
std::vector<std::string> files_in(const std::string& folder, const std::string& ending);
/// The bundled structures, and those of the shared corpus when it is present.
std::vector<std::string> structures();
std::string read_file(const std::string& path);

}  // namespace test_data

using Names = std::vector<std::string>;
using Errors = std::vector<CifError>;

/// A dictionary read from DDL1 text; the test fails on any diagnostic.
THandle<CifConcreteDictionary> dictionary_from(const std::string& text);
/// The bundled core dictionary, read once.
THandle<CifConcreteDictionary> core_dictionary();

THandle<Cif> read_cif(const std::string& text,
                      THandle<CifDictionary> dictionary = THandle<CifDictionary>());
std::string written(const Cif& cif, const CifWriteSettings& settings = CifWriteSettings());
std::string written(const CifDataBlock& block,
                    const CifWriteSettings& settings = CifWriteSettings());
/// The diagnostics other than NonStandardDataItem, which an empty dictionary raises for
/// every item.
Errors problems(const Cif& cif);
Errors all_of(const CifErrorContainer& errors);
Names values(const CifDataItem& item);

/// Index and write order hold the same items, once each; every loop has columns; every
/// column names a looped item and stands in one loop only; every looped item has a loop.
::testing::AssertionResult block_invariants_hold(const CifDataBlock& block);

/// A stream buffer with no get area that hands out one character per call, as std::cin does
/// when it is synchronised with stdio.
class CharacterSource : public std::streambuf {
  public:
    explicit CharacterSource(std::string text) : text_(std::move(text)) {}

  protected:
    int_type underflow() override {
        return offset_ < text_.size() ? traits_type::to_int_type(text_[offset_])
                                      : traits_type::eof();
    }
    int_type uflow() override {
        const int_type c = underflow();
        offset_ += c != traits_type::eof();
        return c;
    }

  private:
    std::string text_;
    std::size_t offset_ = 0;
};

/// A stream buffer whose source fails at the first read.
struct FailingSource : std::streambuf {
    int_type underflow() override { throw std::runtime_error("device gone"); }
};

/// Tokens as "type:text@line", text fields with "-end_line", blank lines left out.
std::string token_summary(std::istream& input, THandle<CifErrorContainer> errors,
                          const CifParserSettings& settings = CifParserSettings());
/// Everything observable of a document: blocks, items in write order with their values and
/// comments, loops with their columns and row comments.
std::string dump_document(const Cif& cif);
