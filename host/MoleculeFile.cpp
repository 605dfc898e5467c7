#include "host/MoleculeFile.h"

#include <fstream>

MoleculeFile::~MoleculeFile() = default;

void MoleculeFile::read(const std::string& file_name) {
    std::ifstream in(file_name, std::ios::binary);
    read(in);
}
