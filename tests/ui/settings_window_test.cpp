// frmEuref driven through its widgets: the start-up state, the direction and
// visibility rules through the drop-down lists, and "&Muunna" preparing frmLaske.
#include "tests/ui/ui_test_support.h"

#include <QGroupBox>

#include "ui/window_layout.h"

namespace lomitra::uitest {
namespace {

std::vector<std::string> items(const QComboBox* list) {
    std::vector<std::string> result;
    for (int i = 0; i < list->count(); ++i) result.push_back(list->itemText(i).toStdString());
    return result;
}

const std::vector<std::string> kFormats = {
    "aa.aaaaaaaa       eli desimaaliasteina                           (a=aste)",
    "aamm.mmmmmm   eli asteina ja minuutteina                   (a=aste,m=minuutti)",
    "aammss.ssss       eli asteina, minuutteina ja sekunteina  (a=aste,m=minuutti,s=sekunti)"};

using SettingsWindowTest = ProgramTest;

TEST_F(SettingsWindowTest, StartsWithTheDefaultListsAndRows) {
    EXPECT_EQ(settingsWindow().windowTitle().toStdString(),
              "EUREF-FIN:n ja KKJ:n väliset muunnokset    (Versio 30.4.2009)");
    struct Case {
        const char* list;
        std::vector<std::string> items;
        int selected;
    };
    const Case cases[] = {
        {"cboMuunnos", {"EUREF-FIN    ==>    KKJ", "KKJ    ==>    EUREF-FIN"}, 0},
        {"cboLahto", {"suorakulmaiset:  Pohjoinen, Itä", "maantieteelliset:  Leveys, Pituus"}, 0},
        {"cboTulos", {"suorakulmaiset:  Pohjoinen, Itä", "maantieteelliset:  Leveys,  Pituus"}, 0},
        {"cboLKaista",
         {"ETRS-TM34, jonka keskimeridiaanin asteluku= 21",
          "ETRS-TM35FIN tai ETRS-GKxx, jonka keskimeridiaanin asteluku= 27 tai xx",
          "ETRS-TM36, jonka keskimeridiaanin asteluku= 33"},
         1},
        {"cboTKaista",
         {"oma kaista  eli pisteen sijainnin mukainen kaista",
          "1.kaista, jonka keskimeridiaanin asteluku= 21 ja I= 1 500 000 m",
          "2.kaista, jonka keskimeridiaanin asteluku= 24 ja I= 2 500 000 m",
          "3.kaista, jonka keskimeridiaanin asteluku= 27 ja I= 3 500 000 m (= YKJ)",
          "4.kaista, jonka keskimeridiaanin asteluku= 30 ja I= 4 500 000 m",
          "5.kaista, jonka keskimeridiaanin asteluku= 33 ja I= 5 500 000 m"},
         0},
        {"cboLFormaatti", kFormats, 0},
        {"cboTFormaatti", kFormats, 0},
    };
    for (const Case& c : cases) {
        QComboBox* box = list(c.list);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(items(box), c.items) << c.list;
        EXPECT_EQ(box->currentIndex(), c.selected) << c.list;
        EXPECT_FALSE(box->isEditable()) << c.list;
    }
    const ConversionSettings& settings = program->settings();
    EXPECT_EQ(settings.direction, 0);
    EXPECT_EQ(settings.sourceZone, 1);
    EXPECT_EQ(settings.resultZone, 0);

    struct Row {
        const char* label;
        const char* list;
        bool shown;
    };
    for (const Row& row : {Row{"lblLKaista", "cboLKaista", true}, Row{"lblTKaista", "cboTKaista", true},
                           Row{"lblLFormaatti", "cboLFormaatti", false},
                           Row{"lblTFormaatti", "cboTFormaatti", false}}) {
        EXPECT_EQ(control<QLabel>(&settingsWindow(), QString::fromLatin1(row.label))->isVisible(), row.shown)
            << row.label;
        EXPECT_EQ(list(row.list)->isVisible(), row.shown) << row.list;
    }
    EXPECT_TRUE(program->datum().ellipsoids().at(1).semiMajorAxis > 0) << "ellipsoids set up at start-up";
}

TEST_F(SettingsWindowTest, TabOrderStartsOnLopetaAndSkipsHiddenRows) {
    settingsWindow().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&settingsWindow()));
    const char* expected[] = {"cmdUlos",    "cmdLaske", "cmdOhje",  "cboMuunnos",
                              "cboTKaista", "cboTulos", "cboLahto", "cboLKaista"};
    for (const char* name : expected) {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), name);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), "cmdUlos") << "the order wraps";
}

