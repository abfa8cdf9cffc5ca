// File-driven conversion without a window: reading a source file, choosing
// and stepping the coordinate line, marking, converting every line, and
// writing the result and table files, including their failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/settings_window.h"
#include "core/cp1252.h"
#include "core/text_encoding.h"
#include "core/texts.h"
#include "window_test_support.h"

namespace lomitra {
namespace {

using testing::convertedLine;
using testing::crlfLines;
using testing::failedLine;
using testing::kHeadingCount;
using testing::kPoint32EurefE;
using testing::kPoint32EurefN;
using testing::kPoint32KkjI;
using testing::kPoint32KkjP;
using testing::kPoint32Sheets;
using testing::readBytes;
using testing::splitCrlf;
using testing::TempFolder;
using testing::WindowFixture;
using testing::writeBytes;

// A source file in Windows-1252 with a tab, bytes above 0x7F, an empty line,
// a short heading, two lines of network point 32 (one with decimal commas),
// a line without coordinates and one outside the accepted area.
//   columns: 1-3 identifier, 4 tab, 5-15 north, 16-17 blanks, 18-27 east, 30- a remark
const std::vector<std::string> kSampleLines = {
    "",
    "Pisteet",
    "P32\t6859871.251  498696.216  k\xE4rki",
    "Q9 \t6859871,251  498696,216  \xB0",
    "XX\tabc",
    "BAD\t6859871.251  3500000.00  z",
};
constexpr std::size_t kSampleCoordinateLine = 2;

class FileWorkflowTest : public ::testing::Test, public WindowFixture {
protected:
    void SetUp() override { prepare(); }

    // Reads the sample file and marks north (columns 5-15), east with the
    // blank before it (17-27) and the identifier (1-3) on the coordinate line.
    void readAndMarkSample() {
        writeBytes(sourcePath, crlfLines(kSampleLines));
        ASSERT_TRUE(window.readSourceFile(sourcePath));
        ASSERT_EQ(window.txtKRivi, kSampleLines[kSampleCoordinateLine]);
        window.markSelection(4, 11, "6859871.251");
        window.markSelection(16, 11, " 498696.216");
        window.markSelection(0, 3, "P32");
    }

    std::string missing() const { return utf8ToCp1252(texts::kSourceCoordinatesMissing); }
    std::string unsuitable() const { return utf8ToCp1252(texts::kUnsuitableCoordinates); }

    // Result lines of the last conversion (after the headings).
    std::vector<std::string> resultLines() const {
        return {window.lstTulos.begin() + kHeadingCount, window.lstTulos.end()};
    }

    TempFolder folder;
    std::string sourcePath = folder.file("source.txt");
};

TEST_F(FileWorkflowTest, ReadsAtMost1001LinesAndEmptiesTheMarking) {
    std::vector<std::string> lines;
    for (int i = 0; i < 1500; ++i) lines.push_back("line " + std::to_string(i) + " of the long file");
    writeBytes(sourcePath, crlfLines(lines));
    window.txtKoord = {"a", "b", "c"};
    window.txtAlku = {"1", "2", "3"};
    window.txtPituus = {"4", "5", "6"};
    session.markIndex = 2;

    ASSERT_TRUE(window.readSourceFile(sourcePath));

    ASSERT_EQ(window.lstLahto.size(), 1001u);
    EXPECT_EQ(window.lstLahto.front(), lines.front());
    EXPECT_EQ(window.lstLahto.back(), lines[1000]);
    EXPECT_EQ(session.sourceFileName, sourcePath);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(window.txtKoord[i], "");
        EXPECT_EQ(window.txtAlku[i], "");
        EXPECT_EQ(window.txtPituus[i], "");
    }
    EXPECT_EQ(session.markIndex, 0);
    EXPECT_EQ(window.lblOhje, std::string(texts::kGuidanceMark) + "N");
    // Said once, on reading; a file of exactly 1001 lines is listed whole and says nothing.
    EXPECT_EQ(platform.only().kind, MessageKind::Information);
    EXPECT_EQ(platform.only().text,
              "L\u00e4ht\u00f6tiedostossa on yli 1001 rivi\u00e4. Muunnostaulussa n\u00e4ytet\u00e4\u00e4n ja "
              "muunnostaulun tiedostoon kirjoitetaan vain sen 1001 ensimm\u00e4ist\u00e4 rivi\u00e4; "
              "tuloskoordinaattien tiedostoon muunnetaan kaikki rivit.");
    platform.shown.clear();
    lines.resize(1001);
    writeBytes(sourcePath, crlfLines(lines));
    ASSERT_TRUE(window.readSourceFile(sourcePath));
    EXPECT_EQ(window.lstLahto, lines);
    EXPECT_TRUE(platform.shown.empty());

