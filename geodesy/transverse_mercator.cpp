// Transverse Mercator projection by Krueger's series in the third flattening n,
// four terms, exactly as JHS 154 prints them (forward coefficients h1..h4,
// inverse coefficients h1'..h4', conformal latitude by a fixed-point iteration).
//
// Accuracy: the four-term series is good to well below a millimetre within
// some 10 degrees of the central meridian; forward and inverse invert each
// other to about a micrometre. Domain: |l| < 90 degrees (the longitude formulas
// use atan(... / cos ...)), latitudes away from the poles.
// Deviation from the printed algorithm: the latitude iteration is capped (see
// tmInverse); for finite input in the domain it never reaches the cap.
#include "geodesy/transverse_mercator.h"

#include <cmath>

namespace lomitra {

namespace {

// Quantities of one ellipsoid shared by both directions.
struct SeriesBase {
    double n;   // third flattening (a - b) / (a + b)
    double e;   // first eccentricity
    double A1;  // rectifying radius a / (1 + n) (1 + n^2/4 + n^4/64)
};

SeriesBase seriesBase(const Ellipsoid& ellipsoid) {
    const double a = ellipsoid.semiMajorAxis;
    const double b = ellipsoid.semiMinorAxis;
    const double n = (a - b) / (a + b);
    const double n2 = n * n;
    return {n, std::sqrt(ellipsoid.eccentricitySquared),
            a / (1.0 + n) * (1.0 + n2 / 4.0 + n2 * n2 / 64.0)};
}

// Stop the latitude iteration below this change of sin(latitude).
constexpr double kLatitudeTolerance = 1e-11;
// The iteration contracts by e^2/(1 - e^2) per step and ends in about four
// steps; the cap only guards against NaN/inf input looping forever.
constexpr int kMaxLatitudeIterations = 50;

}  // namespace

void tmForward(const Ellipsoid& ellipsoid, double latitude, double longitudeDifference,
               double& north, double& east) {
    const auto [n, e, A1] = seriesBase(ellipsoid);
    const double n2 = n * n, n3 = n2 * n, n4 = n3 * n;
    const double h[4] = {
        n / 2.0 - 2.0 / 3.0 * n2 + 5.0 / 16.0 * n3 + 41.0 / 180.0 * n4,
        13.0 / 48.0 * n2 - 3.0 / 5.0 * n3 + 557.0 / 1440.0 * n4,
        61.0 / 240.0 * n3 - 103.0 / 140.0 * n4,
        49561.0 / 161280.0 * n4,
    };

    // Q: isometric latitude.
    const double Q = std::asinh(std::tan(latitude)) - e * std::atanh(e * std::sin(latitude));
    // beta: conformal latitude, through tan(beta) = sinh Q.
    const double sinhQ = std::sinh(Q);
    const double cosBeta = 1.0 / std::sqrt(1.0 + sinhQ * sinhQ);
    // xiPrime, etaPrime: coordinates on the conformal sphere.
    const double xiPrime = std::atan(sinhQ / std::cos(longitudeDifference));
    const double etaPrime = std::atanh(cosBeta * std::sin(longitudeDifference));

    double xi = xiPrime;
    double eta = etaPrime;
    for (int i = 1; i <= 4; ++i) {
        const double k = 2.0 * i;
        xi += h[i - 1] * std::sin(k * xiPrime) * std::cosh(k * etaPrime);
        eta += h[i - 1] * std::cos(k * xiPrime) * std::sinh(k * etaPrime);
    }
    north = A1 * xi;
    east = A1 * eta;
}

void tmInverse(const Ellipsoid& ellipsoid, double north, double east,
               double& latitude, double& longitudeDifference) {
    const auto [n, e, A1] = seriesBase(ellipsoid);
    const double n2 = n * n, n3 = n2 * n, n4 = n3 * n;
    const double h[4] = {
        n / 2.0 - 2.0 / 3.0 * n2 + 37.0 / 96.0 * n3 - 1.0 / 360.0 * n4,
        1.0 / 48.0 * n2 + 1.0 / 15.0 * n3 - 437.0 / 1440.0 * n4,
        17.0 / 480.0 * n3 - 37.0 / 840.0 * n4,
        4397.0 / 161280.0 * n4,
    };

    // xi, eta: the plane coordinates in units of the rectifying radius.
    const double xi = north / A1;
    const double eta = east / A1;
    // xiPrime, etaPrime: back on the conformal sphere.
    double xiPrime = xi;
    double etaPrime = eta;
    for (int i = 1; i <= 4; ++i) {
        const double k = 2.0 * i;
        xiPrime -= h[i - 1] * std::sin(k * xi) * std::cosh(k * eta);
        etaPrime -= h[i - 1] * std::cos(k * xi) * std::sinh(k * eta);
    }
    longitudeDifference = std::atan(std::sinh(etaPrime) / std::cos(xiPrime));

    // QPrime: isometric latitude of the conformal latitude.
    const double QPrime = std::asinh(std::tan(xiPrime) * std::cos(longitudeDifference));
    // s: sin(latitude), improved by the fixed-point iteration
    // Q'' = Q' + e atanh(e s), s' = tanh Q''.
    double s = std::sin(std::atan(std::sinh(1.0040685 * QPrime)));
    double sNext = s;
    for (int step = 0; step < kMaxLatitudeIterations; ++step) {
        const double sinhQ2 = std::sinh(QPrime + e * std::atanh(e * s));
        sNext = sinhQ2 / std::sqrt(1.0 + sinhQ2 * sinhQ2);
        // Written so that a NaN difference also stops.
        if (!(std::fabs(sNext - s) > kLatitudeTolerance)) break;
        s = sNext;
    }
    latitude = std::asin(sNext);
}

}  // namespace lomitra
