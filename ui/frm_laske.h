// frmLaske: the conversion window.
//
// A thin layer over ConversionWindowModel: each event handler copies the
// widgets' contents into the model, runs one handler of the model, and shows
// the model's contents again. Created at the first "&Muunna" of the settings
// window and afterwards shown and hidden; closing it through its frame
// destroys it with its contents (the file selection window stays, hidden).
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/conversion_window.h"

namespace lomitra {

class LomitraProgram;
class frmTiedosto;

class frmLaske : public QWidget, private ConversionWindowView {
    Q_OBJECT
public:
    frmLaske(LomitraProgram& program, QWidget* parent);
    ~frmLaske() override;

    // The settings window's "&Muunna": prepares the window for the conversion chosen there.
    void prepare();

    // The model's view of the controls; between events it equals the widgets.
    ConversionWindowModel& model() { return *model_; }
    // Copies what the user typed, edited or chose into the model.
    void pullFromWidgets();
    // Shows the model's contents in the widgets (only what differs is replaced).
    void showModel();

    // The file selection window while it exists (created at first use).
    frmTiedosto* fileChooser() const;

    // What the file selection window must leave uncovered where the screen
    // has room: the buttons, the guidance line and the two frames of input
    // (coordinate line; input rows), in screen pixels.
    std::vector<QRect> controlsToKeepClear() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ConversionWindowView
    void showFileChooser(std::string_view caption) override;
    void focusCoordinateBox(int index) override;
    void scrollResultListToEnd() override;
    void refreshFileList() override;

    void buildControls();
    void placeFileChooser(frmTiedosto& chooser);
    // Runs one handler of the model between a pull and a show.
    template <typename Handler>
    void run(Handler handler);
    // The lines a list shows, and the encoding they were shown in.
    struct ShownLines {
        std::vector<std::string> lines;
        TextEncoding encoding = TextEncoding::Cp1252;
    };
    void syncList(QListWidget* list, ShownLines& shown, const std::vector<std::string>& lines,
                  TextEncoding encoding);

    void cmdOhje_Click();
    void cmdLopeta_Click();
    void lstTulos_Click(int index);
    void txtKRivi_MouseUp();

    LomitraProgram& program_;
    std::unique_ptr<ConversionWindowModel> model_;
    bool syncing_ = false;

    QLabel* Label10_ = nullptr;
    QLabel* lblOhje_ = nullptr;
    QPushButton* cmdLahto_ = nullptr;
    QListWidget* lstLahto_ = nullptr;
    QPushButton* cmdSeuraava_ = nullptr;
    QPushButton* cmdAloituskohdat_ = nullptr;
    QPushButton* cmdOhje_ = nullptr;
    QPushButton* cmdTulostiedosto_ = nullptr;
    QPushButton* cmdTauTie_ = nullptr;
    QPushButton* cmdPrintterille_ = nullptr;
    QPushButton* cmdLopeta_ = nullptr;
    QPushButton* cmdMuunna_ = nullptr;
    QPlainTextEdit* txtKRivi_ = nullptr;
    QRadioButton* optFixed_ = nullptr;
    QRadioButton* optFree_ = nullptr;
    std::array<QLabel*, 6> lblKoord_{};
    std::array<QLineEdit*, 3> txtKoord_{};
    std::array<QLineEdit*, 3> txtAlku_{};
    std::array<QLineEdit*, 3> txtPituus_{};
    QListWidget* lstTulos_ = nullptr;
    QLabel* lblOhjelma_ = nullptr;

    ShownLines shownLahto_;  // lines now in lstLahto_
    ShownLines shownTulos_;  // lines now in lstTulos_
};

}  // namespace lomitra
