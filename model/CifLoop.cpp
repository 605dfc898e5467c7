#include "cif/CifLoop.h"

#include "cif/CifDataItem.h"
#include "host/TextUtilities.h"
#include "model/CifWriter.h"
#include "model/ReaderAccess.h"

CifLoop::~CifLoop() = default;

namespace {

auto names_column(const std::string& name) {
    return [&name](const std::string& column) {
        return CaseInsensitiveStringEquality()(column, name);
    };
}

}  // namespace

std::vector<std::string>::iterator CifLoop::find_column(const std::string& name) {
    return std::find_if(columns_.begin(), columns_.end(), names_column(name));
}

void CifLoop::add_column(const std::string& name) {
    if (!contains_column(name)) columns_.push_back(name);
}

void cif::detail::ReaderAccess::set_columns(CifLoop& loop, std::vector<std::string> names) {
    loop.columns_ = std::move(names);
}

void CifLoop::remove_column(const std::string& name) {
    auto found = find_column(name);
    if (found != columns_.end()) columns_.erase(found);
}

bool CifLoop::contains_column(const std::string& name) const {
    return std::any_of(columns_.begin(), columns_.end(), names_column(name));
}

void CifLoop::set_column_order(const std::vector<std::string>& names) {
    std::size_t position = 0;
    for (const std::string& name : names) {
        auto found = find_column(name);
        if (found == columns_.end() || position >= columns_.size()) continue;
        move_element(columns_, static_cast<std::size_t>(found - columns_.begin()), position);
        ++position;
    }
}

void CifLoop::move_column(const std::string& name, CifLoop& from) {
    auto found = from.find_column(name);
    if (found == from.columns_.end()) return;
    from.columns_.erase(found);
    columns_.push_back(name);
}

void CifLoop::add_row_comment(unsigned int row, const std::string& text) {
    if (row_comments_.size() <= row) row_comments_.resize(row + 1);
    row_comments_[row] = text;
}

void CifLoop::copy_comments(const CifCommentable& other) {
    CifCommentable::copy_comments(other);
    if (const CifLoop* loop = dynamic_cast<const CifLoop*>(&other)) {
        row_comments_ = loop->row_comments_;
    }
}

void CifLoop::print(std::ostream& os, const std::vector<THandle<CifDataItem>>& items,
                    const CifWriteSettings& settings) const {
    cif::detail::CifWriter(os, settings).loop(*this, items);
}
