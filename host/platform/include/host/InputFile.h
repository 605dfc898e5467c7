// InputFile: a file opened for reading by path, plain or gzip-compressed alike (a .cif.gz
// reads as the CIF it holds), with the system's reason when it cannot be opened.
#pragma once

#include <istream>
#include <memory>
#include <string>

#include "host/HostApi.h"

class HOST_API InputFile {
  public:
    /// Opens the file; `is_open()` tells whether that worked and `error()` why not.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    bool is_open() const { return error_.empty(); }
    /// The system's reason, such as "No such file or directory"; empty when open.
    const std::string& error() const { return error_; }
    /// The decompressed bytes; they end early where the file is damaged.
    std::istream& stream() { return stream_; }
    /// Whether reading met a damaged or cut compressed file, or a read error.
    bool damaged() const;

  private:
    class Buffer;
    std::unique_ptr<Buffer> buffer_;
    std::string error_;
    std::istream stream_;
};
