#include "cif/CifCommentable.h"

CifCommentable::~CifCommentable() = default;

std::string CifCommentable::comments(CommentType type) const {
    auto found = comments_.find(type);
    return found == comments_.end() ? std::string() : found->second;
}

void CifCommentable::set_comments(const std::string& text, CommentType type) {
    if (text.empty()) {
        comments_.erase(type);
    } else {
        comments_[type] = text;
    }
}

void CifCommentable::copy_comments(const CifCommentable& other) {
    comments_ = other.comments_;
}
