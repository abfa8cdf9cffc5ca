// Lines converted on worker threads against one engine converting them one
// after another: every line comes back once, in its place, with the same
// outcome, result and table bytes and the same triangle cache, whatever the
// number of threads and the size of the blocks. The files are full of points
// where the cache decides the triangle (network vertices and edge
// midpoints, which lie in two or more triangles), so that a block starting
// from the wrong cache would show.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/parallel_line_conversion.h"
#include "core/result_line.h"
#include "tests/support/unusual_floating_point_environment.h"

namespace lomitra {
namespace {

struct Line {
    ResultFileLine outcome;
    bool outsideNetwork;
    std::string result;
    std::string table;
    TriangleCache cacheAfter;
    bool operator==(const Line&) const = default;
};

Line copyOf(const ConvertedLine& line) {
    return {line.outcome, line.outsideNetwork, std::string(line.result), std::string(line.table),
            line.cacheAfter};
}

struct Case {
    const char* name;
    ConversionSettings settings;
    LineLayout layout;
};

ConversionSettings settingsOf(int direction, int resultKind, int resultZone) {
    ConversionSettings s;
    s.direction = direction;  // 0 EUREF-FIN -> KKJ, 1 KKJ -> EUREF-FIN
    s.resultKind = resultKind;
    s.sourceZone = direction == 0 ? 1 : 0;  // ETRS-TM35FIN
    s.resultZone = resultZone;
    return s;
}

// Identifier in columns 1-8, the coordinates in 9-22 and 23-36; as fields 1, 2, 3.
std::string lineOf(int number, double north, double east) {
    char text[96];
    std::snprintf(text, sizeof text, "P%-7d%14.3f%14.3f  x", number, north, east);
    return text;
}

// Network vertices and edge midpoints (several of each triangle), random
// points inside and around the network, points at sea, lines without a
// point and lines whose result does not fit its columns; shuffled.
std::vector<std::string> mixedLines(int direction, unsigned seed) {
    DatumTransformation datum;
    datum.restoreTriangleCache({});  // loads the network
    const TriangulationNetwork& net = datum.network();
    const int north = direction == 0 ? 3 : 1;  // source columns: ETRS-TM35FIN or YKJ
    const int east = north + 1;
    std::vector<std::string> lines;
    int number = 0;
    for (int32_t j = 1; j <= net.triangleCount(); j += 3) {
        const NetworkTriangle& t = net.triangle(j);
        const int32_t a = t.first, b = t.second;
        lines.push_back(lineOf(++number, net.coordinate(a, north), net.coordinate(a, east)));
        lines.push_back(lineOf(++number, (net.coordinate(a, north) + net.coordinate(b, north)) / 2,
                               (net.coordinate(a, east) + net.coordinate(b, east)) / 2));
    }
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> n(6.6e6, 7.8e6), e(1.5e5, 7.5e5), sea(6.0e6, 6.5e6);
    const double offset = direction == 0 ? 0.0 : 3e6;
    for (int i = 0; i < 400; ++i) lines.push_back(lineOf(++number, n(random), e(random) + offset));
    for (int i = 0; i < 60; ++i) lines.push_back(lineOf(++number, sea(random), e(random) + offset));
    for (int i = 0; i < 30; ++i) lines.push_back("kommentti " + std::to_string(i));
    // The east value ends the line: one integer digit too short for KKJ east values.
    for (int i = 0; i < 30; ++i) lines.push_back(lineOf(++number, n(random), 0).substr(0, 22) + "500000");
    lines.push_back("");
    std::shuffle(lines.begin(), lines.end(), random);
    return lines;
}

ConversionState layoutOf(LineLayout layout) {
    ConversionState state;
    if (layout == LineLayout::FixedColumns) {
        state.columnStart = {9, 23, 1};
        state.columnLength = {14, 14, 8};
    } else {
        state.fieldNumber = {1, 2, 0};
        state.columnLength = {0, 0, 1};  // the identifier is marked
    }
    return state;
}

// One engine, line after line.
std::vector<Line> sequentially(const Case& c, const std::vector<std::string>& lines, bool withTable) {
    DatumTransformation datum;
    ConversionState state = layoutOf(c.layout);
    ConversionEngine engine(c.settings, datum, state);
    engine.setMapSheets(withTable);
    std::vector<Line> out;
    for (std::string line : lines) {
        const ResultFileLine outcome = engine.convertResultFileLine(line, c.layout);
        std::string table;
        if (withTable) formatResultLine(state, table);
        out.push_back({outcome, outcome == ResultFileLine::Converted && engine.lastPointOutsideNetwork(),
                       line, table, datum.triangleCache()});
    }
    return out;
}

std::vector<Line> inParallel(const Case& c, const std::vector<std::string>& lines, bool withTable,
                             int threads, LineBlockSize blockSize) {
    std::vector<Line> out;
    ParallelLineConversion conversion(c.settings, layoutOf(c.layout), c.layout, withTable, threads,
                                      [&](const ConvertedLine& line) { out.push_back(copyOf(line)); },
                                      blockSize);
    for (std::string line : lines) conversion.add(line);
    conversion.finish();
    return out;
}

TEST(ParallelLineConversionTest, SameLinesAsOneEngineWhateverTheThreadsAndBlocks) {
    const Case cases[] = {
        {"ETRS-TM35FIN -> KKJ zone 3, columns", settingsOf(0, 0, 3), LineLayout::FixedColumns},
        {"ETRS-TM35FIN -> KKJ own zone, fields", settingsOf(0, 0, 0), LineLayout::FreeFormat},
        {"YKJ -> ETRS-TM35FIN, fields", settingsOf(1, 0, 1), LineLayout::FreeFormat},
        {"YKJ -> geographic, columns", settingsOf(1, 1, 1), LineLayout::FixedColumns},
    };
    // Also: the point lines (39 bytes) "long", converted on the calling thread
    // between blocks of the others; and a budget that holds one block in flight.
    const LineBlockSize blockSizes[] = {{1, 1 << 20}, {2, 1 << 20}, {7, 1 << 20}, {512, 100},
                                        {7, 1 << 20, 30},       {5, 1 << 20, 1 << 20, 100}, {}};
    unsigned seed = 154;
    for (const Case& c : cases) {
        const std::vector<std::string> lines = mixedLines(c.settings.direction, ++seed);
        for (const bool withTable : {false, true}) {
            const std::vector<Line> expected = sequentially(c, lines, withTable);
            // The mix has every outcome, and points inside and outside the network.
            const auto count = [&](auto predicate) { return std::count_if(expected.begin(), expected.end(), predicate); };
            ASSERT_GT(count([](const Line& l) { return l.outcome == ResultFileLine::NotConverted; }), 0);
            ASSERT_GT(count([](const Line& l) { return l.outsideNetwork; }), 0);
            ASSERT_GT(count([](const Line& l) { return l.cacheAfter.triangle > 0; }), 500);
            if (c.settings.direction == 0 && c.layout == LineLayout::FixedColumns) {
                ASSERT_GT(count([](const Line& l) { return l.outcome == ResultFileLine::DoesNotFit; }), 0);
            }
            for (const int threads : {1, 2, 3, 5}) {
                for (const LineBlockSize& size : blockSizes) {
                    SCOPED_TRACE(std::string(c.name) + (withTable ? ", table" : "") + ", threads " +
                                 std::to_string(threads) + ", blocks of " + std::to_string(size.lines) +
                                 " lines or " + std::to_string(size.bytes) + " bytes, long lines " +
                                 std::to_string(size.longLine) + ", " + std::to_string(size.bytesInFlight) +
                                 " bytes in flight");
                    const std::vector<Line> got = inParallel(c, lines, withTable, threads, size);
                    ASSERT_EQ(got.size(), expected.size());
                    std::size_t differing = 0;
                    for (std::size_t i = 0; i < got.size(); ++i) {
                        if (got[i] == expected[i]) continue;
                        if (++differing <= 3) {
                            ADD_FAILURE() << "line " << i + 1 << ": triangle " << got[i].cacheAfter.triangle
                                          << " (one engine: " << expected[i].cacheAfter.triangle << ")\n"
                                          << got[i].result << "\n" << expected[i].result;
                        }
                    }
                    EXPECT_EQ(differing, 0u);
                }
            }
        }
    }
}

// The workers compute in the calling thread's environment, so that their
// lines are the bits the calling thread would make. A POSIX thread inherits
// it anyway; a Windows thread starts from the system's default (the Windows
// build runs this test too).
TEST(ParallelLineConversionTest, WorkersComputeInTheCallersFloatingPointEnvironment) {
    const Case cases[] = {
        {"YKJ -> geographic, columns", settingsOf(1, 1, 1), LineLayout::FixedColumns},
        {"ETRS-TM35FIN -> KKJ own zone, fields", settingsOf(0, 0, 0), LineLayout::FreeFormat},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> lines = mixedLines(c.settings.direction, 11);
        const UnusualFloatingPointEnvironment unusual;
        const std::vector<Line> expected = sequentially(c, lines, true);
        const std::vector<Line> got = inParallel(c, lines, true, 3, {16, 1 << 20});
        ASSERT_EQ(got.size(), expected.size());
        EXPECT_TRUE(got == expected);
    }
}

TEST(ParallelLineConversionTest, EmptyInputAndStoppingHalfWay) {
    const Case c{"", settingsOf(0, 0, 3), LineLayout::FreeFormat};
    EXPECT_TRUE(inParallel(c, {}, true, 3, {}).empty());

    // A run that ends early (a read error) drops the lines still on their way
    // and stops its workers; the lines handed on so far are the sequence's.
    const std::vector<std::string> lines = mixedLines(0, 7);
    const std::vector<Line> expected = sequentially(c, lines, false);
    std::vector<Line> got;
    {
        ParallelLineConversion conversion(c.settings, layoutOf(c.layout), c.layout, false, 2,
                                          [&](const ConvertedLine& line) { got.push_back(copyOf(line)); },
                                          {3, 1 << 20});
        for (std::string line : lines) conversion.add(line);
    }
    ASSERT_LT(got.size(), lines.size());
    EXPECT_TRUE(std::equal(got.begin(), got.end(), expected.begin()));
}

}  // namespace
}  // namespace lomitra
