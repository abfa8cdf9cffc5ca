// KKJ <-> EUREF-FIN datum transformation of JHS 154.
//
// Work planes: KKJ zone 3 (YKJ; Hayford, central meridian 27 deg, scale 1,
// false easting 3 500 000 m) and ETRS-TM35FIN (GRS80, 27 deg, scale 0.9996,
// false easting 500 000 m).
// Inside the triangulation network the affine transformation of the triangle
// that contains the point is used: it maps every network point exactly onto its
// published coordinates, is continuous across the triangles and its two
// directions invert each other to rounding. Outside the network, inside the
// accepted area, the three-dimensional similarity (Helmert) transformation of
// JHS 154 takes over (agreement with the affine result about 2.5 m or better).
// Deviations, kept on purpose:
// - degrees become radians by 57.29577951308238 (kDegreesPerRadian), not 180/pi;
// - the reverse Helmert (EUREF-FIN -> KKJ) has constants of its own, not the
//   exact inverse of the forward set; a round trip outside the network closes
//   only to about 1.5 mm;
// - a degenerate triangle (zero area) would make the affine parameters divide
//   by zero; such a triangle is passed over as if the point lay outside the
//   network. The built-in network has none.
#include "geodesy/datum_transformation.h"

#include <cmath>

#include "geodesy/geocentric.h"
#include "geodesy/transverse_mercator.h"

