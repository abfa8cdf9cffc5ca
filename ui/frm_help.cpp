#include "ui/frm_help.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "app/help_texts.h"
#include "app/window_placement.h"
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
    // The window's frame (caption bar and borders, not only the text box)
    // meets the top right corner of the screen area that windows may cover.
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;  // no screen to place the window on
    const QSize frame = frameGeometry().size().expandedTo(size());
    const ScreenRect placed =
        topRightCorner(frame.width(), frame.height(), layout::screenRect(screen->availableGeometry()));
    move(placed.left, placed.top);  // move() places the frame's top-left corner
}

void frmHelp::showText(const std::string& text) {
    const bool firstShow = !placedOnScreen_;
    show();
    if (firstShow) {
        // A shown window may know its frame; a window manager decorates it a
        // little later, so the window is placed again at its first exposure.
        placeTopRight();
        placedOnScreen_ = true;
        if (QWindow* handle = windowHandle()) handle->installEventFilter(this);
    }
    QString shown = layout::qs(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtHelp_->setPlainText(shown);
    setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)));
    raise();
    activateWindow();
}

bool frmHelp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        watched->removeEventFilter(this);  // once: afterwards the window is the user's to move
        placeTopRight();
    }
    return QWidget::eventFilter(watched, event);
}

void frmHelp::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmHelp::Form_Resize() {
    txtHelp_->setGeometry(0, 0, width(), height());
}

}  // namespace lomitra
