// VexorLog: the host's line-oriented log of info, warning, error and levelled debug lines.
#pragma once

#include <iosfwd>

#include "host/HostApi.h"

/// Each line is begun with a start_* call, which writes the line's prefix and returns the
/// stream to write its text to, and closed with the matching end_* call. Lines go to
/// std::clog unless the host sets another stream. Each thread composes its own lines; a line
/// reaches the stream whole, under a lock, so lines of several threads never interleave.
class HOST_API VexorLog {
  public:
    /// Debug lines of level L are written only when level_ >= L and minimum_level_ <= L.
    static int level_;
    static int minimum_level_;

    /// Where lines are written; nullptr restores std::clog. The stream is not owned.
    static void set_stream(std::ostream* stream);

    static std::ostream& start_info_line();
    static void end_info_line();
    static std::ostream& start_warning_line();
    static void end_warning_line();
    static std::ostream& start_error_line();
    static void end_error_line();
    /// A debug line at the given level; its text is discarded when the level is not admitted.
    static std::ostream& start_debug_line(int level);
    static void end_debug_line();
};