TEST_F(SettingsWindowTest, DirectionRuleRefillsAndResetsTheZoneLists) {
    choose(list("cboMuunnos"), 1);
    EXPECT_EQ(items(list("cboLKaista")),
              std::vector<std::string>{"Itä-koordinaatin alkunumero määrää lähtökaistan"});
    ASSERT_EQ(list("cboTKaista")->count(), 17);
    EXPECT_EQ(list("cboTKaista")->currentText().toStdString(),
              "ETRS-TM35FIN, jonka keskimeridiaanin asteluku= 27");
    EXPECT_EQ(list("cboTKaista")->itemText(16).toStdString(), "ETRS-GK32, jonka keskimeridiaanin asteluku= 32");
    EXPECT_EQ(program->settings().direction, 1);
    EXPECT_EQ(program->settings().sourceZone, 0);
    EXPECT_EQ(program->settings().resultZone, 1);

    // A zone chosen in one direction is not remembered across a change of direction.
    choose(list("cboTKaista"), 9);
    EXPECT_EQ(program->settings().resultZone, 9);
    choose(list("cboMuunnos"), 0);
    EXPECT_EQ(list("cboLKaista")->count(), 3);
    EXPECT_EQ(list("cboLKaista")->currentIndex(), 1);
    EXPECT_EQ(list("cboTKaista")->count(), 6);
    EXPECT_EQ(list("cboTKaista")->currentIndex(), 0);
    EXPECT_EQ(program->settings().sourceZone, 1);
    EXPECT_EQ(program->settings().resultZone, 0);
    choose(list("cboLKaista"), 2);
    choose(list("cboMuunnos"), 1);
    choose(list("cboMuunnos"), 0);
    EXPECT_EQ(list("cboLKaista")->currentIndex(), 1);
}

TEST_F(SettingsWindowTest, VisibilityRuleKeepsRowPlacesAndFormatChoices) {
    QLabel* sourceFormatLabel = control<QLabel>(&settingsWindow(), QStringLiteral("lblLFormaatti"));
    const QRect formatPlace = list("cboLFormaatti")->geometry();
    EXPECT_EQ(formatPlace.top(), layout::px(2280)) << "the format row has its own place";

    choose(list("cboLahto"), 1);
    EXPECT_FALSE(list("cboLKaista")->isVisible());
    EXPECT_FALSE(control<QLabel>(&settingsWindow(), QStringLiteral("lblLKaista"))->isVisible());
    EXPECT_TRUE(list("cboLFormaatti")->isVisible());
    EXPECT_TRUE(sourceFormatLabel->isVisible());
    EXPECT_EQ(list("cboLFormaatti")->geometry(), formatPlace) << "hidden rows leave their place empty";
    EXPECT_TRUE(list("cboTKaista")->isVisible()) << "the result side follows its own kind";

    choose(list("cboLFormaatti"), 2);
    choose(list("cboLahto"), 0);
    EXPECT_TRUE(list("cboLKaista")->isVisible());
    EXPECT_FALSE(list("cboLFormaatti")->isVisible());
    choose(list("cboLahto"), 1);
    EXPECT_EQ(list("cboLFormaatti")->currentIndex(), 2) << "format choice survives a change of kind";
    EXPECT_EQ(program->settings().sourceFormat, 2);
    EXPECT_EQ(program->settings().sourceKind, 1);

    choose(list("cboTulos"), 1);
    EXPECT_FALSE(list("cboTKaista")->isVisible());
    EXPECT_TRUE(list("cboTFormaatti")->isVisible());
    choose(list("cboTFormaatti"), 1);
    EXPECT_EQ(program->settings().resultFormat, 1);
    EXPECT_EQ(program->settings().resultKind, 1);
}

struct Preparation {
    const char* name;
    int direction, sourceKind, sourceFormat, resultKind;
    std::string first, second, unit;
    std::vector<std::string> headings;
};

