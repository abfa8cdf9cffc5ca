// Geodetic <-> geocentric coordinates for the JHS 154 similarity transformation.
//
// Forward: the closed formulas with the prime-vertical radius N.
// Inverse: Bowring's one-step formula (no iteration), as JHS 154 gives it.
// Accuracy: for points near the ellipsoid surface (|h| of a few kilometres at
// most) the one step recovers the latitude to about 1e-12 rad and the height
// to well below a millimetre. Domain: X > 0 (the longitude is atan(Y / X)),
// which holds for every point in Finland and its surroundings.
#include "geodesy/geocentric.h"

#include <cmath>

namespace lomitra {

void geodeticToGeocentric(const Ellipsoid& ellipsoid, double latitude, double longitude,
                          double height, double& X, double& Y, double& Z) {
    const double a = ellipsoid.semiMajorAxis;
    const double e2 = ellipsoid.eccentricitySquared;
    const double sinPhi = std::sin(latitude);
    // Radius of curvature in the prime vertical.
    const double N = a / std::sqrt(1.0 - e2 * sinPhi * sinPhi);
    X = (N + height) * std::cos(latitude) * std::cos(longitude);
    Y = (N + height) * std::cos(latitude) * std::sin(longitude);
    Z = (N * (1.0 - e2) + height) * sinPhi;
}

void geocentricToLatitudeLongitude(const Ellipsoid& ellipsoid, double X, double Y, double Z,
                                   double& latitude, double& longitude) {
    const double a = ellipsoid.semiMajorAxis;
    const double b = ellipsoid.semiMinorAxis;
    const double e2 = ellipsoid.eccentricitySquared;
    const double ePrime2 = ellipsoid.secondEccentricitySquared;

    const double p = std::sqrt(X * X + Y * Y);  // distance from the polar axis
    // theta: parametric (reduced) latitude of the auxiliary point.
    const double theta = std::atan(a * Z / (p * b));
    const double sinTheta = std::sin(theta);
    const double cosTheta = std::cos(theta);
    latitude = std::atan((Z + ePrime2 * b * sinTheta * sinTheta * sinTheta) /
                         (p - e2 * a * cosTheta * cosTheta * cosTheta));
    longitude = std::atan(Y / X);
}

void geocentricToGeodetic(const Ellipsoid& ellipsoid, double X, double Y, double Z,
                          double& latitude, double& longitude, double& height) {
    geocentricToLatitudeLongitude(ellipsoid, X, Y, Z, latitude, longitude);
    const double a = ellipsoid.semiMajorAxis;
    const double e2 = ellipsoid.eccentricitySquared;
    const double p = std::sqrt(X * X + Y * Y);
    const double sinPhi = std::sin(latitude);
    const double N = a / std::sqrt(1.0 - e2 * sinPhi * sinPhi);  // prime-vertical radius
    height = p / std::cos(latitude) - N;
}

}  // namespace lomitra
