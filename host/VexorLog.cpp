#include "host/VexorLog.h"

#include <iostream>
#include <ostream>

int VexorLog::level_ = 0;
int VexorLog::minimum_level_ = 0;
bool VexorLog::debug_line_open_ = false;

namespace {

std::ostream* target = nullptr;

std::ostream& out() {
    return target != nullptr ? *target : std::clog;
}

// A stream without a buffer: everything written to it is dropped.
std::ostream& discard() {
    static std::ostream sink(nullptr);
    return sink;
}

std::ostream& start_line(const char* prefix) {
    return out() << prefix;
}

void end_line() {
    out() << '\n' << std::flush;
}

}  // namespace

void VexorLog::set_stream(std::ostream* stream) {
    target = stream;
}

std::ostream& VexorLog::start_info_line() {
    return start_line("Info: ");
}
void VexorLog::end_info_line() {
    end_line();
}
std::ostream& VexorLog::start_warning_line() {
    return start_line("Warning: ");
}
void VexorLog::end_warning_line() {
    end_line();
}
std::ostream& VexorLog::start_error_line() {
    return start_line("Error: ");
}
void VexorLog::end_error_line() {
    end_line();
}

std::ostream& VexorLog::start_debug_line(int level) {
    debug_line_open_ = level_ >= level && minimum_level_ <= level;
    if (!debug_line_open_) return discard();
    return out() << "Debug " << level << ": ";
}

void VexorLog::end_debug_line() {
    if (debug_line_open_) end_line();
    debug_line_open_ = false;
}