    // Nothing marked yet: converting is refused.
    window.cmdMuunna_Click();
    EXPECT_EQ(platform.only().text, texts::kColumnsNotDefined);
    EXPECT_EQ(window.lstTulos.size(), kHeadingCount);
}

TEST_F(FileWorkflowTest, ChoosesTheCoordinateLine) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        int32_t expected;
    };
    const std::string long16 = "1234567890123456";  // 16 characters: long enough
    const std::string long15 = "123456789012345";   // 15 characters: not
    const Case cases[] = {
        {"empty first line", {"", long15, long16, "x"}, 2},
        {"first line of 5 characters", {"abcde", long16}, 1},
        {"blanks around do not count", {"   abcde   ", "   " + long15 + "   ", long16}, 2},
        {"first line of exactly 6 characters stays", {"abcdef", long16}, 0},
        {"no long line: line 0 even when short", {"ab", long15, "c"}, 0},
        {"a one-line file", {long16}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(sourcePath, crlfLines(c.lines));
        ASSERT_TRUE(window.readSourceFile(sourcePath));
        EXPECT_EQ(window.lstLahtoIndex, c.expected);
        EXPECT_EQ(window.txtKRivi, c.lines[static_cast<std::size_t>(c.expected)]);
    }
}

TEST_F(FileWorkflowTest, AnEmptyFileKeepsTheCoordinateLineAndGuidance) {
    window.txtKRivi = "earlier line";
    window.lblOhje = "earlier guidance";
    writeBytes(sourcePath, "");
    ASSERT_TRUE(window.readSourceFile(sourcePath));
    EXPECT_TRUE(window.lstLahto.empty());
    EXPECT_EQ(window.txtKRivi, "earlier line");
    EXPECT_EQ(window.lblOhje, "earlier guidance");
    EXPECT_EQ(session.sourceFileName, sourcePath);
}

TEST_F(FileWorkflowTest, NextLineWrapsAroundAndKeepsTheMarking) {
    window.cmdSeuraava_Click();  // no file: nothing
    EXPECT_EQ(window.lstLahtoIndex, -1);

    writeBytes(sourcePath, crlfLines({"first line of the file", "second", "third"}));
    ASSERT_TRUE(window.readSourceFile(sourcePath));
    window.markSelection(0, 5, "first");
    const std::vector<std::string> expected = {"second", "third", "first line of the file", "second"};
    for (const std::string& line : expected) {
        window.cmdSeuraava_Click();
        EXPECT_EQ(window.txtKRivi, line);
    }
    EXPECT_EQ(window.txtKoord[0], "first");
    EXPECT_EQ(window.txtAlku[0], "1");
    EXPECT_EQ(session.markIndex, 1);
}

TEST_F(FileWorkflowTest, SelectionsFillTheItemsInACycleOfThree) {
    writeBytes(sourcePath, crlfLines(kSampleLines));
    ASSERT_TRUE(window.readSourceFile(sourcePath));

    window.markSelection(3, 0, "");  // a click without dragging
    EXPECT_EQ(session.markIndex, 0);
    EXPECT_EQ(window.txtAlku[0], "");

    struct Step {
        int32_t start0;
        int32_t length;
        std::string selected;
        std::size_t item;
        std::string start;
        std::string guidance;
    };
    const std::string mark(texts::kGuidanceMark);
    const Step steps[] = {
        {4, 11, "6859871.251", 0, "5", mark + "E"},
        {17, 10, "498696.216", 1, "18", mark + "Tunnus"},
        {0, 3, "P32", 2, "1", std::string(texts::kGuidanceMarked)},
        {4, 3, "685", 0, "5", mark + "E"},  // the fourth selection overwrites the first item
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.selected);
        window.markSelection(s.start0, s.length, s.selected);
        EXPECT_EQ(window.txtKoord[s.item], s.selected);
        EXPECT_EQ(window.txtAlku[s.item], s.start);
        EXPECT_EQ(window.txtPituus[s.item], std::to_string(s.length));
        EXPECT_EQ(window.lblOhje, s.guidance);
    }
    EXPECT_EQ(session.markIndex, 1);

    window.cmdAloituskohdat_Click();
    EXPECT_EQ(session.markIndex, 0);
    EXPECT_EQ(window.lblOhje, mark + "N");
    EXPECT_EQ(window.txtKoord[1], "498696.216");  // kept until overwritten
}

