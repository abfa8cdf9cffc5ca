// KKJ Gauss-Krueger zone helpers for the map sheet identifiers: a compact
// closed-form approximation on the Hayford ellipsoid, separate from the
// exact transverse Mercator of the datum transformation.
#pragma once

#include <cstdint>

namespace lomitra {

// N, E: KKJ metres, E with the zone prefix. The zone whose central meridian
// is nearest to the point.
// Defined for every pair of doubles: a zone beyond the 32-bit range is
// clamped to it (an E whose prefix lies beyond it, such as +-1e300 or
// +-infinity, gives INT32_MAX / INT32_MIN), a NaN E gives zone 0, and where
// no longitude can be computed (N not finite) the zone is that of E's prefix.
int32_t kkjZoneOf(double N, double E);

// The point (N, E) in KKJ zone targetZone; returns N, E unchanged when E is
// already in that zone (E's prefix clamped as in kkjZoneOf). Defined for every
// input; far outside the zones the results are meaningless (possibly not
// finite) but never undefined.
void kkjZoneChange(int32_t targetZone, double N, double E, double& Nout, double& Eout);

// Metres from the central meridian to the meridian 1.5 degrees away, at north N.
double kkjZoneHalfWidth(double N);

}  // namespace lomitra
