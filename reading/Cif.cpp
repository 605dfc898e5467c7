#include "cif/Cif.h"

#include <algorithm>
#include <istream>
#include <stdexcept>

#include "cif/CifParser.h"
#include "cif/CifTokenStream.h"
#include "host/InputFile.h"
#include "host/Regex.h"

Cif::Cif(THandle<CifDictionary> dictionary)
    : dictionary_(std::move(dictionary)), errors_(make_handle<CifErrorContainer>()) {}

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
    const bool refused = !errors_->empty() && (errors_->end() - 1)->id() == CifError::Cif2NotRead;
    if (blocks_.empty() && !refused) errors_->add(CifError(CifError::NoDataBlocks, -1));
}

void Cif::read_file(const std::string& path, const CifParserSettings& settings) {
    InputFile file(path);
    if (file.is_open()) {
        read(file.stream(), settings);
        // What was read stays; the rest of the file is lost, and the reader is told so.
        if (file.damaged()) {
            errors_->add(
                CifError(CifError::FileReadFailed, "the file is damaged or cut short", -1));
        }
        return;
    }
    blocks_.clear();
    errors_->clear();
    errors_->add(CifError(CifError::FileReadFailed, file.error(), -1));
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
    return blocks_.insert(position, make_handle<CifDataBlock>(dictionary_, name, -1));
}

void Cif::move(iterator from, iterator to) {
    move_element(blocks_, static_cast<std::size_t>(from - blocks_.begin()),
                 static_cast<std::size_t>(to - blocks_.begin()));
}

// Mandatory items.

namespace {

const char* const publication_categories[] = {"journal", "publ"};
const char* const structure_categories[] = {"atom_site", "atom_sites", "atom_type", "cell",
                                            "chemical",  "diffrn",     "exptl",     "geom",
                                            "refine",    "reflns",     "symmetry"};

template <std::size_t N>
bool has_any_category(const CifDataBlock& block, const char* const (&categories)[N]) {
    return std::any_of(
        std::begin(categories), std::end(categories),
        [&block](const char* category) { return block.has_item_with_category(category); });
}

const Regex white_space("\\s", 0);

// Neither empty nor "?" once white space is gone; "." (inapplicable) is significant.
bool is_significant(const std::string& value) {
    const std::string bare = regex_replace(white_space, value, "", 0);
    return !bare.empty() && bare != "?";
}

}  // namespace

void Cif::check_mandatory(const std::vector<std::string>& publication_items,
                          const std::vector<std::string>& structure_items) {
    bool publication_seen = false;
    bool structure_seen = false;
    for (const THandle<CifDataBlock>& block : blocks_) {
        if (has_any_category(*block, publication_categories)) {
            publication_seen = true;
            for (const std::string& name : publication_items)
                check_mandatory_data_item(name, *block);
        }
        if (has_any_category(*block, structure_categories)) {
            structure_seen = true;
            for (const std::string& name : structure_items)
                check_mandatory_data_item(name, *block);
        }
    }
    if (blocks_.empty()) return;
    const CifDataBlock& first = *blocks_.front();
    if (!publication_seen) {
        for (const std::string& name : publication_items)
            check_mandatory_data_item(name, first);
    }
    if (!structure_seen) {
        for (const std::string& name : structure_items)
            check_mandatory_data_item(name, first);
    }
}

void Cif::check_mandatory_data_item(const std::string& name, const CifDataBlock& block) {
    if (name.empty()) return;
    const bool present = !block.find(name).is_null();
    const bool set = present && is_significant(block.value(name));
    std::vector<std::string> related;
    for (const Relation& relation : dictionary_->related_item(name)) {
        if ((relation.function & (Relation::ALTERNATE | Relation::REPLACE)) != 0) {
            related.push_back(relation.item);
        }
    }
    bool related_present = false;
    bool related_set = false;
    for (const std::string& other : related) {
        if (block.find(other).is_null()) continue;
        related_present = true;
        related_set = related_set || is_significant(block.value(other));
    }
    if (set || related_set) return;
    if (present) {
        errors_->add(CifError(CifError::DataItemNotSet, name, block.name(), block.line()));
    } else if (!related_present) {
        errors_->add(CifError(CifError::DataItemNotFound, name, block.name(), block.line()));
    } else {
        for (const std::string& other : related) {
            errors_->add(CifError(CifError::RelatedItemNotSet, other, block.name(), block.line()));
        }
    }
}
