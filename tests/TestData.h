// Where the tests find real CIF files: the bundled ones, and the optional shared corpora.
#pragma once

#include <string>
#include <vector>

namespace test_data {

/// The bundled data folder of the repository.
std::string bundled(const std::string& relative);
/// A folder of the shared corpora, or an empty string when the corpora are absent.
std::string shared(const std::string& relative);
/// The regular files of a folder with the given ending, sorted by name.
std::vector<std::string> files_in(const std::string& folder, const std::string& ending);
/// The whole content of a file; fails the calling test when it cannot be read.
std::string read_file(const std::string& path);

}  // namespace test_data
