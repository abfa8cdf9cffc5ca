// One run of Lomitra: the state the windows and the engine share, created
// once in main (and afresh by every window test), and the settings window.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/conversion_session.h"
#include "app/platform_services.h"
#include "core/conversion_engine.h"
#include "core/conversion_settings.h"
#include "core/conversion_state.h"
#include "geodesy/datum_transformation.h"

namespace lomitra {

class frmEuref;
class frmHelp;
class frmLaske;
class frmTiedosto;
class QtPlatformServices;

class LomitraProgram {
public:
    // The production run: message boxes, date and printing from Qt.
    LomitraProgram();
    // A run on other platform services (the tests script theirs).
    explicit LomitraProgram(PlatformServices& platform);
    ~LomitraProgram();
    LomitraProgram(const LomitraProgram&) = delete;
    LomitraProgram& operator=(const LomitraProgram&) = delete;

    // The settings window, created (and loaded) with the program.
    frmEuref& settingsWindow() { return *settingsWindow_; }

    ConversionSettings& settings() { return settings_; }
    DatumTransformation& datum() { return datum_; }
    ConversionState& state() { return state_; }
    ConversionEngine& engine() { return engine_; }
    ConversionSession& session() { return session_; }
    PlatformServices& platform() { return platform_; }

    // The help window while it exists; both help buttons share it.
    frmHelp* helpWindow() const;
    // Both help buttons: show the help window without blocking (loading it
    // when needed), put the settings or the conversion help text into it,
    // and set its normal state.
    enum class HelpText { Settings, Conversion };
    void showHelp(HelpText which);

    // Called when a conversion window has been created: it is the window that printing renders.
    void conversionWindowCreated(QWidget* window);

    // The file selection window once it exists. It lives for the whole run
    // and serves one conversion window at a time.
    frmTiedosto* fileChooser() const;
    // The file selection window serving `window`, created when needed.
    frmTiedosto& fileChooserFor(frmLaske& window);
    // Called by a conversion window that is being destroyed: the file
    // selection window stops serving it and hides, keeping its contents.
    void conversionWindowDestroyed(frmLaske& window);

    // "&Lopeta": ends the run. By default the application's event loop ends;
    // a test may watch the request instead.
    void endProgram();
    void setEndProgramHandler(std::function<void()> handler) { endProgram_ = std::move(handler); }

private:
    LomitraProgram(std::unique_ptr<QtPlatformServices> ownPlatform, PlatformServices* platform);

    std::unique_ptr<QtPlatformServices> qtPlatform_;  // only in the production run
    PlatformServices& platform_;
    ConversionSettings settings_;
    DatumTransformation datum_;
    ConversionState state_;
    ConversionEngine engine_{settings_, datum_, state_};
    ConversionSession session_;
    std::function<void()> endProgram_;
    // Declared before the settings window: its child windows reach it while it is destroyed.
    QPointer<frmTiedosto> fileChooser_;
    std::unique_ptr<frmEuref> settingsWindow_;
    QPointer<frmHelp> helpWindow_;
};

}  // namespace lomitra
