// The C interface, through lomitra.h alone and the shared library (so that
// the same test can run against the Windows DLL): the public anchor point in
// a strided array, statuses, map sheets, the version, and bad input, which
// gets an answer and no crash.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "lomitra/lomitra.h"

namespace {

std::string mm(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

// Points as a C program might hold them: records with an identifier.
struct Record {
    int id;
    double east;
    double north;
};

TEST(CApi, ConvertsStridedRecordsInPlaceWithStatuses) {
    char error[512] = "x";
    lomitra_transformer* t = lomitra_transformer_create("EPSG:2393", "EPSG:3067", error, sizeof error);
    ASSERT_NE(t, nullptr) << error;
    EXPECT_STREQ(error, "");
    Record records[] = {
        {1, 3210000.0, 6700000.0},                                // the anchor point, inside the network
        {2, 3300000.0, 6100000.0},                                // at sea: Helmert
        {3, 3500000.0, std::numeric_limits<double>::quiet_NaN()}, // not finite
        {4, 3500000.0, 5000000.0},                                // outside the area
    };
    signed char status[4] = {9, 9, 9, 9};
    EXPECT_EQ(lomitra_transform(t, 4, &records[0].north, sizeof(Record), &records[0].east, sizeof(Record), status),
              2u);
    EXPECT_EQ(mm(records[0].north), "6697187.001");
    EXPECT_EQ(mm(records[0].east), "209948.322");
    EXPECT_EQ(status[0], 0);
    EXPECT_EQ(status[1], 1);
    EXPECT_EQ(status[2], -1);
    EXPECT_EQ(status[3], -1);
    EXPECT_EQ(records[3].north, 5000000.0);
    EXPECT_EQ(records[3].east, 3500000.0);
    EXPECT_EQ(records[1].id, 2);

    // Without statuses, and count 0.
    double north = 6700000.0, east = 3210000.0;
    EXPECT_EQ(lomitra_transform(t, 1, &north, sizeof north, &east, sizeof east, nullptr), 1u);
    EXPECT_EQ(mm(north), "6697187.001");
    EXPECT_EQ(lomitra_transform(t, 0, nullptr, 0, nullptr, 0, nullptr), 0u);
    lomitra_transformer_destroy(t);
}

TEST(CApi, BadInputGetsAnAnswer) {
    char error[4096];
    EXPECT_EQ(lomitra_transformer_create("EPSG:4326", "YKJ", error, sizeof error), nullptr);
    const std::string message = error;
    for (const char* name : {"\"EPSG:4326\"", "EPSG:3067", "EPSG:25836", "EPSG:3885", "EPSG:4123", "ETRS-GK32",
                             "EUREF-FIN", "KKJ5", "YKJ", "KKJ-OWN"}) {
        EXPECT_NE(message.find(name), std::string::npos) << name << " in " << message;
    }
    char small[12];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(lomitra_transformer_create("nothing", "YKJ", small, sizeof small), nullptr);
    EXPECT_EQ(std::strlen(small), sizeof small - 1);  // cut, and ended
    EXPECT_EQ(lomitra_transformer_create("KKJ-OWN", "YKJ", error, sizeof error), nullptr);
    EXPECT_NE(std::string(error).find("target"), std::string::npos) << error;
    EXPECT_EQ(lomitra_transformer_create(nullptr, "YKJ", error, sizeof error), nullptr);
    EXPECT_NE(std::string(error), "");
    EXPECT_EQ(lomitra_transformer_create("YKJ", "unknown", nullptr, 0), nullptr);

    lomitra_transformer* t = lomitra_transformer_create("ykj", "etrs-tm35fin", nullptr, 0);
    ASSERT_NE(t, nullptr);
    double north = 6700000.0, east = 3210000.0;
    signed char status = 9;
    EXPECT_EQ(lomitra_transform(nullptr, 1, &north, 8, &east, 8, &status), 0u);
    EXPECT_EQ(lomitra_transform(t, 1, nullptr, 8, &east, 8, &status), 0u);
    EXPECT_EQ(lomitra_transform(t, 2, &north, 0, &east, 8, &status), 0u);
    EXPECT_EQ(status, 9);  // nothing written
    EXPECT_EQ(north, 6700000.0);
    const double infinite = std::numeric_limits<double>::infinity();
    east = infinite;
    EXPECT_EQ(lomitra_transform(t, 1, &north, 8, &east, 8, &status), 0u);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(east, infinite);
    lomitra_transformer_destroy(t);
    lomitra_transformer_destroy(nullptr);
}

TEST(CApi, MapSheetsAndVersion) {
    char sheet[9];
    EXPECT_EQ(lomitra_utm_map_sheet("ETRS-TM35FIN", 6672000.0, 385000.0, sheet, sizeof sheet), 0);
    EXPECT_STREQ(sheet, "L4133B3");
    EXPECT_EQ(lomitra_kkj_map_sheet("YKJ", 6673000.0, 3386000.0, sheet, sizeof sheet), 0);
    EXPECT_STREQ(sheet, "203406A3");
    EXPECT_EQ(lomitra_kkj_map_sheet("YKJ", 5000000.0, 3386000.0, sheet, sizeof sheet), 0);  // outside the area
    EXPECT_STREQ(sheet, "");
    EXPECT_EQ(lomitra_kkj_map_sheet("YKJ", 6673000.0, 3386000.0, sheet, 8), 2);  // no room for the NUL
    EXPECT_EQ(lomitra_kkj_map_sheet("YKJ", 6673000.0, 3386000.0, nullptr, 9), 2);
    EXPECT_EQ(lomitra_utm_map_sheet("KKJ-OWN", 6673000.0, 3386000.0, sheet, sizeof sheet), 1);
    EXPECT_EQ(lomitra_utm_map_sheet(nullptr, 6673000.0, 3386000.0, sheet, sizeof sheet), 1);
    EXPECT_STREQ(sheet, "");
    EXPECT_STREQ(lomitra_version(), LOMITRA_VERSION);
}

}  // namespace
