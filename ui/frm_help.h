// frmHelp: the help window with one of the two help texts.
//
// Created by the first press of a help button; closing it through its frame
// destroys it, and the next press creates it again at the top right of the screen.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>
#include <string>

namespace lomitra {

class frmHelp : public QWidget {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* parent = nullptr);

    // The texts built when the window was loaded (UTF-8, "\r\n" line breaks).
    const std::string& settingsHelpText() const { return settingsHelpText_; }
    const std::string& conversionHelpText() const { return conversionHelpText_; }

    // The three steps of both help buttons: show without blocking, put the
    // text into txtHelp (replacing what was there), set the normal state.
    void showText(const std::string& text);

    QPlainTextEdit* txtHelp() const { return txtHelp_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The first exposure of the shown window: placed again with its frame known.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void placeTopRight();

    QPlainTextEdit* txtHelp_;
    std::string settingsHelpText_;
    std::string conversionHelpText_;
    bool placedOnScreen_ = false;
};

}  // namespace lomitra
