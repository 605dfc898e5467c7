#include "cif/CifPublication.h"

#include <stdexcept>

#include "cif/CifUtilities.h"
#include "host/TextUtilities.h"

namespace {

const std::string authors_name = "_publ_author_name";
const std::string first_page_name = "_journal_page_first";
const std::string volume_name = "_journal_volume";
const std::string year_name = "_journal_year";
const std::string journal_code_name = "_journal_coden_Halvern";
const std::string journal_name = "_journal_name_full";

// Real files name their journal rather than give the in-house code: any journal item makes
// a publication, of code 0 where no code is given.
bool names_a_publication(const CifDataBlock& block) {
    for (const std::string& name :
         {journal_code_name, journal_name, year_name, volume_name, first_page_name, authors_name}) {
        if (block.has_value(name)) return true;
    }
    return false;
}

}  // namespace

THandle<Publication> CifPublication::read(THandle<CifDataBlock> block) {
    const std::string volume = block->value(volume_name);
    const std::string first_page = block->value(first_page_name);
    const int year = string_to_int(block->value(year_name));
    if (!names_a_publication(*block)) {
        throw std::runtime_error("Cif publication: " + journal_code_name + " was not set");
    }
    const int code = string_to_int(block->value(journal_code_name));
    std::vector<std::string> authors;
    if (THandle<CifDataItem> item = block->find(authors_name)) {
        for (unsigned int i = 0; i < item->size(); ++i)
            authors.push_back(item->value(item->is_looped() ? i : 0));
    }
    return make_handle<Publication>(authors, Journal(code, block->value(journal_name)), volume,
                                    year, first_page);
}

// A code or year of 0 is one the file did not give: neither is written.
void CifPublication::write(THandle<CifDataBlock> block, const Publication& publication) {
    if (publication.journal().code() != 0) {
        block->set_value(journal_code_name, to_string(publication.journal().code()));
    }
    set_if_not_empty(block, volume_name, publication.volume());
    if (publication.year() != 0) block->set_value(year_name, to_string(publication.year()));
    set_if_not_empty(block, first_page_name, publication.first_page());
    set_if_not_empty(block, journal_name, publication.journal().full_name());
    if (publication.authors().empty()) return;
    block->create_loop({authors_name});
    THandle<CifDataItem> authors = block->find(authors_name);
    for (const std::string& author : publication.authors())
        authors->add_value(author);
}
