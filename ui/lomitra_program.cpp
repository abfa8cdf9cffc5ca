#include "ui/lomitra_program.h"

#include <QApplication>

#include "ui/frm_euref.h"
#include "ui/frm_help.h"
#include "ui/frm_laske.h"
#include "ui/frm_tiedosto.h"
#include "ui/qt_platform_services.h"

namespace lomitra {

LomitraProgram::LomitraProgram()
    : LomitraProgram(std::make_unique<QtPlatformServices>(), nullptr) {}

LomitraProgram::LomitraProgram(PlatformServices& platform) : LomitraProgram(nullptr, &platform) {}

LomitraProgram::LomitraProgram(std::unique_ptr<QtPlatformServices> ownPlatform,
                               PlatformServices* platform)
    : qtPlatform_(std::move(ownPlatform)),
      platform_(platform != nullptr ? *platform : *qtPlatform_),
      endProgram_([] { QApplication::exit(0); }),
      settingsWindow_(std::make_unique<frmEuref>(*this)) {}

LomitraProgram::~LomitraProgram() = default;

frmHelp* LomitraProgram::helpWindow() const { return helpWindow_; }

void LomitraProgram::showHelp(HelpText which) {
    if (helpWindow_.isNull()) {
        // Loading builds both texts and places the window at the top right.
        helpWindow_ = new frmHelp(settingsWindow_.get());
    }
    helpWindow_->showText(which == HelpText::Settings ? helpWindow_->settingsHelpText()
                                                      : helpWindow_->conversionHelpText());
}

void LomitraProgram::conversionWindowCreated(QWidget* window) {
    if (qtPlatform_ != nullptr) qtPlatform_->setConversionWindow(window);
}

frmTiedosto* LomitraProgram::fileChooser() const { return fileChooser_; }

frmTiedosto& LomitraProgram::fileChooserFor(frmLaske& window) {
    if (fileChooser_.isNull()) {
        // Starts in the program's current folder; a child window of the
        // settings window, so it ends with the program at the latest.
        fileChooser_ = new frmTiedosto(settingsWindow_.get(), platform_);
    }
    fileChooser_->serve(&window);
    return *fileChooser_;
}

void LomitraProgram::conversionWindowDestroyed(frmLaske& window) {
    if (!fileChooser_.isNull() && fileChooser_->servedWindow() == &window) fileChooser_->serve(nullptr);
}

void LomitraProgram::endProgram() {
    if (endProgram_) endProgram_();
}

}  // namespace lomitra
