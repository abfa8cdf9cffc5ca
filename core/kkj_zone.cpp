// KKJ Gauss-Krueger zone helpers on the Hayford ellipsoid.
//
// A compact closed-form approximation of the Gauss-Krueger projection that
// serves only the KKJ map sheet identifiers: the zone of a point, the point in
// another zone, and the half width of a zone. A change of zone agrees with the
// exact transverse Mercator to a few centimetres, the half width to about
// 20 m (0.03 %); sheet borders need no more. The correction terms of
// kkjZoneChange are evaluated from single-precision copies of their inputs
// (phiF, uF, pF, wF, cF). That rounding is kept deliberately: it decides on
// which side of a sheet border a point within millimetres of it falls, and
// identifiers away from the borders do not depend on it.
//
// Defined for every double: zones are clamped to 32 bits and zone
// differences taken in doubles, so points far outside any zone, infinities
// and NaNs give defined (if meaningless) results, never an overflow.
//
// Symbols: phiPrime is the rectifying latitude N / A, phi the footpoint
// latitude, u the east distance from the central meridian divided by the polar
// radius of curvature C, dLambda the longitude from the central meridian.
#include "core/kkj_zone.h"

#include <cmath>
#include <limits>

namespace lomitra {
namespace {

constexpr double kRho = 57.29577951308238;      // degrees per radian
constexpr double kE2Prime = 0.00676817019722;   // second eccentricity squared
constexpr double kA = 6367654.5;                // meridian arc -> rectifying latitude
constexpr double kC = 6399936.608;              // polar radius of curvature
constexpr double kAChange = 6367654.5001;       // the same, as kkjZoneChange uses them
constexpr double kCChange = 6399936.6081;
constexpr double kTanHalfZone = 0.026185921569;  // tan 1.5 degrees

double mod(double x, double d) { return x - std::trunc(x / d) * d; }

double sgn(double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0); }

// trunc into a 32-bit integer; a NaN gives 0 and the range is clamped
// (reached only by coordinates far outside any KKJ zone, or infinite).
int32_t truncToInt(double x) {
    if (!(x == x)) {
        return 0;
    }
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::trunc(x < lo ? lo : (x > hi ? hi : x)));
}

// zone + step, clamped to the 32-bit range instead of overflowing.
int32_t addZones(int32_t zone, int32_t step) {
    return truncToInt(static_cast<double>(zone) + static_cast<double>(step));
}

double sq(double x) { return x * x; }

// The single-precision copy of x used by the correction terms. A value beyond
// the float range (far outside any zone) becomes an infinity of its sign
// rather than being narrowed out of range.
double single(double x) {
    if (std::fabs(x) > std::numeric_limits<float>::max()) {
        return std::copysign(std::numeric_limits<double>::infinity(), x);
    }
    return static_cast<float>(x);
}

}  // namespace

int32_t kkjZoneOf(double N, double E) {
    // Guard: a prefix beyond the 32-bit range (or a NaN) is the answer itself,
    // clamped; so far out the remainder below would be rounding noise.
    const double prefix = std::trunc(E / 1000000.0);
    if (!(prefix >= std::numeric_limits<int32_t>::min() &&
          prefix <= std::numeric_limits<int32_t>::max())) {
        return truncToInt(prefix);
    }
    const int32_t z0 = truncToInt(prefix);
    const double phiPrime = N / kA;
    const double phi = phiPrime + 0.0025295069 * std::sin(2.0 * phiPrime) +
                       3.7324e-6 * std::sin(4.0 * phiPrime);
    const double u = (mod(E, 1000000.0) - 500000.0) / kC;
    const double dLambda =
        std::atan(std::sinh(u) * std::sqrt(1.0 / sq(std::cos(phi)) + kE2Prime)) * kRho;
    return addZones(z0, truncToInt((sgn(dLambda) * 1.5 + dLambda) / 3.0));
}

void kkjZoneChange(int32_t targetZone, double N, double E, double& Nout, double& Eout) {
    Nout = N;
    Eout = E;
    const int32_t z0 = truncToInt(E / 1000000.0);
    if (z0 == targetZone) {
        return;
    }

    // Footpoint latitude (coefficients in degrees).
    const double phiPrime = N / kAChange;
    const double phi = phiPrime + (0.1449300705 * std::sin(2.0 * phiPrime) +
                                   0.0002138508 * std::sin(4.0 * phiPrime) +
                                   4.322e-7 * std::sin(6.0 * phiPrime)) /
                                      kRho;

    // Inverse: from (phi, u) to the latitude phiS and longitude dLambda.
    const double V = std::sqrt(1.0 + kE2Prime * sq(std::cos(phi)));
    const double u = (mod(E, 1000000.0) - 500000.0) / kCChange;
    double dLambda = std::atan(std::sinh(u) * V / std::cos(phi));
    double phiS = std::atan(std::tan(phi) * std::cos(V * dLambda));
    {
        const double phiF = single(phiS);
        const double uF = single(u);
        phiS = phiS - sq(sq(uF)) * 0.0011 * std::tan(phiF);
        const double ucos = uF * std::cos(phiF);
        dLambda = dLambda - ucos * ucos * ucos * 7.5e-6;
    }

    // Change of central meridian, 3 degrees a zone.
    // The zone difference in doubles: zones far apart would overflow a 32-bit subtraction.
    dLambda = dLambda - (static_cast<double>(targetZone) - static_cast<double>(z0)) * 3.0 / kRho;

    // Forward into the target zone.
    const double V2 = std::sqrt(1.0 + kE2Prime * sq(std::cos(phiS)));
    const double phi2 = std::atan(std::tan(phiS) / std::cos(V2 * dLambda));
    double north = kAChange * phi2 - 16107.0347 * std::sin(2.0 * phi2) +
                   16.9762 * std::sin(4.0 * phi2) - 0.0223 * std::sin(6.0 * phi2);
    const double V3 = std::sqrt(1.0 + kE2Prime * sq(std::cos(phi2)));
    const double q = std::tan(dLambda) * std::cos(phi2) / V3;
    const double w = std::asinh(q);
    double east = w * kCChange + 500000.0 + static_cast<double>(targetZone) * 1000000.0;
    {
        const double pF = single(phiS);
        const double wF = single(w);
        const double cF = single(std::cos(pF));
        north = north + sq(sq(wF)) * 7147.0 * std::tan(pF) * (3.0 * cF * cF - 2.0);
        east = east + wF * wF * wF * 48.0 * sq(sq(cF));
    }
    Nout = north;
    Eout = east;
}

double kkjZoneHalfWidth(double N) {
    const double phiPrime = N / kA;
    const double phi = phiPrime + 0.002529507 * std::sin(2.0 * phiPrime) +
                       3.7324e-6 * std::sin(4.0 * phiPrime);
    const double V = std::sqrt(1.0 + kE2Prime * sq(std::cos(phi)));
    const double t = std::cos(phi) * kTanHalfZone / V;
    return kC * std::asinh(t);
}

}  // namespace lomitra
