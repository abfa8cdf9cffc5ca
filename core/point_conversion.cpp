// The numbers of one point through the conversion of the settings.
//
// Re-projections between ETRS89 zones run on GRS80 through the unit-scale
// transverse Mercator (tmForward / tmInverse); the zone's scale factor and
// false easting are applied here:
//   ETRS-TM34/35/36: central meridian 21/27/33 deg, scale 0.9996, E0 500 000 m;
//   ETRS-GKn:        central meridian n deg, scale 1, E0 n * 1 000 000 + 500 000 m.
#include "core/point_conversion.h"

#include <cmath>

#include "geodesy/ellipsoid.h"
#include "geodesy/transverse_mercator.h"

namespace lomitra {
namespace {

constexpr double kRho = kDegreesPerRadian;   // degrees per radian
constexpr double kTmScale = 0.9996;          // ETRS-TMnn scale on the central meridian
constexpr double kFalseEasting = 500000.0;   // metres
constexpr double kZonePrefix = 1000000.0;    // metres per zone number in the east value
constexpr double kHighestGkZone = 32.0;      // ETRS-GK19 ... ETRS-GK32

const Ellipsoid& grs80() { return standardEllipsoids().at(kGrs80); }

}  // namespace

bool eurefPlaneIntoTm35fin(int32_t sourceZone, double& north, double& east) {
    double c1 = north;
    double c2 = east;
    double latitude = 0.0;
    double dLongitude = 0.0;  // radians from the source central meridian
    if (sourceZone != 0 && sourceZone != 2) {
        // ETRS-TM35FIN, or ETRS-GKn when the east value carries a zone prefix above 10.
        const double n = std::floor(c2 / kZonePrefix);
        if (n > 10.0) {
            if (n > kHighestGkZone) return false;  // no such ETRS-GK zone
            tmInverse(grs80(), c1, c2 - n * kZonePrefix - kFalseEasting, latitude, dLongitude);
            tmForward(grs80(), latitude, (n - 27.0) / kRho + dLongitude, c1, c2);
            c1 = c1 * kTmScale;
            c2 = c2 * kTmScale + kFalseEasting;
        }
    } else {
        // ETRS-TM34 (0, meridian 21) or ETRS-TM36 (2, meridian 33).
        tmInverse(grs80(), c1 / kTmScale, (c2 - kFalseEasting) / kTmScale, latitude, dLongitude);
        tmForward(grs80(), latitude, (6.0 * sourceZone - 6.0) / kRho + dLongitude, c1, c2);
        c1 = c1 * kTmScale;
        c2 = c2 * kTmScale + kFalseEasting;
    }
    if (!std::isfinite(c1) || !std::isfinite(c2)) return false;
    north = c1;
    east = c2;
    return true;
}

void tm35finIntoEurefZone(int32_t resultZone, double& north, double& east) {
    const int32_t b = resultZone;
    const int32_t n = b + 16;  // ETRS-GKn for b = 3 ... 16
    if ((b != 0 && b != 2) && n <= 18) return;  // ETRS-TM35FIN itself
    double latitude = 0.0;
    double dLongitude = 0.0;  // radians from 27 deg
    tmInverse(grs80(), north / kTmScale, (east - kFalseEasting) / kTmScale, latitude, dLongitude);
    if (b != 0 && b != 2) {
        tmForward(grs80(), latitude, (27.0 - n) / kRho + dLongitude, north, east);
        east = n * kZonePrefix + east + kFalseEasting;  // scale 1: north unchanged
    } else {
        // +6 deg towards central meridian 21 (ETRS-TM34), -6 deg towards 33 (ETRS-TM36).
        tmForward(grs80(), latitude, (6.0 - 6.0 * b) / kRho + dLongitude, north, east);
        north = north * kTmScale;
        east = east * kTmScale + kFalseEasting;
    }
}

DatumStatus convertPointNumbers(const ConversionSettings& settings, DatumTransformation& datum,
                                double c1, double c2, double& r1, double& r2) {
    // An overflow ("1e999") or NaN is no coordinate.
    if (!std::isfinite(c1) || !std::isfinite(c2)) return DatumStatus::OutsideArea;
    // A plane point of another zone than the source's own.
    if (!settings.geographicSource() && !settings.sourcePrefixAllowed(c2)) return DatumStatus::OutsideArea;

    // Codes of transformDatum: direction, the source's and the result's kind.
    const bool eurefToKkj = settings.eurefToKkj();
    const int32_t directionCode = eurefToKkj ? kEurefToKkj : kKkjToEuref;
    const int32_t sourceCode = settings.geographicSource() ? kGeographicCode : 0;
    int32_t resultCode = eurefToKkj ? settings.resultZone : 0;
    if (settings.geographicResult()) resultCode = kGeographicCode;

    // A plane EUREF-FIN source goes into ETRS-TM35FIN.
    if (eurefToKkj && !settings.geographicSource() && !eurefPlaneIntoTm35fin(settings.sourceZone, c1, c2)) {
        return DatumStatus::OutsideArea;
    }

    // The datum transformation; statuses above 100 refuse the point.
    double x = 0.0;
    double y = 0.0;
    const DatumStatus status = datum.transformDatum(directionCode, sourceCode, resultCode, c1, c2, x, y);
    if (static_cast<int32_t>(status) > 100 || !std::isfinite(x) || !std::isfinite(y)) {
        return DatumStatus::OutsideArea;
    }

    // A plane EUREF-FIN result leaves ETRS-TM35FIN for its zone.
    if (!settings.geographicResult() && !eurefToKkj) tm35finIntoEurefZone(settings.resultZone, x, y);
    if (!std::isfinite(x) || !std::isfinite(y)) return DatumStatus::OutsideArea;
    r1 = x;
    r2 = y;
    return status;
}

}  // namespace lomitra
