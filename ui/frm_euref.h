// frmEuref: the settings window, the window the program opens with.
//
// It owns the seven drop-down lists whose selected positions are the
// ConversionSettings of the run (it is their only writer), opens the
// conversion window prepared for the chosen conversion, and the help window.
// What it decides comes from app/settings_window.h; this class shows it.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace lomitra {

class LomitraProgram;
class frmLaske;

class frmEuref : public QWidget {
    Q_OBJECT
public:
    explicit frmEuref(LomitraProgram& program);
    ~frmEuref() override;

    // The two rules of the window, run by the list handlers: AsetaMuunnos1
    // refills the zone lists for the direction, AsetaMuunnos2 shows the zone
    // and format rows that the chosen kinds need.
    void AsetaMuunnos1();
    void AsetaMuunnos2();

    // The other windows while they exist (created at first use).
    frmLaske* conversionWindow() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void cboMuunnos_Click();
    void cboLahto_Click();
    void cboTulos_Click();
    void cmdLaske_Click();
    void placeConversionWindow();
    void cmdOhje_Click();
    void cmdUlos_Click();

    // Copies the seven selected positions into the program's ConversionSettings.
    void storeSettings();
    void fitListsToTheirItems();
    void buildControls();
    QComboBox* addList(const char* name, int top);
    QLabel* addRowLabel(const char* name, std::string_view caption, int top);

    LomitraProgram& program_;
    bool loading_ = true;

    QLabel* Label6_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLabel* Label7_ = nullptr;
    QLabel* Label9_ = nullptr;
    QLabel* lblLKaista_ = nullptr;
    QLabel* lblTKaista_ = nullptr;
    QLabel* lblLFormaatti_ = nullptr;
    QLabel* lblTFormaatti_ = nullptr;
    QComboBox* cboMuunnos_ = nullptr;
    QComboBox* cboLahto_ = nullptr;
    QComboBox* cboTulos_ = nullptr;
    QComboBox* cboLKaista_ = nullptr;
    QComboBox* cboTKaista_ = nullptr;
    QComboBox* cboLFormaatti_ = nullptr;
    QComboBox* cboTFormaatti_ = nullptr;
    QPushButton* cmdLaske_ = nullptr;
    QPushButton* cmdOhje_ = nullptr;
    QPushButton* cmdUlos_ = nullptr;
    QLabel* Image1_ = nullptr;

    QPointer<frmLaske> frmLaske_;
};

}  // namespace lomitra
