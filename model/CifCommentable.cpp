#include "cif/CifCommentable.h"

namespace {

std::unique_ptr<std::map<CifCommentable::CommentType, std::string>> copied(
    const std::unique_ptr<std::map<CifCommentable::CommentType, std::string>>& comments) {
    return comments
               ? std::make_unique<std::map<CifCommentable::CommentType, std::string>>(*comments)
               : nullptr;
}

}  // namespace

CifCommentable::CifCommentable(const CifCommentable& other) : comments_(copied(other.comments_)) {}

CifCommentable& CifCommentable::operator=(const CifCommentable& other) {
    if (this != &other) comments_ = copied(other.comments_);
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
    if (this != &other) comments_ = copied(other.comments_);
}