TEST_F(FileWorkflowTest, StartOverDoesNothingWithoutAFile) {
    session.markIndex = 2;
    window.lblOhje = "unchanged";
    window.cmdAloituskohdat_Click();
    EXPECT_EQ(session.markIndex, 2);
    EXPECT_EQ(window.lblOhje, "unchanged");
}

TEST_F(FileWorkflowTest, ConvertsEveryLineInFixedColumns) {
    readAndMarkSample();
    window.cmdMuunna_Click();

    const std::vector<std::string> expected = {
        failedLine("", "", "", missing()),
        failedLine("Pis", "eet", "", missing()),
        convertedLine("P32", kPoint32EurefN, kPoint32EurefE, kPoint32KkjP, kPoint32KkjI, kPoint32Sheets),
        convertedLine("Q9", kPoint32EurefN, kPoint32EurefE, kPoint32KkjP, kPoint32KkjI, kPoint32Sheets),
        failedLine("XX\t", "bc", "", missing()),
        failedLine("BAD", "6859871.251", "3500000.00", unsuitable()),
        "",
    };
    EXPECT_EQ(resultLines(), expected);
    EXPECT_EQ(session.convertedCount, 6);
    EXPECT_EQ(session.resultState, ResultState::Converted);
    EXPECT_EQ(view.scrolls, 1);
    EXPECT_TRUE(platform.shown.empty());

    // A second conversion appends a second block.
    window.cmdMuunna_Click();
    EXPECT_EQ(window.lstTulos.size(), kHeadingCount + 2 * expected.size());
    EXPECT_EQ(session.convertedCount, 12);
}

TEST_F(FileWorkflowTest, ConvertsEveryLineInFreeFormat) {
    readAndMarkSample();
    window.optFree = true;
    window.cmdMuunna_Click();

    const std::vector<std::string> expected = {
        failedLine("", "", "", missing()),
        failedLine("", "", "", missing()),
        convertedLine("P32", kPoint32EurefN, kPoint32EurefE, kPoint32KkjP, kPoint32KkjI, kPoint32Sheets),
        convertedLine("Q9", kPoint32EurefN, kPoint32EurefE, kPoint32KkjP, kPoint32KkjI, kPoint32Sheets),
        failedLine("", "abc", "", missing()),
        failedLine("BAD", "6859871.251", "3500000.00", unsuitable()),
        "",
    };
    EXPECT_EQ(resultLines(), expected);
    EXPECT_EQ(state.fieldNumber, (std::array<int32_t, 3>{1, 2, 0}));
}

TEST_F(FileWorkflowTest, ARangeBeforeTheFirstFieldMarksTheCoordinatesMissing) {
    writeBytes(sourcePath, crlfLines({"   6859871.251  498696.216", "   6859871.251  498696.216"}));
    ASSERT_TRUE(window.readSourceFile(sourcePath));
    window.optFree = true;
    window.markSelection(0, 2, "  ");  // the middle column lies in the leading blanks
    window.markSelection(16, 10, "498696.216");
    window.cmdMuunna_Click();
    EXPECT_EQ(state.fieldNumber[0], -1);
    EXPECT_EQ(resultLines(), (std::vector<std::string>{failedLine("", "", "", missing()),
                                                       failedLine("", "", "", missing()), ""}));
}

