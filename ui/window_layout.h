// How the design layout of the windows maps onto Qt: positions and sizes are
// designed in twips (1/1440 inch) at 15 twips to a pixel, and the design fonts
// MS Sans Serif, Arial and Courier become the platform's sans-serif and
// fixed-pitch fonts.
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <string_view>

#include "app/window_placement.h"

class QLabel;
class QPushButton;
class QWidget;

namespace lomitra::layout {

inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels, rounded to the nearest pixel.
constexpr int px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// Places `widget` at Left, Top, Width, Height in twips, relative to its parent.
void place(QWidget* widget, int left, int top, int width, int height);

// Places a captioned control like place(), but widens it to the right when the
// substituted font needs more room than the design box gives its caption
// (a word-wrapping label grows downwards instead).
void placeCaptioned(QWidget* widget, int left, int top, int width, int height);

// The same for a right-aligned caption: the box keeps its right edge and
// widens to the left.
void placeCaptionedRight(QWidget* widget, int left, int top, int width, int height);

// A label or a button named `name` with `caption` (UTF-8), placed by
// placeCaptioned (or placeCaptionedRight for a right-aligned label). Buttons
// are never default buttons: Enter does not press them.
QLabel* addLabel(QWidget* parent, const QString& name, std::string_view caption, int left, int top,
                 int width, int height = 255);
QLabel* addRightLabel(QWidget* parent, const QString& name, std::string_view caption, int left,
                      int top, int width, int height = 255);
QPushButton* addButton(QWidget* parent, const QString& name, std::string_view caption, int left,
                       int top, int width, int height = 375);

// Pixels kept at least between a label and a box beside it in the same row.
inline constexpr int kLabelGap = 3;

// Gives `label` the width of its caption and puts it in its row beside the
// boxes: between `before` and `after` it is centred in the room they leave;
// with only `after` it ends kLabelGap pixels before it; with only `before` it
// begins kLabelGap pixels after it. (The designed boxes of a row meet or
// overlap by a pixel after rounding twips to pixels.)
void fitBetween(QLabel* label, const QWidget* before, const QWidget* after);

// Where a window whose frame is `frameSize` goes when it should stand at
// `wanted` (the top-left of its frame): moved left and up just as far as
// needed for the whole frame to lie in `available`, but never past the left
// or top edge of `available`, so that its caption stays reachable.
QPoint fitOnScreen(QPoint wanted, QSize frameSize, const QRect& available);

// The same rectangle for the toolkit-free placement rules, and back.
inline ScreenRect screenRect(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}
inline QRect qrect(const ScreenRect& rect) { return {rect.left, rect.top, rect.width, rect.height}; }

// Gives a top-level window its client area in twips.
void setClientSize(QWidget* window, int width, int height);

// MS Sans Serif and Arial: the platform's default sans-serif family.
QFont sansSerif(double points, bool bold);
// Courier: the platform's fixed-pitch font.
QFont fixedPitch(double points);

inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace lomitra::layout
