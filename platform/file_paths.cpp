#include "platform/file_paths.h"

#include <algorithm>
#include <cctype>

namespace lomitra {

namespace {

bool isSeparator(char c, PathStyle style) { return c == '/' || (style == PathStyle::Windows && c == '\\'); }

bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 128; }

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Mount points of removable media count as drives besides the root.
bool isMediaMount(const std::string& mountPoint) {
    return mountPoint.rfind("/media/", 0) == 0 || mountPoint.rfind("/mnt/", 0) == 0 ||
           mountPoint.rfind("/run/media/", 0) == 0;
}

// "C:\" for a root such as "C:", "c:/", "C:\".
std::string driveLetterRoot(char letter) { return std::string(1, upper(letter)) + ":\\"; }

}  // namespace

std::vector<std::string> drivesAmong(const std::vector<std::string>& volumeRoots, PathStyle style) {
    std::vector<std::string> drives;
    if (style == PathStyle::Windows) {
        for (const std::string& root : volumeRoots) {
            const bool letterRoot = root.size() >= 2 && root.size() <= 3 && isLetter(root[0]) && root[1] == ':' &&
                                    (root.size() == 2 || isSeparator(root[2], style));
            if (letterRoot) drives.push_back(driveLetterRoot(root[0]));
        }
        std::sort(drives.begin(), drives.end());
    } else {
        for (std::string root : volumeRoots) {
            while (root.size() > 1 && root.back() == '/') root.pop_back();
            if (isMediaMount(root)) drives.push_back(root);
        }
        std::sort(drives.begin(), drives.end());
        drives.insert(drives.begin(), "/");
    }
    drives.erase(std::unique(drives.begin(), drives.end()), drives.end());
    return drives;
}

std::string driveOf(const std::string& folder, const std::vector<std::string>& drives, PathStyle style) {
    if (style == PathStyle::Windows) {
        if (folder.size() >= 2 && isLetter(folder[0]) && folder[1] == ':') return driveLetterRoot(folder[0]);
        if (folder.size() > 2 && isSeparator(folder[0], style) && isSeparator(folder[1], style)) {
            // \\server\share\...: the share is the drive.
            std::size_t separators = 0;
            for (std::size_t i = 2; i < folder.size(); ++i) {
                if (isSeparator(folder[i], style) && ++separators == 2) return folder.substr(0, i + 1);
            }
            return folder + "\\";
        }
        return {};
    }
    std::string drive = "/";
    for (const std::string& candidate : drives) {
        if (candidate.size() > drive.size() && folder.rfind(candidate, 0) == 0 &&
            (folder.size() == candidate.size() || folder[candidate.size()] == '/')) {
            drive = candidate;
        }
    }
    return drive;
}

std::string joinPath(const std::string& folder, const std::string& name, PathStyle style) {
    if (folder.empty()) return name;
    const char separator = style == PathStyle::Windows ? '\\' : '/';
    return isSeparator(folder.back(), style) ? folder + name : folder + separator + name;
}

char driveRelativeLetter(const std::string& name, PathStyle style) {
    if (style != PathStyle::Windows || name.size() < 3 || !isLetter(name[0]) || name[1] != ':') return 0;
    return isSeparator(name[2], style) ? 0 : upper(name[0]);
}

}  // namespace lomitra
