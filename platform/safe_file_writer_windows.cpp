// Safe file writer on Windows: names through the wide functions; the
// temporary file is hidden and lies beside the file that the name finally
// leads to (links followed by the system); ReplaceFileW puts it in place of
// an existing file and keeps that file's attributes and permissions (ACL),
// MoveFileExW of a new one. A target that another program holds open is
// retried for a moment, then reported as in use. Devices (NUL, CON) and pipes
// are written directly.
#include <cerrno>
#include <cwctype>

#include <windows.h>

#include "core/texts.h"
#include "platform/interrupt_cleanup.h"
#include "platform/safe_file_writer.h"
#include "platform/wide_text.h"

namespace lomitra {

namespace {

constexpr int kReplaceAttempts = 20;     // a held file gets this many tries ...
constexpr DWORD kReplacePauseMs = 100;   // ... this far apart: two seconds in all

HANDLE asHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
intptr_t fromHandle(HANDLE handle) { return reinterpret_cast<intptr_t>(handle); }

// The errno value whose text tells the user what a Windows error means.
int errnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return EACCES;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_UNABLE_TO_REMOVE_REPLACED:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
        case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2:
            return EBUSY;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
            return EPIPE;
        default:
            return EIO;
    }
}

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The folder part of `path` as it may be prefixed to a name in that folder:
// "C:\dir\" for "C:\dir\file", "C:" for "C:file", "" for "file".
std::wstring folderPrefix(const std::wstring& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1]) || (i == 2 && path[1] == L':')) return path.substr(0, i);
    }
    return {};
}

// Opens `path` only to look at it (no data access, every sharing allowed).
HANDLE openToLookAt(const std::wstring& path) {
    return ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The name of the file an open handle is, with links followed; empty when unknown.
std::wstring finalName(HANDLE file) {
    std::wstring name(MAX_PATH, L'\0');
    DWORD n = ::GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), 0);
    if (n >= name.size()) {
        name.resize(n + 1);
        n = ::GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), 0);
    }
    if (n == 0 || n >= name.size()) return {};
    name.resize(n);
    return name;
}

// A seed for the temporary names' letters.
uint64_t randomSeed(const void* salt) {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    return static_cast<uint64_t>(counter.QuadPart) ^ (uint64_t{::GetCurrentProcessId()} << 32) ^
           reinterpret_cast<uintptr_t>(salt);
}

// Whether another program holds `path` open so that it cannot be replaced.
bool isHeldOpen(const std::wstring& path) {
    const HANDLE probe = ::CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_SHARING_VIOLATION;
    ::CloseHandle(probe);
    return false;
}

}  // namespace

bool SafeFileWriter::openTarget() {
    if (path_ == "-") {
        direct_ = true;
        handle_ = fromHandle(::GetStdHandle(STD_OUTPUT_HANDLE));
        if (asHandle(handle_) == INVALID_HANDLE_VALUE || asHandle(handle_) == nullptr) {
            failErrno(EBADF);
            return false;
        }
        return true;
    }
    const std::wstring name = widen(path_);
    std::wstring target = name;
    if (const HANDLE probe = openToLookAt(name); probe != INVALID_HANDLE_VALUE) {
        const DWORD type = ::GetFileType(probe);
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = ::GetFileInformationByHandle(probe, &info) != 0;
        const std::wstring final = type == FILE_TYPE_DISK ? finalName(probe) : std::wstring();
        ::CloseHandle(probe);
        if (type != FILE_TYPE_DISK) {
            // A device (NUL, CON, a port) or a pipe: written as it is, never replaced.
            const HANDLE device = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_EXISTING, 0, nullptr);
            if (device == INVALID_HANDLE_VALUE) {
                failErrno(errnoOf(::GetLastError()));
                return false;
            }
            direct_ = true;
            handle_ = fromHandle(device);
            ownsHandle_ = true;
            return true;
        }
        if (known && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            failErrno(EISDIR);
            return false;
        }
        if (known && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
            fail(std::string(texts::kReadOnlyFile));
            return false;
        }
        if (!final.empty()) target = final;
        existed_ = true;
        otherNames_ = known && info.nNumberOfLinks > 1;
    } else if (const DWORD error = ::GetLastError(); error != ERROR_FILE_NOT_FOUND) {
        failErrno(errnoOf(error));
        return false;
    }

    // The hidden temporary file, ".NAME.lomitra-XXXXXX" beside the target
    // (at most 255 bytes of UTF-8 are at most 255 UTF-16 units, the limit).
    const std::wstring prefix = folderPrefix(target);
    const std::string targetName = narrow(target.substr(prefix.size()));
    uint64_t random = randomSeed(this);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring candidate = prefix + widen(temporaryNameFor(targetName, 255, random));
        HANDLE file = INVALID_HANDLE_VALUE;
        {
            const DeferInterrupts untilRegistered;  // no temporary file exists unregistered
            // Deleting is shared, so that an interrupt can remove it while it is open.
            file = ::CreateFileW(candidate.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
            if (file != INVALID_HANDLE_VALUE) registerTemporaryFile(narrow(candidate));
        }
        if (file != INVALID_HANDLE_VALUE) {
            target_ = narrow(target);
            temporary_ = narrow(candidate);
            handle_ = fromHandle(file);
            ownsHandle_ = true;
            return true;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            failErrno(errnoOf(error));
            return false;
        }
    }
    failErrno(EEXIST);
    return false;
}

