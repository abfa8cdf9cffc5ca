#include "ui/frm_help.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "engine/help_texts.h"
#include "ui/window_layout.h"

namespace lomitra {

frmHelp::frmHelp(QWidget* parent) : QWidget(parent, Qt::Window), txtHelp_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);  // closing through the frame unloads the window
    setWindowTitle(QStringLiteral("Opastusta"));
    layout::setClientSize(this, 4125, 10515);

    txtHelp_->setObjectName(QStringLiteral("txtHelp"));
    txtHelp_->setFont(layout::sansSerif(9.75, false));
    txtHelp_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtHelp_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtHelp_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtHelp_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout::place(txtHelp_, 0, 0, 4095, 10455);
    setFocusProxy(txtHelp_);

    Form_Load();
}

void frmHelp::Form_Load() {
    placeTopRight();
    settingsHelpText_ = lomitra::settingsHelpText();
    conversionHelpText_ = lomitra::conversionHelpText();
}

void frmHelp::placeTopRight() {
    // The right edge of the window's frame meets the right edge of the screen.
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;  // no screen to place the window on
    const QRect area = screen->geometry();
    const int outerWidth = std::max(frameGeometry().width(), width());
    move(area.x() + area.width() - outerWidth, area.y());
}

void frmHelp::showText(const std::string& text) {
    const bool firstShow = !placedOnScreen_;
    show();
    if (firstShow) {
        // Only a shown window knows the width of its frame.
        placeTopRight();
        placedOnScreen_ = true;
    }
    QString shown = layout::qs(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtHelp_->setPlainText(shown);
    setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)));
    raise();
    activateWindow();
}

void frmHelp::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmHelp::Form_Resize() {
    txtHelp_->setGeometry(0, 0, width(), height());
}

}  // namespace lomitra
