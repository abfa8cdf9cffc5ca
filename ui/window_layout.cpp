#include "ui/window_layout.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
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
        // The caption and a little room on each side; the style's full padding
        // is not needed where the design box already holds the caption.
        QString caption = button->text();
        caption.remove(QLatin1Char('&'));
        const int indicator = qobject_cast<const QRadioButton*>(widget) != nullptr ? 24 : 12;
        return button->fontMetrics().horizontalAdvance(caption) + indicator;
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
        return frame->fontMetrics().horizontalAdvance(frame->title()) + 16;
    }
    return 0;
}

}  // namespace

void placeCaptioned(QWidget* widget, int left, int top, int width, int height) {
    const int designWidth = std::max(px(width), captionWidth(widget));
    int designHeight = px(height);
    if (const auto* label = qobject_cast<const QLabel*>(widget); label != nullptr && label->wordWrap()) {
        // A wrapping caption grows downwards instead.
        designHeight = std::max(designHeight, label->heightForWidth(designWidth));
    }
    widget->setGeometry(px(left), px(top), designWidth, designHeight);
}

void placeCaptionedRight(QWidget* widget, int left, int top, int width, int height) {
    const int right = px(left) + px(width);
    const int needed = std::max(px(width), captionWidth(widget));
    widget->setGeometry(right - needed, px(top), needed, px(height));
}

QPoint fitOnScreen(QPoint wanted, QSize frameSize, const QRect& available) {
    const ScreenRect fitted = fitInto(screenRect(QRect(wanted, frameSize)), screenRect(available));
    return {fitted.left, fitted.top};
}

void setClientSize(QWidget* window, int width, int height) {
    window->resize(px(width), px(height));
}

QFont sansSerif(double points, bool bold) {
    QFont font;
    // Liberation Sans has the metrics of Arial (and near those of MS Sans
    // Serif), so the designed boxes fit their captions; without it the
    // platform's default sans-serif is used and boxes widen where needed.
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), font.family()});
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

void fitBetween(QLabel* label, const QWidget* before, const QWidget* after) {
    const int width = label->sizeHint().width();
    int left = label->x();
    if (before != nullptr && after != nullptr) {
        const int roomLeft = before->geometry().right() + 1;
        left = roomLeft + (after->x() - roomLeft - width) / 2;
    } else if (after != nullptr) {
        left = after->x() - kLabelGap - width;
    } else if (before != nullptr) {
        left = before->geometry().right() + 1 + kLabelGap;
    }
    label->setGeometry(left, label->y(), width, label->height());
}

QLabel* addLabel(QWidget* parent, const QString& name, std::string_view caption, int left, int top,
                 int width, int height) {
    auto* label = new QLabel(qs(caption), parent);
    label->setObjectName(name);
    placeCaptioned(label, left, top, width, height);
    return label;
}

QLabel* addRightLabel(QWidget* parent, const QString& name, std::string_view caption, int left,
                      int top, int width, int height) {
    auto* label = new QLabel(qs(caption), parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);  // on the baseline of the row's other labels
    placeCaptionedRight(label, left, top, width, height);
    return label;
}

QPushButton* addButton(QWidget* parent, const QString& name, std::string_view caption, int left,
                       int top, int width, int height) {
    auto* button = new QPushButton(qs(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    placeCaptioned(button, left, top, width, height);
    return button;
}

}  // namespace lomitra::layout
