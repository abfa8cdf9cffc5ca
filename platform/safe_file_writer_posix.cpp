// Safe file writer on POSIX systems. The name is followed by hand, one part at
// a time from a folder held open (openat, fstatat without following links),
// so that the rules for folders that everyone may write hold whatever the
// system's settings (as Linux's fs.protected_symlinks, protected_regular and
// protected_fifos). The temporary file is made with O_EXCL in the target's
// folder through the same descriptor, gets the old file's owner and
// permissions (a new one those of the process's umask, applied by the
// system), and one renameat(2) replaces the target. Descriptor aliases
// (/dev/stdout, /dev/fd/N) are written through a copy of the descriptor, so
// that its offset and append mode hold.
//
// Races: every step after a folder was opened works on that folder, whatever
// becomes of its name. In a sticky folder only the owner of a name (or of the
// folder) can remove or replace it, so a link or file found trustworthy stays
// so until it is used; a name that did not exist may be taken by someone else
// before the rename, which then replaces their link or file itself, never
// following or writing into it. A device or FIFO is opened without following
// a link and checked again on the open descriptor: if it is not the file that
// was checked, nothing is written to it. What remains: opening a FIFO that
// another user swapped in meanwhile may wait for a reader (that user), which
// only their own FIFO in a folder they own can make possible.
#include <algorithm>
#include <cerrno>
#include <ctime>
#include <deque>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/texts.h"
#include "platform/interrupt_cleanup.h"
#include "platform/native_file.h"
#include "platform/safe_file_writer.h"

namespace lomitra {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinks = 40;  // as the kernel's own limit

// Folders are opened only to be looked into and named (O_PATH where there is one).
#ifdef O_PATH
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
#else
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
#endif

// A descriptor closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(-1); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Whether the running user may follow a link, or write a regular file or
// FIFO, owned by `owner` in the folder `folder` describes: outside a folder
// that everyone may write and that has the sticky bit always; inside, only
// what belongs to the user or to the folder's owner.
bool trustedIn(const struct stat& folder, uid_t owner) {
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || owner == ::geteuid() || owner == folder.st_uid;
}

// The target of the link `name` in `folder`; false with errno on failure.
bool readLinkAt(int folder, const std::string& name, std::size_t sizeHint, std::string& target) {
    target.assign(std::max<std::size_t>(sizeHint, 255) + 1, '\0');
    const ssize_t n = ::readlinkat(folder, name.c_str(), target.data(), target.size());
    if (n < 0) return false;
    target.resize(static_cast<std::size_t>(n));
    if (target.empty()) {
        errno = ENOENT;
        return false;
    }
    return true;
}

// A name followed for writing: the folder of its last part, held open, and
// that part, with what it is if it exists (never a link). Or why not.
struct Resolved {
    Descriptor folder;
    struct stat folderStatus {};
    std::string name;
    std::string shown;  // the path the last part was reached by, for messages
    bool exists = false;
    struct stat status {};
    int error = 0;          // errno value of a failure, or
    std::string refusal;    // the reason a link was not followed (Finnish)
};

// The parts of `text` to walk, in front of `parts`; a final "/" as a last
// "." (the name must then be a folder).
void prependParts(const std::string& text, std::deque<std::string>& parts) {
    std::vector<std::string> split;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t slash = std::min(text.find('/', from), text.size());
        if (slash > from) split.push_back(text.substr(from, slash - from));
        from = slash + 1;
    }
    if (!text.empty() && text.back() == '/') split.emplace_back(".");
    parts.insert(parts.begin(), split.begin(), split.end());
}

