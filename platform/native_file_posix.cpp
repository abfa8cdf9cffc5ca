// Files and standard streams on POSIX systems: names are bytes, taken as they are.
#include "platform/native_file.h"

#include <charconv>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lomitra {

std::filesystem::path nativePath(const std::string& utf8) { return std::filesystem::path(utf8); }

std::string utf8Name(const std::filesystem::path& path) { return path.string(); }

std::FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t regularFileSize(const std::string& path) {
    struct stat st {};
    const int status = path == "-" ? ::fstat(STDIN_FILENO, &st) : ::stat(path.c_str(), &st);
    if (status != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool isTerminal(std::FILE* stream) { return stream != nullptr && ::isatty(::fileno(stream)) == 1; }

int descriptorAlias(const std::string& path, bool forReading) {
    if (path == "-") return forReading ? STDIN_FILENO : STDOUT_FILENO;
    if (path == "/dev/stdin") return STDIN_FILENO;
    if (path == "/dev/stdout") return STDOUT_FILENO;
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

bool isOpenDescriptor(int fd) { return fd >= 0 && ::fcntl(fd, F_GETFD) != -1; }

void useBinaryStandardStreams() {}

}  // namespace lomitra
