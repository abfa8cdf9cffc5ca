// File lines: the field table, marked ranges to field numbers, cutting the
// point out of a line in both layouts, and the result line of the list.
//
// Coordinates are network point 10 of JHS 154: KKJ 6712263.904 3495070.508,
// ETRS-TM35FIN 6709447.856 494903.060.
#include "core/conversion_engine.h"
#include "core/result_line.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "core/texts.h"

namespace lomitra {
namespace {

std::vector<int32_t> startsOf(std::string_view line) {
    ConversionState state;
    state.fieldStart.fill(-7);  // every entry must be rewritten
    splitFields(state, line);
    return {state.fieldStart.begin(), state.fieldStart.end()};
}

// The expected table: the given starts, then zeros up to index 100.
std::vector<int32_t> table(std::vector<int32_t> starts) {
    starts.resize(kMaxFields + 1, 0);
    return starts;
}

TEST(SplitFields, Starts) {
    struct Case {
        const char* name;
        std::string line;
        std::vector<int32_t> expected;
    };
    const std::vector<Case> cases = {
        {"two blanks, A, two blanks, BB, blank, C", "  A  BB C", {3, 6, 9, 10}},
        {"empty line", "", {1}},
        {"blank line", "   ", {4}},
        {"one character", "A", {1, 2}},
        {"tabs and control characters separate", "a\tb\x01" "c\x1F", {1, 3, 5, 7}},
        {"Windows-1252 letters are field characters", "\xE4 \xF6\xFF", {1, 3, 5}},
        {"leading and trailing blanks", " 12 ", {2, 5}},
    };
    for (const Case& c : cases) EXPECT_EQ(startsOf(c.line), table(c.expected)) << c.name;
}

TEST(SplitFields, AtMostOneHundredFields) {
    std::string line;
    for (int i = 0; i < 150; ++i) line += "x ";
    const std::vector<int32_t> starts = startsOf(line);
    EXPECT_EQ(starts[0], 1);
    EXPECT_EQ(starts[99], 199);
    EXPECT_EQ(starts[100], static_cast<int32_t>(line.size()) + 1) << "the end marker";
}

// Lines of every byte value and length, against a scan one byte at a time:
// a field starts at a byte above 32 after a byte of 0 to 32 (or at the start).
TEST(SplitFields, StartsOfRandomLinesAsByteByByte) {
    std::mt19937_64 random(154);
    std::uniform_int_distribution<int> length(0, 260);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<int> runLength(1, 12);
    for (int i = 0; i < 20000; ++i) {
        // Runs of blanks, control bytes, field bytes and Windows-1252 letters.
        std::string line;
        const auto size = static_cast<std::size_t>(length(random));
        while (line.size() < size) {
            const int k = kind(random);
            const char c = k < 3 ? ' ' : k == 3 ? static_cast<char>(anyByte(random) % 33)
                         : k == 4 ? static_cast<char>(33) : static_cast<char>(anyByte(random));
            line.append(static_cast<std::size_t>(runLength(random)), c);
        }
        line.resize(size);
        std::vector<int32_t> expected(kMaxFields + 1, 0);
        int32_t count = 0;
        unsigned char previous = ' ';
        for (int32_t j = 1; j <= static_cast<int32_t>(line.size()) && count < kMaxFields; ++j) {
            const auto c = static_cast<unsigned char>(line[static_cast<std::size_t>(j - 1)]);
            if (c > 32 && previous <= 32) expected[static_cast<std::size_t>(count++)] = j;
            previous = c;
        }
        expected[static_cast<std::size_t>(count)] = static_cast<int32_t>(line.size()) + 1;
        ASSERT_EQ(startsOf(line), expected) << "line " << i << " of " << line.size() << " bytes";
    }
}

TEST(FieldNumberAt, MarkedRanges) {
    // 28 characters, fields beginning in columns 3, 6 and 18.
    const std::string line = "  ab 12345678901 abcdefghijk";
    ASSERT_EQ(line.size(), 28u);
    ConversionState state;
    splitFields(state, line);
    ASSERT_EQ(startsOf(line), table({3, 6, 18, 29}));
    struct Case {
        const char* name;
        int32_t start, length, expected;
    };
    const Case cases[] = {
        {"6 + 11: middle 12 lies in the second field", 6, 11, 1},
        {"column 18 alone: middle 19", 18, 1, 2},
        {"nothing marked", 0, 0, -1},
        {"middle in the blanks before the first field", 1, 1, -1},
        {"first field exactly", 3, 2, 0},
        {"middle on the blank after a field", 4, 1, 0},
        {"past the end of the line: the end marker", 40, 5, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fieldNumberAt(state, c.start, c.length, 55), c.expected) << c.name;
    }
}

TEST(FieldNumberAt, ScanPastTheTableKeepsThePrevious) {
    std::string line;
    for (int i = 0; i < 120; ++i) line += "x ";
    ConversionState state;
    splitFields(state, line);
    // 120 fields of "x ": the table holds 100 starts and the end marker 241.
    EXPECT_EQ(fieldNumberAt(state, 250, 4, 7), 7);
    EXPECT_EQ(fieldNumberAt(state, 230, 4, 7), 99);
    EXPECT_EQ(fieldNumberAt(state, 21, 1, 7), 10);
}

class ConvertLineTest : public ::testing::Test {
protected:
    ConvertLineTest() {
        settings.direction = 1;  // KKJ -> EUREF-FIN, ETRS-TM35FIN
        settings.resultZone = 1;
    }
    void free(int32_t first, int32_t second, int32_t identifier) {
        state.fieldNumber = {first, second, identifier};
        state.columnLength = {0, 0, identifier >= 0 ? 1 : 0};
    }
    void fixedColumns(std::array<int32_t, 3> start, std::array<int32_t, 3> length) {
        state.columnStart = start;
        state.columnLength = length;
    }
    void expectConverted(const std::string& name) {
        EXPECT_EQ(state.message, "") << name;
        EXPECT_EQ(state.pointText[2], "6709447.856   ") << name;
        EXPECT_EQ(state.pointText[3], "494903.060    ") << name;
    }
    void expectMissing(const std::string& name) {
        EXPECT_EQ(state.message, utf8ToCp1252(texts::kSourceCoordinatesMissing)) << name;
        EXPECT_EQ(state.pointText[2], "") << name;
        EXPECT_EQ(state.kkjSheet, "") << name;
    }

