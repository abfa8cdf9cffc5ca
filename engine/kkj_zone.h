// KKJ Gauss-Krueger zone helpers for the map sheet identifiers: a compact
// closed-form approximation on the Hayford ellipsoid, separate from the
// exact transverse Mercator of the datum transformation.
#pragma once

#include <cstdint>

namespace lomitra {

// N, E: KKJ metres, E with the zone prefix. The zone whose central meridian
// is nearest to the point.
int32_t kkjZoneOf(double N, double E);

// The point (N, E) in KKJ zone targetZone; returns N, E unchanged when E is
// already in that zone.
void kkjZoneChange(int32_t targetZone, double N, double E, double& Nout, double& Eout);

// Metres from the central meridian to the meridian 1.5 degrees away, at north N.
double kkjZoneHalfWidth(double N);

}  // namespace lomitra
