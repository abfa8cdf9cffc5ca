// The decisions of the settings window: lists, rules, and the preparation of
// the conversion window.
#include "app/settings_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lomitra {
namespace {

// The settings right after start-up: the lists at position 0, then the direction rule.
ConversionSettings startSettings() {
    ConversionSettings settings;
    settings.direction = 0;
    settings.sourceKind = 0;
    settings.resultKind = 0;
    settings.sourceFormat = 0;
    settings.resultFormat = 0;
    settings.sourceZone = -1;
    settings.resultZone = -1;
    applyDirectionRule(settings);
    return settings;
}

TEST(SettingsWindow, FixedListTexts) {
    EXPECT_EQ(directionItems(),
              (std::vector<std::string>{"EUREF-FIN    ==>    KKJ", "KKJ    ==>    EUREF-FIN"}));
    EXPECT_EQ(sourceKindItems(), (std::vector<std::string>{"suorakulmaiset:  Pohjoinen, Itä",
                                                           "maantieteelliset:  Leveys, Pituus"}));
    EXPECT_EQ(resultKindItems(), (std::vector<std::string>{"suorakulmaiset:  Pohjoinen, Itä",
                                                           "maantieteelliset:  Leveys,  Pituus"}));
    const std::vector<std::string> formats = formatItems();
    ASSERT_EQ(formats.size(), 3u);
    // Lengths as counted in characters; all of these texts are ASCII.
    EXPECT_EQ(formats[0].size(), 73u);
    EXPECT_EQ(formats[1].size(), 78u);
    EXPECT_EQ(formats[2].size(), 87u);
    EXPECT_EQ(formats[1],
              "aamm.mmmmmm   eli asteina ja minuutteina                   (a=aste,m=minuutti)");
    EXPECT_EQ(formatPattern(0), "aa.aaaaaaaa");
    EXPECT_EQ(formatPattern(1), "aamm.mmmmmm");
    EXPECT_EQ(formatPattern(2), "aammss.ssss");
    EXPECT_EQ(formatPattern(3), "");
    EXPECT_EQ(directionItems()[0].size(), 23u);
    EXPECT_EQ(directionItems()[1].size(), 23u);
}

TEST(SettingsWindow, StartState) {
    const ConversionSettings settings = startSettings();
    EXPECT_EQ(settings.sourceZone, 1);
    EXPECT_EQ(settings.resultZone, 0);
    EXPECT_EQ(sourceZoneItems(0).at(1),
              "ETRS-TM35FIN tai ETRS-GKxx, jonka keskimeridiaanin asteluku= 27 tai xx");
    EXPECT_EQ(resultZoneItems(0).at(0), "oma kaista  eli pisteen sijainnin mukainen kaista");
    EXPECT_EQ(resultZoneItems(0).at(3),
              "3.kaista, jonka keskimeridiaanin asteluku= 27 ja I= 3 500 000 m (= YKJ)");
    EXPECT_EQ(resultZoneItems(0).size(), 6u);
    const RowVisibility rows = rowVisibility(settings);
    EXPECT_TRUE(rows.sourceZone);
    EXPECT_TRUE(rows.resultZone);
    EXPECT_FALSE(rows.sourceFormat);
    EXPECT_FALSE(rows.resultFormat);
}

TEST(SettingsWindow, DirectionRuleRefillsAndResetsTheZones) {
    ConversionSettings settings = startSettings();
    settings.direction = 1;
    applyDirectionRule(settings);
    EXPECT_EQ(sourceZoneItems(1),
              (std::vector<std::string>{"Itä-koordinaatin alkunumero määrää lähtökaistan"}));
    const std::vector<std::string> results = resultZoneItems(1);
    ASSERT_EQ(results.size(), 17u);
    EXPECT_EQ(settings.sourceZone, 0);
    EXPECT_EQ(settings.resultZone, 1);
    EXPECT_EQ(results[1], "ETRS-TM35FIN, jonka keskimeridiaanin asteluku= 27");
    EXPECT_EQ(results[3], "ETRS-GK19, jonka keskimeridiaanin asteluku= 19");
    EXPECT_EQ(results[16], "ETRS-GK32, jonka keskimeridiaanin asteluku= 32");

    // Back to EUREF-FIN -> KKJ after other zones were chosen: positions 1 and 0 again;
    // kinds and formats are left alone.
    settings.direction = 0;
    settings.sourceZone = 2;
    settings.resultZone = 4;
    settings.sourceKind = 1;
    settings.sourceFormat = 2;
    settings.resultFormat = 1;
    applyDirectionRule(settings);
    EXPECT_EQ(settings.sourceZone, 1);
    EXPECT_EQ(settings.resultZone, 0);
    EXPECT_EQ(settings.sourceKind, 1);
    EXPECT_EQ(settings.sourceFormat, 2);
    EXPECT_EQ(settings.resultFormat, 1);

    // No selection takes the KKJ -> EUREF-FIN branch.
    EXPECT_EQ(sourceZoneItems(-1).size(), 1u);
    EXPECT_EQ(resultZoneSelection(-1), 1);
}

TEST(SettingsWindow, VisibilityFollowsTheKindsAndFormatsSurvive) {
    ConversionSettings settings = startSettings();
    settings.sourceKind = 1;
    settings.sourceFormat = 2;
    RowVisibility rows = rowVisibility(settings);
    EXPECT_FALSE(rows.sourceZone);
    EXPECT_TRUE(rows.sourceFormat);
    EXPECT_TRUE(rows.resultZone);
    EXPECT_FALSE(rows.resultFormat);

    settings.sourceKind = 0;  // plane again, then geographic: the format is still 2
    rows = rowVisibility(settings);
    EXPECT_TRUE(rows.sourceZone);
    settings.sourceKind = 1;
    EXPECT_EQ(headingLines(settings)[4], "L\xC4HT\xD6" "FORMAATTI.... aammss.ssss");

    settings.resultKind = -1;  // no selection shows the format row
    rows = rowVisibility(settings);
    EXPECT_FALSE(rows.resultZone);
    EXPECT_TRUE(rows.resultFormat);
}

// Expected heading lines are written in Windows-1252 bytes: C4 is A-umlaut, D6 O-umlaut, E4 a-umlaut.
TEST(SettingsWindow, HeadingLinesAtTheStartValues) {
    const std::array<std::string, 8> lines = headingLines(startSettings());
    const std::array<std::string, 8> expected = {
        "MUUNNOS........... EUREF-FIN    ==>    KKJ",
        "",
        "L\xC4HT\xD6KOORDINAATIT. suorakulmaiset: Poh, It\xE4",
        "TULOSKOORDINAATIT. suorakulmaiset: Poh, It\xE4",
        "L\xC4HT\xD6KAISTA....... ETRS-TM35FIN tai ETRS-GKxx, jonka keskimeridiaanin "
        "asteluku= 27 tai xx",
        "TULOSKAISTA....... oma kaista  eli pisteen sijainnin mukainen kaista",
        "",
        "Tunnus   Euref-Fin: N ja E             K  K  J:   P ja I             KKJ-lehti  UTM-lehti",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(lines[7].size(), 89u);
}

TEST(SettingsWindow, HeadingLinesForAGeographicSourceInKkj) {
    ConversionSettings settings = startSettings();
    settings.direction = 1;
    applyDirectionRule(settings);
    settings.sourceKind = 1;
    settings.sourceFormat = 1;
    const std::array<std::string, 8> lines = headingLines(settings);
    const std::array<std::string, 8> expected = {
        "MUUNNOS........... KKJ    ==>    EUREF-FIN",
        "",
        "L\xC4HT\xD6KOORDINAATIT. maantieteelliset: Leveys, Pituus",
        "TULOSKOORDINAATIT. suorakulmaiset: Poh, It\xE4",
        "L\xC4HT\xD6" "FORMAATTI.... aamm.mmmmmm",
        "TULOSKAISTA....... ETRS-TM35FIN, jonka keskimeridiaanin asteluku= 27",
        "",
        "Tunnus   K  K  J:   Leveys,Pituus      Euref-Fin: N ja E             KKJ-lehti  UTM-lehti",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(lines[7].size(), 89u);
}

TEST(SettingsWindow, HeadingLinesWithBothSidesGeographic) {
    ConversionSettings settings = startSettings();
    settings.sourceKind = 1;
    settings.resultKind = 1;
    settings.resultFormat = 2;
    const std::array<std::string, 8> lines = headingLines(settings);
    EXPECT_EQ(lines[3], "TULOSKOORDINAATIT. maantieteelliset: Leveys, Pituus");
    EXPECT_EQ(lines[4], "L\xC4HT\xD6" "FORMAATTI.... aa.aaaaaaaa");
    EXPECT_EQ(lines[5], "TULOSFORMAATTI.... aammss.ssss");
    EXPECT_EQ(lines[7],
              "Tunnus   Euref-Fin: Leveys,Pituus      K  K  J:   Leveys,Pituus      KKJ-lehti  "
              "UTM-lehti");
    // Positions 21-33 and 51-63, counted from 1.
    EXPECT_EQ(lines[7].substr(20, 13), "Leveys,Pituus");
    EXPECT_EQ(lines[7].substr(50, 13), "Leveys,Pituus");
    EXPECT_EQ(lines[7].size(), 89u);
}

TEST(SettingsWindow, ConversionWindowPreparation) {
    struct Case {
        const char* name;
        int32_t direction;
        int32_t sourceKind;
        int32_t sourceFormat;
        InputFieldNames expected;
        const char* caption;
    };
    const Case cases[] = {
        {"plane EUREF-FIN", 0, 0, 2, {"N", "E", "m", "m"}, "EUREF-FIN    ==>    KKJ"},
        {"plane KKJ", 1, 0, 0, {"P", "I", "m", "m"}, "KKJ    ==>    EUREF-FIN"},
        {"geographic, degrees and minutes", 1, 1, 1,
         {"Leveys", "Pituus", "aamm.mmmmmm", "aamm.mmmmmm"}, "KKJ    ==>    EUREF-FIN"},
        {"geographic, decimal degrees", 0, 1, 0,
         {"Leveys", "Pituus", "aa.aaaaaaaa", "aa.aaaaaaaa"}, "EUREF-FIN    ==>    KKJ"},
    };
    for (const Case& c : cases) {
        ConversionSettings settings = startSettings();
        settings.direction = c.direction;
        applyDirectionRule(settings);
        settings.sourceKind = c.sourceKind;
        settings.sourceFormat = c.sourceFormat;
        const InputFieldNames names = inputFieldNames(settings);
        EXPECT_EQ(names.first, c.expected.first) << c.name;
        EXPECT_EQ(names.second, c.expected.second) << c.name;
        EXPECT_EQ(names.firstUnit, c.expected.firstUnit) << c.name;
        EXPECT_EQ(names.secondUnit, c.expected.secondUnit) << c.name;
        EXPECT_EQ(conversionWindowCaption(settings), c.caption) << c.name;
    }
}

TEST(SettingsWindow, ProgramLineCarriesTheDate) {
    EXPECT_EQ(programLine(Date{2009, 3, 5}), "Lomitra -ohjelma,   Pvm: 05.03.2009");
    EXPECT_EQ(programLine(Date{1999, 12, 31}), "Lomitra -ohjelma,   Pvm: 31.12.1999");
}

}  // namespace
}  // namespace lomitra
