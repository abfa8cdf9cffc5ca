// Putting results back into a line: a result may be rounded to fewer decimals
// to fit its room, never lose an integer digit; a line whose results do not
// fit stays as it was.
//
// Results in the tables are network point 10 of JHS 154 in ETRS-TM35FIN
// (6709447.856, 494903.060), as convertPoint leaves them: 14 characters,
// left-aligned. The end-to-end cases convert real points; their expected
// results are the values the file conversion must give for them.
#include "core/rebuild_line.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <string>
#include <vector>

#include "core/conversion_engine.h"

namespace lomitra {
namespace {

class RebuildLineTest : public ::testing::Test {
protected:
    RebuildLineTest() {
        state.pointText[2] = "6709447.856   ";
        state.pointText[3] = "494903.060    ";
        state.resultNumber = {6709447.856, 494903.060};
        state.resultDecimals = 3;
    }
    // The rebuilt line; a line that does not fit must come back unchanged.
    std::string rebuild(const std::string& line, LineLayout layout, bool expectFits = true) {
        std::string out = line;
        EXPECT_EQ(rebuildLine(state, out, layout), expectFits) << line;
        if (!expectFits) {
            EXPECT_EQ(out, line) << "a line that does not fit stays byte for byte";
        }
        return out;
    }

    ConversionState state;
};

TEST_F(RebuildLineTest, FixedColumns) {
    const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    struct Case {
        const char* name;
        std::string line;
        std::array<int32_t, 2> start, length;
        std::string expected;  // empty: the line does not fit
    };
    const std::vector<Case> cases = {
        {"ranges of the results' own widths are filled exactly", alphabet, {3, 20}, {11, 10},
         "AB6709447.856NOPQRS494903.0603456789"},
        {"one column short: one decimal fewer, rounded", alphabet, {3, 20}, {10, 9},
         "AB6709447.86MNOPQRS494903.0623456789"},
        {"wider ranges: right-aligned, spaces before", alphabet, {3, 20}, {13, 14},
         "AB  6709447.856PQRS    494903.060789"},
        {"the integer part exactly: the rounded integer", alphabet, {3, 20}, {7, 6},
         "AB6709448JKLMNOPQRS494903Z0123456789"},
        {"room for the point but no decimal: the rounded integer, right-aligned", alphabet, {3, 20}, {8, 7},
         "AB 6709448KLMNOPQRS 4949030123456789"},
        {"one integer digit short: the line does not fit", alphabet, {3, 20}, {6, 10}, ""},
        {"the second does not fit: the first is not written either", alphabet, {3, 20}, {11, 5}, ""},
        {"a range past the end of the line holds what is left of it",
         "P1 6700000.000 3500000.000", {4, 16}, {11, 20}, "P1 6709447.856  494903.060"},
        {"a range past the end shorter than the integer part does not fit", "AB12345", {3, 0}, {13, 0}, ""},
        {"the whole room is padded, more than 20 spaces", std::string(55, 'x'), {1, 42}, {40, 10},
         std::string(29, ' ') + "6709447.856x494903.060xxxx"},
        {"a start past the end of the line does not fit", "AB12345", {3, 9}, {5, 5}, ""},
        {"start 0 does not fit", alphabet, {0, 20}, {11, 10}, ""},
        {"length 0 does not fit", alphabet, {3, 20}, {11, 0}, ""},
        {"negative length does not fit", alphabet, {3, 20}, {-11, 10}, ""},
        {"overlapping rooms do not fit", alphabet, {3, 10}, {11, 11}, ""},
        {"Windows-1252 bytes around stay", "\xE4\xF6 12345678901 \xFF 1234567890 \xE4", {4, 18}, {11, 10},
         "\xE4\xF6 6709447.856 \xFF 494903.060 \xE4"},
    };
    for (const Case& c : cases) {
        state.columnStart = {c.start[0], c.start[1], 0};
        state.columnLength = {c.length[0], c.length[1], 0};
        const bool fits = !c.expected.empty();
        EXPECT_EQ(rebuild(c.line, LineLayout::FixedColumns, fits), fits ? c.expected : c.line) << c.name;
    }
}

TEST_F(RebuildLineTest, FreeFormat) {
    struct Case {
        const char* name;
        std::string line;
        std::array<int32_t, 2> fields;
        std::string expected;  // empty: the line does not fit
    };
    const std::vector<Case> cases = {
        {"an inner field of 4 widens to the rounded integer", "P 6712 3495070.508 x", {1, 2},
         "P 6709448 494903.060  x"},
        {"the last field runs to the end of the line", "P 6712263.904 3495070.508", {1, 2},
         "P 6709447.856 494903.060 "},
        {"a last field shorter than the integer part widens", "P 6712263.904 34", {1, 2},
         "P 6709447.856 494903"},
        {"a last field followed by blanks: 14 characters", "P 6712263.904 3495070.508" + std::string(10, ' '),
         {1, 2}, "P 6709447.856 494903.060" + std::string(11, ' ')},
        {"the last blank before the next field stays", "P  6712263.904    3495070.508 x", {1, 2},
         "P  6709447.856    494903.060  x"},
        {"tab separators", "P\t6712263.904\t3495070.508\tx", {1, 2}, "P\t6709447.856\t494903.060 \tx"},
        {"coordinates in the other order", "3495070.508 6712263.904 P", {1, 0},
         "494903.060  6709447.856 P"},
        {"nothing of a longer old field stays behind", "P1 6700000.1234567890 3500000.1234567890 x", {1, 2},
         "P1 6709447.856" + std::string(8, ' ') + "494903.060" + std::string(9, ' ') + "x"},
        {"a room between integer part and whole result: the decimals that fit, rounded",
         "P 67122639 34950705 x", {1, 2}, "P 6709448  494903.1 x"},
        {"widening keeps the numbers of the later fields", "A 1 2 3 B", {1, 3}, "A 6709448 2 494903 B"},
        {"field -1 does not fit", "P 6712263.904 3495070.508", {-1, 2}, ""},
        {"field 100 does not fit", "P 6712263.904 3495070.508", {100, 2}, ""},
        {"a missing field does not fit", "P 6712263.904", {1, 2}, ""},
        {"the same field twice does not fit", "P 6712263.904 3495070.508", {1, 1}, ""},
    };
    for (const Case& c : cases) {
        state.fieldNumber = {c.fields[0], c.fields[1], -1};
        const bool fits = !c.expected.empty();
        EXPECT_EQ(rebuild(c.line, LineLayout::FreeFormat, fits), fits ? c.expected : c.line) << c.name;
    }
}

// 999999.960 rounds up into a seventh integer digit when fewer than two
// decimals fit: written where the rounded integer fits, never as 999999.9,
// 999999 or a cut 100000.
TEST_F(RebuildLineTest, RoundingCarriesIntoANewDigitOnlyWhereItFits) {
    state.pointText[2] = "999999.960    ";
    state.resultNumber[0] = 999999.96;
    struct Case {
        int32_t length;        // fixed: the room of the first coordinate
        std::string expected;  // empty: the line does not fit
    };
    const std::string line = "123456789012345 123456789012";
    for (const Case& c : std::vector<Case>{{10, "999999.960"}, {9, "999999.96"}, {8, " 1000000"}, {7, "1000000"},
                                          {6, ""}}) {
        state.columnStart = {1, 17, 0};
        state.columnLength = {c.length, 12, 0};
        const std::string out = rebuild(line, LineLayout::FixedColumns, !c.expected.empty());
        if (!c.expected.empty()) {
            EXPECT_EQ(out.substr(0, c.expected.size()), c.expected) << c.length;
        }
    }
    state.fieldNumber = {0, 1, -1};
    EXPECT_EQ(rebuild("123456 1", LineLayout::FreeFormat), "1000000 494903") << "both fields widen";
}

TEST_F(RebuildLineTest, FreeFormatLastEntryOfTheFieldTable) {
    std::string line;
    for (int i = 0; i < 98; ++i) line += "x ";
    state.fieldNumber = {98, 99, -1};
    EXPECT_EQ(rebuild(line + "6712263.904 3495070.508", LineLayout::FreeFormat),
              line + "6709447.856 494903.060 ");
    // More fields than the table holds follow the last entry: its room would run over them.
    rebuild(line + "6712263.904 3495070.508 y z", LineLayout::FreeFormat, false);
}

// The lines a user tried, converted end to end (cut, convert, put back), in
// both layouts and directions, with plane and geographic sources and results.
class ResultFileLineTest : public ::testing::Test {
protected:
    ConversionSettings settings;
    DatumTransformation datum;
    ConversionState state;
    ConversionEngine engine{settings, datum, state};
};

TEST_F(ResultFileLineTest, ResultsKeepEveryIntegerDigit) {
    constexpr int32_t kEurefToKkj = 0;  // KKJ own zone
    constexpr int32_t kKkjToEuref = 1;  // ETRS-TM35FIN
    constexpr int32_t kKkjToTm36 = 2;   // ETRS-TM36
    struct Case {
        const char* name;
        int32_t direction;
        int32_t sourceKind;
        LineLayout layout;
        std::array<int32_t, 3> a, b;  // fixed: starts, lengths; free: field numbers, unused
        std::string line;
        std::string expected;  // empty: does not fit
    };
    const std::string right40 = std::string(29, ' ') + "6700000.000";
    const std::vector<Case> cases = {
        {"free: KKJ I needs a seventh digit", kEurefToKkj, 0, LineLayout::FreeFormat, {1, 2, 0}, {},
         "P1 6800000 400000 x", "P1 6801956 2560808 x"},  // 6801956.130 2560807.581
        {"free: geographic source, both fields widen", kEurefToKkj, 1, LineLayout::FreeFormat, {0, 1, -1}, {},
         "60.5 25.0", "6710339 2555133"},  // 6710338.549 2555132.594
        {"fixed: a range past the end of the line", kKkjToEuref, 0, LineLayout::FixedColumns, {4, 16, 0},
         {11, 20, 0}, "P1 6700000.000 3500000.000", "P1 6697188.934  499830.669"},
        {"fixed: trailing blanks stripped from this line", kKkjToEuref, 0, LineLayout::FixedColumns,
         {9, 23, 1}, {14, 14, 8}, "P2      6700000.000   3500000.000", "P2         6697188.934 499830.669"},
        {"fixed: a 40-column range padded whole", kKkjToEuref, 0, LineLayout::FixedColumns, {4, 45, 0},
         {40, 14, 0}, "P1 " + right40 + "    3500000.000", "P1 " + std::string(29, ' ') + "6697188.934" +
         "     499830.669"},
        {"free: longer old fields leave nothing behind", kKkjToEuref, 0, LineLayout::FreeFormat, {1, 2, 0}, {},
         "P1 6700000.1234567890 3500000.1234567890 x", "P1 6697189.058        499830.793         x"},
        {"fixed: seven integer digits in six columns do not fit", kEurefToKkj, 0, LineLayout::FixedColumns,
         {4, 12, 0}, {7, 6, 0}, "P1 6700000 400000", ""},
        {"free: decimal comma, tab, Windows-1252 remark", kKkjToEuref, 0, LineLayout::FreeFormat, {1, 2, 0}, {},
         "P10\t6712263,904  3495070.508 \xE4 kommentti", "P10\t6709447.856  494903.060  \xE4 kommentti"},
        {"fixed: the text around the ranges stays", kKkjToEuref, 0, LineLayout::FixedColumns,
         {6, 18, 1}, {11, 12, 4}, "P10  6712263.904 3495070.508    END", "P10  6709447.856   494903.060   END"},
        // Rounded, not cut: 6597228.3 and 399871.7 (399871.656 in full) in rooms of 7.
        {"free: the decimals that do not fit are rounded away", kKkjToEuref, 0, LineLayout::FreeFormat,
         {1, 2, 0}, {}, "MERI 6600000 3400000", "MERI 6597228 399872 "},
        // 6706999.966 and 585699.274 in rooms of 9.
        {"fixed: rounding carries into the integer part", kKkjToEuref, 0, LineLayout::FixedColumns,
         {4, 14, 0}, {9, 9, 0}, "K1 6709814.3 3585903.3 x", "K1 6707000.0 585699.27 x"},
        // 6708083.076 and -167811.659 in rooms of 9.
        {"free: a negative value rounds by its magnitude", kKkjToTm36, 0, LineLayout::FreeFormat, {1, 2, 0},
         {}, "N 6650000.0 1500000.0", "N 6708083.1 -167811.7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        settings.direction = c.direction == kEurefToKkj ? 0 : 1;
        settings.sourceKind = c.sourceKind;
        settings.resultZone = c.direction == kKkjToTm36 ? 2 : c.direction;
        if (c.layout == LineLayout::FreeFormat) {
            state.fieldNumber = c.a;
            state.columnLength = {0, 0, c.a[2] >= 0 ? 1 : 0};
        } else {
            state.columnStart = c.a;
            state.columnLength = c.b;
        }
        std::string line = c.line;
        const ResultFileLine outcome = engine.convertResultFileLine(line, c.layout);
        if (c.expected.empty()) {
            EXPECT_EQ(outcome, ResultFileLine::DoesNotFit);
            EXPECT_EQ(line, c.line);
            EXPECT_EQ(state.message, "") << "the point itself converted";
        } else {
            EXPECT_EQ(outcome, ResultFileLine::Converted);
            EXPECT_EQ(line, c.expected);
        }
    }
}

// Geographic results are rounded like plane ones: the degrees (with minutes
// and seconds packed before the point) are the integer part. The expected
// texts are the packed numbers of the same point converted alone, written
// with fewer decimals by std::to_chars.
TEST_F(ResultFileLineTest, GeographicResultsAreRoundedToTheirRoom) {
    // The packed numbers of the point typed alone (convertPoint), and their decimals.
    auto fullResults = [&](const std::string& first, const std::string& second) {
        state.pointText[0] = first;
        state.pointText[1] = second;
        engine.convertPoint();
        EXPECT_EQ(state.message, "");
        return state.resultNumber;
    };
    auto rounded = [](double number, int decimals) {
        char text[64];
        const auto end = std::to_chars(text, text + sizeof text, number, std::chars_format::fixed, decimals).ptr;
        return std::string(text, end);
    };
    settings.resultKind = 1;
    for (const int32_t format : {0, 1, 2}) {  // dd, dm, dms
        SCOPED_TRACE(format);
        settings.resultFormat = format;

        // KKJ -> EUREF-FIN: 9-character sources, 11-character results: two decimals fewer.
        settings.direction = 1;
        settings.sourceKind = 0;
        const auto full = fullResults("6700000.0", "3500000.0");
        const int decimals = state.resultDecimals;
        ASSERT_EQ(rounded(full[0], decimals).size(), 11u);
        const std::string source = "P1 6700000.0 3500000.0 x";
        const std::string fitted = "P1 " + rounded(full[0], decimals - 2) + " " + rounded(full[1], decimals - 2) + " x";
        state.columnStart = {4, 14, 0};
        state.columnLength = {9, 9, 0};
        std::string line = source;
        EXPECT_EQ(engine.convertResultFileLine(line, LineLayout::FixedColumns), ResultFileLine::Converted);
        EXPECT_EQ(line, fitted);
        state.fieldNumber = {1, 2, -1};
        line = source;
        EXPECT_EQ(engine.convertResultFileLine(line, LineLayout::FreeFormat), ResultFileLine::Converted);
        EXPECT_EQ(line, fitted);

        // EUREF-FIN -> KKJ from 4-character degrees into rooms of 4: decimal
        // degrees keep one decimal, ddmm its rounded integer; ddmmss has six
        // integer digits, so fixed columns do not fit and free format widens.
        settings.direction = 0;
        settings.sourceKind = 1;
        const auto degrees = fullResults("60.5", "25.0");
        const std::string shortSource = "P1 60.5 25.0 x";
        state.columnStart = {4, 9, 0};
        state.columnLength = {4, 4, 0};
        line = shortSource;
        const ResultFileLine fixed = engine.convertResultFileLine(line, LineLayout::FixedColumns);
        const int kept = format == 0 ? 1 : 0;
        const std::string inFour = "P1 " + rounded(degrees[0], kept) + " " + rounded(degrees[1], kept) + " x";
        EXPECT_EQ(fixed, format == 2 ? ResultFileLine::DoesNotFit : ResultFileLine::Converted);
        EXPECT_EQ(line, format == 2 ? shortSource : inFour);
        line = shortSource;
        EXPECT_EQ(engine.convertResultFileLine(line, LineLayout::FreeFormat), ResultFileLine::Converted);
        EXPECT_EQ(line, inFour);
    }
}

}  // namespace
}  // namespace lomitra
