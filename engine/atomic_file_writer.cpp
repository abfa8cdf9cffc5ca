// Safe file writer: the lines go into "<target>.XXXXXX" in the target's folder
// (mkstemp, so the name is unique), through one large stdio buffer; every write
// and the close are checked, and only a complete file is renamed over the
// target. Renaming within one folder replaces the old file in one step.
#include "engine/atomic_file_writer.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace lomitra {

namespace {

constexpr std::size_t kBufferSize = 1 << 18;  // 256 KiB

// The permission bits a new file would get: the target's own when it exists,
// else 0666 less the process umask (read without changing it).
mode_t permissionsFor(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = 022;
    if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
        char row[256];
        while (std::fgets(row, sizeof row, f) != nullptr) {
            if (std::strncmp(row, "Umask:", 6) == 0) {
                mask = static_cast<mode_t>(std::strtoul(row + 6, nullptr, 8));
                break;
            }
        }
        std::fclose(f);
    }
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)) {
    toStdout_ = path_ == "-";
}

AtomicFileWriter::~AtomicFileWriter() {
    if (file_ != nullptr && !toStdout_) std::fclose(file_);
    if (!committed_ && !tempPath_.empty()) ::unlink(tempPath_.c_str());
}

void AtomicFileWriter::fail(const char* what, int errnum) {
    if (failed_) return;  // keep the first error
    failed_ = true;
    error_ = what;
    if (errnum != 0) {
        error_ += ": ";
        error_ += std::strerror(errnum);
    }
}

bool AtomicFileWriter::open() {
    if (file_ != nullptr) return !failed_;
    if (toStdout_) {
        file_ = stdout;
        return true;
    }
    if (path_.empty()) {
        fail("empty file name", 0);
        return false;
    }
    std::string pattern = path_ + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        fail("cannot create temporary file", errno);
        return false;
    }
    tempPath_ = pattern;
    ::fchmod(fd, permissionsFor(path_));  // mkstemp makes 0600; a failure here only narrows access
    file_ = ::fdopen(fd, "wb");
    if (file_ == nullptr) {
        fail("cannot open temporary file", errno);
        ::close(fd);
        return false;
    }
    buffer_.resize(kBufferSize);
    std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
    return true;
}

void AtomicFileWriter::writeLine(std::string_view line) {
    if (file_ == nullptr) {
        fail("file not open", 0);
        return;
    }
    if (failed_) return;
    // Lines gather in the stream's buffer; the unlocked writes skip the
    // per-call locking of stdio (one writer owns the stream).
    if ((!line.empty() && ::fwrite_unlocked(line.data(), 1, line.size(), file_) != line.size()) ||
        ::fwrite_unlocked("\r\n", 1, 2, file_) != 2) {
        fail("write failed", errno);
    }
}

bool AtomicFileWriter::commit() {
    if (committed_) return true;
    if (file_ == nullptr) {
        fail("file not open", 0);
        return false;
    }
    if (toStdout_) {
        if (std::fflush(file_) != 0) fail("write failed", errno);
        file_ = nullptr;
        committed_ = !failed_;
        return committed_;
    }
    if (std::fflush(file_) != 0) fail("write failed", errno);
    if (!failed_ && ::fsync(::fileno(file_)) != 0 && errno != EINVAL) fail("write failed", errno);
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (closed != 0) fail("close failed", errno);
    if (failed_) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(tempPath_, path_, ec);
    if (ec) {
        fail("cannot replace the file", ec.value());
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
        return false;
    }
    committed_ = true;
    return true;
}

}  // namespace lomitra
