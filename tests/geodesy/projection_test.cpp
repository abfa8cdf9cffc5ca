// Ellipsoid table, transverse Mercator projection and geocentric conversion.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "geodesy/ellipsoid.h"
#include "geodesy/geocentric.h"
#include "geodesy/transverse_mercator.h"

namespace lomitra {
namespace {

constexpr double kMm = 0.001;  // metres per millimetre

double rad(double degrees) { return degrees / kDegreesPerRadian; }

EllipsoidTable initialisedTable() {
    EllipsoidTable table;
    table.initEllipsoids();
    return table;
}

// ---------------------------------------------------------------- ellipsoids

TEST(EllipsoidTable, DerivedConstants) {
    // Expected values: the published constants of GRS80 (Moritz 1980) and of the
    // International ellipsoid 1924, to the digits given there.
    struct Case {
        const char* name;
        int16_t index;
        double a, inverseF, b, e2, ePrime2;
    };
    const Case cases[] = {
        {"GRS80", kGrs80, 6378137.0, 298.257222101, 6356752.314140, 0.00669438002290,
         0.00673949677548},
        {"Hayford", kHayford, 6378388.0, 297.0, 6356911.946127, 0.00672267002233,
         0.00676817019722},
    };
    const EllipsoidTable table = initialisedTable();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Ellipsoid& e = table.at(c.index);
        EXPECT_EQ(e.semiMajorAxis, c.a);
        EXPECT_NEAR(1.0 / e.flattening, c.inverseF, 1e-9);
        EXPECT_NEAR(e.semiMinorAxis, c.b, 0.001 * kMm);
        EXPECT_NEAR(e.eccentricitySquared, c.e2, 1e-14);
        EXPECT_NEAR(e.secondEccentricitySquared, c.ePrime2, 1e-14);
    }
}

TEST(EllipsoidTable, EmptyUntilInitialisedAndStableWhenRepeated) {
    EllipsoidTable table;
    EXPECT_EQ(table.at(kGrs80).semiMajorAxis, 0.0);
    EXPECT_EQ(table.at(kHayford).semiMinorAxis, 0.0);

    table.initEllipsoids();
    const Ellipsoid first = table.at(kHayford);
    table.initEllipsoids();
    EXPECT_EQ(table.at(kHayford).semiMinorAxis, first.semiMinorAxis);
    EXPECT_EQ(table.at(kHayford).eccentricitySquared, first.eccentricitySquared);
}

TEST(EllipsoidTable, IndexOutsideTableGivesZeroEllipsoid) {
    const EllipsoidTable table = initialisedTable();
    for (const int16_t index : {int16_t{0}, int16_t{3}, int16_t{-1}}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(table.at(index).semiMajorAxis, 0.0);
        EXPECT_EQ(table.at(index).eccentricitySquared, 0.0);
    }
}

// ------------------------------------------------------ transverse Mercator

// Meridian arc from the equator to `latitude` by Simpson's rule on
// M = a (1 - e^2) integral (1 - e^2 sin^2 t)^(-3/2) dt: independent of the series.
double meridianArc(const Ellipsoid& e, double latitude) {
    const int steps = 2000;
    const double h = latitude / steps;
    auto f = [&](double t) {
        const double s = std::sin(t);
        return std::pow(1.0 - e.eccentricitySquared * s * s, -1.5);
    };
    double sum = f(0.0) + f(latitude);
    for (int i = 1; i < steps; ++i) sum += (i % 2 ? 4.0 : 2.0) * f(i * h);
    return e.semiMajorAxis * (1.0 - e.eccentricitySquared) * sum * h / 3.0;
}

TEST(TransverseMercator, CentralMeridianIsTheMeridianArc) {
    const EllipsoidTable table = initialisedTable();
    for (const int16_t index : {kGrs80, kHayford}) {
        for (const double degrees : {10.0, 45.0, 59.5, 65.0, 70.5}) {
            SCOPED_TRACE(std::to_string(index) + " at " + std::to_string(degrees));
            double north = 0.0, east = 1.0;
            tmForward(table.at(index), rad(degrees), 0.0, north, east);
            EXPECT_NEAR(east, 0.0, 0.001 * kMm);
            EXPECT_NEAR(north, meridianArc(table.at(index), rad(degrees)), 0.01 * kMm);

            double latitude = 0.0, l = 1.0;
            tmInverse(table.at(index), north, 0.0, latitude, l);
            EXPECT_EQ(l, 0.0);  // exactly on the central meridian
            EXPECT_NEAR((latitude - rad(degrees)) * 6.4e6, 0.0, 0.01 * kMm);
        }
    }
}

TEST(TransverseMercator, ForwardAndInverseInvertEachOtherInEveryZoneUsed) {
    // Every plane system of the program, over the longitudes where it is used
    // (a zone's central meridian +- its half width and a margin; ETRS-TM35FIN
    // over the whole accepted area), latitudes 59 to 70.5 deg, on both ellipsoids.
    struct Zone {
        std::string name;
        double centralMeridian, west, east;
    };
    std::vector<Zone> zones;
    for (int n = 0; n <= 5; ++n) {
        const double cm = 18.0 + 3.0 * n;
        zones.push_back({"KKJ zone " + std::to_string(n), cm, cm - 2.5, cm + 2.5});
    }
    zones.push_back({"ETRS-TM35FIN", 27.0, 15.4, 36.7});
    zones.push_back({"ETRS-TM34", 21.0, 17.0, 25.0});
    zones.push_back({"ETRS-TM36", 33.0, 29.0, 37.0});
    for (int n = 19; n <= 32; ++n) {
        zones.push_back({"ETRS-GK" + std::to_string(n), double(n), n - 1.5, n + 1.5});
    }

    const EllipsoidTable table = initialisedTable();
    for (const int16_t index : {kGrs80, kHayford}) {
        const Ellipsoid& ellipsoid = table.at(index);
        for (const Zone& zone : zones) {
            double worst = 0.0;
            for (double latitude = 59.0; latitude <= 70.5; latitude += 0.5) {
                for (double longitude = zone.west; longitude <= zone.east + 1e-9;
                     longitude += (zone.east - zone.west) / 8.0) {
                    const double phi = rad(latitude);
                    const double l = rad(longitude - zone.centralMeridian);
                    double north = 0.0, east = 0.0, phiBack = 0.0, lBack = 0.0;
                    tmForward(ellipsoid, phi, l, north, east);
                    tmInverse(ellipsoid, north, east, phiBack, lBack);
                    double northAgain = 0.0, eastAgain = 0.0;
                    tmForward(ellipsoid, phiBack, lBack, northAgain, eastAgain);
                    // Angles as lengths on the ground.
                    const double a = ellipsoid.semiMajorAxis;
                    worst = std::max({worst, std::fabs(phiBack - phi) * a,
                                      std::fabs(lBack - l) * a * std::cos(phi),
                                      std::fabs(northAgain - north),
                                      std::fabs(eastAgain - east)});
                }
            }
            EXPECT_LT(worst, 0.1 * kMm) << zone.name << " on ellipsoid " << index;
        }
    }
}

TEST(TransverseMercator, NetworkPointOneRoundTripInTm35Fin) {
    // ETRS-TM35FIN coordinates of network point 1 (JHS 154 list).
    const double n = 6715706.377, e = 106256.360;
    const EllipsoidTable table = initialisedTable();
    double latitude = 0.0, l = 0.0;
    tmInverse(table.at(kGrs80), n / 0.9996, (e - 500000.0) / 0.9996, latitude, l);
    // Point 1 (Geta, Aland) lies at about 60.4 N, 19.9 E.
    EXPECT_NEAR(latitude * kDegreesPerRadian, 60.4, 0.1);
    EXPECT_NEAR(27.0 + l * kDegreesPerRadian, 19.9, 0.1);

    double north = 0.0, east = 0.0;
    tmForward(table.at(kGrs80), latitude, l, north, east);
    EXPECT_NEAR(0.9996 * north, n, 0.1 * kMm);
    EXPECT_NEAR(0.9996 * east + 500000.0, e, 0.1 * kMm);
}

TEST(TransverseMercator, NanInputEndsWithNan) {
    // The latitude iteration must stop on NaN instead of looping.
    const EllipsoidTable table = initialisedTable();
    double latitude = 0.0, l = 0.0;
    tmInverse(table.at(kGrs80), std::nan(""), 0.0, latitude, l);
    EXPECT_TRUE(std::isnan(latitude));
    tmInverse(table.at(kGrs80), HUGE_VAL, 1.0, latitude, l);
    EXPECT_TRUE(std::isnan(latitude));
}

// ---------------------------------------------------------------- geocentric

TEST(Geocentric, AxesOfTheEllipsoid) {
    // On the equator at Greenwich X = a; at the pole Z = b.
    const EllipsoidTable table = initialisedTable();
    for (const int16_t index : {kGrs80, kHayford}) {
        SCOPED_TRACE(index);
        const Ellipsoid& e = table.at(index);
        double X = 0.0, Y = 0.0, Z = 0.0;
        geodeticToGeocentric(e, 0.0, 0.0, 0.0, X, Y, Z);
        EXPECT_NEAR(X, e.semiMajorAxis, 0.001 * kMm);
        EXPECT_NEAR(Y, 0.0, 0.001 * kMm);
        EXPECT_NEAR(Z, 0.0, 0.001 * kMm);
        geodeticToGeocentric(e, std::numbers::pi / 2.0, 0.0, 100.0, X, Y, Z);
        EXPECT_NEAR(Z, e.semiMinorAxis + 100.0, 0.001 * kMm);
    }
}

TEST(Geocentric, RoundTripOverTheAreaUsed) {
    // Latitudes 55..72 deg, longitudes 15..35 deg, height 0, both ellipsoids.
    const EllipsoidTable table = initialisedTable();
    for (const int16_t index : {kGrs80, kHayford}) {
        const Ellipsoid& e = table.at(index);
        for (double latitude = 55.0; latitude <= 72.0; latitude += 1.0) {
            for (double longitude = 15.0; longitude <= 35.0; longitude += 2.5) {
                double X = 0.0, Y = 0.0, Z = 0.0;
                geodeticToGeocentric(e, rad(latitude), rad(longitude), 0.0, X, Y, Z);
                double phi = 0.0, lambda = 0.0, h = 0.0;
                geocentricToGeodetic(e, X, Y, Z, phi, lambda, h);
                SCOPED_TRACE(std::to_string(latitude) + "/" + std::to_string(longitude));
                EXPECT_NEAR(phi, rad(latitude), 1e-12);
                EXPECT_NEAR(lambda, rad(longitude), 1e-12);
                EXPECT_NEAR(h, 0.0, 1.0 * kMm);
            }
        }
    }
}

}  // namespace
}  // namespace lomitra
