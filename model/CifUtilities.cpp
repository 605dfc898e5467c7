#include "cif/CifUtilities.h"

#include <algorithm>
#include <cctype>

namespace {

struct HasValue {
    bool operator()(const THandle<CifDataItem>& item) const { return item && item->has_value(); }
};

struct ItemNameBegins {
    const std::string& prefix;
    bool operator()(const THandle<CifDataItem>& item) const {
        const std::string& name = item->name();
        return name.size() >= prefix.size() &&
               std::equal(prefix.begin(), prefix.end(), name.begin(), [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a)) ==
                          std::toupper(static_cast<unsigned char>(b));
               });
    }
};

}  // namespace

THandle<CifDataItem> find_from_alternatives(THandle<CifDataBlock> block,
                                            const std::vector<std::string>& names) {
    std::vector<THandle<CifDataItem>> items;
    block->find(names, items);
    auto found = std::find_if(items.begin(), items.end(), HasValue());
    return found == items.end() ? THandle<CifDataItem>() : *found;
}

void set_if_not_empty(THandle<CifDataBlock> block, const std::string& name,
                      const std::string& value) {
    CifDataBlock& target = *block;
    if (!value.empty()) target.set_value(name, value);
}

bool has_item_name_beginning(THandle<CifDataBlock> block, const std::string& prefix) {
    return std::any_of(block->begin_write_order(), block->end_write_order(),
                       ItemNameBegins{prefix});
}
