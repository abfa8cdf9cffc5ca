// Transverse Mercator projection, forward and inverse, as the four-term
// series in the third flattening n that JHS 154 prescribes (Krueger's series).
//
// Scale 1, no false easting, longitude counted from the central meridian:
// each caller applies its own scale factor, false easting and meridian.
// Angles are radians, lengths metres.
#pragma once

#include "geodesy/ellipsoid.h"

namespace lomitra {

// The series constants of an ellipsoid from its a, b and e^2.
TmSeries tmSeriesOf(const Ellipsoid& ellipsoid);

// The projections read ellipsoid.series, which the ellipsoid table derives.
// latitude: geodetic latitude phi, radians.
// longitudeDifference: l, radians east of the central meridian (|l| < 90 deg).
// north, east: out, metres on the unit-scale projection.
void tmForward(const Ellipsoid& ellipsoid, double latitude, double longitudeDifference,
               double& north, double& east);

// north, east: metres, unit scale, no false easting.
// latitude, longitudeDifference: out, radians.
void tmInverse(const Ellipsoid& ellipsoid, double north, double east,
               double& latitude, double& longitudeDifference);

}  // namespace lomitra
