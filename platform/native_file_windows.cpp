// Files and standard streams on Windows: UTF-8 names through the wide
// functions, standard streams switched to binary mode.
#include "platform/native_file.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <windows.h>

#include "platform/wide_text.h"

namespace lomitra {

std::filesystem::path nativePath(const std::string& utf8) { return std::filesystem::path(widen(utf8)); }

std::string utf8Name(const std::filesystem::path& path) { return narrow(path.native()); }

std::FILE* openForReading(const std::string& path) { return ::_wfopen(widen(path).c_str(), L"rb"); }

bool isFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int64_t regularFileSize(const std::string& path) {
    struct _stat64 st {};
    const int status = path == "-" ? ::_fstat64(0, &st) : ::_wstat64(widen(path).c_str(), &st);
    if (status != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool isTerminal(std::FILE* stream) { return stream != nullptr && ::_isatty(::_fileno(stream)) != 0; }

int descriptorAlias(const std::string&, bool) { return -1; }

bool isOpenDescriptor(int fd) { return fd >= 0; }

void useBinaryStandardStreams() {
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
}

}  // namespace lomitra