TEST_F(FileWorkflowTest, CopyBackAfterAFileStillConvertsTheFile) {
    readAndMarkSample();
    window.cmdMuunna_Click();
    window.lstTulos_Click(static_cast<int>(kHeadingCount + kSampleCoordinateLine));
    EXPECT_EQ(window.txtKoord, (std::array<std::string, 3>{kPoint32EurefN, kPoint32EurefE, "P32"}));
    const std::size_t before = window.lstTulos.size();
    window.cmdMuunna_Click();
    EXPECT_EQ(window.lstTulos.size(), before + kSampleLines.size() + 1);
}

TEST_F(FileWorkflowTest, ColumnNumbersAreRoundedHalfToEven) {
    readAndMarkSample();
    window.txtPituus[0] = "11.5";  // 12
    window.txtPituus[1] = " 10.5 ";  // 10
    window.txtAlku[2] = "1abc";   // 1
    window.txtPituus[2] = "2.5";  // 2
    window.cmdMuunna_Click();
    EXPECT_EQ(state.columnStart, (std::array<int32_t, 3>{5, 17, 1}));
    EXPECT_EQ(state.columnLength, (std::array<int32_t, 3>{12, 10, 2}));
    EXPECT_EQ(resultLines().size(), kSampleLines.size() + 1);
}

// The boxes hold 16-bit values: anything outside 0..32767 is refused before
// a single line is converted.
TEST_F(FileWorkflowTest, ColumnNumbersOutsideTheRangeAreRefused) {
    readAndMarkSample();
    struct Case {
        const char* name;
        std::size_t item;
        bool isStart;
        const char* text;
    };
    const Case cases[] = {
        {"negative start", 0, true, "-1"},
        {"start above 32767", 1, true, "32768"},
        {"length in exponent form", 0, false, "1e9"},
        {"rounds to -1", 1, false, "-0.6"},
        {"identifier length", 2, false, "40000"},
        {"halfway rounds up past the limit", 2, true, "32767.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto& box = c.isStart ? window.txtAlku[c.item] : window.txtPituus[c.item];
        const std::string kept = box;
        box = c.text;
        platform.shown.clear();
        window.cmdMuunna_Click();
        expectRefusedConversion(texts::kColumnValueOutOfRange);
        box = kept;
    }
    // The largest value passes.
    platform.shown.clear();
    window.txtPituus[2] = "32767";
    window.cmdMuunna_Click();
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(state.columnLength[2], 32767);
}

TEST_F(FileWorkflowTest, ResultFileKeepsEveryByteOutsideTheCoordinates) {
    const std::string kkjP(kPoint32KkjP);
    const std::string kkjI(kPoint32KkjI);
    struct Case {
        const char* name;
        bool free;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        // Fixed columns: north into columns 5-15, east into the 11 columns 17-27.
        {"fixed columns", false,
         {"", "Pisteet", "P32\t" + kkjP + " " + kkjI + "  k\xE4rki", "Q9 \t" + kkjP + " " + kkjI + "  \xB0",
          "XX\tabc", "BAD\t6859871.251  3500000.00  z"}},
        // Free format: each field and the blanks after it, less the last blank.
        {"free format", true,
         {"", "Pisteet", "P32\t" + kkjP + "  " + kkjI + " k\xE4rki", "Q9 \t" + kkjP + "  " + kkjI + " \xB0",
          "XX\tabc", "BAD\t6859871.251  3500000.00  z"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prepare();
        readAndMarkSample();
        window.optFree = c.free;
        window.cmdMuunna_Click();
        platform.shown.clear();
        const std::string resultPath = folder.file(std::string("result-") + (c.free ? "free" : "fixed"));

        ASSERT_TRUE(window.writeResultFile(resultPath));

        EXPECT_EQ(readBytes(resultPath), crlfLines(c.expected));
        const auto shown = platform.only();
        EXPECT_EQ(shown.kind, MessageKind::Information);
        EXPECT_EQ(shown.text, "2 pistettä tulostettu tiedostoon:\r\n" + resultPath);
        EXPECT_EQ(session.resultState, ResultState::ResultsOutput);
        EXPECT_EQ(session.resultFileName, resultPath);
        EXPECT_EQ(readBytes(sourcePath), crlfLines(kSampleLines));  // the source is only read
    }
    EXPECT_EQ(view.refreshes, 2);
}

TEST_F(FileWorkflowTest, ResultFileCoversEveryLineOfALongFile) {
    std::vector<std::string> lines;
    std::vector<std::string> expected;
    for (int i = 1; i <= 1500; ++i) {
        char id[8];
        std::snprintf(id, sizeof id, "P%04d", i);
        lines.push_back(std::string(id) + " " + kPoint32EurefN + "  " + kPoint32EurefE);
        expected.push_back(std::string(id) + " " + kPoint32KkjP + " " + kPoint32KkjI);
    }
    writeBytes(sourcePath, crlfLines(lines));
    ASSERT_TRUE(window.readSourceFile(sourcePath));
    ASSERT_EQ(window.lstLahto.size(), 1001u);
    window.markSelection(6, 11, kPoint32EurefN);
    window.markSelection(18, 11, std::string(" ") + kPoint32EurefE);
    window.cmdMuunna_Click();
    EXPECT_EQ(session.convertedCount, 1001);
    platform.shown.clear();

    const std::string resultPath = folder.file("result.txt");
    ASSERT_TRUE(window.writeResultFile(resultPath));

    const std::vector<std::string> written = splitCrlf(readBytes(resultPath));
    ASSERT_EQ(written.size(), 1500u);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(platform.only().text, "1500 pistettä tulostettu tiedostoon:\r\n" + resultPath);

    // The result file leaves out the map sheets; the result list keeps them,
    // and so do points converted afterwards.
    EXPECT_TRUE(engine.mapSheets());
    const std::vector<std::string> listed = window.lstTulos;
    window.cmdMuunna_Click();
    EXPECT_FALSE(state.kkjSheet.empty());
    EXPECT_FALSE(state.utmSheet.empty());
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const std::string& line) {
        return line.find(state.kkjSheet + state.utmSheet) != std::string::npos;
    }));
}

