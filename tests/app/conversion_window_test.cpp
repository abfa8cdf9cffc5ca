// The conversion window's logic without a window: preparing, typed points,
// the Enter key, copying a result line back, closing, printing and the
// resultState rules.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

#include "core/coordinate_text.h"
#include "core/cp1252.h"
#include "core/texts.h"
#include "window_test_support.h"

namespace lomitra {
namespace {

using testing::convertedLine;
using testing::failedLine;
using testing::kHeadingCount;
using testing::kPoint32EurefE;
using testing::kPoint32EurefN;
using testing::kPoint32KkjI;
using testing::kPoint32KkjP;
using testing::kPoint32Sheets;
using testing::WindowFixture;

constexpr int kEnter = 13;

class ConversionWindowTest : public ::testing::Test, public WindowFixture {};

TEST_F(ConversionWindowTest, PrepareResetsTheWorkflowAndKeepsTheTextBoxes) {
    window.txtKoord = {"1", "2", "x"};
    window.lstLahto = {"old line"};
    window.lstTulos = {"old result"};
    session.resultState = ResultState::ResultsOutput;
    session.convertedCount = 5;
    session.markIndex = 2;

    prepare();

    EXPECT_EQ(window.caption, "EUREF-FIN    ==>    KKJ");
    EXPECT_EQ(window.lblOhjelma, "Lomitra -ohjelma,   Pvm: 05.03.2009");
    EXPECT_EQ(window.lblOhje, texts::kGuidancePrepared);
    EXPECT_EQ(window.lblKoord[0], "N");
    EXPECT_EQ(window.lblKoord[1], "E");
    EXPECT_EQ(window.lblKoord[2], "Tunnus");
    EXPECT_EQ(window.lblKoord[3], "m");
    EXPECT_EQ(window.lblKoord[4], "m");
    EXPECT_EQ(window.lblKoord[5], "(ei pakollinen)");
    EXPECT_EQ(session.resultState, ResultState::NothingConverted);
    EXPECT_EQ(session.convertedCount, 0);
    EXPECT_EQ(session.markIndex, 0);
    EXPECT_TRUE(window.lstLahto.empty());
    ASSERT_EQ(window.lstTulos.size(), kHeadingCount);
    EXPECT_EQ(window.lstTulos[0], "MUUNNOS........... EUREF-FIN    ==>    KKJ");
    EXPECT_EQ(window.txtKoord[0], "1");
    EXPECT_EQ(window.txtKoord[2], "x");
}

// Typed points end to end into the exact result line. The expected results
// are network point 32's own coordinates in the other system.
TEST_F(ConversionWindowTest, TypedPointsBecomeExactResultLines) {
    struct Case {
        const char* name;
        int32_t direction;
        int32_t resultZone;
        std::array<std::string, 3> typed;
        std::string expected;
    };
    const std::string unsuitable = utf8ToCp1252(texts::kUnsuitableCoordinates);
    const Case cases[] = {
        {"EUREF-FIN to KKJ zone 3", 0, 3, {kPoint32EurefN, kPoint32EurefE, "P32"},
         convertedLine("P32", kPoint32EurefN, kPoint32EurefE, kPoint32KkjP, kPoint32KkjI, kPoint32Sheets)},
        {"KKJ to ETRS-TM35FIN", 1, 1, {kPoint32KkjP, kPoint32KkjI, "P32"},
         convertedLine("P32", kPoint32KkjP, kPoint32KkjI, kPoint32EurefN, kPoint32EurefE, kPoint32Sheets)},
        {"blanks around the coordinates are trimmed, the identifier is cut to 8",
         0, 3, {"  6859871.251 ", " 498696.216  ", "POINT-NUMBER-32"},
         convertedLine("POINT-NU", kPoint32EurefN, kPoint32EurefE, kPoint32KkjP, kPoint32KkjI, kPoint32Sheets)},
        {"a decimal comma is listed as a point", 0, 3, {"6859871,251", "498696,216", ""},
         convertedLine("", kPoint32EurefN, kPoint32EurefE, kPoint32KkjP, kPoint32KkjI, kPoint32Sheets)},
        // An east value of 3 500 000 reads as ETRS-TM35FIN, far outside the accepted area.
        {"a point outside the area fails with its message", 0, 3, {"6859871.251", "3500000.000", "BAD"},
         failedLine("BAD", "6859871.251", "3500000.000", unsuitable)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.direction = c.direction;
        prepare();
        settings.resultZone = c.resultZone;  // the zone list is chosen after the direction
        window.txtKoord = c.typed;
        view.focus.clear();

        window.cmdMuunna_Click();

        ASSERT_EQ(window.lstTulos.size(), kHeadingCount + 1);
        EXPECT_EQ(window.lstTulos.back(), c.expected);
        EXPECT_EQ(session.convertedCount, 1);
        EXPECT_EQ(session.resultState, ResultState::Converted);
        EXPECT_EQ(window.lastHeadingIndex, static_cast<int32_t>(kHeadingCount) - 1);
        EXPECT_EQ(view.focus, std::vector<int>{0});
        EXPECT_EQ(view.scrolls, 0);  // a typed point does not scroll the list
        EXPECT_TRUE(platform.shown.empty());
    }
}

// A typed point outside the triangulation network is said once while the
// window is open; preparing it again starts afresh.
TEST_F(ConversionWindowTest, ATypedPointOutsideTheNetworkIsSaidOnce) {
    const std::array<std::string, 3> atSea = {"6100000.000", "300000.000", "S"};
    for (int round = 0; round < 2; ++round) {
        prepare();
        platform.shown.clear();
        window.txtKoord = {kPoint32EurefN, kPoint32EurefE, "P32"};
        window.cmdMuunna_Click();
        EXPECT_TRUE(platform.shown.empty()) << "inside the network";
        window.txtKoord = atSea;
        window.cmdMuunna_Click();
        EXPECT_EQ(platform.only().kind, MessageKind::Information);
        EXPECT_EQ(platform.only().text,
                  "Piste oli kolmioverkon ulkopuolella; se muunnettiin yhdenmuotoisuusmuunnoksella (tarkkuus noin "
                  "1\u20132 m). My\u00f6hemmist\u00e4 n\u00e4pp\u00e4illyist\u00e4 pisteist\u00e4 t\u00e4t\u00e4 ei en\u00e4\u00e4 ilmoiteta.");
        window.cmdMuunna_Click();
        EXPECT_EQ(platform.shown.size(), 1u) << "once";
        EXPECT_EQ(window.lstTulos.size(), kHeadingCount + 3);
    }
}

// A geographic result and its way back: network point 32 to KKJ latitude and
// longitude, and those texts typed back as a geographic KKJ source, must give
// the point's ETRS-TM35FIN coordinates again.
TEST_F(ConversionWindowTest, GeographicPointRoundTripsThroughTypedConversion) {
    settings.resultKind = 1;
    settings.resultFormat = 0;
    prepare();
    window.txtKoord = {kPoint32EurefN, kPoint32EurefE, "G32"};
    window.cmdMuunna_Click();
    ASSERT_EQ(window.lstTulos.size(), kHeadingCount + 1);
    const std::string line = window.lstTulos.back();
    ASSERT_GE(line.size(), 67u);
    const std::string latitude = line.substr(39, 14);
    const std::string longitude = line.substr(53, 14);
    // Decimal degrees with 8 decimals, left-aligned in 14 characters.
    const std::regex degrees(R"(\d{2}\.\d{8}   )");
    EXPECT_TRUE(std::regex_match(latitude, degrees)) << latitude;
    EXPECT_TRUE(std::regex_match(longitude, degrees)) << longitude;
    EXPECT_EQ(line.substr(0, 39), "G32      " + testing::padded(kPoint32EurefN, 14) +
                                      testing::padded(kPoint32EurefE, 14) + "  ");
    EXPECT_EQ(line.substr(67), std::string("  ") + kPoint32Sheets);

    settings.direction = 1;
    settings.sourceKind = 1;
    settings.sourceFormat = 0;
    settings.resultKind = 0;
    prepare();
    settings.resultZone = 1;
    window.txtKoord = {latitude, longitude, "G32"};
    window.cmdMuunna_Click();
    ASSERT_EQ(window.lstTulos.size(), kHeadingCount + 1);
    const std::string back = window.lstTulos.back();
    ASSERT_GE(back.size(), 67u);
    // 8 decimals of a degree are about 1 mm; 3 mm covers both roundings.
    EXPECT_NEAR(std::stod(back.substr(39, 14)), std::stod(kPoint32EurefN), 0.003);
    EXPECT_NEAR(std::stod(back.substr(53, 14)), std::stod(kPoint32EurefE), 0.003);
}

TEST_F(ConversionWindowTest, MissingCoordinateWarnsAndAddsNothing) {
    const std::array<std::string, 3> cases[] = {
        {"", kPoint32EurefE, "A"},
        {kPoint32EurefN, "   ", "A"},
        {"", "", "only an identifier"},
    };
    for (const auto& typed : cases) {
        SCOPED_TRACE(typed[0] + "|" + typed[1] + "|" + typed[2]);
        prepare();
        platform.shown.clear();
        window.txtKoord = typed;
        window.cmdMuunna_Click();
        expectRefusedConversion(texts::kCoordinatesNotGiven);
        EXPECT_EQ(window.txtKoord, typed);
    }
}

TEST_F(ConversionWindowTest, EnterMovesThroughTheBoxesAndConvertsInTheLast) {
    prepare();
    window.txtKoord = {kPoint32EurefN, kPoint32EurefE, "E"};

    EXPECT_TRUE(window.txtKoord_KeyPress(0, kEnter));
    EXPECT_TRUE(window.txtKoord_KeyPress(1, kEnter));
    EXPECT_EQ(view.focus, (std::vector<int>{1, 2}));
    EXPECT_EQ(window.lstTulos.size(), kHeadingCount);

    EXPECT_FALSE(window.txtKoord_KeyPress(2, 'a'));  // other keys belong to the text box
    EXPECT_EQ(window.lstTulos.size(), kHeadingCount);

    EXPECT_TRUE(window.txtKoord_KeyPress(2, kEnter));
    ASSERT_EQ(window.lstTulos.size(), kHeadingCount + 1);
    EXPECT_EQ(window.lstTulos.back(), convertedLine("E", kPoint32EurefN, kPoint32EurefE, kPoint32KkjP,
                                                    kPoint32KkjI, kPoint32Sheets));
    EXPECT_EQ(view.focus, (std::vector<int>{1, 2, 0}));
}

TEST_F(ConversionWindowTest, CopyBackTakesAResultLineAndIgnoresOthers) {
    prepare();
    window.txtKoord = {kPoint32EurefN, kPoint32EurefE, "ID7"};
    window.cmdMuunna_Click();
    window.txtKoord = {" 6800000.1 ", "400000,5", ""};
    window.cmdMuunna_Click();  // a second line with a decimal comma
    window.lstTulos.push_back(std::string(37, 'x'));  // the copy back needs 38 or more
    window.lstTulos.push_back("");
    ASSERT_EQ(window.lstTulos.size(), kHeadingCount + 4);

    struct Case {
        const char* name;
        int index;
        std::array<std::string, 3> expected;
    };
    const std::array<std::string, 3> untouched{"a", "b", "c"};
    const Case cases[] = {
        {"first result line", 8, {kPoint32EurefN, kPoint32EurefE, "ID7"}},
        {"second result line, as the engine rewrote it", 9, {"6800000.1", "400000.5", ""}},
        {"column heading", 7, untouched},
        {"first heading line", 0, untouched},
        {"line of 37 characters", 10, untouched},
        {"empty line", 11, untouched},
        {"beyond the list", 12, untouched},
        {"no line", -1, untouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.txtKoord = untouched;
        window.lstTulos_Click(c.index);
        EXPECT_EQ(window.txtKoord, c.expected);
    }
}

TEST_F(ConversionWindowTest, ClosingAsksOnlyWhileResultsAreUnsaved) {
    prepare();
    EXPECT_TRUE(window.cmdLopeta_Click());  // nothing converted: no question
    EXPECT_TRUE(platform.shown.empty());

    window.txtKoord = {kPoint32EurefN, kPoint32EurefE, ""};
    window.cmdMuunna_Click();

    platform.answers = {Answer::Yes};
    EXPECT_FALSE(window.cmdLopeta_Click());
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].kind, MessageKind::Question);
    EXPECT_EQ(platform.shown[0].text, texts::kOutputBeforeClosing);
    EXPECT_EQ(platform.shown[1].kind, MessageKind::Information);
    EXPECT_EQ(platform.shown[1].text, texts::kChooseOutputThenClose);

    platform.shown.clear();
    platform.answers = {Answer::No};
    EXPECT_TRUE(window.cmdLopeta_Click());
    EXPECT_EQ(platform.only().kind, MessageKind::Question);
    EXPECT_EQ(window.lstTulos.size(), kHeadingCount + 1);  // hiding keeps the contents

    platform.shown.clear();
    window.cmdPrintterille_Click();  // results output: no more question
    EXPECT_TRUE(window.cmdLopeta_Click());
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(ConversionWindowTest, PrintingSetsResultsOutputAlsoWhenItFails) {
    for (const bool succeeds : {true, false}) {
        SCOPED_TRACE(succeeds ? "printing succeeds" : "printing fails");
        prepare();
        platform.shown.clear();
        platform.printSucceeds = succeeds;
        window.cmdPrintterille_Click();  // no check comes before printing
        EXPECT_EQ(session.resultState, ResultState::ResultsOutput);
        if (succeeds) {
            EXPECT_TRUE(platform.shown.empty());
        } else {
            const auto shown = platform.only();
            EXPECT_EQ(shown.kind, MessageKind::Error);
            EXPECT_EQ(shown.text, texts::kPrintingFailed);
        }
    }
    EXPECT_EQ(platform.printCalls, 2);
}

// The resultState table of the window, walked through in one session.
TEST_F(ConversionWindowTest, ResultStateFollowsTheActions) {
    testing::TempFolder folder;
    prepare();
    EXPECT_EQ(session.resultState, ResultState::NothingConverted);

    // Output asked for before anything was converted: warned, state kept.
    window.cmdTulostiedosto_Click();
    window.cmdTauTie_Click();
    ASSERT_EQ(platform.shown.size(), 2u);
    for (const auto& shown : platform.shown) {
        EXPECT_EQ(shown.kind, MessageKind::Warning);
        EXPECT_EQ(shown.text, texts::kNothingConverted);
    }
    EXPECT_TRUE(view.chooserCaptions.empty());

    window.txtKoord = {kPoint32EurefN, kPoint32EurefE, ""};
    window.cmdMuunna_Click();
    EXPECT_EQ(session.resultState, ResultState::Converted);

    // Only typed points: no result file, but the table may be written.
    platform.shown.clear();
    window.cmdTulostiedosto_Click();
    EXPECT_EQ(platform.only().kind, MessageKind::Information);
    EXPECT_EQ(platform.only().text, texts::kOnlyFilePoints);
    window.cmdTauTie_Click();
    EXPECT_EQ(session.fileAction, FileAction::WriteTable);
    EXPECT_EQ(view.chooserCaptions, std::vector<std::string>{std::string(texts::kCaptionWriteOutput)});
    EXPECT_EQ(session.resultState, ResultState::Converted);  // asking is not writing

    EXPECT_TRUE(window.writeResultTable(folder.file("table.txt")));
    EXPECT_EQ(session.resultState, ResultState::ResultsOutput);
    EXPECT_EQ(session.resultFileName, folder.file("table.txt"));

    // "&Lähtötiedosto" sets NothingConverted at once, even when cancelled.
    window.cmdLahto_Click();
    EXPECT_EQ(session.resultState, ResultState::NothingConverted);
    EXPECT_EQ(session.fileAction, FileAction::OpenSource);
    EXPECT_TRUE(session.resultFileName.empty());
    EXPECT_EQ(view.chooserCaptions.back(), texts::kCaptionOpenSource);
}

// Start columns and lengths: the number a text begins with, halves to even.
TEST(ColumnBoxNumber, ReadsTheNumberATextBeginsWith) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"12", 12},       {" 1 2 ", 12},  {"\t7abc", 7},   {"abc", 0},     {"", 0},
        {"-3", -3},       {"+4", 4},      {"2.5e1", 25},   {"1,5", 1},     {"1e", 1},
        {"1D2", 100},     {".5", 0.5},    {"-", 0},        {"5-3", 5},     {"0x10", 0},
        {"32767", 32767}, {"1e400", HUGE_VAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readNumber(c.text), c.expected);
    }
}

}  // namespace
}  // namespace lomitra
