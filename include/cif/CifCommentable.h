// CifCommentable: the comments a block, item or loop carries at its four positions.
#pragma once

#include <map>
#include <string>

#include "cif/CifApi.h"

/// Comment texts are raw: the writer prints them as they are, markers and line ends
/// included. At most one text per position; an empty text means none.
class CIF_API CifCommentable {
  public:
    enum CommentType { Leading = 0, AfterName = 1, AfterValue = 2, Trailing = 3 };

    CifCommentable() = default;
    CifCommentable(const CifCommentable&) = default;
    CifCommentable& operator=(const CifCommentable&) = default;
    virtual ~CifCommentable();

    /// The text at the position, or the empty string.
    std::string comments(CommentType type) const;
    bool has_comments(CommentType type) const { return comments_.count(type) != 0; }
    bool has_any_comments() const { return !comments_.empty(); }
    /// Replaces the text at the position; an empty text removes it.
    void set_comments(const std::string& text, CommentType type);
    void clear_comments() { comments_.clear(); }
    /// Replaces every comment by those of the other element.
    virtual void copy_comments(const CifCommentable& other);

  private:
    std::map<CommentType, std::string> comments_;
};