// Lines cut short before the end of the east range leave it fewer columns than
// the seven integer digits of KKJ I: they are written unchanged, not counted,
// and a warning after the count names how many and the first.
TEST_F(FileWorkflowTest, ResultFileWarnsOfLinesWhoseResultsDoNotFit) {
    const std::string shortLine = "P33\t6859871.251  49869";  // east range 17-27 holds 6 columns
    const std::vector<std::string> lines = {"Pisteet", kSampleLines[2], shortLine, kSampleLines[2], shortLine};
    writeBytes(sourcePath, crlfLines(lines));
    ASSERT_TRUE(window.readSourceFile(sourcePath));
    window.markSelection(4, 11, "6859871.251");
    window.markSelection(16, 11, " 498696.216");
    window.cmdMuunna_Click();
    platform.shown.clear();

    const std::string resultPath = folder.file("result.txt");
    ASSERT_TRUE(window.writeResultFile(resultPath));

    const std::string converted = std::string("P32\t") + kPoint32KkjP + " " + kPoint32KkjI + "  k\xE4rki";
    EXPECT_EQ(readBytes(resultPath), crlfLines({"Pisteet", converted, shortLine, converted, shortLine}));
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].kind, MessageKind::Information);
    EXPECT_EQ(platform.shown[0].text, "2 pistettä tulostettu tiedostoon:\r\n" + resultPath);
    EXPECT_EQ(platform.shown[1].kind, MessageKind::Warning);
    EXPECT_EQ(platform.shown[1].text,
              "2 riviä jätettiin muuntamatta, koska tulos ei mahtunut sarakkeisiin. "
              "Ensimmäinen niistä on rivi 3.");
    EXPECT_EQ(session.resultState, ResultState::ResultsOutput);
}

