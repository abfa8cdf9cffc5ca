// Paths as the file selection window handles them, for either kind of system,
// so that the logic for Windows paths is the same (and tested) everywhere.
//
// POSIX: one tree from "/"; the drives of the drive list are "/" and the
// mount points of removable media (under /media, /mnt, /run/media).
// Windows: a tree per drive letter ("C:\"); names are joined with "\", and
// "C:name" names a file in the current folder of drive C.
#pragma once

#include <string>
#include <vector>

namespace lomitra {

enum class PathStyle { Posix, Windows };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

// The drives of the drive list among the root folders of the mounted volumes
// (as the system lists them): POSIX "/" first, then the mount points of
// removable media, sorted; Windows the drive letters, "C:\" and so on, sorted.
std::vector<std::string> drivesAmong(const std::vector<std::string>& volumeRoots, PathStyle style);

// The drive that `folder` lies on: POSIX the longest of `drives` that
// contains it, else "/"; Windows its drive letter ("D:\" for "d:\Temp"), or
// the "\\server\share\" of a network path.
std::string driveOf(const std::string& folder, const std::vector<std::string>& drives, PathStyle style);

// `name` in `folder`, joined with the style's separator (not doubled after a
// folder that already ends in one).
std::string joinPath(const std::string& folder, const std::string& name, PathStyle style);

// Windows: the drive letter of a drive-relative name such as "C:pisteet.txt"
// (upper case), or 0 for any other name.
char driveRelativeLetter(const std::string& name, PathStyle style);

}  // namespace lomitra
