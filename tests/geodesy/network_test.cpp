// The built-in JHS 154 triangulation network: its rows and the tables parsed from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "geodesy/triangulation_network.h"

namespace lomitra {
namespace {

constexpr double kMm = 0.001;  // metres per millimetre

std::unique_ptr<TriangulationNetwork> loadedNetwork() {
    auto network = std::make_unique<TriangulationNetwork>();
    network->loadNetworkPoints();
    network->loadNetworkTriangles();
    return network;
}

bool isPointNumber(int32_t number) { return (number >= 1 && number <= 766) || number == 836; }

// ---------------------------------------------------------------- the rows

TEST(NetworkRows, RowsOfTheRecommendationsExamplesAreExact) {
    // Rows exactly as JHS 154 prints them (description in Windows-1252 bytes).
    const std::array<std::string_view, 6> expected = {
        "1     6718527.414 3106266.213 6715706.377 106256.360   G4       Geta",
        "2     6661186.097 3160799.230 6658388.640 160767.714   G9       K\xF6" "kar",
        "624   7824897.317 3500170.520 7821633.404 500000.000   Virtuaalipiste",
        "694   6791850.967 2968956.845 6789000.000 -31000.000   virtuaalipiste",
        "766   6495730.800 3234061.573 6493000.000 234000.000   virtuaalipiste",
        "836   7736573.228 3582824.357 7733344.381 582619.857   02M351",
    };
    const auto rows = networkPointRows();
    ASSERT_EQ(rows.size(), 767u);
    for (const std::string_view row : expected) {
        const auto match = std::find_if(rows.begin(), rows.end(), [&](std::string_view r) {
            return r.substr(0, 6) == row.substr(0, 6);
        });
        ASSERT_NE(match, rows.end()) << row;
        EXPECT_EQ(*match, row);
    }

    const auto triangles = networkTriangleRows();
    ASSERT_EQ(triangles.size(), 1450u);
    EXPECT_EQ(triangles[0], "     534       3     133");
    EXPECT_EQ(triangles[1], "       3     132     133");
    EXPECT_EQ(triangles[2], "       4     128       3");
    EXPECT_EQ(triangles[3], "     127     121       5");
    EXPECT_EQ(triangles[4], "       4       3     534");
    EXPECT_EQ(triangles[1447], "     653     705     651");
    EXPECT_EQ(triangles[1448], "     705     653     704");
    EXPECT_EQ(triangles[1449], "     706     651     705");
}

TEST(NetworkRows, EveryRowKeepsTheFixedColumns) {
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    // 11 characters: 7 digits, a full stop, 3 decimals.
    auto isCoordinate = [&](std::string_view field) {
        return field.size() == 11 && std::all_of(field.begin(), field.begin() + 7, isDigit) &&
               field[7] == '.' && std::all_of(field.begin() + 8, field.end(), isDigit);
    };
    for (const std::string_view row : networkPointRows()) {
        SCOPED_TRACE(std::string(row));
        ASSERT_GE(row.size(), 50u);  // number, three 11-wide values, east of 8 characters
        EXPECT_TRUE(isDigit(row[0]));
        EXPECT_TRUE(isCoordinate(row.substr(6, 11)));
        EXPECT_TRUE(isCoordinate(row.substr(18, 11)));
        EXPECT_TRUE(isCoordinate(row.substr(30, 11)));
        EXPECT_EQ(row[17], ' ');
        EXPECT_EQ(row[29], ' ');
        EXPECT_EQ(row[41], ' ');
        // East from column 43, left-aligned, 8 to 10 characters, 3 decimals.
        const std::string_view eastWindow = row.substr(42, 12);
        const std::string_view east = eastWindow.substr(0, eastWindow.find(' '));
        EXPECT_GE(east.size(), 8u);
        EXPECT_LE(east.size(), 10u);
        EXPECT_EQ(east[east.size() - 4], '.');
        EXPECT_EQ(eastWindow.find_first_not_of(' ', east.size()), std::string_view::npos);
        // A description, if any, starts at column 56 after a blank.
        if (row.size() > 54) {
            ASSERT_GT(row.size(), 55u);
            EXPECT_EQ(row[54], ' ');
            EXPECT_NE(row[55], ' ');
        }
        EXPECT_NE(row.back(), ' ');
    }
    for (const std::string_view row : networkTriangleRows()) {
        EXPECT_EQ(row.size(), 24u) << row;
    }
}

// ---------------------------------------------------------------- the tables

TEST(NetworkTables, SlotsNamedInTheRecommendation) {
    // Values of the JHS 154 lists for points 1, 694 (negative east) and 836.
    struct Case {
        int32_t number;
        double p, i, n, e;
    };
    const Case cases[] = {
        {1, 6718527.414, 3106266.213, 6715706.377, 106256.360},
        {694, 6791850.967, 2968956.845, 6789000.000, -31000.000},
        {836, 7736573.228, 3582824.357, 7733344.381, 582619.857},
    };
    const auto network = loadedNetwork();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        const NetworkPoint& point = network->point(c.number);
        EXPECT_NEAR(point.kkjP, c.p, 0.001 * kMm);
        EXPECT_NEAR(point.kkjI, c.i, 0.001 * kMm);
        EXPECT_NEAR(point.eurefN, c.n, 0.001 * kMm);
        EXPECT_NEAR(point.eurefE, c.e, 0.001 * kMm);
        // Columns 1..4 are the same four fields.
        EXPECT_EQ(network->coordinate(c.number, 1), point.kkjP);
        EXPECT_EQ(network->coordinate(c.number, 2), point.kkjI);
        EXPECT_EQ(network->coordinate(c.number, 3), point.eurefN);
        EXPECT_EQ(network->coordinate(c.number, 4), point.eurefE);
    }