// Points at sea, inside the accepted area but outside the triangulation
// network, are converted by the similarity transformation: the conversion
// and the result file (after its count) say how many.
TEST_F(FileWorkflowTest, PointsOutsideTheNetworkAreSaidAloud) {
    const std::string sea = "S1 \t6100000.000  300000.000";  // columns as the sample's coordinate line
    const std::string one = "1 piste oli kolmioverkon ulkopuolella; se muunnettiin yhdenmuotoisuusmuunnoksella "
                            "(tarkkuus noin 1\u20132 m).";
    const std::string three = "3 pistett\u00e4 oli kolmioverkon ulkopuolella; ne muunnettiin "
                              "yhdenmuotoisuusmuunnoksella (tarkkuus noin 1\u20132 m).";
    for (const auto& [atSea, said] : {std::pair{0, std::string()}, std::pair{1, one}, std::pair{3, three}}) {
        SCOPED_TRACE(atSea);
        std::vector<std::string> lines = {"Pisteet", kSampleLines[2], "XX\tabc"};
        lines.insert(lines.end(), static_cast<std::size_t>(atSea), sea);
        writeBytes(sourcePath, crlfLines(lines));
        ASSERT_TRUE(window.readSourceFile(sourcePath));
        window.markSelection(4, 11, "6859871.251");
        window.markSelection(16, 11, " 498696.216");
        window.cmdMuunna_Click();
        ASSERT_TRUE(window.writeResultFile(folder.file("result.txt")));
        std::vector<std::string> expected = {std::to_string(1 + atSea) + " pistett\u00e4 tulostettu tiedostoon:\r\n" +
                                             folder.file("result.txt")};
        if (!said.empty()) expected = {said, expected[0], said};
        std::vector<std::string> shown;
        for (const auto& message : platform.shown) shown.push_back(message.text);
        EXPECT_EQ(shown, expected);
        platform.shown.clear();
    }
}

// A UTF-8 file with a byte-order mark and letters before the coordinates:
// marked in characters, listed in UTF-8 (the headings recoded) as its
// Windows-1252 twin lists it, written back with its mark. The twin, read
// after it, joins the list in UTF-8, and a line copied back from the list
// comes into its boxes in Windows-1252.
TEST_F(FileWorkflowTest, AUtf8FileIsMarkedListedAndWrittenInCharacters) {
    const std::vector<std::string> utf8 = {"Pist", "P\u00c41\t6859871.251  498696.216  k\u00e4rki"};
    const std::string converted = "P\u00c41\t" + std::string(kPoint32KkjP) + " " + kPoint32KkjI + "  k\u00e4rki";
    const std::string listed = cp1252ToUtf8(
        convertedLine("P\xC4" "1", kPoint32EurefN, kPoint32EurefE, kPoint32KkjP, kPoint32KkjI, kPoint32Sheets));
    for (const bool twin : {false, true}) {
        std::string bytes = twin ? "" : std::string(kUtf8ByteOrderMark);
        for (const std::string& line : utf8) bytes += (twin ? utf8ToCp1252(line) : line) + "\r\n";
        writeBytes(sourcePath, bytes);
        ASSERT_TRUE(window.readSourceFile(sourcePath));
        EXPECT_EQ(window.encoding, twin ? TextEncoding::Cp1252 : TextEncoding::Utf8);
        ASSERT_EQ(window.txtKRivi, twin ? utf8ToCp1252(utf8[1]) : utf8[1]) << "the mark is no character";
        window.markSelection(4, 11, "6859871.251");  // characters 5-15
        window.markSelection(16, 11, " 498696.216");
        window.markSelection(0, 3, window.txtKRivi.substr(0, twin ? 3 : 4));
        window.cmdMuunna_Click();
        EXPECT_EQ(window.lstTulosEncoding, TextEncoding::Utf8);
        EXPECT_EQ(window.lstTulos[2], cp1252ToUtf8(headingLines(settings)[2]));
        EXPECT_EQ(window.lstTulos.end()[-2], listed);
        ASSERT_TRUE(window.writeResultFile(folder.file("result.txt")));
        EXPECT_EQ(readBytes(folder.file("result.txt")),
                  twin ? crlfLines({"Pist", utf8ToCp1252(converted)})
                       : std::string(kUtf8ByteOrderMark) + crlfLines({"Pist", converted}));
    }
    window.lstTulos_Click(static_cast<int>(kHeadingCount) + 1);
    EXPECT_EQ(window.txtKoord, (std::array<std::string, 3>{kPoint32EurefN, kPoint32EurefE, "P\xC4" "1"}));
}

