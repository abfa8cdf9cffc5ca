// KKJ zone helpers, checked against the exact transverse Mercator on the
// Hayford ellipsoid (KKJ zone z: central meridian 18 + 3z degrees, scale 1,
// false easting z * 1 000 000 + 500 000).
#include "core/kkj_zone.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "geodesy/ellipsoid.h"
#include "geodesy/transverse_mercator.h"

namespace lomitra {
namespace {

constexpr double kMm = 0.001;  // one millimetre, in metres

class KkjZone : public ::testing::Test {
protected:
    void SetUp() override { table_.initEllipsoids(); }

    // KKJ plane coordinates of (latitude, longitude) in degrees, in zone `zone`.
    void toZone(int zone, double latitude, double longitude, double& N, double& E) const {
        double north = 0.0;
        double east = 0.0;
        tmForward(table_.at(kHayford), latitude / kDegreesPerRadian,
                  (longitude - 18.0 - 3.0 * zone) / kDegreesPerRadian, north, east);
        N = north;
        E = east + 500000.0 + zone * 1000000.0;
    }

    EllipsoidTable table_;
};

TEST_F(KkjZone, ZoneOfFollowsTheNearestCentralMeridian) {
    struct Case {
        const char* name;
        double latitude;
        double longitude;
        int32_t expectedZone;
    };
    const Case cases[] = {
        {"on the central meridian 27", 62.0, 27.0, 3},
        {"1.4 degrees west", 62.0, 25.6, 3},
        {"1.6 degrees west", 62.0, 25.4, 2},
        {"1.4 degrees east", 69.5, 28.4, 3},
        {"1.6 degrees east", 69.5, 28.6, 4},
        {"4.6 degrees west, two zones", 60.2, 22.4, 1},
        {"far south-west", 60.0, 20.0, 1},
    };
    for (const Case& c : cases) {
        double N = 0.0;
        double E = 0.0;
        toZone(3, c.latitude, c.longitude, N, E);
        EXPECT_EQ(kkjZoneOf(N, E), c.expectedZone) << c.name;
    }
    // The same point given in its own zone 2 stays in zone 2.
    double N = 0.0;
    double E = 0.0;
    toZone(2, 62.0, 25.4, N, E);
    EXPECT_EQ(kkjZoneOf(N, E), 2);
}

TEST_F(KkjZone, ChangeToTheOwnZoneIsExact) {
    const double points[][2] = {{6670000.0, 3400000.0}, {7000000.123, 2512345.678},
                                {6500000.0, 1499999.999}};
    for (const auto& p : points) {
        const int32_t zone = static_cast<int32_t>(p[1] / 1000000.0);
        double N = 0.0;
        double E = 0.0;
        kkjZoneChange(zone, p[0], p[1], N, E);
        EXPECT_EQ(N, p[0]);
        EXPECT_EQ(E, p[1]);
    }
}

TEST_F(KkjZone, ChangeAgreesWithTheExactProjection) {
    // Points of Finland and their neighbouring zones; the approximation is
    // good to a few centimetres, far below the width of a sheet border.
    struct Case {
        double latitude;
        double longitude;
        int fromZone;
        int toZone;
    };
    const Case cases[] = {
        {60.2, 24.9, 3, 2}, {60.2, 24.9, 2, 3}, {62.5, 25.4, 3, 2}, {65.0, 29.4, 3, 4},
        {68.9, 20.8, 3, 1}, {69.9, 27.0, 3, 4}, {61.0, 21.5, 1, 2}, {63.1, 30.6, 4, 3},
    };
    for (const Case& c : cases) {
        double N = 0.0;
        double E = 0.0;
        toZone(c.fromZone, c.latitude, c.longitude, N, E);
        double expectedN = 0.0;
        double expectedE = 0.0;
        toZone(c.toZone, c.latitude, c.longitude, expectedN, expectedE);
        double gotN = 0.0;
        double gotE = 0.0;
        kkjZoneChange(c.toZone, N, E, gotN, gotE);
        EXPECT_NEAR(gotN, expectedN, 50.0 * kMm) << c.latitude << " " << c.longitude;
        EXPECT_NEAR(gotE, expectedE, 50.0 * kMm) << c.latitude << " " << c.longitude;
    }
}

TEST_F(KkjZone, ChangeThereAndBackReturnsToTheStart) {
    for (double N = 6650000.0; N <= 7750000.0; N += 110000.0) {
        for (double E = 3350000.0; E <= 3650000.0; E += 50000.0) {
            double N2 = 0.0;
            double E2 = 0.0;
            kkjZoneChange(2, N, E, N2, E2);
            double N3 = 0.0;
            double E3 = 0.0;
            kkjZoneChange(3, N2, E2, N3, E3);
            // Up to 150 km beyond the zone edge the two approximations cancel to about 1 cm.
            EXPECT_NEAR(N3, N, 20.0 * kMm) << N << " " << E;
            EXPECT_NEAR(E3, E, 20.0 * kMm) << N << " " << E;
        }
    }
}

TEST_F(KkjZone, HalfWidthIsTheDistanceToTheMeridianOneAndAHalfDegreesAway) {
    struct Case {
        double N;
        double aboutKm;  // the rounded widths by which the zone edges are known
    };
    const Case cases[] = {{6670000.0, 83.0}, {7750000.0, 58.0}};
    for (const Case& c : cases) {
        EXPECT_NEAR(kkjZoneHalfWidth(c.N) / 1000.0, c.aboutKm, 1.0) << c.N;
    }
    // Against the exact projection: the east distance of the meridian 1.5
    // degrees away at the latitude of the central-meridian point with north N.
    for (double N = 6500000.0; N <= 7800000.0; N += 100000.0) {
        double latitude = 0.0;
        double dl = 0.0;
        tmInverse(table_.at(kHayford), N, 0.0, latitude, dl);
        double north = 0.0;
        double east = 0.0;
        tmForward(table_.at(kHayford), latitude, 1.5 / kDegreesPerRadian, north, east);
        // The closed form keeps the first terms only: about 21 m (0.03 %) short of exact.
        EXPECT_NEAR(kkjZoneHalfWidth(N), east, 30.0) << N;
        EXPECT_LT(kkjZoneHalfWidth(N + 100000.0), kkjZoneHalfWidth(N)) << N;
    }
}

// Far outside every zone, infinite or NaN: the helpers stay defined (under the
// sanitizers no signed overflow and no out-of-range conversion) and give the
// zones their header promises.
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kDenormal = std::numeric_limits<double>::denorm_min();
constexpr int32_t kZoneMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kZoneMin = std::numeric_limits<int32_t>::min();

TEST(KkjZoneExtremes, ZoneOfIsClampedOrTheZoneOfThePrefix) {
    struct Case {
        const char* name;
        double N;
        double E;
        int32_t expectedZone;
    };
    const Case cases[] = {
        {"east 1e300", 6700000.0, 1e300, kZoneMax},
        {"east -1e300", 6700000.0, -1e300, kZoneMin},
        {"east +inf", 6700000.0, kInf, kZoneMax},
        {"east -inf", 6700000.0, -kInf, kZoneMin},
        {"east DBL_MAX", 6700000.0, kMax, kZoneMax},
        {"east -DBL_MAX", 6700000.0, -kMax, kZoneMin},
        {"east NaN", 6700000.0, kNaN, 0},
        {"both NaN", kNaN, kNaN, 0},
        // On the central meridian of the last and first 32-bit zones.
        {"central meridian of zone INT32_MAX", 6700000.0, 2147483647.5e6, kZoneMax},
        {"central meridian of zone INT32_MIN", 6700000.0, -2147483648.5e6, kZoneMin},
        // 1.6 degrees east of zone INT32_MAX / west of INT32_MIN: the next zone lies beyond the range.
        {"east edge of zone INT32_MAX", 6700000.0, 2147483647.5e6 + 85000.0, kZoneMax},
        {"west edge of zone INT32_MIN", 6700000.0, -2147483648.5e6 - 85000.0, kZoneMin},
        {"prefix one past INT32_MAX", 6700000.0, 2147483648.5e6, kZoneMax},
        // No longitude can be computed: the zone of the prefix.
        {"north NaN", kNaN, 3500000.0, 3},
        {"north +inf", kInf, 3500000.0, 3},
        {"north -inf", -kInf, 2300000.0, 2},
        {"north 1e300", 1e300, 4500000.0, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kkjZoneOf(c.N, c.E), c.expectedZone) << c.name;
    }
    // Denormal and signed-zero east values are the east value 0.
    for (const double N : {6700000.0, 7500000.0, 0.0, kDenormal}) {
        EXPECT_EQ(kkjZoneOf(N, kDenormal), kkjZoneOf(N, 0.0)) << N;
        EXPECT_EQ(kkjZoneOf(N, -kDenormal), kkjZoneOf(N, 0.0)) << N;
        EXPECT_EQ(kkjZoneOf(N, -0.0), kkjZoneOf(N, 0.0)) << N;
    }
}

TEST(KkjZoneExtremes, ChangeIsDefinedForEveryInput) {
    const double values[] = {0.0,   -0.0,  kDenormal, -kDenormal, 1e300,           -1e300,
                             kInf,  -kInf, kNaN,      kMax,       -kMax,           6700000.0,
                             3500000.0,    2147483647.5e6,        -2147483648.5e6, 2147483648e6};
    const int32_t zones[] = {kZoneMin, -1, 0, 2, 3, 5, kZoneMax};
    int unchanged = 0;
    for (const double N : values) {
        for (const double E : values) {
            for (const int32_t zone : zones) {
                double N2 = 1.0;
                double E2 = 1.0;
                kkjZoneChange(zone, N, E, N2, E2);
                // Already in the target zone (its prefix clamped as in kkjZoneOf): returned bit for bit.
                const double prefix = std::isnan(E) ? 0.0 : std::trunc(E / 1000000.0);
                const bool own = prefix == zone || (prefix > kZoneMax && zone == kZoneMax) ||
                                 (prefix < kZoneMin && zone == kZoneMin);
                if (own) {
                    EXPECT_EQ(std::memcmp(&N2, &N, sizeof N), 0) << N << " " << E << " " << zone;
                    EXPECT_EQ(std::memcmp(&E2, &E, sizeof E), 0) << N << " " << E << " " << zone;
                    ++unchanged;
                }
            }
        }
    }
    EXPECT_GT(unchanged, 100);
}

}  // namespace
}  // namespace lomitra
