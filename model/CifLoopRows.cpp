#include "cif/CifLoopRows.h"

#include <algorithm>

#include "cif/CifDataBlock.h"
#include "cif/CifLoop.h"
#include "host/TextUtilities.h"

CifLoopRows::CifLoopRows(const CifDataBlock& block, const CifLoop& loop) {
    columns_.reserve(loop.size());
    for (const std::string& name : loop.column_names()) {
        THandle<CifDataItem> column = block.find(name);
        if (!column) column = make_handle<CifDataItem>(block.dictionary(), name);
        rows_ = std::max<std::size_t>(rows_, column->size());
        columns_.push_back(std::move(column));
    }
}

std::string_view CifLoopRows::Row::value(const std::string& name) const {
    const auto& columns = rows_->columns_;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        if (CaseInsensitiveStringEquality()(columns[column]->name(), name)) return (*this)[column];
    }
    return std::string_view();
}