TEST_F(FileWorkflowTest, TableFileHoldsTheHeadingsAndTheTypedPoints) {
    for (const char* id : {"A", "B", "C"}) {
        window.txtKoord = {kPoint32EurefN, kPoint32EurefE, id};
        window.cmdMuunna_Click();
    }
    const std::string tablePath = folder.file("table.txt");
    ASSERT_TRUE(window.writeResultTable(tablePath));

    const std::vector<std::string> written = splitCrlf(readBytes(tablePath));
    ASSERT_EQ(written.size(), 11u);
    EXPECT_EQ(written, window.lstTulos);
    EXPECT_EQ(platform.only().kind, MessageKind::Information);
    EXPECT_EQ(platform.only().text, "11 riviä tulostettu tiedostoon:\r\n" + tablePath);
    EXPECT_EQ(session.resultState, ResultState::ResultsOutput);
    EXPECT_EQ(view.refreshes, 1);
}

TEST_F(FileWorkflowTest, AskingForANewFileQuestionsUnsavedFileResults) {
    readAndMarkSample();
    window.cmdMuunna_Click();

    platform.answers = {Answer::Yes};  // output first: nothing changes
    window.cmdLahto_Click();
    EXPECT_EQ(platform.only().kind, MessageKind::Question);
    EXPECT_EQ(platform.only().text, std::string(texts::kOutputBeforeNewFile1) + "\r\n" +
                                        std::string(texts::kOutputBeforeNewFile2));
    EXPECT_EQ(session.resultState, ResultState::Converted);
    EXPECT_EQ(session.sourceFileName, sourcePath);
    EXPECT_TRUE(view.chooserCaptions.empty());

    platform.shown.clear();
    platform.answers = {Answer::No};
    window.cmdLahto_Click();
    EXPECT_EQ(session.resultState, ResultState::NothingConverted);
    EXPECT_EQ(session.fileAction, FileAction::OpenSource);
    EXPECT_TRUE(session.sourceFileName.empty());
    EXPECT_EQ(view.chooserCaptions, std::vector<std::string>{std::string(texts::kCaptionOpenSource)});
    EXPECT_EQ(window.lstLahto.size(), kSampleLines.size());  // kept until a file is read
}

// After a cancelled "&Lähtötiedosto" the old lines may be converted again,
// but there is no source file to write a result file from.
TEST_F(FileWorkflowTest, ResultFileIsRefusedWithoutASourceFileName) {
    readAndMarkSample();
    window.cmdMuunna_Click();
    platform.answers = {Answer::No};
    window.cmdLahto_Click();  // and the file chooser is cancelled
    window.cmdMuunna_Click();
    ASSERT_EQ(session.resultState, ResultState::Converted);
    platform.shown.clear();
    view.chooserCaptions.clear();

    window.cmdTulostiedosto_Click();
    EXPECT_EQ(platform.only().kind, MessageKind::Warning);
    EXPECT_EQ(platform.only().text, texts::kNoSourceFileForResult);
    EXPECT_TRUE(view.chooserCaptions.empty());

    platform.shown.clear();
    const std::string resultPath = folder.file("result.txt");
    EXPECT_FALSE(window.writeResultFile(resultPath));
    EXPECT_EQ(platform.only().text, texts::kNoSourceFileForResult);
    EXPECT_FALSE(std::filesystem::exists(resultPath));
    EXPECT_EQ(session.resultState, ResultState::Converted);
}