int64_t SafeFileWriter::writeSome(const char* data, std::size_t size) {
    const DWORD chunk = size > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (::WriteFile(asHandle(handle_), data, chunk, &written, nullptr) == 0) {
        failErrno(errnoOf(::GetLastError()));
        return -1;
    }
    if (written == 0) {  // nothing taken: a device that accepts no more
        failErrno(ENOSPC);
        return -1;
    }
    return written;
}

bool SafeFileWriter::syncAndClose(bool sync) {
    if (handle_ == -1) return !failed_;
    if (sync && ::FlushFileBuffers(asHandle(handle_)) == 0) failErrno(errnoOf(::GetLastError()));
    if (ownsHandle_ && ::CloseHandle(asHandle(handle_)) == 0 && !failed_) failErrno(errnoOf(::GetLastError()));
    handle_ = -1;
    ownsHandle_ = false;
    return !failed_;
}

bool SafeFileWriter::replaceTarget() {
    const std::wstring temporary = widen(temporary_);
    const std::wstring target = widen(target_);
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
        if (attempt > 0) ::Sleep(kReplacePauseMs);
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        bool done = false;
        if (attributes != INVALID_FILE_ATTRIBUTES && isHeldOpen(target)) {
            // Not even tried while held: a failed replacement may leave files of its own behind.
            error = ERROR_SHARING_VIOLATION;
            continue;
        }
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            // A new file: no longer hidden, then moved into place.
            ::SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
            done = ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
        } else {
            // The old file's attributes and permissions pass to the new contents.
            done = ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                  nullptr, nullptr) != 0;
        }
        if (done) return true;
        error = ::GetLastError();
        const bool transient = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                               error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED ||
                               error == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
                               error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2;
        if (!transient) break;
    }
    // Access denied while another program holds the file is the file being in use.
    if (error == ERROR_ACCESS_DENIED && isHeldOpen(target)) error = ERROR_SHARING_VIOLATION;
    failErrno(errnoOf(error));
    return false;
}

void SafeFileWriter::deleteTemporary() { ::DeleteFileW(widen(temporary_).c_str()); }

void SafeFileWriter::closeFolder() {}

namespace {

// An existing file is known by its volume and file index, anything else by
// its full name in lower case (Windows names ignore case). "-" is the
// standard handle `standard` (input or output).
OutputIdentity identify(const std::string& path, DWORD standard) {
    OutputIdentity id;
    const std::wstring name = path == "-" ? std::wstring(L"CONOUT$") : widen(path);
    const HANDLE probe = path == "-" ? ::GetStdHandle(standard) : openToLookAt(name);
    if (probe != INVALID_HANDLE_VALUE && probe != nullptr) {
        BY_HANDLE_FILE_INFORMATION info{};
        const bool disk = ::GetFileType(probe) == FILE_TYPE_DISK && ::GetFileInformationByHandle(probe, &info);
        if (path != "-") ::CloseHandle(probe);
        if (disk) {
            id.exists = true;
            id.regular = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
            id.device = info.dwVolumeSerialNumber;
            id.file = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
            return id;
        }
    }
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n + 1);
        n = ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    full.resize(n < full.size() ? n : 0);
    if (full.empty()) full = name;
    for (wchar_t& c : full) c = static_cast<wchar_t>(std::towlower(c));
    id.name = narrow(full);
    return id;
}

}  // namespace

OutputIdentity identifyOutput(const std::string& path) { return identify(path, STD_OUTPUT_HANDLE); }

OutputIdentity identifySource(const std::string& path) { return identify(path, STD_INPUT_HANDLE); }

}  // namespace lomitra
