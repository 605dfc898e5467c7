#include "host/InputFile.h"

#include <zlib.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

// A stream buffer over zlib's file reader, which passes text that is not gzip through as it
// is.
class InputFile::Buffer : public std::streambuf {
  public:
    explicit Buffer(gzFile file) : file_(file), bytes_(1 << 16) { gzbuffer(file_, 1 << 17); }
    ~Buffer() override { gzclose_r(file_); }

    bool damaged() const { return damaged_; }

  protected:
    int_type underflow() override {
        const int n = gzread(file_, bytes_.data(), static_cast<unsigned>(bytes_.size()));
        if (n <= 0) {
            int code = Z_OK;
            gzerror(file_, &code);
            damaged_ = n < 0 || code != Z_OK;  // a cut file too: Z_BUF_ERROR
            return traits_type::eof();
        }
        setg(bytes_.data(), bytes_.data(), bytes_.data() + n);
        return traits_type::to_int_type(bytes_[0]);
    }

  private:
    gzFile file_;
    std::vector<char> bytes_;
    bool damaged_ = false;
};

namespace {

std::string reason(int code) {
    return std::error_code(code, std::generic_category()).message();
}

}  // namespace

InputFile::InputFile(const std::string& path) : stream_(nullptr) {
    std::error_code status;
    if (std::filesystem::is_directory(path, status)) {
        error_ = reason(EISDIR);
    } else if (gzFile file = gzopen(path.c_str(), "rb")) {
        buffer_ = std::make_unique<Buffer>(file);
        stream_.rdbuf(buffer_.get());
    } else {
        error_ = reason(errno != 0 ? errno : ENOMEM);
    }
    if (!buffer_) stream_.setstate(std::ios_base::badbit);
}

InputFile::~InputFile() = default;

bool InputFile::damaged() const {
    return buffer_ && buffer_->damaged();
}