TEST_F(FileWorkflowTest, AnUnreadableSourceLeavesTheWindowAsItWas) {
    readAndMarkSample();
    const auto lstLahto = window.lstLahto;
    const auto txtKoord = window.txtKoord;
    const auto txtAlku = window.txtAlku;
    const std::string txtKRivi = window.txtKRivi;
    const std::string lblOhje = window.lblOhje;
    std::filesystem::create_directory(folder.file("a-folder"));

    struct Case {
        std::string path;
        const char* reason;
    };
    // A second line one byte longer than 64 MiB.
    writeBytes(folder.file("long-line.txt"), "first\r\n" + std::string((std::size_t{64} << 20) + 1, 'x'));
    const Case cases[] = {{folder.file("no-such-file.txt"), "tiedostoa tai kansiota ei ole"},
                          {folder.file("a-folder"), "se on kansio"},
                          {folder.file("long-line.txt"), "rivi 2 on yli 64 MiB pitkä"}};
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path);
        platform.shown.clear();
        EXPECT_FALSE(window.readSourceFile(path));
        const auto shown = platform.only();
        EXPECT_EQ(shown.kind, MessageKind::Error);
        EXPECT_EQ(shown.text, std::string(texts::kSourceNotReadable) + "\r\n" + path + "\r\n(" + reason +
                                  ")\r\n" + std::string(texts::kSourceWindowUnchanged));
        EXPECT_EQ(window.lstLahto, lstLahto);
        EXPECT_EQ(window.txtKoord, txtKoord);
        EXPECT_EQ(window.txtAlku, txtAlku);
        EXPECT_EQ(window.txtKRivi, txtKRivi);
        EXPECT_EQ(window.lblOhje, lblOhje);
        EXPECT_EQ(session.sourceFileName, sourcePath);
    }
}

// A target that cannot be written: a folder in its place, or a folder that
// does not exist. The error is reported and resultState stays Converted.
TEST_F(FileWorkflowTest, AnUnwritableTargetIsReportedAndChangesNothing) {
    readAndMarkSample();
    window.cmdMuunna_Click();
    const std::string occupied = folder.file("occupied");
    std::filesystem::create_directory(occupied);
    writeBytes(occupied + "/inside.txt", "kept");
    const std::string noFolder = folder.file("no-such-folder/result.txt");

    for (const bool table : {false, true}) {
        for (const auto& [target, reason] : {std::pair{occupied, "se on kansio"},
                                             std::pair{noFolder, "tiedostoa tai kansiota ei ole"}}) {
            SCOPED_TRACE(std::string(table ? "table: " : "result file: ") + target);
            platform.shown.clear();
            EXPECT_FALSE(table ? window.writeResultTable(target) : window.writeResultFile(target));
            const auto shown = platform.only();
            EXPECT_EQ(shown.kind, MessageKind::Error);
            EXPECT_EQ(shown.text, std::string(texts::kFileNotWritable) + "\r\n" + target + "\r\n(" + reason +
                                      ")\r\n" + std::string(texts::kNothingWasWritten));
            EXPECT_EQ(session.resultState, ResultState::Converted);
            EXPECT_TRUE(session.resultFileName.empty());
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(occupied));
    EXPECT_EQ(readBytes(occupied + "/inside.txt"), "kept");
    EXPECT_FALSE(std::filesystem::exists(folder.file("no-such-folder")));
    EXPECT_EQ(view.refreshes, 0);
    // Only the targets' folder holds files: no temporary file was left behind.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"occupied", "source.txt"}));
}

// The source cannot be read again while the result file is written: the old
// result file stays as it was, byte for byte.
TEST_F(FileWorkflowTest, AFailedResultFileLeavesTheOldFileUntouched) {
    readAndMarkSample();
    window.cmdMuunna_Click();
    const std::string resultPath = folder.file("result.txt");
    const std::string oldContent = "old result\r\nwith two lines\r\n";
    writeBytes(resultPath, oldContent);

    struct Case {
        const char* name;
        void (*breakSource)(const std::string&);
        const char* reason;
    };
    const Case cases[] = {
        {"source removed", [](const std::string& path) { std::filesystem::remove(path); },
         "tiedostoa tai kansiota ei ole"},
        {"a folder in the source's place",
         [](const std::string& path) { std::filesystem::create_directory(path); }, "se on kansio"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.breakSource(sourcePath);
        platform.shown.clear();
        EXPECT_FALSE(window.writeResultFile(resultPath));
        const auto shown = platform.only();
        EXPECT_EQ(shown.kind, MessageKind::Error);
        EXPECT_EQ(shown.text, std::string(texts::kSourceNotReadable) + "\r\n" + sourcePath + "\r\n(" +
                                  c.reason + ")\r\n" + std::string(texts::kNothingWasWritten));
        EXPECT_EQ(readBytes(resultPath), oldContent);
        EXPECT_EQ(session.resultState, ResultState::Converted);
    }
}

}  // namespace
}  // namespace lomitra
