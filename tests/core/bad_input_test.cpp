// Names, points and arrays that cannot be converted: a clear error, or the
// status NotConverted with the point left as it was; never a crash.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "lomitra/lomitra.hpp"

namespace lomitra {
namespace {

TEST(BadInput, UnknownNamesListTheAcceptedOnes) {
    for (const std::string name : {"", "EPSG:9999", "ETRS-TM35", "KKJ6", "YKJ ", "EPSG:2393x"}) {
        try {
            Crs{name};
            ADD_FAILURE() << "accepted \"" << name << "\"";
        } catch (const UnknownCrs& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("\"" + name + "\""), std::string::npos) << message;
            for (const std::string_view accepted : Crs::acceptedNames()) {
                EXPECT_NE(message.find(accepted), std::string::npos) << accepted;
            }
        }
    }
    EXPECT_THROW(Crs::fromEpsg(3066), UnknownCrs);
    EXPECT_THROW(Transformer("YKJ", "WGS84"), std::invalid_argument);
    EXPECT_EQ(Crs::acceptedNames().size(), 55u);
    // Every name is accepted, in any case; the aliases give one system.
    for (const std::string_view accepted : Crs::acceptedNames()) {
        std::string lower(accepted);
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(Crs(lower), Crs(accepted)) << accepted;
    }
    EXPECT_EQ(Crs("EPSG:25835"), Crs("ETRS-TM35FIN"));
    EXPECT_EQ(Crs::fromEpsg(3047).epsg(), 3067);
    EXPECT_EQ(Crs("KKJ3").name(), "YKJ");
}

TEST(BadInput, KkjOwnZoneIsATargetOnly) {
    try {
        Transformer("KKJ-OWN", "ETRS-TM35FIN");
        ADD_FAILURE() << "KKJ-OWN accepted as a source";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("KKJ-OWN can only be a target"), std::string::npos) << e.what();
    }
    EXPECT_THROW(kkjMapSheet(Crs("KKJ-OWN"), {6700000.0, 3500000.0}), std::invalid_argument);
    EXPECT_NO_THROW(Transformer("ETRS-TM35FIN", "KKJ-OWN"));
}

// Each point through the single call, the span call and the strided call
// without statuses, on one thread and on three.
TEST(BadInput, PointsThatCannotBeConvertedAreLeftAsTheyWere) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* source;
        const char* target;
        Point point;
    };
    const Case cases[] = {
        {"YKJ", "ETRS-TM35FIN", {kNaN, 3500000.0}},
        {"YKJ", "ETRS-TM35FIN", {6700000.0, kInf}},
        {"EUREF-FIN", "KKJ", {-kInf, kNaN}},
        {"ETRS-TM35FIN", "ETRS-GK25", {kNaN, kNaN}},
        {"ETRS-GK25", "YKJ", {6700000.0, 24900000.0}},   // not in zone 25
        {"KKJ2", "ETRS-TM35FIN", {6700000.0, 3200000.0}},  // a zone 3 east value
        {"ETRS-TM35FIN", "YKJ", {6700000.0, 25500000.0}},  // an ETRS-GK25 east value
        {"ETRS-TM35FIN", "KKJ1", {5900000.0, 500000.0}},   // south of the accepted area
        {"ETRS-TM34", "ETRS-TM36", {6700000.0, 1000000.0 / 0.0}},
        {"KKJ", "YKJ", {50.0, 25.0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " -> " + c.target);
        const Transformer t(c.source, c.target);
        Point single = c.point;
        EXPECT_EQ(t.transform(single), Status::NotConverted);
        std::vector<Point> points(7, c.point);
        std::vector<Status> statuses(points.size(), Status::InsideNetwork);
        EXPECT_EQ(t.transform(points, statuses, 3), 0u);
        EXPECT_EQ(t.transform(points.size(), &points[0].north, sizeof(Point), &points[0].east, sizeof(Point)), 0u);
        for (std::size_t i = 0; i < points.size(); ++i) EXPECT_EQ(statuses[i], Status::NotConverted);
        for (const Point& p : {single, points.front(), points.back()}) {
            EXPECT_EQ(std::memcmp(&p, &c.point, sizeof p), 0);
        }
    }
}

TEST(BadInput, ArgumentsOfTheArrayCalls) {
    const Transformer t("YKJ", "ETRS-TM35FIN");
    EXPECT_EQ(t.transform(0, nullptr, 0, nullptr, 0), 0u);
    EXPECT_EQ(t.transform(std::span<Point>()), 0u);
    double north = 6700000.0, east = 3210000.0;
    EXPECT_THROW(t.transform(1, nullptr, 8, &east, 8), std::invalid_argument);
    EXPECT_THROW(t.transform(1, &north, 8, nullptr, 8), std::invalid_argument);
    EXPECT_THROW(t.transform(2, &north, 0, &east, 8), std::invalid_argument);
    EXPECT_THROW(t.transform(1, &north, 8, &east, 8, nullptr, -1), std::invalid_argument);
    std::vector<Point> points(3, Point{6700000.0, 3210000.0});
    std::vector<Status> statuses(2);
    EXPECT_THROW(t.transform(points, statuses), std::invalid_argument);
    EXPECT_EQ(points[0].north, 6700000.0);  // nothing converted before the refusal
    // One point with a stride of 0 is one point.
    EXPECT_EQ(t.transform(1, &north, 0, &east, 0, nullptr, Transformer::kAllProcessors), 1u);
    EXPECT_NEAR(north, 6697187.001, 0.0005);
}

}  // namespace
}  // namespace lomitra
