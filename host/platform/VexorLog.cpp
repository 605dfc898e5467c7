#include "host/VexorLog.h"

#include <atomic>
#include <iostream>
#include <locale>
#include <mutex>
#include <ostream>
#include <sstream>

int VexorLog::level_ = 0;
int VexorLog::minimum_level_ = 0;

namespace {

std::atomic<std::ostream*> target{nullptr};
std::mutex writing;

// Each thread composes its lines apart and hands them over whole, so that lines written from
// several threads never interleave.
std::ostringstream& line_buffer() {
    thread_local std::ostringstream buffer = [] {
        std::ostringstream classic;
        classic.imbue(std::locale::classic());
        return classic;
    }();
    return buffer;
}

// A stream without a buffer, one per thread: everything written to it is dropped.
std::ostream& discard() {
    thread_local std::ostream sink(nullptr);
    return sink;
}

// Whether this thread's open debug line is admitted.
thread_local bool debug_line_open = false;

std::ostream& start_line(const char* prefix) {
    std::ostringstream& buffer = line_buffer();
    buffer.str(std::string());
    return buffer << prefix;
}

void end_line() {
    std::ostringstream& buffer = line_buffer();
    buffer << '\n';
    std::lock_guard<std::mutex> lock(writing);
    std::ostream* stream = target.load();
    (stream != nullptr ? *stream : std::clog) << buffer.str() << std::flush;
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
    debug_line_open = level_ >= level && minimum_level_ <= level;
    if (!debug_line_open) return discard();
    return start_line("Debug ") << level << ": ";
}

void VexorLog::end_debug_line() {
    if (debug_line_open) end_line();
    debug_line_open = false;
}
