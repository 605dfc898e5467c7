#include "TestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

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

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot open " << path;
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace test_data
