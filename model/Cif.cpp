#include "cif/Cif.h"

#include <algorithm>
#include <istream>
#include <stdexcept>

#include "cif/CifParser.h"
#include "cif/CifTokenStream.h"

Cif::Cif(THandle<CifDictionary> dictionary)
    : dictionary_(std::move(dictionary)), errors_(new CifErrorContainer) {}

Cif::~Cif() = default;

void Cif::read(std::istream& in, const CifParserSettings& settings) {
    blocks_.clear();
    errors_->clear();
    if (!in.good()) {
        errors_->add(CifError(CifError::FileNotRead, -1));
        return;
    }
    CifTokenStream tokens(&in, errors_, settings);
    CifParser parser(dictionary_, errors_, blocks_);
    parser.parse(tokens);
    if (blocks_.empty()) errors_->add(CifError(CifError::NoDataBlocks, -1));
}

void Cif::write(std::ostream& os, const CifWriteSettings& settings) const {
    for (const THandle<CifDataBlock>& block : blocks_)
        block->print(os, settings);
}

void Cif::validate_block_number(unsigned int i) const {
    if (i >= blocks_.size()) {
        throw std::invalid_argument("Cif does not have block " + std::to_string(i));
    }
}

THandle<CifDataBlock> Cif::block(unsigned int i) {
    validate_block_number(i);
    return blocks_[i];
}

THandle<CifDataBlock> Cif::block(unsigned int i) const {
    validate_block_number(i);
    return blocks_[i];
}

Cif::iterator Cif::block_iterator(unsigned int i) {
    validate_block_number(i);
    return blocks_.begin() + i;
}

Cif::iterator Cif::block_at_line(int line) {
    iterator found = blocks_.end();
    for (iterator it = blocks_.begin(); it != blocks_.end(); ++it) {
        int block_line = (*it)->line();
        if (block_line == -1) continue;
        if (block_line > line) break;
        found = it;
    }
    return found;
}

Cif::const_iterator Cif::block_at_line(int line) const {
    return const_cast<Cif*>(this)->block_at_line(line);
}

Cif::iterator Cif::block_with_name(const std::string& name) {
    return std::find_if(
        blocks_.begin(), blocks_.end(),
        [&name](const THandle<CifDataBlock>& block) { return block->name() == name; });
}

Cif::const_iterator Cif::block_with_name(const std::string& name) const {
    return const_cast<Cif*>(this)->block_with_name(name);
}

Cif::iterator Cif::new_block(const std::string& name, iterator position) {
    if (block_with_name(name) != blocks_.end()) return blocks_.end();
    return blocks_.insert(position, THandle<CifDataBlock>(new CifDataBlock(dictionary_, name, -1)));
}

void Cif::move(iterator from, iterator to) {
    move_element(blocks_, static_cast<std::size_t>(from - blocks_.begin()),
                 static_cast<std::size_t>(to - blocks_.begin()));
}