    const NetworkTriangle& first = network->triangle(1);
    EXPECT_EQ((std::array{first.first, first.second, first.third}), (std::array{534, 3, 133}));
    const NetworkTriangle& last = network->triangle(1450);
    EXPECT_EQ((std::array{last.first, last.second, last.third}), (std::array{706, 651, 705}));
    EXPECT_EQ(network->triangleCount(), 1450);
}

TEST(NetworkTables, UnusedSlotsStayEmpty) {
    const auto network = loadedNetwork();
    for (int32_t number = 1; number <= TriangulationNetwork::kPointSlots; ++number) {
        const NetworkPoint& p = network->point(number);
        const bool empty = p.kkjP == 0 && p.kkjI == 0 && p.eurefN == 0 && p.eurefE == 0;
        EXPECT_EQ(empty, !isPointNumber(number)) << "point slot " << number;
    }
    for (int32_t number = 1451; number <= TriangulationNetwork::kTriangleSlots; ++number) {
        const NetworkTriangle& t = network->triangle(number);
        EXPECT_TRUE(t.first == 0 && t.second == 0 && t.third == 0) << "triangle slot " << number;
    }
    // Numbers outside the tables read as empty instead of out of bounds.
    EXPECT_EQ(network->point(0).kkjP, 0.0);
    EXPECT_EQ(network->point(1001).kkjP, 0.0);
    EXPECT_EQ(network->triangle(0).first, 0);
    EXPECT_EQ(network->triangle(1801).first, 0);
    EXPECT_EQ(network->coordinate(1, 0), 0.0);
    EXPECT_EQ(network->coordinate(1, 5), 0.0);
}

TEST(NetworkTables, TrianglesAndPointsCoverEachOther) {
    const auto network = loadedNetwork();
    std::set<int32_t> vertices;
    std::set<std::array<int32_t, 3>> vertexSets;
    for (int32_t j = 1; j <= network->triangleCount(); ++j) {
        const NetworkTriangle& t = network->triangle(j);
        std::array<int32_t, 3> set{t.first, t.second, t.third};
        for (const int32_t v : set) {
            EXPECT_TRUE(isPointNumber(v)) << "triangle " << j << " vertex " << v;
            vertices.insert(v);
        }
        std::sort(set.begin(), set.end());
        EXPECT_TRUE(set[0] != set[1] && set[1] != set[2]) << "triangle " << j;
        EXPECT_TRUE(vertexSets.insert(set).second) << "triangle " << j << " listed twice";
    }
    EXPECT_EQ(vertices.size(), 767u);  // every point is a vertex
}

TEST(NetworkTables, OrientationsInTheKkjPlane) {
    // JHS 154 lists 1302 triangles one way round and 148 the other; none is degenerate.
    const auto network = loadedNetwork();
    int counterclockwise = 0, clockwise = 0;
    for (int32_t j = 1; j <= network->triangleCount(); ++j) {
        const NetworkTriangle& t = network->triangle(j);
        const NetworkPoint& a = network->point(t.first);
        const NetworkPoint& b = network->point(t.second);
        const NetworkPoint& c = network->point(t.third);
        const double cross = (b.kkjI - a.kkjI) * (c.kkjP - a.kkjP) -
                             (b.kkjP - a.kkjP) * (c.kkjI - a.kkjI);
        if (cross > 0) ++counterclockwise;
        if (cross < 0) ++clockwise;
    }
    EXPECT_EQ(std::max(counterclockwise, clockwise), 1302);
    EXPECT_EQ(std::min(counterclockwise, clockwise), 148);
}

TEST(NetworkTables, VirtualPointsHaveWholeKilometresInEurefFin) {
    const auto network = loadedNetwork();
    for (int32_t number = 685; number <= 766; ++number) {
        const NetworkPoint& p = network->point(number);
        EXPECT_EQ(std::fmod(p.eurefN, 1000.0), 0.0) << number;
        EXPECT_EQ(std::fmod(p.eurefE, 1000.0), 0.0) << number;
    }
}

}  // namespace
}  // namespace lomitra