namespace lomitra {

namespace {

// An angle of `degrees` in radians, with the program's degrees-per-radian value.
constexpr double radians(double degrees) { return degrees / kDegreesPerRadian; }

constexpr double kCentralMeridian = radians(27.0);  // both work planes
constexpr double kZoneWidth = radians(3.0);         // between KKJ zones
constexpr double kKkjWorkFalseEasting = 3500000.0;  // KKJ zone 3
constexpr double kTm35Scale = 0.9996;
constexpr double kTm35FalseEasting = 500000.0;

// Inclusive bounds; written so that NaN fails.
bool within(double value, double lowest, double highest) {
    return value >= lowest && value <= highest;
}

}  // namespace

bool insideAcceptedArea(int32_t directionCode, int32_t sourceCode, double coordinate1,
                        double coordinate2) {
    if (sourceCode == kGeographicCode) {
        return within(coordinate1, 0.98, 1.26) && within(coordinate2, 0.27, 0.64);
    }
    const bool eastOk = directionCode == kKkjToEuref
                            ? within(coordinate2, 400000.0, 5700000.0)
                            : within(coordinate2, -200000.0, 1000000.0);
    return within(coordinate1, 6000000.0, 8000000.0) && eastOk;
}

void intoWorkPlane(WorkPlane plane, bool geographic, double coordinate1, double coordinate2,
                   double& x, double& y) {
    const EllipsoidTable& ellipsoids = standardEllipsoids();
    if (geographic) {
        if (plane == WorkPlane::Ykj) {
            double east = 0.0;
            tmForward(ellipsoids.at(kHayford), coordinate1, coordinate2 - kCentralMeridian, x, east);
            y = east + kKkjWorkFalseEasting;
        } else {
            double north = 0.0;
            double east = 0.0;
            tmForward(ellipsoids.at(kGrs80), coordinate1, coordinate2 - kCentralMeridian, north, east);
            x = kTm35Scale * north;
            y = kTm35Scale * east + kTm35FalseEasting;
        }
    } else if (plane == WorkPlane::Tm35fin) {
        x = coordinate1;
        y = coordinate2;
    } else {
        // KKJ plane in zone g, the first digit of I (0..5 after the area check).
        const double g = std::trunc(coordinate2 / 1000000.0);
        if (g == 3.0) {
            x = coordinate1;
            y = coordinate2;
        } else {
            const Ellipsoid& hayford = ellipsoids.at(kHayford);
            double latitude = 0.0;
            double deltaLambda = 0.0;
            tmInverse(hayford, coordinate1, coordinate2 - g * 1000000.0 - 500000.0, latitude,
                      deltaLambda);
            double east = 0.0;
            tmForward(hayford, latitude, deltaLambda + (g - 3.0) * kZoneWidth, x, east);
            y = east + kKkjWorkFalseEasting;
        }
    }
}

void outOfWorkPlane(WorkPlane plane, int32_t resultCode, double X, double Y, double& result1,
                    double& result2) {
    if (resultCode == kGeographicCode) {
        const EllipsoidTable& ellipsoids = standardEllipsoids();
        double latitude = 0.0;
        double deltaLambda = 0.0;
        if (plane == WorkPlane::Tm35fin) {
            tmInverse(ellipsoids.at(kGrs80), X / kTm35Scale, (Y - kTm35FalseEasting) / kTm35Scale,
                      latitude, deltaLambda);
        } else {
            tmInverse(ellipsoids.at(kHayford), X, Y - kKkjWorkFalseEasting, latitude, deltaLambda);
        }
        result1 = latitude;
        result2 = kCentralMeridian + deltaLambda;
    } else if (plane == WorkPlane::Tm35fin || resultCode == 3 || resultCode >= 6) {
        result1 = X;
        result2 = Y;
    } else {
        // KKJ zone resultCode (1, 2, 4, 5), or the point's own zone (0 and below).
        ykjIntoKkjZone(X, Y, resultCode > 0 ? resultCode : kOwnKkjZone, result1, result2);
    }
}

void ykjIntoKkjZone(double P, double I, int32_t zone, double& north, double& east) {
    const Ellipsoid& hayford = standardEllipsoids().at(kHayford);
    double latitude = 0.0;
    double deltaLambda = 0.0;
    tmInverse(hayford, P, I - kKkjWorkFalseEasting, latitude, deltaLambda);
    const double n = zone != kOwnKkjZone
                         ? static_cast<double>(zone)
                         : std::trunc(((deltaLambda * kDegreesPerRadian + 27.0) - 16.5) / 3.0);
    double zoneEast = 0.0;
    tmForward(hayford, latitude, deltaLambda + (3.0 - n) * kZoneWidth, north, zoneEast);
    east = n * 1000000.0 + zoneEast + 500000.0;
}

DatumStatus DatumTransformation::transformDatum(int32_t directionCode, int32_t sourceCode,
                                                int32_t resultCode, double coordinate1,
                                                double coordinate2, double& result1,
                                                double& result2) {
    // 1. Set-up on first use, whatever the arguments.
    loadOnFirstUse();

    // 2. Direction.
    if (directionCode != kKkjToEuref && directionCode != kEurefToKkj) {
        return DatumStatus::BadDirection;
    }

    // 3. Accepted area (inclusive bounds).
    if (!insideAcceptedArea(directionCode, sourceCode, coordinate1, coordinate2)) {
        return DatumStatus::OutsideArea;
    }

    // 4. Source into the source work plane: (x, y).
    const bool kkjSource = directionCode == kKkjToEuref;
    double x = 0.0;
    double y = 0.0;
    intoWorkPlane(kkjSource ? WorkPlane::Ykj : WorkPlane::Tm35fin, sourceCode == kGeographicCode,
                  coordinate1, coordinate2, x, y);

    // 5. The cache holds parameters of one direction only.
    if (directionCode != lastDirection_) lastTriangle_ = 0;
    lastDirection_ = directionCode;

    // 6. Cyclic triangle search from the triangle used last; both orientations.
    // The index gives the triangle that testing 1..triangleCount in cyclic
    // order from lastTriangle would find first; the last triangle is tried on
    // its own before, since neighbouring points usually stay in it, and the
    // index then starts after it (a start past the last triangle is 1).
    const TriangleIndex& index = tables_->triangleIndex(directionCode);
    int32_t found = 0;
    if (lastTriangle_ > 0 && index.contains(lastTriangle_, x, y)) {
        found = lastTriangle_;
    } else if (tables_->network().triangleCount() > 0) {
        found = index.find(x, y, lastTriangle_ + 1);
    }

    // 7. Inside the network: the triangle's affine transformation.
    double X = 0.0;
    double Y = 0.0;
    DatumStatus status = DatumStatus::InsideNetwork;
    if (found != 0 && found != lastTriangle_) {
        lastTriangle_ = found;
        if (!computeAffineParameters()) found = 0;
    }
    if (found != 0) {
        X = affine_.a0 + affine_.a1 * x + affine_.a2 * y;
        Y = affine_.b0 + affine_.b1 * x + affine_.b2 * y;
    } else {
        // 8. Outside the network: the similarity transformation.
        lastTriangle_ = 0;
        helmertTransform(x, y, X, Y);
        status = DatumStatus::OutsideNetwork;
    }

    // 9. The point in both work planes: ETRS-TM35FIN first, KKJ zone 3 second.
    if (kkjSource) {
        sheetPoint_ = {X, Y, x, y};
    } else {
        sheetPoint_ = {x, y, X, Y};
    }

    // 10. Result from the target work plane.
    outOfWorkPlane(kkjSource ? WorkPlane::Tm35fin : WorkPlane::Ykj, resultCode, X, Y, result1, result2);

    // 11.
    return status;
}

void DatumTransformation::loadOnFirstUse() {
    if (tables_ != nullptr) return;
    tables_ = &DatumTables::shared();
    lastDirection_ = 0;
    lastTriangle_ = 0;
}

void DatumTransformation::restoreTriangleCache(const TriangleCache& cache) {
    loadOnFirstUse();
    lastDirection_ = cache.direction;
    lastTriangle_ = 0;
    if (cache.direction != kKkjToEuref && cache.direction != kEurefToKkj) return;
    // A triangle that the table does not hold (or a degenerate one) is no cache.
    if (cache.triangle < 1 || cache.triangle > tables_->network().triangleCount()) return;
    lastTriangle_ = cache.triangle;
    if (!computeAffineParameters()) lastTriangle_ = 0;
}

bool DatumTransformation::computeAffineParameters() {
    const AffineParameters* parameters = tables_->affineParameters(lastDirection_, lastTriangle_);
    if (parameters == nullptr) return false;
    affine_ = *parameters;
    return true;
}

void DatumTransformation::helmertTransform(double x, double y, double& X, double& Y) const {
    const Ellipsoid& grs80 = standardEllipsoids().at(kGrs80);
    const Ellipsoid& hayford = standardEllipsoids().at(kHayford);
    double latitude = 0.0;
    double deltaLambda = 0.0;
    double Xg = 0.0, Yg = 0.0, Zg = 0.0;           // geocentric, source datum
    double Xp = 0.0, Yp = 0.0, Zp = 0.0;           // geocentric, target datum
    double latitude2 = 0.0, longitude2 = 0.0;  // target datum; the height is dropped

    if (lastDirection_ == kKkjToEuref) {
        // KKJ zone 3 -> ETRS-TM35FIN.
        tmInverse(hayford, x, y - kKkjWorkFalseEasting, latitude, deltaLambda);
        geodeticToGeocentric(hayford, latitude, kCentralMeridian + deltaLambda, 0.0, Xg, Yg, Zg);
        constexpr double scale = 1.0000014964;
        Xp = scale * (Xg + 6.673e-6 * Yg + 1.675e-6 * Zg) - 96.0617;
        Yp = scale * (-6.673e-6 * Xg + Yg - 2.3276e-5 * Zg) - 82.4278;
        Zp = scale * (-1.675e-6 * Xg + 2.3276e-5 * Yg + Zg) - 121.7535;
        geocentricToLatitudeLongitude(grs80, Xp, Yp, Zp, latitude2, longitude2);
        double north = 0.0;
        double east = 0.0;
        tmForward(grs80, latitude2, longitude2 - kCentralMeridian, north, east);
        X = kTm35Scale * north;
        Y = kTm35Scale * east + kTm35FalseEasting;
    } else {
        // ETRS-TM35FIN -> KKJ zone 3, with the reverse direction's own constants.
        tmInverse(grs80, x / kTm35Scale, (y - kTm35FalseEasting) / kTm35Scale, latitude,
                  deltaLambda);
        geodeticToGeocentric(grs80, latitude, kCentralMeridian + deltaLambda, 0.0, Xg, Yg, Zg);
        constexpr double scale = 0.9999985035;
        Xp = scale * (Xg - 6.673e-6 * Yg - 1.675e-6 * Zg) + 96.061;
        Yp = scale * (6.673e-6 * Xg + Yg + 2.3276e-5 * Zg) + 82.4298;
        Zp = scale * (1.675e-6 * Xg - 2.3276e-5 * Yg + Zg) + 121.7485;
        geocentricToLatitudeLongitude(hayford, Xp, Yp, Zp, latitude2, longitude2);
        double north = 0.0;
        double east = 0.0;
        tmForward(hayford, latitude2, longitude2 - kCentralMeridian, north, east);
        X = north;
        Y = east + kKkjWorkFalseEasting;
    }
}

}  // namespace lomitra
