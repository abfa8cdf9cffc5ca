// Putting results back into a line: overwriting in place, never changing the
// line's length, in fixed columns and in free format.
//
// Results are network point 10 of JHS 154 in ETRS-TM35FIN (6709447.856,
// 494903.060), as convertPoint leaves them: 14 characters, left-aligned.
#include "engine/conversion_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lomitra {
namespace {

class RebuildLineTest : public ::testing::Test {
protected:
    RebuildLineTest() {
        state.pointText[2] = "6709447.856   ";
        state.pointText[3] = "494903.060    ";
    }
    std::string rebuild(const std::string& line, LineLayout layout) {
        std::string inPlace = line;
        engine.rebuildLineInPlace(inPlace, layout);
        const std::string copy = engine.rebuildLine(line, layout);
        EXPECT_EQ(copy, inPlace);
        EXPECT_EQ(copy.size(), line.size()) << "the length never changes";
        return copy;
    }

    ConversionSettings settings;
    DatumTransformation datum;
    ConversionState state;
    ConversionEngine engine{settings, datum, state};
};

TEST_F(RebuildLineTest, FixedColumns) {
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    struct Case {
        const char* name;
        std::string line;
        std::array<int32_t, 2> start, length;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"range of 11 is filled exactly", alphabet, {3, 0}, {11, 0},
         "AB6709447.856NOPQRSTUVWXYZ0123456789"},
        {"range of 10 loses the last character", alphabet, {3, 0}, {10, 0},
         "AB6709447.85MNOPQRSTUVWXYZ0123456789"},
        {"range of 13: two spaces, then the result", alphabet, {3, 0}, {13, 0},
         "AB  6709447.856PQRSTUVWXYZ0123456789"},
        {"second coordinate right-aligned in 12", alphabet, {3, 20}, {11, 12},
         "AB6709447.856NOPQRS  494903.06056789"},
        {"range past the end of a shorter line", "AB12345", {3, 0}, {13, 0}, "AB  670"},
        {"range starting past the end", "AB12345", {3, 9}, {11, 11}, "AB67094"},
        {"at most 20 spaces before the result", std::string(45, 'x'), {1, 0}, {40, 0},
         std::string(20, ' ') + "6709447.856" + std::string(14, 'x')},
        {"start 0 writes nothing", alphabet, {0, -2}, {11, 11}, alphabet},
        {"negative length writes nothing", alphabet, {3, 20}, {-11, -1}, alphabet},
        {"Windows-1252 bytes around stay", "\xE4\xF6 1234567890123 \xFF", {4, 0}, {11, 0},
         "\xE4\xF6 6709447.85623 \xFF"},
    };
    for (const Case& c : cases) {
        state.columnStart = {c.start[0], c.start[1], 0};
        state.columnLength = {c.length[0], c.length[1], 0};
        EXPECT_EQ(rebuild(c.line, LineLayout::FixedColumns), c.expected) << c.name;
    }
}

TEST_F(RebuildLineTest, FreeFormat) {
    struct Case {
        const char* name;
        std::string line;
        std::array<int32_t, 2> fields;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"inner field of 4 and one blank: room 4", "P 6712 3495070.508 x", {1, 2},
         "P 6709 494903.060  x"},
        {"last field overwritten to the end of the line", "P 6712263.904 3495070.508", {1, 2},
         "P 6709447.856 494903.060 "},
        {"last field cut at the end of the line", "P 6712263.904 34", {1, 2}, "P 6709447.856 49"},
        {"last field followed by blanks: 14 characters", "P 6712263.904 3495070.508" + std::string(10, ' '), {1, 2},
         "P 6709447.856 494903.060" + std::string(11, ' ')},
        {"the last blank before the next field stays", "P  6712263.904    3495070.508 x", {1, 2},
         "P  6709447.856    494903.060  x"},
        {"tab separators", "P\t6712263.904\t3495070.508\tx", {1, 2}, "P\t6709447.856\t494903.060 \tx"},
        {"coordinates in the other order", "3495070.508 6712263.904 P", {1, 0},
         "494903.060  6709447.856 P"},
        {"field -1 writes nothing", "P 6712263.904 3495070.508", {-1, 2}, "P 6712263.904 494903.060 "},
        {"field 100 writes nothing", "P 6712263.904 3495070.508", {100, 2}, "P 6712263.904 494903.060 "},
        {"missing field writes nothing", "P 6712263.904", {1, 2}, "P 6709447.856"},
    };
    for (const Case& c : cases) {
        state.fieldNumber = {c.fields[0], c.fields[1], -1};
        EXPECT_EQ(rebuild(c.line, LineLayout::FreeFormat), c.expected) << c.name;
    }
}

TEST_F(RebuildLineTest, FreeFormatLastEntryOfTheFieldTable) {
    std::string line;
    for (int i = 0; i < 98; ++i) line += "x ";
    state.fieldNumber = {98, 99, -1};
    EXPECT_EQ(rebuild(line + "6712263.904 3495070.508", LineLayout::FreeFormat),
              line + "6709447.856 494903.060 ");
}

TEST_F(RebuildLineTest, AfterConvertLine) {
    // The whole way of a result file line: cut, convert, put back.
    settings.direction = 1;
    settings.resultZone = 1;
    state.fieldNumber = {1, 2, 0};
    state.columnLength = {0, 0, 1};
    const std::string freeLine = "P10\t6712263,904  3495070.508 \xE4 kommentti";
    engine.convertLine(freeLine, LineLayout::FreeFormat);
    ASSERT_EQ(state.message, "");
    EXPECT_EQ(engine.rebuildLine(freeLine, LineLayout::FreeFormat),
              "P10\t6709447.856  494903.060  \xE4 kommentti");

    state.columnStart = {6, 18, 1};
    state.columnLength = {11, 12, 4};
    const std::string fixedLine = "P10  6712263.904 3495070.508    END";
    engine.convertLine(fixedLine, LineLayout::FixedColumns);
    ASSERT_EQ(state.message, "");
    EXPECT_EQ(engine.rebuildLine(fixedLine, LineLayout::FixedColumns),
              "P10  6709447.856   494903.060   END");
}

}  // namespace
}  // namespace lomitra
