// Checks of what must hold for a data block after any public operation, and a compact
// description of a block for comparing states.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "cif/CifDataBlock.h"

/// Index and write order hold the same items, once each; every loop has columns; every
/// column names a looped item and stands in one loop only; every looped item has a loop.
inline ::testing::AssertionResult block_invariants_hold(const CifDataBlock& block) {
    std::set<const CifDataItem*> seen;
    std::size_t written = 0;
    for (auto it = block.begin_write_order(); it != block.end_write_order(); ++it, ++written) {
        const CifDataItem* item = it->get();
        if (item == nullptr) return ::testing::AssertionFailure() << "empty handle in write order";
        if (!seen.insert(item).second) {
            return ::testing::AssertionFailure() << item->name() << " written twice";
        }
        if (block.find(item->name()).get() != item) {
            return ::testing::AssertionFailure() << item->name() << " not in the name index";
        }
    }
    if (written != block.item_count()) {
        return ::testing::AssertionFailure()
               << written << " items written but " << block.item_count() << " indexed";
    }
    std::set<std::string, CaseInsensitiveStringLess> columns_seen;
    for (auto loop = block.begin_loops(); loop != block.end_loops(); ++loop) {
        if ((*loop)->empty()) return ::testing::AssertionFailure() << "loop without columns";
        std::vector<std::string> columns;
        (*loop)->columns(columns);
        for (const std::string& column : columns) {
            THandle<CifDataItem> item = block.find(column);
            if (!item)
                return ::testing::AssertionFailure() << "column " << column << " has no item";
            if (!item->is_looped()) {
                return ::testing::AssertionFailure() << "column " << column << " not looped";
            }
            if (!columns_seen.insert(column).second) {
                return ::testing::AssertionFailure() << column << " is a column twice";
            }
        }
    }
    for (auto it = block.begin_write_order(); it != block.end_write_order(); ++it) {
        if ((*it)->is_looped() && columns_seen.count((*it)->name()) == 0) {
            return ::testing::AssertionFailure() << (*it)->name() << " looped but in no loop";
        }
    }
    return ::testing::AssertionSuccess();
}

/// Name, write order with values, loops with columns, comments: equal descriptions mean
/// equal observable states.
inline std::string describe(const CifDataBlock& block) {
    std::ostringstream out;
    out << block.name() << '@' << block.line() << ':';
    for (auto it = block.begin_write_order(); it != block.end_write_order(); ++it) {
        out << ' ' << (*it)->name() << ((*it)->is_looped() ? "[L]" : "") << '=';
        for (unsigned int i = 0; i < (*it)->size(); ++i) {
            out << (*it)->value((*it)->is_looped() ? i : 0) << ',';
        }
        out << (*it)->comments(CifCommentable::Leading);
    }
    for (auto loop = block.begin_loops(); loop != block.end_loops(); ++loop) {
        std::vector<std::string> columns;
        (*loop)->columns(columns);
        out << " loop(";
        for (const std::string& c : columns)
            out << c << ' ';
        out << ')';
    }
    return out.str();
}
