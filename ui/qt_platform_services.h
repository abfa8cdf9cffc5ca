// The platform services of the windows, provided by Qt: message boxes, the
// date, printing the conversion window, and the file lookup.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/platform_services.h"

namespace lomitra {

class QtPlatformServices : public PlatformServices {
public:
    // A message box with only the text, the icon of its kind and its buttons
    // ("Kyllä" and "Ei" for a question, "OK" otherwise), over the active window.
    Answer showMessage(MessageKind kind, std::string_view text) override;

    Date today() const override;

    // Renders the image of the conversion window, as displayed, onto a page of
    // the default printer. False when there is no default printer, the window
    // does not exist, or painting on the printer fails.
    bool printConversionWindow() override;

    bool isExistingFile(const std::string& path) const override;

    // The mounted volumes that Qt sees (drive letters on Windows).
    std::vector<std::string> volumeRoots() const override;

    // The window that printConversionWindow() prints; it may be destroyed later.
    void setConversionWindow(QWidget* window) { conversionWindow_ = window; }

private:
    QPointer<QWidget> conversionWindow_;
};

}  // namespace lomitra
