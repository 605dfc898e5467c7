#include "host/FileFormat.h"

#include <fstream>

#include "host/FileErrorAccessInterface.h"

FileErrorAccessInterface::~FileErrorAccessInterface() = default;

FileFormat::~FileFormat() = default;

bool TextIdentifiedFileFormat::identify(const std::string& file_name) const {
    std::ifstream in(file_name, std::ios::binary);
    std::string line;
    for (int number = 1; number <= lines_examined && std::getline(in, line); ++number) {
        if (examine_line(line, number)) return true;
    }
    return false;
}
