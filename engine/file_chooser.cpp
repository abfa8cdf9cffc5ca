// The file selection window frmTiedosto without any window toolkit.
#include "engine/file_chooser.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "engine/texts.h"

namespace lomitra {

namespace fs = std::filesystem;

namespace {

// Mount points of removable media count as drives besides the root.
bool isMediaMount(const std::string& mountPoint) {
    return mountPoint.rfind("/media/", 0) == 0 || mountPoint.rfind("/mnt/", 0) == 0 ||
           mountPoint.rfind("/run/media/", 0) == 0;
}

// /proc/mounts writes a blank in a path as \040 (octal escapes).
std::string unescapeMountPoint(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string octal = field.substr(i + 1, 3);
            if (octal.size() == 3 && std::all_of(octal.begin(), octal.end(),
                                                 [](char c) { return c >= '0' && c <= '7'; })) {
                out += static_cast<char>(std::stoi(octal, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

bool isReadableFolder(const std::string& folder) {
    std::error_code error;
    fs::directory_iterator listing(folder, error);
    return !error;
}

std::string withPath(std::string_view text, const std::string& path) {
    std::string message(text);
    message += texts::kLineBreak;
    message += path;
    return message;
}

}  // namespace

FileChooserModel::FileChooserModel(ConversionWindowModel& window, PlatformServices& platform,
                                   std::string startFolder)
    : FileChooserModel(platform, std::move(startFolder)) {
    window_ = &window;
}

FileChooserModel::FileChooserModel(PlatformServices& platform, std::string startFolder)
    : platform_(platform), folder_(std::move(startFolder)) {
    if (folder_.empty()) {
        std::error_code error;
        folder_ = fs::current_path(error).string();
        if (error || folder_.empty()) folder_ = "/";
    }
    // The drive is the longest drive path that contains the folder.
    drive_ = "/";
    for (const std::string& candidate : availableDrives()) {
        if (candidate.size() > drive_.size() && folder_.rfind(candidate, 0) == 0 &&
            (folder_.size() == candidate.size() || folder_[candidate.size()] == '/')) {
            drive_ = candidate;
        }
    }
}

std::vector<std::string> FileChooserModel::availableDrives() {
    std::vector<std::string> drives{"/"};
    std::ifstream mounts("/proc/mounts");
    std::string entry;
    while (std::getline(mounts, entry)) {
        std::istringstream fields(entry);
        std::string device;
        std::string mountPoint;
        if (!(fields >> device >> mountPoint)) continue;
        mountPoint = unescapeMountPoint(mountPoint);
        if (isMediaMount(mountPoint) &&
            std::find(drives.begin(), drives.end(), mountPoint) == drives.end()) {
            drives.push_back(mountPoint);
        }
    }
    std::sort(drives.begin() + 1, drives.end());
    return drives;
}

bool FileChooserModel::changeDrive(const std::string& drive) {
    if (!isReadableFolder(drive)) {
        platform_.showMessage(MessageKind::Warning, withPath(texts::kDriveNotReadable, drive));
        return false;
    }
    drive_ = drive;
    folder_ = drive;
    return true;
}

bool FileChooserModel::changeFolder(const std::string& folder) {
    if (!isReadableFolder(folder)) {
        platform_.showMessage(MessageKind::Warning, withPath(texts::kFolderNotReadable, folder));
        return false;
    }
    folder_ = folder;
    return true;
}

std::vector<std::string> FileChooserModel::fileNames() const {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError)) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void FileChooserModel::fileClicked(const std::string& name) {
    txtTiedosto = name;
    listedName_ = name;
    listedFolder_ = folder_;
}

void FileChooserModel::nameTyped(const std::string& text) {
    txtTiedosto = text;
    listedName_.clear();
    listedFolder_.clear();
}

bool FileChooserModel::nameIsFromFileList() const {
    return !listedName_.empty() && txtTiedosto == listedName_ && folder_ == listedFolder_;
}

bool FileChooserModel::acceptFileChoice() {
    if (window_ == nullptr) return false;  // no conversion window to act for
    ConversionSession& session = window_->session();
    const std::string name = txtTiedosto;
    if (name.empty()) {
        platform_.showMessage(MessageKind::Warning, texts::kFileNameMissing);
        return false;
    }
    // A typed pattern most likely means "one of these files", not a file of
    // that name; a name picked from the list is the name of an existing file.
    if (!nameIsFromFileList() && name.find_first_of("*?[]") != std::string::npos) {
        platform_.showMessage(MessageKind::Warning, texts::kWildcardInName);
        return false;
    }
    // A name with a folder part is a complete path; a bare name lies in the folder shown.
    const std::string path =
        name.find_first_of("\\/") != std::string::npos ? name : folder_ + "/" + name;
    session.chosenPath = path;
    const bool found = platform_.isExistingFile(path);

    if (session.fileAction == FileAction::OpenSource) {
        if (!found) {
            platform_.showMessage(MessageKind::Warning, withPath(texts::kFileNotFound, path));
            return false;
        }
    } else {
        if (path == session.sourceFileName) {
            std::string message(texts::kSameFile1);
            message += texts::kLineBreak;
            message += texts::kSameFile2;
            platform_.showMessage(MessageKind::Warning, message);
            return false;
        }
        if (found) {
            std::string question(texts::kOverwrite1);
            question += path;
            question += texts::kLineBreak;
            question += texts::kOverwrite2;
            if (platform_.showMessage(MessageKind::Question, question) != Answer::Yes) return false;
        }
    }

    if (view_ != nullptr) view_->hideChooser();
    switch (session.fileAction) {
        case FileAction::OpenSource:
            window_->readSourceFile(path);
            break;
        case FileAction::WriteResultFile:
            window_->writeResultFile(path);
            break;
        case FileAction::WriteTable:
            window_->writeResultTable(path);
            break;
    }
    return true;
}

void FileChooserModel::cmdPeruuta_Click() {
    if (view_ != nullptr) view_->hideChooser();
}

}  // namespace lomitra
