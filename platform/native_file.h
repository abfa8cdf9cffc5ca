// Files and standard streams, the system's own way. Every name in the program
// is UTF-8; these functions give it to the system in the system's own form
// (on Windows, UTF-16 through the wide functions, whatever the code page).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace lomitra {

// The name `utf8` as a std::filesystem path, and back.
std::filesystem::path nativePath(const std::string& utf8);
std::string utf8Name(const std::filesystem::path& path);

// Opens the file `path` for reading bytes; nullptr with errno set on failure.
std::FILE* openForReading(const std::string& path);
// Whether `path` names an existing folder.
bool isFolder(const std::string& path);
// The size in bytes of the regular file `path` ("-": standard input), or -1
// for anything else (a pipe, a device, a missing file).
int64_t regularFileSize(const std::string& path);
// Whether `stream` is a terminal (a console).
bool isTerminal(std::FILE* stream);
// The descriptor that `path` names when it stands for one already open: "-"
// (standard input when `forReading`, else standard output), /dev/stdin,
// /dev/stdout, /dev/stderr, /dev/fd/N and /proc/self/fd/N; -1 for any other
// name. Windows has no such names: -1 always ("-" is its standard handle,
// taken where it is used).
int descriptorAlias(const std::string& path, bool forReading);
// Whether the descriptor `fd` is open (POSIX systems).
bool isOpenDescriptor(int fd);
// Standard input, output and error pass bytes unchanged (no CR LF
// translation, no end-of-file byte); nothing to do on POSIX systems.
void useBinaryStandardStreams();

}  // namespace lomitra
