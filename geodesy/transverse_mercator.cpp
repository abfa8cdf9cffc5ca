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

// Stop the latitude iteration below this change of sin(latitude).
constexpr double kLatitudeTolerance = 1e-11;
// The iteration contracts by e^2/(1 - e^2) per step and ends in about four
// steps; the cap only guards against NaN/inf input looping forever.
constexpr int kMaxLatitudeIterations = 50;

// The harmonic terms of the four-term series at (u, v):
// sin(2iu) cosh(2iv) and cos(2iu) sinh(2iv) for i = 1..4, summed with weights h[i-1].
// The multiple angles come from one sine/cosine and one exponential by the
// addition theorems; this equals the term-by-term evaluation to rounding
// (about 1e-15 relative), far below a micrometre.
void harmonicSums(const double (&h)[4], double u, double v, double& sumSinCosh,
                  double& sumCosSinh) {
    const double s2 = std::sin(2.0 * u);
    const double c2 = std::cos(2.0 * u);
    const double ep2 = std::exp(2.0 * v);
    const double em2 = 1.0 / ep2;
    double s = s2, c = c2, ep = ep2, em = em2;
    sumSinCosh = 0.0;
    sumCosSinh = 0.0;
    for (int i = 0; i < 4; ++i) {
        sumSinCosh += h[i] * s * (0.5 * (ep + em));
        sumCosSinh += h[i] * c * (0.5 * (ep - em));
        const double sNext = s * c2 + c * s2;
        c = c * c2 - s * s2;
        s = sNext;
        ep *= ep2;
        em *= em2;
    }
}

}  // namespace

TmSeries tmSeriesOf(const Ellipsoid& ellipsoid) {
    const double a = ellipsoid.semiMajorAxis;
    const double b = ellipsoid.semiMinorAxis;
    TmSeries series;
    const double n = (a - b) / (a + b);
    const double n2 = n * n, n3 = n2 * n, n4 = n3 * n;
    series.n = n;
    series.e = std::sqrt(ellipsoid.eccentricitySquared);
    series.A1 = a / (1.0 + n) * (1.0 + n2 / 4.0 + n2 * n2 / 64.0);
    // h1 ... h4 of the forward series.
    series.forward[0] = n / 2.0 - 2.0 / 3.0 * n2 + 5.0 / 16.0 * n3 + 41.0 / 180.0 * n4;
    series.forward[1] = 13.0 / 48.0 * n2 - 3.0 / 5.0 * n3 + 557.0 / 1440.0 * n4;
    series.forward[2] = 61.0 / 240.0 * n3 - 103.0 / 140.0 * n4;
    series.forward[3] = 49561.0 / 161280.0 * n4;
    // h1' ... h4' of the inverse series.
    series.inverse[0] = n / 2.0 - 2.0 / 3.0 * n2 + 37.0 / 96.0 * n3 - 1.0 / 360.0 * n4;
    series.inverse[1] = 1.0 / 48.0 * n2 + 1.0 / 15.0 * n3 - 437.0 / 1440.0 * n4;
    series.inverse[2] = 17.0 / 480.0 * n3 - 37.0 / 840.0 * n4;
    series.inverse[3] = 4397.0 / 161280.0 * n4;
    return series;
}

void tmForward(const Ellipsoid& ellipsoid, double latitude, double longitudeDifference,
               double& north, double& east) {
    const TmSeries& series = ellipsoid.series;
    const double e = series.e;
    const double A1 = series.A1;
    const double(&h)[4] = series.forward;

    // Q: isometric latitude.
    const double Q = std::asinh(std::tan(latitude)) - e * std::atanh(e * std::sin(latitude));
    // beta: conformal latitude, through tan(beta) = sinh Q.
    const double sinhQ = std::sinh(Q);
    const double cosBeta = 1.0 / std::sqrt(1.0 + sinhQ * sinhQ);
    // xiPrime, etaPrime: coordinates on the conformal sphere.
    const double xiPrime = std::atan(sinhQ / std::cos(longitudeDifference));
    const double etaPrime = std::atanh(cosBeta * std::sin(longitudeDifference));

    // xi = xi' + sum hi sin(2i xi') cosh(2i eta'); eta = eta' + sum hi cos(2i xi') sinh(2i eta').
    double sumSinCosh = 0.0;
    double sumCosSinh = 0.0;
    harmonicSums(h, xiPrime, etaPrime, sumSinCosh, sumCosSinh);
    north = A1 * (xiPrime + sumSinCosh);
    east = A1 * (etaPrime + sumCosSinh);
}

void tmInverse(const Ellipsoid& ellipsoid, double north, double east,
               double& latitude, double& longitudeDifference) {
    const TmSeries& series = ellipsoid.series;
    const double e = series.e;
    const double A1 = series.A1;
    const double(&h)[4] = series.inverse;

    // xi, eta: the plane coordinates in units of the rectifying radius.
    const double xi = north / A1;
    const double eta = east / A1;
    // xiPrime, etaPrime: back on the conformal sphere.
    // xi' = xi - sum hi' sin(2i xi) cosh(2i eta); eta' = eta - sum hi' cos(2i xi) sinh(2i eta).
    double sumSinCosh = 0.0;
    double sumCosSinh = 0.0;
    harmonicSums(h, xi, eta, sumSinCosh, sumCosSinh);
    const double xiPrime = xi - sumSinCosh;
    const double etaPrime = eta - sumCosSinh;
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
