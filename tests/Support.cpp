#include "Support.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace test_data {

std::string bundled(const std::string& relative) {
    return (fs::path(CIF_DATA_DIR) / relative).string();
}

std::string shared(const std::string& relative) {
    fs::path folder = fs::path(CIF_SHARED_DATA_DIR) / relative;
    return fs::is_directory(folder) ? folder.string() : std::string();
}

std::vector<std::string> files_in(const std::string& folder, const std::string& ending) {
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().string();
        if (entry.is_regular_file() && name.size() >= ending.size() &&
            name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
            files.push_back(name);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> structures() {
    std::vector<std::string> files = files_in(bundled("cif"), ".cif");
    if (!shared("cif").empty()) {
        for (const std::string& file : files_in(shared("cif"), ".cif"))
            files.push_back(file);
    }
    return files;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot open " << path;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace test_data

THandle<CifConcreteDictionary> dictionary_from(const std::string& text) {
    THandle<CifConcreteDictionary> dictionary = make_handle<CifConcreteDictionary>();
    THandle<CifErrorContainer> errors = make_handle<CifErrorContainer>();
    std::istringstream in(text);
    dictionary->read(in, errors, nullptr);
    EXPECT_EQ(all_of(*errors), Errors());
    return dictionary;
}

THandle<CifConcreteDictionary> core_dictionary() {
    static const THandle<CifConcreteDictionary> core =
        dictionary_from(test_data::read_file(test_data::bundled("dict/cif_core.dic")));
    return core;
}

THandle<Cif> read_cif(const std::string& text, THandle<CifDictionary> dictionary) {
    if (!dictionary) dictionary = make_handle<CifConcreteDictionary>();
    THandle<Cif> cif = make_handle<Cif>(dictionary);
    std::istringstream in(text);
    cif->read(in, CifParserSettings());
    return cif;
}

std::string written(const Cif& cif, const CifWriteSettings& settings) {
    std::ostringstream out;
    cif.write(out, settings);
    return out.str();
}

std::string written(const CifDataBlock& block, const CifWriteSettings& settings) {
    std::ostringstream out;
    block.print(out, settings);
    return out.str();
}

Errors all_of(const CifErrorContainer& errors) {
    return Errors(errors.begin(), errors.end());
}

Errors problems(const Cif& cif) {
    Errors found;
    for (const CifError& e : *cif.errors()) {
        if (e.id() != CifError::NonStandardDataItem) found.push_back(e);
    }
    return found;
}

Names values(const CifDataItem& item) {
    Names out;
    for (unsigned int i = 0; i < item.size(); ++i)
        out.emplace_back(item.value_view(i));
    return out;
}

::testing::AssertionResult block_invariants_hold(const CifDataBlock& block) {
    std::set<const CifDataItem*> written;
    for (auto it = block.begin_write_order(); it != block.end_write_order(); ++it) {
        if (!written.insert(it->get()).second || block.find((*it)->name()) != *it) {
            return ::testing::AssertionFailure() << (*it)->name() << " twice or not indexed";
        }
    }
    if (written.size() != block.item_count()) {
        return ::testing::AssertionFailure() << "index and write order differ in size";
    }
    std::set<std::string, CaseInsensitiveStringLess> columns;
    for (auto loop = block.begin_loops(); loop != block.end_loops(); ++loop) {
        if ((*loop)->empty()) return ::testing::AssertionFailure() << "loop without columns";
        for (const std::string& column : (*loop)->column_names()) {
            THandle<CifDataItem> item = block.find(column);
            if (!item || !item->is_looped() || !columns.insert(column).second) {
                return ::testing::AssertionFailure() << "column " << column;
            }
        }
    }
    for (const CifDataItem* item : written) {
        if (item->is_looped() && columns.count(item->name()) == 0) {
            return ::testing::AssertionFailure() << item->name() << " looped but in no loop";
        }
    }
    return ::testing::AssertionSuccess();
}

std::string token_summary(std::istream& input, THandle<CifErrorContainer> errors,
                          const CifParserSettings& settings) {
    CifTokenStream stream(&input, errors, settings);
    std::string out;
    for (CifToken t = stream.get_token();; t = stream.get_token()) {
        if (t.type == CifToken::BlankLine) continue;
        out += std::to_string(t.type) + ":" + t.text + "@" + std::to_string(t.line);
        if (t.end_line != t.line) out += "-" + std::to_string(t.end_line);
        if (t.type == CifToken::EndOfInput) return out;
        out += ' ';
    }
}

namespace {

void dump_comments(std::ostream& out, const CifCommentable& element) {
    static const char* const positions[] = {"leading", "after name", "after value", "trailing"};
    for (int type = CifCommentable::Leading; type <= CifCommentable::Trailing; ++type) {
        auto position = static_cast<CifCommentable::CommentType>(type);
        if (element.has_comments(position)) {
            out << "  [" << positions[type] << "] " << element.comments(position) << "|\n";
        }
    }
}

}  // namespace

std::string dump_document(const Cif& cif) {
    std::ostringstream out;
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        out << "block " << (*block)->name() << '\n';
        dump_comments(out, **block);
        for (auto it = (*block)->begin_write_order(); it != (*block)->end_write_order(); ++it) {
            out << " item " << (*it)->name() << ((*it)->is_looped() ? " (looped)" : "") << '\n';
            for (const std::string& value : values(**it))
                out << "  = " << value << "|\n";
            dump_comments(out, **it);
        }
        for (auto loop = (*block)->begin_loops(); loop != (*block)->end_loops(); ++loop) {
            out << " loop";
            for (const std::string& c : (*loop)->column_names())
                out << ' ' << c;
            out << '\n';
            dump_comments(out, **loop);
            for (const std::string& rows : (*loop)->row_comments())
                out << "  [rows] " << rows << "|\n";
        }
    }
    return out.str();
}
