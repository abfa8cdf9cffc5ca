// The KKJ <-> EUREF-FIN datum transformation: network points, round trips,
// accepted area, zones of sources and results, sheetPoint and the triangle cache.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "geodesy/datum_transformation.h"
#include "geodesy/transverse_mercator.h"

namespace lomitra {
namespace {

constexpr double kMm = 0.001;  // metres per millimetre
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double rad(double degrees) { return degrees / kDegreesPerRadian; }

struct Plane {
    double north = 0;
    double east = 0;
};

struct Outcome {
    DatumStatus status;
    Plane result;
};

class DatumTest : public ::testing::Test {
protected:
    Outcome run(int32_t direction, int32_t source, int32_t result, double c1, double c2) {
        Outcome o{};
        o.status = datum->transformDatum(direction, source, result, c1, c2, o.result.north,
                                         o.result.east);
        return o;
    }
    // KKJ -> ETRS-TM35FIN from a KKJ plane point.
    Outcome toEuref(Plane kkj) { return run(kKkjToEuref, 0, 0, kkj.north, kkj.east); }
    // ETRS-TM35FIN -> KKJ zone 3.
    Outcome toKkj(Plane euref) { return run(kEurefToKkj, 0, 3, euref.north, euref.east); }

    const TriangulationNetwork& net() const { return datum->network(); }
    const Ellipsoid& hayford() const { return datum->ellipsoids().at(kHayford); }
    const Ellipsoid& grs80() const { return datum->ellipsoids().at(kGrs80); }

    // A KKJ zone 3 (YKJ) point re-projected into KKJ zone `zone` (Gauss-Krueger, Hayford).
    Plane ykjInZone(Plane ykj, int zone) const {
        double latitude = 0, l = 0;
        tmInverse(hayford(), ykj.north, ykj.east - 3500000.0, latitude, l);
        Plane p;
        tmForward(hayford(), latitude, l + rad(3.0 * (3 - zone)), p.north, p.east);
        p.east += zone * 1000000.0 + 500000.0;
        return p;
    }

    // Centroid of triangle j in the KKJ (columns 1, 2) or EUREF-FIN (3, 4) plane.
    Plane centroid(int32_t j, int northColumn) const {
        const NetworkTriangle& t = net().triangle(j);
        Plane c;
        for (const int32_t v : {t.first, t.second, t.third}) {
            c.north += net().coordinate(v, northColumn) / 3.0;
            c.east += net().coordinate(v, northColumn + 1) / 3.0;
        }
        return c;
    }

    Plane networkPoint(int32_t number, int northColumn) const {
        return {net().coordinate(number, northColumn), net().coordinate(number, northColumn + 1)};
    }

    void SetUp() override {
        datum = std::make_unique<DatumTransformation>();
        // Load the network through the first call, as the program does.
        double r1 = 0, r2 = 0;
        datum->transformDatum(0, 0, 0, 0, 0, r1, r2);
    }

