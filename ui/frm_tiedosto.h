// frmTiedosto: the file selection window, the program's one file dialogue.
//
// A thin layer over FileChooserModel: a drive list, a folder list and a file
// list to pick from, the typed name, "&Avaa" and "&Peruuta". It serves the
// conversion window that opened it last, whose model runs the chosen action.
// Created at first use and then shown and hidden, for the whole run: closing
// the conversion window through its frame only hides it, so its drive, folder
// and name stay for the next conversion window. Closing it through its own
// frame hides it too.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <memory>

#include "app/file_chooser.h"

namespace lomitra {

class frmLaske;

class frmTiedosto : public QWidget, private FileChooserView {
    Q_OBJECT
public:
    // A window of its own over `parent` (the settings window, which lives for the whole run).
    frmTiedosto(QWidget* parent, PlatformServices& platform);
    ~frmTiedosto() override;

    FileChooserModel& model() { return *model_; }

    // The conversion window that "&Avaa" acts for; nullptr detaches it (the
    // window is then hidden). True when this changed the window served.
    bool serve(frmLaske* window);
    frmLaske* servedWindow() const { return owner_; }

    // Lists the files of the folder again (after a file was written there).
    void refreshFileList();

private:
    // FileChooserView
    void hideChooser() override;

    void buildControls();
    void showDrives();
    void showFolders();
    void Drive1_Change(int index);
    void Dir1_Change(QListWidgetItem* item);
    void File1_Click(QListWidgetItem* item);
    void File1_DblClick(QListWidgetItem* item);
    void cmdAvaa_Click();
    void cmdPeruuta_Click();

    QPointer<frmLaske> owner_;
    std::unique_ptr<FileChooserModel> model_;
    bool syncing_ = false;

    QLabel* Label2_ = nullptr;
    QComboBox* Drive1_ = nullptr;
    QLabel* Label3_ = nullptr;
    QListWidget* Dir1_ = nullptr;
    QLabel* Label1_ = nullptr;
    QLineEdit* txtTiedosto_ = nullptr;
    QListWidget* File1_ = nullptr;
    QPushButton* cmdAvaa_ = nullptr;
    QPushButton* cmdPeruuta_ = nullptr;
};

}  // namespace lomitra