void resolveForWriting(const std::string& path, Resolved& r) {
    std::deque<std::string> parts;
    prependParts(path, parts);
    std::string where = path.front() == '/' ? "/" : "";  // the folder's path as followed
    // Each step that fails leaves its errno as the reason.
    auto enter = [&](int folder) {
        r.folder.reset(folder);
        if (folder < 0) r.error = errno;
        return folder >= 0;
    };
    if (!enter(::open(path.front() == '/' ? "/" : ".", kFolderFlags))) return;
    int links = 0;
    while (!parts.empty()) {
        const std::string part = std::move(parts.front());
        parts.pop_front();
        const bool last = parts.empty();
        if (part == "." && !last) continue;
        if (part == "." || (part == ".." && last)) break;  // a folder
        if (part == "..") {
            if (!enter(::openat(r.folder.get(), "..", kFolderFlags))) return;
            where = joined(where, "..");
            continue;
        }
        struct stat st {};
        const bool found = ::fstatat(r.folder.get(), part.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (!found && (errno != ENOENT || !last)) {
            r.error = errno;
            return;
        }
        if (found && S_ISLNK(st.st_mode)) {
            struct stat folder {};
            if (::fstat(r.folder.get(), &folder) != 0) {
                r.error = errno;
                return;
            }
            if (!trustedIn(folder, st.st_uid)) {
                const std::string link = joined(where, part);
                r.refusal = std::string(texts::kForeignLink1) + (link == path ? "" : link + " ") +
                            std::string(texts::kForeignLink2);
                return;
            }
            std::string target;
            if (++links > kMaxLinks) {
                r.error = ELOOP;
                return;
            }
            if (!readLinkAt(r.folder.get(), part, static_cast<std::size_t>(st.st_size), target)) {
                r.error = errno;
                return;
            }
            if (target.front() == '/') {
                if (!enter(::open("/", kFolderFlags))) return;
                where = "/";
            }
            prependParts(target, parts);
            continue;
        }
        if (!last) {
            if (!S_ISDIR(st.st_mode)) {
                r.error = ENOTDIR;
                return;
            }
            if (!enter(::openat(r.folder.get(), part.c_str(), kFolderFlags))) return;
            where = joined(where, part);
            continue;
        }
        r.name = part;
        r.shown = joined(where, part);
        r.exists = found;
        r.status = st;
        if (::fstat(r.folder.get(), &r.folderStatus) != 0) r.error = errno;
        return;
    }
    r.error = EISDIR;  // the name ends in a folder: "/", ".", "..", "name/"
}

// Whether the process may not write the existing file `name` in `folder`.
// Root may write anything, so for root a file without any write permission
// counts as read-only: its owner marked it so.
bool isReadOnly(int folder, const std::string& name, const struct stat& st) {
    if (::geteuid() == 0) return (st.st_mode & 0222) == 0;
    return ::faccessat(folder, name.c_str(), W_OK, 0) != 0 && errno == EACCES;
}

// The longest name the folder takes.
std::size_t nameLimit(int folder) {
    const long limit = ::fpathconf(folder, _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

uint64_t randomSeed(const void* salt) {
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<uint64_t>(now.tv_sec) * 1000000007ULL) ^ static_cast<uint64_t>(now.tv_nsec) ^
           (static_cast<uint64_t>(::getpid()) << 40) ^ reinterpret_cast<uintptr_t>(salt);
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
    if (const int alias = descriptorAlias(path_, false); alias >= 0) {
        if (path_ == "-") return writeDirectly(STDOUT_FILENO, false);
        return writeDirectly(::fcntl(alias, F_DUPFD_CLOEXEC, 3), true);
    }

    Resolved r;
    resolveForWriting(path_, r);
    if (!r.refusal.empty()) {
        fail(std::move(r.refusal));
        return false;
    }
    if (r.error != 0) {
        failErrno(r.error);
        return false;
    }
    const struct stat& st = r.status;
    existed_ = r.exists;
    if (r.exists && S_ISDIR(st.st_mode)) {
        failErrno(EISDIR);
        return false;
    }
    if (r.exists && (S_ISREG(st.st_mode) || S_ISFIFO(st.st_mode)) && !trustedIn(r.folderStatus, st.st_uid)) {
        fail(std::string(texts::kForeignFile1) + (r.shown == path_ ? "" : r.shown + " ") +
             std::string(texts::kForeignFile2));
        return false;
    }
    if (r.exists && !S_ISREG(st.st_mode)) {
        // A device, a FIFO or a socket: written as it is, never replaced;
        // only if it is still the file that was checked.
        Descriptor fd(::openat(r.folder.get(), r.name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW));
        struct stat opened {};
        if (fd.get() >= 0 && (::fstat(fd.get(), &opened) != 0 || opened.st_dev != st.st_dev ||
                              opened.st_ino != st.st_ino)) {
            fail(std::string(texts::kTargetChanged));
            return false;
        }
        return writeDirectly(fd.release(), true);
    }
    if (r.exists && isReadOnly(r.folder.get(), r.name, st)) {
        fail(std::string(texts::kReadOnlyFile));
        return false;
    }
    otherNames_ = r.exists && st.st_nlink > 1;

    // The temporary file, new (O_EXCL never follows a link): 0600 while it
    // takes an old file's place, else what the umask leaves of 0666.
    const std::size_t limit = nameLimit(r.folder.get());
    uint64_t random = randomSeed(this);
    int fd = -1;
    std::string name;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        name = temporaryNameFor(r.name, limit, random);
        const DeferInterrupts untilRegistered;  // no temporary file exists unregistered
        fd = ::openat(r.folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      r.exists ? 0600 : 0666);
        if (fd >= 0) {
            registerTemporaryFile(name, r.folder.get());
        } else if (errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        failErrno(errno);
        return false;
    }
    folder_ = r.folder.release();
    target_ = r.name;
    temporary_ = name;
    handle_ = fd;
    ownsHandle_ = true;
    // A replaced file keeps its owner and permissions. Failures here only
    // narrow access, so they are not errors.
    if (r.exists) {
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
            [[maybe_unused]] const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
        }
        ::fchmod(fd, st.st_mode & 07777);  // after fchown, which may clear set-id bits
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
    const int folder = static_cast<int>(folder_);
    if (::renameat(folder, temporary_.c_str(), folder, target_.c_str()) != 0) {
        failErrno(errno);
        return false;
    }
    return true;
}

void SafeFileWriter::deleteTemporary() { ::unlinkat(static_cast<int>(folder_), temporary_.c_str(), 0); }

void SafeFileWriter::closeFolder() {
    if (folder_ >= 0) ::close(static_cast<int>(folder_));
    folder_ = -1;
}

namespace {

// The name that `path` finally leads to: symbolic links followed one by one
// (a relative link target counts from the link's folder). The last name need
// not exist. False for a cycle.
bool followLinks(const std::string& path, std::string& out) {
    out = path;
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st {};
        if (::lstat(out.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        std::string target;
        if (!readLinkAt(AT_FDCWD, out, static_cast<std::size_t>(st.st_size), target)) return true;
        out = target.front() == '/' ? target : folderOf(out) + "/" + target;
    }
    return false;
}

OutputIdentity identify(const std::string& path, bool forReading) {
    OutputIdentity id;
    struct stat st {};
    const int alias = descriptorAlias(path, forReading);
    if (alias >= 0 ? ::fstat(alias, &st) == 0 : ::stat(path.c_str(), &st) == 0) {
        id.exists = true;
        id.regular = S_ISREG(st.st_mode);
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

}  // namespace

OutputIdentity identifyOutput(const std::string& path) { return identify(path, false); }

OutputIdentity identifySource(const std::string& path) { return identify(path, true); }

}  // namespace lomitra
