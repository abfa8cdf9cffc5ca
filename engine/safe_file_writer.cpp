// Safe file writer: temporary file beside the target and one rename, or a
// direct write for targets that are not regular files. Lines gather in one
// buffer that goes out with write(2); every write, the fsync and the close
// are checked, and only a complete file replaces the target.
#include "engine/safe_file_writer.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/interrupt_cleanup.h"
#include "engine/system_error_text.h"
#include "engine/texts.h"

namespace lomitra {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBufferSize = std::size_t{1} << 18;  // 256 KiB
constexpr int kMaxLinks = 40;                               // as the kernel's own limit

// The descriptor that an alias of an open descriptor names: "-" and
// /dev/stdout are 1, /dev/stderr 2, /dev/fd/N and /proc/self/fd/N are N;
// -1 for any other name.
int descriptorAlias(const std::string& path) {
    if (path == "-" || path == "/dev/stdout") return STDOUT_FILENO;
    if (path == "/dev/stderr") return STDERR_FILENO;
    for (const std::string_view prefix : {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/")}) {
        if (path.rfind(prefix, 0) != 0) continue;
        int fd = -1;
        const char* first = path.data() + prefix.size();
        const char* last = path.data() + path.size();
        const auto [end, ec] = std::from_chars(first, last, fd);
        if (ec == std::errc() && end == last && first != last) return fd;
    }
    return -1;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name that `path` finally leads to: symbolic links followed one by one
// (a relative link target counts from the link's folder). The last name need
// not exist. False with errno ELOOP for a cycle.
bool followLinks(const std::string& path, std::string& out) {
    out = path;
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st {};
        if (::lstat(out.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = ::readlink(out.c_str(), target.data(), target.size());
        if (n < 0) return true;  // let the open report it
        target.resize(static_cast<std::size_t>(n));
        out = target.front() == '/' ? target : folderOf(out) + "/" + target;
    }
    errno = ELOOP;
    return false;
}

// Permission bits for a new file: 0666 less the process umask, read without changing it.
mode_t newFileMode() {
    mode_t mask = 022;
    if (int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC); fd >= 0) {
        char text[4096];
        const ssize_t n = ::read(fd, text, sizeof text - 1);
        ::close(fd);
        if (n > 0) {
            text[n] = '\0';
            if (const char* row = std::strstr(text, "Umask:")) {
                mask = static_cast<mode_t>(std::strtoul(row + 6, nullptr, 8));
            }
        }
    }
    return static_cast<mode_t>(0666 & ~mask);
}

// Whether the process may not write the existing file `st` describes. Root may
// write anything, so for root a file without any write permission counts as
// read-only: its owner marked it so.
bool isReadOnly(const std::string& path, const struct stat& st) {
    if (::geteuid() == 0) return (st.st_mode & 0222) == 0;
    return ::access(path.c_str(), W_OK) != 0 && errno == EACCES;
}

}  // namespace

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path)) {}

SafeFileWriter::~SafeFileWriter() {
    if (ownsFd_ && fd_ >= 0) ::close(fd_);
    if (!committed_) discardTemporary();
}

void SafeFileWriter::fail(std::string reason) {
    if (failed_) return;  // keep the first reason
    failed_ = true;
    reason_ = std::move(reason);
}

void SafeFileWriter::failErrno(int errorNumber) { fail(systemErrorText(errorNumber)); }

void SafeFileWriter::discardTemporary() {
    if (temporary_.empty()) return;
    ::unlink(temporary_.c_str());
    unregisterTemporaryFile(temporary_);
    temporary_.clear();
}

bool SafeFileWriter::openDirect(int fd, bool owned) {
    fd_ = fd;
    ownsFd_ = owned;
    direct_ = true;
    buffer_.resize(kBufferSize);
    return true;
}

