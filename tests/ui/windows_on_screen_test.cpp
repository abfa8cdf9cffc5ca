// Where the windows stand and how their rows line up, on the screen the test
// runs on: CTest runs these tests also on offscreen screens of 1600 x 1200
// and 1024 x 768 pixels with window frames (tests/ui/screens/).
#include "tests/ui/ui_test_support.h"

#include <QGroupBox>
#include <QScreen>
#include <QStyle>

#include "ui/frm_help.h"
#include "ui/frm_tiedosto.h"

namespace lomitra::uitest {
namespace {

// Where a label's text stands: the top of its painted text plus the font's
// ascent, in the coordinates of the label's parent (as QLabel paints it).
int baseline(const QLabel* label) {
    const QFontMetrics metrics(label->font());
    const QRect text = label->style()->itemTextRect(metrics, label->contentsRect(), label->alignment(),
                                                    label->isEnabled(), label->text());
    return label->y() + text.top() + metrics.ascent();
}

QRect onScreen(const QWidget* widget) { return {widget->mapToGlobal(QPoint(0, 0)), widget->size()}; }

std::string describe(const QRect& rect) {
    return std::to_string(rect.x()) + "," + std::to_string(rect.y()) + " " + std::to_string(rect.width()) +
           "x" + std::to_string(rect.height());
}

class WindowsOnScreenTest : public ProgramTest {
protected:
    QRect available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // Whether the screen is as large as the smallest one the windows are designed for.
    bool roomyScreen() const { return available().width() >= 1024 && available().height() >= 768; }
};

TEST_F(WindowsOnScreenTest, InputRowLabelsStandOnTheRowsBaselineClearOfTheBoxes) {
    frmLaske* window = prepareConversionWindow();
    ASSERT_NE(window, nullptr);
    constexpr int kMinimumGap = 3;  // pixels between a label and any box of its row
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const auto name = [row](const char* base, int index) {
            return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(index);
        };
        const std::vector<QLabel*> labels = {
            control<QLabel>(window, name("lblKoord", row)), control<QLabel>(window, name("lblKoord", row + 3)),
            control<QLabel>(window, name("lblAlkaen", row)), control<QLabel>(window, name("lblPituus", row)),
            control<QLabel>(window, name("lblMerkkia", row))};
        const std::vector<QLineEdit*> boxes = {control<QLineEdit>(window, name("txtKoord", row)),
                                               control<QLineEdit>(window, name("txtAlku", row)),
                                               control<QLineEdit>(window, name("txtPituus", row))};
        const int rowBaseline = baseline(labels[4]);  // "merkkiä"
        for (const QLabel* label : labels) {
            ASSERT_NE(label, nullptr);
            SCOPED_TRACE(label->objectName().toStdString() + " \"" + label->text().toStdString() + "\"");
            if (label->text().isEmpty()) continue;
            EXPECT_LE(std::abs(baseline(label) - rowBaseline), 1);
            const QRect widened = label->geometry().adjusted(-kMinimumGap, 0, kMinimumGap, 0);
            for (const QLineEdit* box : boxes) {
                ASSERT_NE(box, nullptr);
                EXPECT_FALSE(widened.intersects(box->geometry()))
                    << describe(label->geometry()) << " and " << box->objectName().toStdString() << " at "
                    << describe(box->geometry());
            }
            // The whole caption fits its label.
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        }
    }
}

TEST_F(WindowsOnScreenTest, FileChooserOpensWhollyOnTheScreenClearOfButtonsAndInputRows) {
    frmLaske* window = prepareConversionWindow();
    ASSERT_NE(window, nullptr);
    SCOPED_TRACE("available " + describe(available()) + ", conversion window " +
                 describe(window->frameGeometry()));
    EXPECT_TRUE(available().contains(window->frameGeometry()) || !roomyScreen());

    // The controls a user still needs while the chooser is open, named here
    // rather than taken from the window's own list.
    const auto controlsOf = [](frmLaske* conversionWindow) {
        std::vector<const QWidget*> controls;
        for (const QPushButton* button : conversionWindow->findChildren<QPushButton*>()) controls.push_back(button);
        for (const char* frame : {"frameKoordinaattirivi", "frameLahtokoordinaatit"}) {
            controls.push_back(control<QGroupBox>(conversionWindow, QString::fromLatin1(frame)));
        }
        return controls;
    };
    ASSERT_EQ(controlsOf(window).size(), 11u) << "9 buttons and 2 frames";

    // The first request creates the chooser; after the conversion window was
    // closed through its frame, the next one's request shows the same chooser.
    for (const char* when : {"created", "kept for a new conversion window"}) {
        SCOPED_TRACE(when);
        click(window, "cmdLahto");
        frmTiedosto* chooser = window->fileChooser();
        ASSERT_NE(chooser, nullptr);
        ASSERT_TRUE(chooser->isVisible());
        const QRect placed = chooser->frameGeometry();
        SCOPED_TRACE("chooser " + describe(placed));
        EXPECT_TRUE(available().contains(placed)) << "wholly on the screen";
        if (roomyScreen()) {
            for (const QWidget* each : controlsOf(window)) {
                EXPECT_FALSE(placed.intersects(onScreen(each)))
                    << each->objectName().toStdString() << " at " << describe(onScreen(each));
            }
        }
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window = prepareConversionWindow();
        ASSERT_NE(window, nullptr);
    }
}

TEST_F(WindowsOnScreenTest, HelpWindowFrameMeetsTheTopRightCornerOfTheAvailableArea) {
    for (const char* from : {"settings", "conversion"}) {
        SCOPED_TRACE(from);
        if (std::string(from) == "settings") {
            click(&settingsWindow(), "cmdOhje");
        } else {
            frmLaske* window = prepareConversionWindow();
            ASSERT_NE(window, nullptr);
            click(window, "cmdOhje");
        }
        frmHelp* help = program->helpWindow();
        ASSERT_NE(help, nullptr);
        const QRect frame = help->frameGeometry();
        SCOPED_TRACE("frame " + describe(frame) + ", client " + describe(help->geometry()));
        EXPECT_EQ(frame.right(), available().right());
        EXPECT_EQ(frame.top(), available().top());
        if (available().height() >= frame.height()) {
            EXPECT_TRUE(available().contains(frame));
        }
        EXPECT_LT(help->geometry().right(), frame.right() + 1) << "the border lies inside the screen too";
        help->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace
}  // namespace lomitra::uitest
