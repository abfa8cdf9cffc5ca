// The file selection window frmTiedosto without any window toolkit.
//
// FileChooserModel keeps the drive, the folder (Dir1 path) and the typed name
// (txtTiedosto), and runs the checks of "&Avaa" for the purpose that
// ConversionSession::fileAction holds at that moment; then it hides the window
// and runs the action on the conversion window model. The Qt window shows the
// folder and its files in whatever chooser it likes, copies the folder path
// and the name into the model, and calls its handlers.
//
// The drives and the joining of names follow the path style of the system
// (file_paths.h): "/" and the mount points of removable media, or the drive
// letters of Windows. Paths are UTF-8.
#pragma once

#include <string>
#include <vector>

#include "app/conversion_window.h"
#include "app/platform_services.h"
#include "platform/file_paths.h"

namespace lomitra {

// The request of the model to the window that shows it.
class FileChooserView {
public:
    virtual ~FileChooserView() = default;
    // Hides the file selection window (its contents stay).
    virtual void hideChooser() = 0;
};

class FileChooserModel {
public:
    // Starts at `startFolder` (the program's current folder when empty) on the
    // drive that contains it, serving no conversion window yet. `style` is the
    // system's own except in tests.
    explicit FileChooserModel(PlatformServices& platform, std::string startFolder = {},
                              PathStyle style = kNativePathStyle);
    // The same, serving `window` from the start.
    FileChooserModel(ConversionWindowModel& window, PlatformServices& platform,
                     std::string startFolder = {}, PathStyle style = kNativePathStyle);

    void setView(FileChooserView* view) { view_ = view; }

    // The conversion window whose session and actions "&Avaa" uses. The
    // chooser outlives a conversion window closed through its frame: that
    // window detaches itself (nullptr), and the next one attaches itself, while
    // the drive, the folder and the name stay.
    void setWindow(ConversionWindowModel* window) { window_ = window; }
    ConversionWindowModel* window() const { return window_; }

    // Drive1: the drives of the machine, from the platform's mounted volumes.
    std::vector<std::string> availableDrives() const;
    // The drive of the current folder.
    const std::string& drive() const { return drive_; }
    // Drive1 change: the folder becomes the drive. A drive that cannot be read
    // keeps the previous drive and folder, with a message; returns false.
    bool changeDrive(const std::string& drive);

    // Dir1: the current folder; the drive follows it. A folder that cannot be
    // read keeps the previous one, with a message; returns false.
    const std::string& folder() const { return folder_; }
    bool changeFolder(const std::string& folder);

    // File1: the names of the ordinary files of the folder, sorted.
    std::vector<std::string> fileNames() const;
    // File1 click: the clicked name alone goes into txtTiedosto.
    void fileClicked(const std::string& name);
    // txtTiedosto changed by the user's typing: the name no longer counts as
    // chosen from the list, even when it is typed back to the same text.
    void nameTyped(const std::string& text);

    // The typed or clicked file name, or a complete path.
    std::string txtTiedosto;

    // Whether txtTiedosto holds, unedited, a name chosen in File1 in the folder
    // shown. Such a name is taken whatever characters it holds; a typed name
    // with a wildcard character (* ? [ ]) is refused.
    bool nameIsFromFileList() const;

    // "&Avaa" (also a double click in File1). True when the choice was
    // accepted: the window was hidden and the action of fileAction ran
    // (whether that action then succeeded is its own business). False when a
    // check stopped it, or when no conversion window is attached; the window
    // stays open with its contents.
    bool acceptFileChoice();

    // "&Peruuta": hide; nothing else changes.
    void cmdPeruuta_Click();

private:
    ConversionWindowModel* window_ = nullptr;
    PlatformServices& platform_;
    PathStyle style_;
    FileChooserView* view_ = nullptr;
    std::string drive_;
    std::string folder_;
    // The last name clicked in File1 and the folder it was listed in.
    std::string listedName_;
    std::string listedFolder_;
};

}  // namespace lomitra