bool SafeFileWriter::open() {
    if (fd_ >= 0 || failed_) return !failed_;
    if (path_.empty()) {
        fail(std::string(texts::kEmptyFileName));
        return false;
    }

    // Aliases of open descriptors: write through a copy of the descriptor,
    // so that its offset and append mode are kept.
    if (const int alias = descriptorAlias(path_); alias >= 0) {
        if (alias == STDOUT_FILENO && path_ == "-") return openDirect(STDOUT_FILENO, false);
        const int copy = ::fcntl(alias, F_DUPFD_CLOEXEC, 3);
        if (copy < 0) {
            failErrno(errno);
            return false;
        }
        return openDirect(copy, true);
    }

    if (!followLinks(path_, target_)) {
        failErrno(errno);
        return false;
    }
    struct stat st {};
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        failErrno(EISDIR);
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        // A device, a FIFO or a socket: written as it is, never replaced.
        const int fd = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            failErrno(errno);
            return false;
        }
        return openDirect(fd, true);
    }
    if (exists && isReadOnly(target_, st)) {
        fail(std::string(texts::kReadOnlyFile));
        return false;
    }

    std::string pattern = folderOf(target_) + "/." + nameOf(target_) + ".lomitra-XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        failErrno(errno);
        return false;
    }
    temporary_ = pattern;
    registerTemporaryFile(temporary_);
    fd_ = fd;
    ownsFd_ = true;
    // mkostemp makes 0600 and the creator the owner; a replaced file keeps its
    // own. Failures here only narrow access, so they are not errors.
    if (exists) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            [[maybe_unused]] const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
        }
        ::fchmod(fd, st.st_mode & 07777);  // after fchown, which may clear set-id bits
    } else {
        ::fchmod(fd, newFileMode());
    }
    buffer_.resize(kBufferSize);
    return true;
}

bool SafeFileWriter::writeAll(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            failErrno(errno);
            return false;
        }
        if (direct_) delivered_ += static_cast<uint64_t>(n);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SafeFileWriter::flushBuffer() {
    const std::size_t n = used_;
    used_ = 0;
    return n == 0 || writeAll(buffer_.data(), n);
}

void SafeFileWriter::writeLine(std::string_view line) {
    if (failed_) return;
    if (fd_ < 0 || finished_) {  // not open, or already finished: the line would be lost
        fail(systemErrorText(EBADF));
        discardTemporary();
        return;
    }
    for (const std::string_view part : {line, std::string_view("\r\n")}) {
        if (used_ + part.size() > buffer_.size()) {
            if (!flushBuffer()) return;
            if (part.size() > buffer_.size()) {  // a long line goes out at once
                writeAll(part.data(), part.size());
                continue;
            }
        }
        std::memcpy(buffer_.data() + used_, part.data(), part.size());
        used_ += part.size();
    }
}

bool SafeFileWriter::finish() {
    if (finished_) return !failed_;
    finished_ = true;
    if (fd_ < 0) {
        if (!failed_) failErrno(EBADF);
        return false;
    }
    if (!failed_) flushBuffer();
    if (!direct_ && !failed_ && ::fsync(fd_) != 0 && errno != EINVAL) failErrno(errno);
    if (ownsFd_) {
        if (::close(fd_) != 0 && !failed_ && errno != EINTR) failErrno(errno);
        ownsFd_ = false;
    }
    fd_ = -1;
    if (failed_) discardTemporary();
    return !failed_;
}

bool SafeFileWriter::commit() {
    if (committed_) return true;
    if (!finish()) return false;
    if (!direct_) {
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
            failErrno(errno);
            discardTemporary();
            return false;
        }
        unregisterTemporaryFile(temporary_);
        temporary_.clear();
    }
    committed_ = true;
    return true;
}

namespace {

// What identifies an output: the device and inode of an existing file (or of
// what a descriptor alias names), else the absolute normal name it would get.
struct OutputIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    std::string name;
};

OutputIdentity identify(const std::string& path) {
    OutputIdentity id;
    struct stat st {};
    if (const int alias = descriptorAlias(path); alias >= 0) {
        if (::fstat(alias, &st) == 0) {
            id.exists = true;
            id.device = st.st_dev;
            id.inode = st.st_ino;
        } else {
            id.name = path;
        }
        return id;
    }
    if (::stat(path.c_str(), &st) == 0) {
        id.exists = true;
        id.device = st.st_dev;
        id.inode = st.st_ino;
        return id;
    }
    std::string final;
    if (!followLinks(path, final)) final = path;
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(fs::absolute(folderOf(final), error), error);
    id.name = (folder / nameOf(final)).lexically_normal().string();
    return id;
}

}  // namespace

std::string failureOutcomeText(uint64_t bytesDelivered) {
    if (bytesDelivered == 0) return std::string(texts::kNothingWasWritten);
    return std::string(texts::kOutputCutShort1) + std::to_string(bytesDelivered) +
           std::string(texts::kOutputCutShort2);
}

bool sameOutputFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    if (a == b) return true;
    const OutputIdentity x = identify(a);
    const OutputIdentity y = identify(b);
    if (x.exists != y.exists) return false;
    return x.exists ? (x.device == y.device && x.inode == y.inode) : x.name == y.name;
}

}  // namespace lomitra
