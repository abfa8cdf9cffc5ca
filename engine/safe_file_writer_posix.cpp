// Safe file writer on POSIX systems: symbolic links followed by hand, the
// temporary file made with mkostemp beside the target, owner and permissions
// copied, one rename(2) to replace. Descriptor aliases (/dev/stdout,
// /dev/fd/N) are written through a copy of the descriptor, so that its offset
// and append mode hold.
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/interrupt_cleanup.h"
#include "engine/safe_file_writer.h"
#include "engine/texts.h"

namespace lomitra {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinks = 40;  // as the kernel's own limit

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

bool SafeFileWriter::openTarget() {
    // A target written as it is: `fd` when valid, else the reason in errno.
    auto writeDirectly = [this](int fd, bool owned) {
        if (fd < 0) {
            failErrno(errno);
            return false;
        }
        direct_ = true;
        handle_ = fd;
        ownsHandle_ = owned;
        return true;
    };
    // Aliases of open descriptors: standard output itself, or a copy.
    if (const int alias = descriptorAlias(path_); alias >= 0) {
        if (path_ == "-") return writeDirectly(STDOUT_FILENO, false);
        return writeDirectly(::fcntl(alias, F_DUPFD_CLOEXEC, 3), true);
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
        return writeDirectly(::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC), true);
    }
    if (exists && isReadOnly(target_, st)) {
        fail(std::string(texts::kReadOnlyFile));
        return false;
    }

    std::string pattern = folderOf(target_) + "/." + nameOf(target_) + ".lomitra-XXXXXX";
    int fd = -1;
    {
        const DeferInterrupts untilRegistered;  // no temporary file exists unregistered
        fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd >= 0) registerTemporaryFile(pattern);
    }
    if (fd < 0) {
        failErrno(errno);
        return false;
    }
    temporary_ = pattern;
    handle_ = fd;
    ownsHandle_ = true;
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
    return true;
}

int64_t SafeFileWriter::writeSome(const char* data, std::size_t size) {
    for (;;) {
        const ssize_t n = ::write(static_cast<int>(handle_), data, size);
        if (n >= 0) return n;
        if (errno != EINTR) {
            failErrno(errno);
            return -1;
        }
    }
}

bool SafeFileWriter::syncAndClose(bool sync) {
    if (handle_ < 0) return !failed_;
    const int fd = static_cast<int>(handle_);
    if (sync && ::fsync(fd) != 0 && errno != EINVAL) failErrno(errno);
    if (ownsHandle_ && ::close(fd) != 0 && errno != EINTR) failErrno(errno);
    handle_ = -1;
    ownsHandle_ = false;
    return !failed_;
}

bool SafeFileWriter::replaceTarget() {
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        failErrno(errno);
        return false;
    }
    return true;
}

void SafeFileWriter::deleteTemporary() { ::unlink(temporary_.c_str()); }

OutputIdentity identifyOutput(const std::string& path) {
    OutputIdentity id;
    struct stat st {};
    const int alias = descriptorAlias(path);
    if (alias >= 0 ? ::fstat(alias, &st) == 0 : ::stat(path.c_str(), &st) == 0) {
        id.exists = true;
        id.device = static_cast<uint64_t>(st.st_dev);
        id.file = static_cast<uint64_t>(st.st_ino);
        return id;
    }
    std::string final;
    if (!followLinks(path, final)) final = path;
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(fs::absolute(folderOf(final), error), error);
    id.name = (folder / nameOf(final)).lexically_normal().string();
    return id;
}

}  // namespace lomitra