    std::unique_ptr<DatumTransformation> datum;
};

double distance(Plane a, Plane b) { return std::hypot(a.north - b.north, a.east - b.east); }

bool isPointNumber(int32_t number) { return (number >= 1 && number <= 766) || number == 836; }

// Points inside the network (YKJ), from the south coast to Lapland.
const std::vector<Plane> kInlandKkj = {
    {6675000.0, 3385000.0},  // Helsinki
    {6710000.0, 3240000.0},  // Turku
    {7000000.0, 3230000.0},  // Vaasa
    {6945000.0, 3640000.0},  // Joensuu
    {7210000.0, 3430000.0},  // Oulu
    {7375000.0, 3445000.0},  // Rovaniemi
    {7640000.0, 3500000.0},  // Sodankyla
};

// -------------------------------------------------------- network points

TEST_F(DatumTest, EveryNetworkPointMapsOntoItsOwnTargetInBothDirections) {
    for (int32_t number = 1; number <= TriangulationNetwork::kPointSlots; ++number) {
        if (!isPointNumber(number)) continue;
        SCOPED_TRACE("point " + std::to_string(number));

        // Direction 1 from the KKJ plane. The zone of a KKJ plane source is read
        // from I, so a point whose YKJ east lies outside 3 000 000..3 999 999
        // (points 690-695 on the western outer edge) is given in its own zone.
        // Re-projected back into zone 3 it may land micrometres outside the
        // outermost triangle, where the similarity transformation applies; there
        // it must still be the same point and agree with its target to the
        // similarity transformation's fit of the edge points (a few centimetres).
        const Plane ykj = networkPoint(number, 1);
        const int zone = static_cast<int>(std::trunc(ykj.east / 1000000.0));
        const Outcome forward = toEuref(zone == 3 ? ykj : ykjInZone(ykj, zone));
        EXPECT_LT(distance({datum->sheetPoint().kkjP, datum->sheetPoint().kkjI}, ykj), 0.01 * kMm);
        if (zone == 3 || forward.status == DatumStatus::InsideNetwork) {
            EXPECT_EQ(forward.status, DatumStatus::InsideNetwork);
            EXPECT_LT(distance(forward.result, networkPoint(number, 3)), 1.0 * kMm);
        } else {
            EXPECT_EQ(forward.status, DatumStatus::OutsideNetwork);
            EXPECT_LT(distance(forward.result, networkPoint(number, 3)), 50.0 * kMm);
        }

        const Outcome backward = toKkj(networkPoint(number, 3));
        EXPECT_EQ(backward.status, DatumStatus::InsideNetwork);
        EXPECT_LT(distance(backward.result, networkPoint(number, 1)), 1.0 * kMm);
    }
}

TEST_F(DatumTest, PointOneOfTheRecommendation) {
    // JHS 154 network point 1: KKJ P 6718527.414, I 3106266.213 -> N 6715706.377, E 106256.360.
    const Outcome o = toEuref({6718527.414, 3106266.213});
    EXPECT_EQ(o.status, DatumStatus::InsideNetwork);
    EXPECT_NEAR(o.result.north, 6715706.377, 1.0 * kMm);
    EXPECT_NEAR(o.result.east, 106256.360, 1.0 * kMm);
}

TEST_F(DatumTest, InteriorPointLiesAmongItsTrianglesTargets) {
    // The centroid of a triangle maps onto the centroid of its target vertices.
    for (const int32_t j : {1, 500, 1000, 1450}) {
        SCOPED_TRACE("triangle " + std::to_string(j));
        const Outcome o = toEuref(centroid(j, 1));
        EXPECT_EQ(o.status, DatumStatus::InsideNetwork);
        EXPECT_EQ(datum->lastTriangle(), j);
        EXPECT_LT(distance(o.result, centroid(j, 3)), 0.01 * kMm);
    }
}

// ------------------------------------------------------------ round trips

TEST_F(DatumTest, RoundTripInsideTheNetworkCloses) {
    for (const Plane& start : kInlandKkj) {
        SCOPED_TRACE(std::to_string(start.north) + " " + std::to_string(start.east));
        const Outcome there = toEuref(start);
        ASSERT_EQ(there.status, DatumStatus::InsideNetwork);
        const Outcome back = toKkj(there.result);
        ASSERT_EQ(back.status, DatumStatus::InsideNetwork);
        EXPECT_LT(distance(back.result, start), 0.1 * kMm);
    }
}

TEST_F(DatumTest, RoundTripOutsideTheNetworkClosesWithinTheHelmertMismatch) {
    // Each direction has its own similarity constants, not the exact inverse of
    // the other's: the round trip closes to about 1.5 mm, but not to rounding.
    const std::vector<Plane> seaKkj = {
        {6100000.0, 3300000.0},  // Baltic Sea / Latvia, south of the network
        {7950000.0, 3500000.0},  // Barents Sea, north of the network
    };
    for (const Plane& start : seaKkj) {
        SCOPED_TRACE(std::to_string(start.north));
        const Outcome there = toEuref(start);
        ASSERT_EQ(there.status, DatumStatus::OutsideNetwork);
        const Outcome back = toKkj(there.result);
        ASSERT_EQ(back.status, DatumStatus::OutsideNetwork);
        EXPECT_LT(distance(back.result, start), 1.5 * kMm);
        EXPECT_GT(distance(back.result, start), 0.1 * kMm);
    }
}

TEST_F(DatumTest, SeaSouthOfTheNetworkUsesTheSimilarityTransformation) {
    // ETRS-TM35FIN N 6 100 000, E 300 000: inside the accepted area, in no triangle.
    const Outcome o = toKkj({6100000.0, 300000.0});
    EXPECT_EQ(o.status, DatumStatus::OutsideNetwork);
    EXPECT_EQ(datum->lastTriangle(), 0);
    double X = 0, Y = 0;
    datum->helmertTransform(6100000.0, 300000.0, X, Y);
    EXPECT_LT(distance(o.result, {X, Y}), 0.001 * kMm);
    // KKJ and EUREF-FIN differ by a few hundred metres at most.
    EXPECT_LT(distance(o.result, {6100000.0, 3300000.0}), 4000.0);
}

TEST_F(DatumTest, HelmertAgreesWithTheAffineResultInsideTheNetwork) {
    // JHS 154: the similarity transformation agrees with the triangle-wise
    // affine one to about 2.5 m over the measured points.
    for (const int32_t direction : {kKkjToEuref, kEurefToKkj}) {
        const int source = 2 * direction - 1;
        const int target = 5 - 2 * direction;
        double worst = 0.0;
        for (int32_t number = 1; number <= 836; ++number) {
            if (number > 623 && number != 836) continue;  // measured points only
            const Plane from = networkPoint(number, source);
            ASSERT_EQ(run(direction, 0, 3, from.north, from.east).status,
                      DatumStatus::InsideNetwork);
            Plane helmert;
            datum->helmertTransform(from.north, from.east, helmert.north, helmert.east);
            worst = std::max(worst, distance(helmert, networkPoint(number, target)));
        }
        EXPECT_LT(worst, 2.5) << "direction " << direction;
        EXPECT_GT(worst, 0.1) << "direction " << direction;  // a real datum difference
    }
}

// ------------------------------------------------------------ accepted area

TEST_F(DatumTest, AreaBoundsAreInclusiveAndNanIsRefused) {
    struct Case {
        const char* name;
        int32_t direction, source;
        double c1, c2;
        bool accepted;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"KKJ I lower bound (zone 0)", 1, 0, 6700000.0, 400000.0, true},
        {"KKJ I below", 1, 0, 6700000.0, 399999.99, false},
        {"KKJ I upper bound", 1, 0, 7000000.0, 5700000.0, true},
        {"KKJ I above", 1, 0, 7000000.0, 5700000.01, false},
        {"KKJ P upper bound", 1, 0, 8000000.0, 3500000.0, true},
        {"KKJ P above", 1, 0, 8000000.01, 3500000.0, false},
        {"KKJ P lower bound", 1, 0, 6000000.0, 3500000.0, true},
        {"KKJ P below", 1, 0, 5999999.99, 3500000.0, false},
        {"KKJ zone 6", 1, 0, 7000000.0, 6500000.0, false},
        {"KKJ negative I", 1, 0, 7000000.0, -500000.0, false},
        {"TM35FIN E lower bound", 2, 0, 7000000.0, -200000.0, true},
        {"TM35FIN E below", 2, 0, 7000000.0, -200000.01, false},
        {"TM35FIN E upper bound", 2, 0, 7000000.0, 1000000.0, true},
        {"TM35FIN E above", 2, 0, 7000000.0, 1000000.01, false},
        {"TM35FIN N lower bound", 2, 0, 6000000.0, 500000.0, true},
        {"TM35FIN N below", 2, 0, 5999999.99, 500000.0, false},
        {"TM35FIN N upper bound", 2, 0, 8000000.0, 500000.0, true},
        {"TM35FIN N above", 2, 0, 8000000.01, 500000.0, false},
        {"latitude upper bound", 2, 9, 1.26, 0.45, true},
        {"latitude above", 2, 9, 1.2601, 0.45, false},
        {"latitude lower bound", 1, 9, 0.98, 0.45, true},
        {"latitude below", 1, 9, 0.9799, 0.45, false},
        {"longitude lower bound", 1, 9, 1.1, 0.27, true},
        {"longitude below", 1, 9, 1.1, 0.2699, false},
        {"longitude upper bound", 2, 9, 1.1, 0.64, true},
        {"longitude above", 2, 9, 1.1, 0.6401, false},
        {"NaN north, KKJ", 1, 0, kNaN, 3500000.0, false},
        {"NaN east, KKJ", 1, 0, 7000000.0, kNaN, false},
        {"NaN north, TM35FIN", 2, 0, kNaN, 500000.0, false},
        {"NaN east, TM35FIN", 2, 0, 7000000.0, kNaN, false},
        {"NaN latitude", 1, 9, kNaN, 0.45, false},
        {"NaN longitude", 2, 9, 1.1, kNaN, false},
        {"infinite east", 2, 0, 7000000.0, inf, false},
        {"minus infinite north", 1, 0, -inf, 3500000.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome o = run(c.direction, c.source, 0, c.c1, c.c2);
        if (c.accepted) {
            EXPECT_TRUE(o.status == DatumStatus::InsideNetwork ||
                        o.status == DatumStatus::OutsideNetwork);
            EXPECT_TRUE(std::isfinite(o.result.north) && std::isfinite(o.result.east));
        } else {
            EXPECT_EQ(o.status, DatumStatus::OutsideArea);
        }
    }
}

TEST_F(DatumTest, RefusedCallsLeaveResultsCacheAndSheetPointAlone) {
    const Outcome before = toEuref(kInlandKkj[0]);
    ASSERT_EQ(before.status, DatumStatus::InsideNetwork);
    const SheetPoint sheet = datum->sheetPoint();
    const int32_t triangle = datum->lastTriangle();
    const AffineParameters affine = datum->affineParameters();

    struct Case {
        const char* name;
        int32_t direction;
        double c1, c2;
        DatumStatus expected;
    };
    const Case cases[] = {
        {"direction 0", 0, 6675000.0, 3385000.0, DatumStatus::BadDirection},
        {"direction 3", 3, 6675000.0, 3385000.0, DatumStatus::BadDirection},
        {"direction -1", -1, 6675000.0, 3385000.0, DatumStatus::BadDirection},
        {"outside area, direction 2", 2, 9000000.0, 500000.0, DatumStatus::OutsideArea},
        {"NaN, direction 1", 1, kNaN, 3385000.0, DatumStatus::OutsideArea},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double r1 = -1.0, r2 = -2.0;
        EXPECT_EQ(datum->transformDatum(c.direction, 0, 0, c.c1, c.c2, r1, r2), c.expected);
        EXPECT_EQ(r1, -1.0);
        EXPECT_EQ(r2, -2.0);
        EXPECT_EQ(datum->sheetPoint().eurefN, sheet.eurefN);
        EXPECT_EQ(datum->sheetPoint().eurefE, sheet.eurefE);
        EXPECT_EQ(datum->sheetPoint().kkjP, sheet.kkjP);
        EXPECT_EQ(datum->sheetPoint().kkjI, sheet.kkjI);
        EXPECT_EQ(datum->lastDirection(), kKkjToEuref);
        EXPECT_EQ(datum->lastTriangle(), triangle);
        EXPECT_EQ(datum->affineParameters().a0, affine.a0);
        EXPECT_EQ(datum->affineParameters().b0, affine.b0);
    }
}

TEST(DatumFirstCall, LoadsTheNetworkEvenWhenRefused) {
    for (const int32_t direction : {0, 3}) {
        DatumTransformation datum;
        EXPECT_FALSE(datum.networkLoaded());
        double r1 = 5.0, r2 = 6.0;
        EXPECT_EQ(datum.transformDatum(direction, 0, 0, 6675000.0, 3385000.0, r1, r2),
                  DatumStatus::BadDirection);
        EXPECT_TRUE(datum.networkLoaded());
        EXPECT_EQ(datum.network().triangleCount(), 1450);
        EXPECT_EQ(datum.ellipsoids().at(kHayford).semiMajorAxis, 6378388.0);
        EXPECT_EQ(r1, 5.0);
        EXPECT_EQ(r2, 6.0);
        EXPECT_EQ(datum.sheetPoint().eurefN, 0.0);
        EXPECT_EQ(datum.sheetPoint().kkjI, 0.0);
        EXPECT_EQ(datum.lastDirection(), 0);
        EXPECT_EQ(datum.lastTriangle(), 0);
    }
}

// ------------------------------------------------------- zones and formats

TEST_F(DatumTest, OwnZoneResultFollowsTheLongitude) {
    // Direction 2, resultCode 0 (and below): the KKJ zone whose central meridian
    // is nearest; fed back as a KKJ source (zone read from I) it returns the start.
    struct Case {
        double longitude;  // degrees east, GRS80
        int32_t resultCode;
        int zone;
    };
    const Case cases[] = {
        {22.0, 0, 1}, {25.6, 0, 3}, {19.4, 0, 0}, {19.6, 0, 1}, {28.4, 0, 3},
        {28.6, 0, 4}, {31.6, 0, 5}, {22.0, -5, 1},
        {16.2, 0, 0},  // west of 16.5 E the truncation toward zero still gives zone 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.longitude) + " result " + std::to_string(c.resultCode));
        const Outcome o =
            run(kEurefToKkj, kGeographicCode, c.resultCode, rad(63.0), rad(c.longitude));
        ASSERT_TRUE(o.status == DatumStatus::InsideNetwork ||
                    o.status == DatumStatus::OutsideNetwork);
        EXPECT_GE(o.result.east, c.zone * 1000000.0);
        EXPECT_LT(o.result.east, (c.zone + 1) * 1000000.0);

        // Back to the start: to rounding inside the network, to the similarity
        // transformations' mismatch (1.5 mm) outside it.
        const SheetPoint sheet = datum->sheetPoint();
        const Outcome back = toEuref(o.result);
        EXPECT_EQ(back.status, o.status);
        const double tolerance = o.status == DatumStatus::InsideNetwork ? 0.1 * kMm : 1.5 * kMm;
        EXPECT_LT(distance(back.result, {sheet.eurefN, sheet.eurefE}), tolerance);
    }
}

TEST_F(DatumTest, ChosenResultZones) {
    const Plane start{7000000.0, 450000.0};  // ETRS-TM35FIN, about 26 E
    const Outcome zone3 = run(kEurefToKkj, 0, 3, start.north, start.east);
    ASSERT_EQ(zone3.status, DatumStatus::InsideNetwork);
    EXPECT_GE(zone3.result.east, 3000000.0);
    EXPECT_LT(zone3.result.east, 4000000.0);

    // 3 and every value from 6 upwards except 9: KKJ zone 3.
    for (const int32_t code : {6, 7, 8, 10, 1000}) {
        SCOPED_TRACE(code);
        const Outcome o = run(kEurefToKkj, 0, code, start.north, start.east);
        EXPECT_EQ(o.result.north, zone3.result.north);
        EXPECT_EQ(o.result.east, zone3.result.east);
    }
    // 1, 2, 4, 5: that zone, the same point on the ground.
    for (const int32_t code : {1, 2, 4, 5}) {
        SCOPED_TRACE(code);
        const Outcome o = run(kEurefToKkj, 0, code, start.north, start.east);
        EXPECT_GE(o.result.east, code * 1000000.0);
        EXPECT_LT(o.result.east, (code + 1) * 1000000.0);
        EXPECT_LT(distance(o.result, ykjInZone(zone3.result, code)), 0.1 * kMm);
    }
    // Direction 1 gives ETRS-TM35FIN for every code but 9.
    const Outcome tm35 = run(kKkjToEuref, 0, 0, zone3.result.north, zone3.result.east);
    for (const int32_t code : {-3, 1, 3, 5, 8}) {
        SCOPED_TRACE(code);
        const Outcome o = run(kKkjToEuref, 0, code, zone3.result.north, zone3.result.east);
        EXPECT_EQ(o.result.north, tm35.result.north);
        EXPECT_EQ(o.result.east, tm35.result.east);
    }
}

TEST_F(DatumTest, GeographicResultsAndSources) {
    const Plane ykj = kInlandKkj[4];  // Oulu
    const Outcome tm35 = toEuref(ykj);

    // Direction 1, resultCode 9: GRS80 latitude and longitude of the TM35FIN result.
    const Outcome geo = run(kKkjToEuref, 0, kGeographicCode, ykj.north, ykj.east);
    ASSERT_EQ(geo.status, DatumStatus::InsideNetwork);
    Plane projected;
    tmForward(grs80(), geo.result.north, geo.result.east - rad(27.0), projected.north,
              projected.east);
    projected = {0.9996 * projected.north, 0.9996 * projected.east + 500000.0};
    EXPECT_LT(distance(projected, tm35.result), 0.1 * kMm);
    EXPECT_NEAR(geo.result.north * kDegreesPerRadian, 65.0, 0.2);  // Oulu, in radians

    // Direction 2 from those GRS80 radians, resultCode 9: Hayford radians of the start.
    const Outcome back = run(kEurefToKkj, kGeographicCode, kGeographicCode, geo.result.north,
                             geo.result.east);
    ASSERT_EQ(back.status, DatumStatus::InsideNetwork);
    double latitude = 0, l = 0;
    tmInverse(hayford(), ykj.north, ykj.east - 3500000.0, latitude, l);
    EXPECT_NEAR((back.result.north - latitude) * 6.4e6, 0.0, 0.1 * kMm);
    EXPECT_NEAR((back.result.east - (rad(27.0) + l)) * 6.4e6 * std::cos(latitude), 0.0, 0.1 * kMm);

    // Direction 1 from the Hayford radians equals the plane source.
    const Outcome fromGeo = run(kKkjToEuref, kGeographicCode, 0, latitude, rad(27.0) + l);
    EXPECT_LT(distance(fromGeo.result, tm35.result), 0.1 * kMm);
}

TEST_F(DatumTest, KkjSourceInAnotherZoneEqualsZoneThree) {
    for (const Plane& ykj : kInlandKkj) {
        const Outcome reference = toEuref(ykj);
        for (const int zone : {1, 2, 4}) {
            SCOPED_TRACE(std::to_string(ykj.north) + " zone " + std::to_string(zone));
            const Outcome o = toEuref(ykjInZone(ykj, zone));
            EXPECT_EQ(o.status, reference.status);
            EXPECT_LT(distance(o.result, reference.result), 1.0 * kMm);
            // sheetPoint holds the point in zone 3 whatever the source zone.
            EXPECT_LT(distance({datum->sheetPoint().kkjP, datum->sheetPoint().kkjI}, ykj),
                      0.1 * kMm);
        }
    }
}

TEST_F(DatumTest, SheetPointHoldsTm35FinFirstAndZoneThreeSecond) {
    const Plane euref{7200000.0, 420000.0};
    const Outcome zone3 = run(kEurefToKkj, 0, 3, euref.north, euref.east);
    for (const int32_t code : {kGeographicCode, 0, 1, 5}) {
        SCOPED_TRACE(code);
        run(kEurefToKkj, 0, code, euref.north, euref.east);
        const SheetPoint& s = datum->sheetPoint();
        EXPECT_EQ(s.eurefN, euref.north);
        EXPECT_EQ(s.eurefE, euref.east);
        EXPECT_EQ(s.kkjP, zone3.result.north);
        EXPECT_EQ(s.kkjI, zone3.result.east);
    }
    // Direction 1 with a geographic result: TM35FIN result first, source second.
    const Outcome tm35 = toEuref(zone3.result);
    run(kKkjToEuref, 0, kGeographicCode, zone3.result.north, zone3.result.east);
    const SheetPoint& s = datum->sheetPoint();
    EXPECT_EQ(s.eurefN, tm35.result.north);
    EXPECT_EQ(s.eurefE, tm35.result.east);
    EXPECT_EQ(s.kkjP, zone3.result.north);
    EXPECT_EQ(s.kkjI, zone3.result.east);
}

// ------------------------------------------------------------ triangle cache

TEST_F(DatumTest, ChangeOfDirectionRecomputesTheParameters) {
    const int32_t j = 700;
    const Plane kkj = centroid(j, 1);
    const Outcome forward = toEuref(kkj);
    ASSERT_EQ(datum->lastTriangle(), j);
    const AffineParameters forwardParameters = datum->affineParameters();

    // The image of the centroid lies in the same triangle: only the direction changes.
    const Outcome backward = toKkj(forward.result);
    EXPECT_EQ(datum->lastTriangle(), j);
    EXPECT_EQ(datum->lastDirection(), kEurefToKkj);
    EXPECT_NE(datum->affineParameters().a0, forwardParameters.a0);
    EXPECT_LT(distance(backward.result, kkj), 0.1 * kMm);
}

TEST_F(DatumTest, SearchStartsAtTheLastTriangleAndAtOneAfterEmptying) {
    // Point 3 is a vertex of several triangles, the first of which is triangle 1
    // (JHS 154 list); a vertex belongs to every triangle that has it.
    const int32_t vertex = 3;
    int32_t lastWithVertex = 0;
    for (int32_t j = 1; j <= net().triangleCount(); ++j) {
        const NetworkTriangle& t = net().triangle(j);
        if (t.first == vertex || t.second == vertex || t.third == vertex) lastWithVertex = j;
    }
    ASSERT_GT(lastWithVertex, 1);

    // From the last triangle used, the search finds that triangle first.
    toEuref(centroid(lastWithVertex, 1));
    ASSERT_EQ(datum->lastTriangle(), lastWithVertex);
    const Outcome fromLast = toEuref(networkPoint(vertex, 1));
    EXPECT_EQ(datum->lastTriangle(), lastWithVertex);

    // A point outside the network empties the cache; the next search starts at 1.
    EXPECT_EQ(toEuref({6100000.0, 3300000.0}).status, DatumStatus::OutsideNetwork);
    EXPECT_EQ(datum->lastTriangle(), 0);
    const Outcome fromFirst = toEuref(networkPoint(vertex, 1));
    EXPECT_EQ(datum->lastTriangle(), 1);
    EXPECT_LT(distance(fromFirst.result, fromLast.result), 0.001 * kMm);

    // A change of direction empties it as well.
    toEuref(centroid(lastWithVertex, 1));
    ASSERT_EQ(datum->lastTriangle(), lastWithVertex);
    toKkj(networkPoint(vertex, 3));
    EXPECT_EQ(datum->lastTriangle(), 1);
}

TEST_F(DatumTest, SharedEdgeGivesTheSameResultFromEitherTriangle) {
    // Triangles 1 (534, 3, 133) and 2 (3, 132, 133) share the edge 3-133.
    for (const int32_t direction : {kKkjToEuref, kEurefToKkj}) {
        SCOPED_TRACE(direction);
        const int column = 2 * direction - 1;
        const Plane a = networkPoint(3, column);
        const Plane b = networkPoint(133, column);
        const Plane onEdge{(a.north + b.north) / 2.0, (a.east + b.east) / 2.0};

        run(direction, 0, 3, centroid(1, column).north, centroid(1, column).east);
        const Outcome viaFirst = run(direction, 0, 3, onEdge.north, onEdge.east);
        const int32_t firstFound = datum->lastTriangle();
        run(direction, 0, 3, centroid(2, column).north, centroid(2, column).east);
        const Outcome viaSecond = run(direction, 0, 3, onEdge.north, onEdge.east);
        const int32_t secondFound = datum->lastTriangle();

        EXPECT_TRUE(firstFound == 1 || firstFound == 2);
        EXPECT_TRUE(secondFound == 1 || secondFound == 2);
        EXPECT_EQ(viaFirst.status, DatumStatus::InsideNetwork);
        EXPECT_EQ(viaSecond.status, DatumStatus::InsideNetwork);
        EXPECT_LT(distance(viaFirst.result, viaSecond.result), 0.001 * kMm);

        // Just either side of the edge the two affine transformations join up.
        const Plane offset{(b.east - a.east) * 1e-7, -(b.north - a.north) * 1e-7};
        const Outcome side1 =
            run(direction, 0, 3, onEdge.north + offset.north, onEdge.east + offset.east);
        const int32_t t1 = datum->lastTriangle();
        const Outcome side2 =
            run(direction, 0, 3, onEdge.north - offset.north, onEdge.east - offset.east);
        const int32_t t2 = datum->lastTriangle();
        EXPECT_NE(t1, t2);
        // The two sides are 2 |offset| apart and both planes have scale 1 to 0.0004.
        EXPECT_LT(distance(side1.result, side2.result), 2.001 * distance({0, 0}, offset));
    }
}

}  // namespace
}  // namespace lomitra
