// A complete, canonical text form of a document's content, so that two documents can be
// compared with one assertion and their differences read off a diff.
#pragma once

#include <sstream>
#include <string>

#include "cif/Cif.h"

inline void dump_comments(std::ostream& out, const CifCommentable& element) {
    static const char* const positions[] = {"leading", "after name", "after value", "trailing"};
    for (int type = CifCommentable::Leading; type <= CifCommentable::Trailing; ++type) {
        auto position = static_cast<CifCommentable::CommentType>(type);
        if (element.has_comments(position)) {
            out << "  [" << positions[type] << "] " << element.comments(position) << "|\n";
        }
    }
}

inline std::string dump_document(const Cif& cif) {
    std::ostringstream out;
    for (auto block = cif.block_begin(); block != cif.block_end(); ++block) {
        out << "block " << (*block)->name() << '\n';
        dump_comments(out, **block);
        for (auto it = (*block)->begin_write_order(); it != (*block)->end_write_order(); ++it) {
            const CifDataItem& item = **it;
            out << " item " << item.name() << (item.is_looped() ? " (looped)" : "") << '\n';
            for (unsigned int i = 0; i < item.size(); ++i)
                out << "  = " << item.value_view(i) << "|\n";
            dump_comments(out, item);
        }
        for (auto loop = (*block)->begin_loops(); loop != (*block)->end_loops(); ++loop) {
            std::vector<std::string> columns;
            (*loop)->columns(columns);
            out << " loop";
            for (const std::string& c : columns)
                out << ' ' << c;
            out << '\n';
            dump_comments(out, **loop);
            if (!(*loop)->row_comments().empty()) {
                out << "  [rows] " << (*loop)->row_comments().front() << "|\n";
            }
        }
    }
    return out.str();
}
