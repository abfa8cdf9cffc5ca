// What a user meets on a desktop: marking again on the coordinate line where
// the last marking still stands, and windows kept on the screen.
#include "tests/ui/ui_test_support.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include "ui/window_layout.h"

namespace lomitra::uitest {
namespace {

std::string boxText(const QWidget* window, const char* name, int index) {
    return control<QLineEdit>(window, QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index))
        ->text()
        .toStdString();
}

QPoint characterStart(QPlainTextEdit* line, int position0) {
    QTextCursor cursor = line->textCursor();
    cursor.setPosition(position0);
    return line->cursorRect(cursor).center();
}

TEST_F(ProgramTest, PressInsideTheLastMarkingStartsANewOneAndKeepsTheLine) {
    frmLaske* window = prepareConversionWindow();
    ASSERT_NE(window, nullptr);
    auto* line = control<QPlainTextEdit>(window, "txtKRivi");
    const QString sample = QStringLiteral("Geta   6715706.377  106256.360 Åland");
    line->setPlainText(sample);

    // North, columns 8-18, marked by a drag.
    QTest::mousePress(line->viewport(), Qt::LeftButton, {}, characterStart(line, 7));
    QTest::mouseMove(line->viewport(), characterStart(line, 18));
    QTest::mouseRelease(line->viewport(), Qt::LeftButton, {}, characterStart(line, 18));
    ASSERT_EQ(boxText(window, "txtKoord", 0), "6715706.377");

    // The next drag begins inside that marking (column 10) and ends at column 13.
    QTest::mousePress(line->viewport(), Qt::LeftButton, {}, characterStart(line, 9));
    ASSERT_FALSE(line->textCursor().hasSelection())
        << "a press on the marked characters must not pick them up to be dragged away";
    QTest::mouseMove(line->viewport(), characterStart(line, 13));
    QTest::mouseRelease(line->viewport(), Qt::LeftButton, {}, characterStart(line, 13));

    EXPECT_EQ(line->toPlainText(), sample) << "the coordinate line is not edited by marking";
    EXPECT_EQ(boxText(window, "txtKoord", 1), "1570");
    EXPECT_EQ(boxText(window, "txtAlku", 1), "10");
    EXPECT_EQ(boxText(window, "txtPituus", 1), "4");
    EXPECT_EQ(boxText(window, "txtKoord", 0), "6715706.377") << "the first marking stays";
}

TEST(WindowPlacement, FitOnScreenMovesAWindowOnlyAsFarAsNeeded) {
    // A screen of 1600 x 1000 pixels whose top 30 pixels hold a panel.
    const QRect available(0, 30, 1600, 970);
    struct Case {
        const char* name;
        QPoint wanted;
        QSize frame;
        QPoint expected;
    };
    const Case cases[] = {
        {"fits where wanted", {100, 200}, {800, 700}, {100, 200}},
        {"too low: moved up until its bottom meets the screen's", {797, 309}, {803, 730}, {797, 270}},
        {"too far right: moved left", {1189, 308}, {803, 730}, {797, 270}},
        {"above the panel: moved down below it", {50, 0}, {400, 300}, {50, 30}},
        {"taller than the screen: caption stays on the screen", {10, 500}, {400, 1200}, {10, 30}},
        {"wider than the screen: left edge stays on the screen", {900, 40}, {1700, 300}, {0, 40}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(layout::fitOnScreen(c.wanted, c.frame, available), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace lomitra::uitest
