#include "host/FileFormat.h"

#include <fstream>

#include "host/MoleculeFile.h"

FileFormat::~FileFormat() = default;

bool TextIdentifiedFileFormat::identify(const std::string& file_name) const {
    std::ifstream in(file_name, std::ios::binary);
    std::string line;
    for (int number = 1; number <= lines_examined && std::getline(in, line); ++number) {
        if (examine_line(line, number)) return true;
    }
    return false;
}

MoleculeFile::~MoleculeFile() = default;

void MoleculeFile::read(const std::string& file_name) {
    std::ifstream in(file_name, std::ios::binary);
    read(in);
}
