// The file selection window frmTiedosto without any window toolkit.
#include "app/file_chooser.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/texts.h"
#include "platform/native_file.h"
#include "platform/safe_file_writer.h"

namespace lomitra {

namespace fs = std::filesystem;

namespace {

bool isReadableFolder(const std::string& folder) {
    std::error_code error;
    fs::directory_iterator listing(nativePath(folder), error);
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
                                   std::string startFolder, PathStyle style)
    : FileChooserModel(platform, std::move(startFolder), style) {
    window_ = &window;
}

FileChooserModel::FileChooserModel(PlatformServices& platform, std::string startFolder, PathStyle style)
    : platform_(platform), style_(style), folder_(std::move(startFolder)) {
    if (folder_.empty()) {
        std::error_code error;
        folder_ = utf8Name(fs::current_path(error));
        if (error || folder_.empty()) folder_ = style_ == PathStyle::Windows ? "C:\\" : "/";
    }
    drive_ = driveOf(folder_, availableDrives(), style_);
}

std::vector<std::string> FileChooserModel::availableDrives() const {
    return drivesAmong(platform_.volumeRoots(), style_);
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
    drive_ = driveOf(folder_, availableDrives(), style_);
    return true;
}

std::vector<std::string> FileChooserModel::fileNames() const {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(nativePath(folder_), error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError)) names.push_back(utf8Name(it->path().filename()));
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
    // A name with a folder part is a complete path; a bare name lies in the
    // folder shown. "C:name" lies in the current folder of drive C, which is
    // the folder shown when that is on drive C; another drive's is not known.
    std::string path;
    if (const char letter = driveRelativeLetter(name, style_); letter != 0) {
        if (drive_.empty() || std::toupper(static_cast<unsigned char>(drive_[0])) != letter) {
            platform_.showMessage(MessageKind::Warning, std::string(texts::kDriveRelative1) + letter +
                                                            std::string(texts::kDriveRelative2) + letter +
                                                            std::string(texts::kDriveRelative3));
            return false;
        }
        path = joinPath(folder_, name.substr(2), style_);
    } else {
        path = name.find_first_of("\\/") != std::string::npos ? name : joinPath(folder_, name, style_);
    }
    session.chosenPath = path;
    const bool found = platform_.isExistingFile(path);

    if (session.fileAction == FileAction::OpenSource) {
        if (!found) {
            platform_.showMessage(MessageKind::Warning, withPath(texts::kFileNotFound, path));
            return false;
        }
    } else {
        // The source in any spelling: another path to it, a link, a hard link.
        if (sameOutputFile(path, session.sourceFileName)) {
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
