// frmLaske driven through its widgets: typed points converted into the exact
// result-list line, the warning, Enter in each box, copy back, "&Sulje".
#include "tests/ui/ui_test_support.h"

#include "core/map_sheet.h"
#include "ui/encoded_text.h"

namespace lomitra::uitest {
namespace {

// The text padded with spaces, or cut, to `width` characters.
std::string column(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

// A result line: identifier, the two source texts, the two 14-character
// result texts and the map sheets.
std::string resultLine(const std::string& identifier, const std::string& first, const std::string& second,
                       const std::string& result1, const std::string& result2, const std::string& rest) {
    return column(identifier, 8) + " " + column(first, 14) + column(second, 14) + "  " +
           column(result1, 14) + column(result2, 14) + "  " + rest;
}

// The map sheet part of a converted point's line, from the point's own
// coordinates in the two work planes (YKJ and ETRS-TM35FIN).
std::string sheets(double ykjN, double ykjE, double tmN, double tmE) {
    return kkjSheetId(ykjN, ykjE) + "   " + utmSheetId(tmN, tmE) + " ";
}

class ConversionWindowTest : public ProgramTest {
protected:
    frmLaske* window = nullptr;
    QListWidget* results = nullptr;
    std::array<QLineEdit*, 3> boxes{};

    void prepare() {
        window = prepareConversionWindow();
        ASSERT_NE(window, nullptr);
        results = control<QListWidget>(window, "lstTulos");
        for (int i = 0; i < 3; ++i) boxes[i] = control<QLineEdit>(window, QStringLiteral("txtKoord(%1)").arg(i));
    }
    void type(int box, const QString& text) {
        boxes[box]->clear();
        typeKeys(boxes[box], text);
    }
    void clickLine(int row) {
        QListWidgetItem* item = results->item(row);
        ASSERT_NE(item, nullptr);
        results->scrollToItem(item);
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualItemRect(item).center());
    }
};

TEST_F(ConversionWindowTest, TypedPointsBecomeExactResultLines) {
    struct Case {
        const char* name;
        int direction;
        int resultZone;
        QString first, second, identifier;
        std::string expected;  // UTF-8 as the list shows it
    };
    // Network point 1 (Geta) and point 2 (Kökar) of JHS 154 map onto their
    // own published coordinates in the other system.
    const Case cases[] = {
        {"network point 1, EUREF-FIN to YKJ", 0, 3, "6715706.377", "106256.360", "Geta",
         resultLine("Geta", "6715706.377", "106256.360", "6718527.414", "3106266.213",
                    sheets(6718527.414, 3106266.213, 6715706.377, 106256.360))},
        {"network point 2, KKJ to ETRS-TM35FIN, identifier with a Finnish letter", 1, 1, "6661186.097",
         " 3160799.230 ", "Kökar",
         // "Kökar" is 5 characters (the list shows bytes of Windows-1252), so 3 blanks follow.
         "Kökar   " + resultLine("", "6661186.097", "3160799.230", "6658388.640", "160767.714",
                                sheets(6661186.097, 3160799.230, 6658388.640, 160767.714))
                         .substr(8)},
        {"identifier cut to 8 characters, decimal comma read as a point", 0, 3, "6715706,377", "106256.360",
         "Geta-network-1",
         resultLine("Geta-net", "6715706.377", "106256.360", "6718527.414", "3106266.213",
                    sheets(6718527.414, 3106266.213, 6715706.377, 106256.360))},
        {"outside the area: the message ends the line", 0, 0, "1", "1", "",
         column("", 8) + " " + column("1", 14) + column("1", 14) + "    " +
             "annetuille asetuksille sopimattomat koordinaatit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        choose(list("cboMuunnos"), c.direction);
        choose(list("cboTKaista"), c.resultZone);
        prepare();
        type(0, c.first);
        type(1, c.second);
        type(2, c.identifier);
        click(window, "cmdMuunna");
        ASSERT_EQ(results->count(), 9);
        EXPECT_EQ(results->item(8)->text().toStdString(), c.expected);
        EXPECT_EQ(toEncoded(results->item(8)->text(), TextEncoding::Cp1252), window->model().lstTulos[8])
            << "shown byte for byte";
        EXPECT_EQ(program->session().resultState, ResultState::Converted);
        EXPECT_EQ(program->session().convertedCount, 1);
        EXPECT_EQ(text(boxes[2]), c.identifier.toStdString()) << "the boxes keep what was typed";
    }
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(ConversionWindowTest, MissingCoordinateWarnsAndAddsNoLine) {
    prepare();
    for (const auto& [first, second] : {std::pair{"", ""}, std::pair{"6715706.377", "   "},
                                        std::pair{"", "106256.360"}}) {
        platform.shown.clear();
        type(0, QString::fromLatin1(first));
        type(1, QString::fromLatin1(second));
        type(2, QStringLiteral("P1"));
        click(window, "cmdMuunna");
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_EQ(platform.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(platform.shown[0].text, "Lähtökoordinaatteja ei ole vielä annettu.");
        EXPECT_EQ(results->count(), 8);
        EXPECT_EQ(program->session().convertedCount, 0);
        EXPECT_EQ(program->session().resultState, ResultState::NothingConverted);
    }
}

TEST_F(ConversionWindowTest, EnterMovesThroughTheBoxesAndConvertsInTheLast) {
    choose(list("cboTKaista"), 3);
    prepare();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(QApplication::focusWidget(), boxes[0]) << "the first coordinate box has the focus";

    QTest::keyClicks(boxes[0], "6715706.377");
    QTest::keyClick(boxes[0], Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), boxes[1]);
    EXPECT_EQ(results->count(), 8);
    QTest::keyClicks(boxes[1], "106256.360");
    QTest::keyClick(boxes[1], Qt::Key_Enter);  // the keypad's Enter as well
    EXPECT_EQ(QApplication::focusWidget(), boxes[2]);
    EXPECT_EQ(results->count(), 8);
    QTest::keyClicks(boxes[2], "Geta");
    QTest::keyClick(boxes[2], Qt::Key_Return);
    ASSERT_EQ(results->count(), 9);
    EXPECT_TRUE(results->item(8)->text().startsWith(QStringLiteral("Geta     6715706.377")));
    EXPECT_EQ(QApplication::focusWidget(), boxes[0]) << "the focus returns to the first box";
    EXPECT_EQ(text(boxes[0]), "6715706.377") << "the next point is typed over the last one";

    // Alt+M, the access key of "&Muunna", converts as well (the button
    // animates its press before it clicks).
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return results->count() == 10; }));
}

TEST_F(ConversionWindowTest, ClickingAResultLineCopiesItsPointBack) {
    choose(list("cboTKaista"), 3);
    prepare();
    type(0, QStringLiteral("6715706.377"));
    type(1, QStringLiteral("106256.360"));
    type(2, QStringLiteral("  Geta"));
    click(window, "cmdMuunna");
    type(0, QStringLiteral("1"));
    type(1, QStringLiteral("2"));
    type(2, QStringLiteral("x"));
    click(window, "cmdMuunna");
    ASSERT_EQ(results->count(), 10);

    // Headings and the column heading are ignored.
    for (int heading : {0, 1, 7}) {
        clickLine(heading);
        EXPECT_EQ(text(boxes[0]), "1");
        EXPECT_EQ(text(boxes[1]), "2");
        EXPECT_EQ(text(boxes[2]), "x");
    }
    clickLine(8);
    EXPECT_EQ(text(boxes[0]), "6715706.377");
    EXPECT_EQ(text(boxes[1]), "106256.360");
    EXPECT_EQ(text(boxes[2]), "Geta") << "columns 1-8 without their blanks";
    clickLine(9);
    EXPECT_EQ(text(boxes[0]), "1");
    EXPECT_EQ(text(boxes[2]), "x");
}

TEST_F(ConversionWindowTest, SuljeAsksAboutUnwrittenResults) {
    prepare();
    click(window, "cmdLopeta");
    EXPECT_FALSE(window->isVisible()) << "nothing converted: hidden without a question";
    EXPECT_TRUE(platform.shown.empty());

    prepare();
    type(0, QStringLiteral("1"));
    type(1, QStringLiteral("1"));
    click(window, "cmdMuunna");  // a failed point counts as well
    platform.answers = {Answer::Yes};
    click(window, "cmdLopeta");
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].kind, MessageKind::Question);
    EXPECT_EQ(platform.shown[0].text, "Tulostetaanko pisteet ennen lopetusta?");
    EXPECT_EQ(platform.shown[1].kind, MessageKind::Information);
    EXPECT_EQ(platform.shown[1].text, "Valitse tulostustoiminto ja sulje sitten tämä ikkuna.");
    EXPECT_TRUE(window->isVisible()) << "Yes keeps the window open";

    platform.shown.clear();
    platform.answers = {Answer::No};
    click(window, "cmdLopeta");
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].kind, MessageKind::Question);
    EXPECT_FALSE(window->isVisible()) << "No hides the window";
    EXPECT_EQ(results->count(), 9) << "hiding keeps the contents";

    EXPECT_EQ(prepareConversionWindow(), window) << "shown again, not created afresh";
}

TEST_F(ConversionWindowTest, ClosingThroughTheFrameDestroysTheWindow) {
    prepare();
    type(0, QStringLiteral("6715706.377"));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(settingsWindow().conversionWindow(), nullptr);
    prepare();
    EXPECT_EQ(text(boxes[0]), "") << "created afresh with empty boxes";
    EXPECT_EQ(results->count(), 8);
}

}  // namespace
}  // namespace lomitra::uitest
