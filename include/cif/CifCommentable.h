// CifCommentable: the comments a block, item or loop carries at its four positions.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "cif/CifApi.h"

/// Comment texts are raw: the writer prints them as they are, markers and line ends
/// included. At most one text per position; an empty text means none.
class CIF_API CifCommentable {
  public:
    enum CommentType { Leading = 0, AfterName = 1, AfterValue = 2, Trailing = 3 };

    CifCommentable() = default;
    CifCommentable(const CifCommentable& other);
    CifCommentable& operator=(const CifCommentable& other);
    virtual ~CifCommentable();

    /// The text at the position, or the empty string.
    std::string comments(CommentType type) const;
    bool has_comments(CommentType type) const { return comments_ && comments_->count(type) != 0; }
    bool has_any_comments() const { return comments_ != nullptr; }
    /// Replaces the text at the position; an empty text removes it.
    void set_comments(const std::string& text, CommentType type);
    void clear_comments() { comments_.reset(); }
    /// Replaces every comment by those of the other element.
    virtual void copy_comments(const CifCommentable& other);

  private:
    using Comments = std::map<CommentType, std::string>;
    // Most items of a file carry no comment: the map exists only while it has an entry, so
    // that an element without comments pays for a pointer alone.
    std::unique_ptr<Comments> comments_;
};
