// Map sheet identifiers of the UTM and the KKJ sheet divisions.
#include "core/map_sheet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/kkj_zone.h"
#include "tests/support/map_sheet_format.h"

namespace lomitra {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using map_sheet_format::isWellFormedKkj;
using map_sheet_format::isWellFormedUtm;

TEST(UtmSheetId, KnownSheetsAndTheAreaLimits) {
    struct Case {
        const char* name;
        double N;
        double E;
        const char* expected;
    };
    const Case cases[] = {
        {"Helsinki region", 6672000.0, 385000.0, "L4133B3"},
        {"south-west corner of the area", 5706000.0, -460000.0, "A0111A1"},
        {"just inside the north limit", 8009999.0, 385000.0, "Z4244B4"},
        {"just inside the east limit", 6672000.0, 1459999.0, "L9333H3"},
        {"north limit itself is outside", 8010000.0, 385000.0, ""},
        {"east limit itself is outside", 6672000.0, 1460000.0, ""},
        {"1 m south of the area", 5705999.0, 385000.0, ""},
        {"1 m west of the area", 6672000.0, -460001.0, ""},
        {"not a number", kNaN, 385000.0, ""},
        {"not a number east", 6672000.0, kNaN, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utmSheetId(c.N, c.E), c.expected) << c.name;
    }
}

TEST(UtmSheetId, RowLettersSkipIAndO) {
    // One point in each 96 km row: the letters run A-H, J-N, P-Z without gaps.
    std::string letters;
    for (double N = 5706000.0 + 48000.0; N < 8010000.0; N += 96000.0) {
        const std::string id = utmSheetId(N, 385000.0);
        ASSERT_TRUE(isWellFormedUtm(id)) << N << ": " << id;
        letters += id[0];
    }
    EXPECT_EQ(letters, "ABCDEFGHJKLMNPQRSTUVWXYZ");
}

TEST(UtmSheetId, ColumnDigitAndQuarters) {
    // Column 0 covers E from -460 000 up to, not including, -268 000.
    EXPECT_EQ(utmSheetId(6672000.0, -460000.0)[1], '0');
    EXPECT_EQ(utmSheetId(6672000.0, -268000.001)[1], '0');
    EXPECT_EQ(utmSheetId(6672000.0, -268000.0)[1], '1');
    // Inside one 3 km square the quarter digit turns 1 -> 2 north, 1 -> 3 east.
    // The square B of L4133 spans E 382 000 - 388 000 and N 6 672 000 - 6 678 000.
    const std::string southWest = utmSheetId(6672000.0 + 100.0, 382000.0 + 100.0);
    const std::string north = utmSheetId(6672000.0 + 3100.0, 382000.0 + 100.0);
    const std::string east = utmSheetId(6672000.0 + 100.0, 382000.0 + 3100.0);
    EXPECT_EQ(southWest, "L4133B1");
    EXPECT_EQ(north, "L4133B2");
    EXPECT_EQ(east, "L4133B3");
    // A sweep over the whole area gives well-formed identifiers only.
    for (double N = 5706000.0; N < 8010000.0; N += 23456.7) {
        for (double E = -460000.0; E < 1460000.0; E += 34567.8) {
            const std::string id = utmSheetId(N, E);
            ASSERT_TRUE(isWellFormedUtm(id)) << N << " " << E << ": " << id;
        }
    }
}

TEST(KkjSheetId, KnownSheetsAndTheAreaLimits) {
    struct Case {
        const char* name;
        double N;
        double E;
        const char* expected;
    };
    const Case cases[] = {
        {"YKJ point that lies in zone 2 by its longitude", 6673000.0, 3386000.0, "203406A3"},
        {"south of N 6 620 000: row M", 6600000.0, 3300000.0, "2M2404A2"},
        {"1 m south of the area", 6499999.0, 3500000.0, ""},
        {"1 m north of the area", 7800001.0, 3500000.0, ""},
        {"1 m east of the area", 7000000.0, 5450001.0, ""},
        {"1 m west of the area", 7000000.0, 549999.0, ""},
        {"not a number", kNaN, 3500000.0, ""},
        {"not a number east", 7000000.0, kNaN, ""},
        // Inside the rectangle but at sea: the sheet arithmetic would give
        // "2M1101@1" and "2M1101@0", which name no sheet.
        {"Baltic sea south of Aland", 6500000.0, 3246000.0, ""},
        {"far west, zone 0", 6500000.0, 770000.0, ""},
        // Nearest to the central meridian of zone -1: truncation made its zone digit "0" ("031203A1").
        {"west of zone 0", 7044383.7354891, 1222627.626359472, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kkjSheetId(c.N, c.E), c.expected) << c.name;
    }
}

TEST(KkjSheetId, EveryPointOfTheMainlandHasAWellFormedSheet) {
    // The YKJ band 6 620 000 - 7 780 000 north, 3 150 000 - 3 750 000 east
    // covers mainland Finland; the first character is the point's own zone.
    for (double N = 6620000.0; N <= 7780000.0; N += 7300.0) {
        for (double E = 3150000.0; E <= 3750000.0; E += 6100.0) {
            const std::string id = kkjSheetId(N, E);
            ASSERT_TRUE(isWellFormedKkj(id)) << N << " " << E << ": " << id;
            ASSERT_EQ(id[0], '0' + kkjZoneOf(N, E)) << N << " " << E;
        }
    }
}

TEST(KkjSheetId, TheZoneDigitIsThePointsZoneAllOverTheArea) {
    // The whole KKJ rectangle, sea and neighbouring countries included: an
    // identifier, where there is one, begins with the zone of its point.
    int sheets = 0;
    for (double N = 6500000.0; N <= 7800000.0; N += 21700.0) {
        for (double E = 550000.0; E <= 5450000.0; E += 9100.0) {
            const std::string id = kkjSheetId(N, E);
            if (id.empty()) continue;
            ASSERT_TRUE(isWellFormedKkj(id)) << N << " " << E << ": " << id;
            ASSERT_EQ(id[0], '0' + kkjZoneOf(N, E)) << N << " " << E << ": " << id;
            ++sheets;
        }
    }
    EXPECT_GT(sheets, 20000);
}

TEST(KkjSheetId, SheetsOfOneBlockFollowTheirLayout) {
    // 203406A3 (zone 2) is the top row (3) of the second 10 km column of its
    // 30 km x 40 km block: 10 km west is sheet 03 of the same block; 10 km
    // north is the bottom row (1) of the block above it, in the next 60 km half (204304).
    double N2 = 0.0;
    double E2 = 0.0;
    kkjZoneChange(2, 6673000.0, 3386000.0, N2, E2);
    // Move by whole sheets in zone 2 and back into YKJ.
    auto sheetAt = [](double north, double east) {
        double N = 0.0;
        double E = 0.0;
        kkjZoneChange(3, north, east, N, E);
        return kkjSheetId(N, E);
    };
    const std::string here = sheetAt(N2, E2);
    const std::string north = sheetAt(N2 + 10000.0, E2);
    const std::string west = sheetAt(N2, E2 - 10000.0);
    ASSERT_EQ(here, "203406A3");
    EXPECT_EQ(north.substr(0, 6), "204304");
    EXPECT_EQ(west.substr(0, 6), "203403");
}

TEST(MapSheetExtremes, AnyDoubleGivesAWellFormedOrEmptyIdentifier) {
    // Extremes, infinities, NaN and denormals combined with each other and with
    // points inside both sheet areas: no undefined behaviour (checked by the
    // sanitizer build), and an identifier only where the point lies in the area.
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kMax = std::numeric_limits<double>::max();
    constexpr double kDenormal = std::numeric_limits<double>::denorm_min();
    const double values[] = {0.0,    -0.0,   kDenormal, -kDenormal, 1e300,   -1e300,   kInf,
                             -kInf,  kNaN,   kMax,      -kMax,      2147483647e6, -2147483648e6,
                             6672000.0,      385000.0,  3386000.0,  7000000.0};
    int utmCount = 0;
    int kkjCount = 0;
    for (const double N : values) {
        for (const double E : values) {
            const std::string utm = utmSheetId(N, E);
            const bool inUtmArea = N >= 5706000.0 && N < 8010000.0 && E >= -460000.0 && E < 1460000.0;
            EXPECT_EQ(!utm.empty(), inUtmArea) << N << " " << E << ": " << utm;
            if (!utm.empty()) {
                EXPECT_TRUE(isWellFormedUtm(utm)) << N << " " << E << ": " << utm;
                ++utmCount;
            }
            const std::string kkj = kkjSheetId(N, E);
            const bool inKkjArea = N >= 6500000.0 && N <= 7800000.0 && E >= 550000.0 && E <= 5450000.0;
            EXPECT_TRUE(kkj.empty() || (inKkjArea && isWellFormedKkj(kkj))) << N << " " << E << ": " << kkj;
            kkjCount += kkj.empty() ? 0 : 1;
        }
    }
    EXPECT_GE(utmCount, 10);  // two north values times five east values lie in the UTM area
    EXPECT_GT(kkjCount, 0);
    // A denormal east value is the east value 0.
    EXPECT_EQ(utmSheetId(6672000.0, kDenormal), utmSheetId(6672000.0, 0.0));
    EXPECT_EQ(utmSheetId(6672000.0, -kDenormal), utmSheetId(6672000.0, 0.0));
}

}  // namespace
}  // namespace lomitra