TEST_F(SettingsWindowTest, MuunnaPreparesTheConversionWindow) {
    const std::string directionZeroHeading =
        "Tunnus   Euref-Fin: N ja E             K  K  J:   P ja I             KKJ-lehti  UTM-lehti";
    const Preparation cases[] = {
        {"start values", 0, 0, 0, 0, "N", "E", "m",
         {"MUUNNOS........... EUREF-FIN    ==>    KKJ", "",
          "LÄHTÖKOORDINAATIT. suorakulmaiset: Poh, Itä", "TULOSKOORDINAATIT. suorakulmaiset: Poh, Itä",
          "LÄHTÖKAISTA....... ETRS-TM35FIN tai ETRS-GKxx, jonka keskimeridiaanin asteluku= 27 tai xx",
          "TULOSKAISTA....... oma kaista  eli pisteen sijainnin mukainen kaista", "", directionZeroHeading}},
        {"KKJ, geographic source in degrees and minutes", 1, 1, 1, 0, "Leveys", "Pituus", "aamm.mmmmmm",
         {"MUUNNOS........... KKJ    ==>    EUREF-FIN", "",
          "LÄHTÖKOORDINAATIT. maantieteelliset: Leveys, Pituus",
          "TULOSKOORDINAATIT. suorakulmaiset: Poh, Itä", "LÄHTÖFORMAATTI.... aamm.mmmmmm",
          "TULOSKAISTA....... ETRS-TM35FIN, jonka keskimeridiaanin asteluku= 27", "",
          "Tunnus   K  K  J:   Leveys,Pituus      Euref-Fin: N ja E             KKJ-lehti  UTM-lehti"}},
        {"both sides geographic", 0, 1, 0, 1, "Leveys", "Pituus", "aa.aaaaaaaa",
         {"MUUNNOS........... EUREF-FIN    ==>    KKJ", "",
          "LÄHTÖKOORDINAATIT. maantieteelliset: Leveys, Pituus",
          "TULOSKOORDINAATIT. maantieteelliset: Leveys, Pituus", "LÄHTÖFORMAATTI.... aa.aaaaaaaa",
          "TULOSFORMAATTI.... aa.aaaaaaaa", "",
          "Tunnus   Euref-Fin: Leveys,Pituus      K  K  J:   Leveys,Pituus      KKJ-lehti  UTM-lehti"}},
        {"KKJ, plane", 1, 0, 0, 0, "P", "I", "m", {}},
    };
    for (const Preparation& c : cases) {
        SCOPED_TRACE(c.name);
        choose(list("cboMuunnos"), c.direction);
        choose(list("cboLahto"), c.sourceKind);
        choose(list("cboLFormaatti"), c.sourceFormat);
        choose(list("cboTulos"), c.resultKind);
        frmLaske* window = prepareConversionWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->windowTitle().toStdString(), list("cboMuunnos")->currentText().toStdString());
        EXPECT_EQ(text(control<QLabel>(window, "lblOhjelma")), "Lomitra -ohjelma,   Pvm: 05.03.2009");
        EXPECT_EQ(text(control<QLabel>(window, "lblOhje")),
                  "Lue lähtöpisteet tiedostosta tai näppäile lähtökoordinaatit kenttiin ja klikkaa 'Muunna'");
        EXPECT_EQ(text(control<QLabel>(window, "lblKoord(0)")), c.first);
        EXPECT_EQ(text(control<QLabel>(window, "lblKoord(1)")), c.second);
        EXPECT_EQ(text(control<QLabel>(window, "lblKoord(2)")), "Tunnus");
        EXPECT_EQ(text(control<QLabel>(window, "lblKoord(3)")), c.unit);
        EXPECT_EQ(text(control<QLabel>(window, "lblKoord(4)")), c.unit);
        EXPECT_EQ(text(control<QLabel>(window, "lblKoord(5)")), "(ei pakollinen)");
        if (!c.headings.empty()) {
            EXPECT_EQ(c.headings.back().size(), 89u);
            EXPECT_EQ(lines(control<QListWidget>(window, "lstTulos")), c.headings);
        }
        EXPECT_EQ(settingsWindow().isVisible(), true) << "the settings window stays open beside it";
    }
}

TEST_F(SettingsWindowTest, MuunnaAgainResetsTheSessionAndTheLists) {
    frmLaske* window = prepareConversionWindow();
    ASSERT_NE(window, nullptr);
    auto* first = control<QLineEdit>(window, "txtKoord(0)");
    QTest::keyClicks(first, "6715706.377");
    QTest::keyClicks(control<QLineEdit>(window, "txtKoord(1)"), "106256.360");
    click(window, "cmdMuunna");
    EXPECT_EQ(control<QListWidget>(window, "lstTulos")->count(), 9);
    EXPECT_EQ(program->session().resultState, ResultState::Converted);

    EXPECT_EQ(prepareConversionWindow(), window) << "the same window is shown again";
    EXPECT_EQ(control<QListWidget>(window, "lstTulos")->count(), 8);
    EXPECT_EQ(program->session().resultState, ResultState::NothingConverted);
    EXPECT_EQ(program->session().convertedCount, 0);
    EXPECT_EQ(text(first), "6715706.377") << "the text boxes keep their contents";
}

TEST_F(SettingsWindowTest, LopetaEndsTheProgramAtOnceEvenWithUnwrittenResults) {
    frmLaske* window = prepareConversionWindow();
    ASSERT_NE(window, nullptr);
    QTest::keyClicks(control<QLineEdit>(window, "txtKoord(0)"), "6715706.377");
    QTest::keyClicks(control<QLineEdit>(window, "txtKoord(1)"), "106256.360");
    click(window, "cmdMuunna");
    click(&settingsWindow(), "cmdUlos");
    EXPECT_EQ(endRequests, 1);
    EXPECT_TRUE(platform.shown.empty()) << "nothing is asked";
    EXPECT_FALSE(settingsWindow().isVisible());
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace lomitra::uitest
