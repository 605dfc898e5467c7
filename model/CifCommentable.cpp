#include "cif/CifCommentable.h"

// Copies go through the base's own copy_comments, called without virtual dispatch: a copied
// loop copies its row comments itself.
CifCommentable::CifCommentable(const CifCommentable& other) {
    CifCommentable::copy_comments(other);
}

CifCommentable& CifCommentable::operator=(const CifCommentable& other) {
    CifCommentable::copy_comments(other);
    return *this;
}

CifCommentable::~CifCommentable() = default;

std::string CifCommentable::comments(CommentType type) const {
    if (!comments_) return std::string();
    auto found = comments_->find(type);
    return found == comments_->end() ? std::string() : found->second;
}

void CifCommentable::set_comments(const std::string& text, CommentType type) {
    if (!text.empty()) {
        if (!comments_) comments_ = std::make_unique<Comments>();
        (*comments_)[type] = text;
    } else if (comments_) {
        comments_->erase(type);
        if (comments_->empty()) comments_.reset();
    }
}

void CifCommentable::copy_comments(const CifCommentable& other) {
    if (this == &other) return;
    comments_ = other.comments_ ? std::make_unique<Comments>(*other.comments_) : nullptr;
}
