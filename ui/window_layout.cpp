#include "ui/window_layout.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>
#include <algorithm>

namespace lomitra::layout {

void place(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(px(left), px(top), px(width), px(height));
}

namespace {

// Pixels the caption of `widget` needs on one line, or 0 for a control
// without a single-line caption (a word-wrapped label wraps instead).
int captionWidth(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->wordWrap() || label->text().isEmpty()) return 0;
        return label->sizeHint().width();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->sizeHint().width();
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
        return frame->fontMetrics().horizontalAdvance(frame->title()) + 16;
    }
    return 0;
}

}  // namespace

void placeCaptioned(QWidget* widget, int left, int top, int width, int height) {
    const int designWidth = px(width);
    widget->setGeometry(px(left), px(top), std::max(designWidth, captionWidth(widget)),
                        px(height));
}

void setClientSize(QWidget* window, int width, int height) {
    window->resize(px(width), px(height));
}

QFont sansSerif(double points, bool bold) {
    QFont font;  // the application's default family
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont fixedPitch(double points) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(points);
    font.setBold(false);
    return font;
}

}  // namespace lomitra::layout