    ConversionSettings settings;
    DatumTransformation datum;
    ConversionState state;
    ConversionEngine engine{settings, datum, state};
};

TEST_F(ConvertLineTest, FreeFormat) {
    struct Case {
        const char* name;
        std::string line;
        std::array<int32_t, 3> fields;
        bool converts;
        const char* identifier;
    };
    const std::string point = "6712263.904 3495070.508";
    const std::vector<Case> cases = {
        {"identifier first", "P10 " + point + " extra", {1, 2, 0}, true, "P10"},
        {"identifier last", point + " P10", {0, 1, 2}, true, "P10"},
        {"identifier not marked", "P10 " + point, {1, 2, -1}, true, ""},
        {"identifier field missing", point, {0, 1, 2}, true, ""},
        {"tabs around the fields", "\tP10\t\t6712263.904\t3495070.508\t", {1, 2, 0}, true, "P10"},
        {"second field missing", "P10 6712263.904", {1, 2, 0}, false, ""},
        {"first field missing", "P10", {1, 2, 0}, false, ""},
        {"empty line", "", {0, 1, -1}, false, ""},
        {"first field -1", "P10 " + point, {-1, 2, 0}, false, ""},
        {"second field -1", "P10 " + point, {1, -1, 0}, false, ""},
        {"field number 100 (the end marker's index)", point, {100, 1, -1}, false, ""},
        {"field number far outside", point, {0, 5000, -1}, false, ""},
    };
    for (const Case& c : cases) {
        free(c.fields[0], c.fields[1], c.fields[2]);
        state.pointText[4] = "old";
        engine.convertLine(c.line, LineLayout::FreeFormat);
        if (c.converts) {
            expectConverted(c.name);
            EXPECT_EQ(state.pointText[0], "6712263.904") << c.name;
            EXPECT_EQ(state.pointText[1], "3495070.508") << c.name;
        } else {
            expectMissing(c.name);
        }
        EXPECT_EQ(state.pointText[4], c.identifier) << c.name;
    }
}

TEST_F(ConvertLineTest, FreeFormatFirstFieldMissingLeavesSecondUnread) {
    free(3, 0, -1);
    engine.convertLine("3495070.508 x", LineLayout::FreeFormat);
    expectMissing("first missing");
    EXPECT_EQ(state.pointText[1], "");
}

TEST_F(ConvertLineTest, FreeFormatLastEntryOfTheFieldTable) {
    // Fields 99 and 100 (numbers 98 and 99) are the last the table holds.
    std::string line;
    for (int i = 0; i < 98; ++i) line += "x ";
    line += "6712263.904 3495070.508";
    free(98, 99, -1);
    engine.convertLine(line, LineLayout::FreeFormat);
    expectConverted("100 fields");
    // A 101st field would run on inside field 99: its text is not a coordinate.
    engine.convertLine(line + " 77", LineLayout::FreeFormat);
    expectMissing("101 fields");
    EXPECT_EQ(state.pointText[0], "6712263.904");
}

TEST_F(ConvertLineTest, HeadingLineGetsAMessage) {
    free(1, 2, 0);
    engine.convertLine("Piste Pohjoinen It\xE4", LineLayout::FreeFormat);
    EXPECT_EQ(state.message, utf8ToCp1252(texts::kUnsuitableCoordinates));
    EXPECT_EQ(state.pointText[0], "Pohjoinen");
}

TEST_F(ConvertLineTest, FixedColumns) {
    // Columns:        1-8 identifier, 11-21 first, 23-33 second.
    const std::string line = "P10       6712263.904 3495070.508  \xE4";
    struct Case {
        const char* name;
        std::string line;
        std::array<int32_t, 3> start, length;
        bool converts;
        const char* first;
        const char* second;
        const char* identifier;
    };
    const std::vector<Case> cases = {
        {"all three", line, {11, 23, 1}, {11, 11, 8}, true, "6712263.904", "3495070.508", "P10"},
        {"wide ranges with blanks", line, {9, 22, 1}, {13, 12, 9}, true, "6712263.904", "3495070.508", "P10"},
        {"range past the end of the line", "P10       6712263.904 3495070.508", {11, 23, 1}, {11, 40, 8},
         true, "6712263.904", "3495070.508", "P10"},
        {"no identifier", line, {11, 23, 0}, {11, 11, 0}, true, "6712263.904", "3495070.508", ""},
        {"identifier start 0", line, {11, 23, 0}, {11, 11, 8}, true, "6712263.904", "3495070.508", ""},
        {"identifier negative start", line, {11, 23, -3}, {11, 11, 8}, true, "6712263.904", "3495070.508", ""},
        {"identifier negative length", line, {11, 23, 1}, {11, 11, -8}, true, "6712263.904", "3495070.508", ""},
        {"line shorter than the first start", "P10", {11, 23, 1}, {11, 11, 8}, false, "", "", ""},
        {"second starts at the last character", "P10       6712263.904 3", {11, 23, 1}, {11, 11, 8},
         false, "6712263.904", "", ""},
        {"range of blanks", "P10" + std::string(19, ' ') + "3495070.508", {11, 23, 1}, {11, 11, 8}, false, "",
         "3495070.508", ""},
        {"start 0", line, {0, 23, 1}, {11, 11, 8}, false, "", "3495070.508", ""},
        {"negative start", line, {-5, 23, 1}, {11, 11, 8}, false, "", "3495070.508", ""},
        {"negative length", line, {11, 23, 1}, {-11, 11, 8}, false, "", "3495070.508", ""},
        {"length 0", line, {11, 23, 1}, {11, 0, 8}, false, "6712263.904", "", ""},
    };
    for (const Case& c : cases) {
        fixedColumns(c.start, c.length);
        engine.convertLine(c.line, LineLayout::FixedColumns);
        if (c.converts) {
            expectConverted(c.name);
        } else {
            expectMissing(c.name);
        }
        EXPECT_EQ(state.pointText[0], c.first) << c.name;
        EXPECT_EQ(state.pointText[1], c.second) << c.name;
        // The identifier is only cut when the coordinates were there.
        if (c.converts) {
            EXPECT_EQ(state.pointText[4], c.identifier) << c.name;
        }
    }
}

TEST_F(ConvertLineTest, FixedColumnsTrimSpacesOnly) {
    fixedColumns({1, 14, 0}, {13, 12, 0});
    engine.convertLine("\t6712263.904 \t3495070.508", LineLayout::FixedColumns);
    EXPECT_EQ(state.pointText[0], "\t6712263.904");
    EXPECT_EQ(state.pointText[1], "\t3495070.508");
    expectConverted("tabs inside the columns");
}

TEST(FormatResultLine, Columns) {
    ConversionState state;
    state.pointText = {"6712263.904", "3495070.508", "6709447.856   ", "494903.060    ", "P10"};
    state.kkjSheet = "213307D1   ";
    state.utmSheet = "P4431B3 ";
    const std::string line = formatResultLine(state);
    EXPECT_EQ(line,
              "P10      6712263.904   3495070.508     6709447.856   494903.060      213307D1   P4431B3 ");
    EXPECT_EQ(line.substr(69, 8), "213307D1") << "sheets from column 70";

    state.pointText[4] = "ABCDEFGHIJKL";
    state.pointText[0] = "123456789012345678";
    EXPECT_EQ(formatResultLine(state).substr(0, 24), "ABCDEFGH 12345678901234" "3")
        << "identifier cut to 8, source texts to 14";
}

TEST(FormatResultLine, FailedPoint) {
    ConversionState state;
    state.pointText = {"x", "", "", "", ""};
    state.message = utf8ToCp1252(texts::kSourceCoordinatesMissing);
    const std::string line = formatResultLine(state);
    EXPECT_EQ(line.substr(0, 41), std::string(9, ' ') + "x" + std::string(31, ' '));
    EXPECT_EQ(line.substr(41), state.message) << "message from column 42";
    EXPECT_EQ(line.size(), 41 + state.message.size()) << "no padding at the end";

    std::string reused = "previous contents that are long";
    formatResultLine(state, reused);
    EXPECT_EQ(reused, line);
}

}  // namespace
}  // namespace lomitra
