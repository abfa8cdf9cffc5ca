// Geodetic <-> geocentric (earth-centred Cartesian) coordinates, used by the
// three-dimensional similarity (Helmert) transformation of JHS 154.
#pragma once

#include "geodesy/ellipsoid.h"

namespace lomitra {

// latitude, longitude: radians; height: ellipsoidal, metres.
// X, Y, Z: out, metres.
void geodeticToGeocentric(const Ellipsoid& ellipsoid, double latitude, double longitude,
                          double height, double& X, double& Y, double& Z);

// One-step (Bowring) inverse, without iteration; valid for X > 0.
// latitude, longitude: out, radians; height: out, metres.
void geocentricToGeodetic(const Ellipsoid& ellipsoid, double X, double Y, double Z,
                          double& latitude, double& longitude, double& height);

// The same latitude and longitude, without the height (for the similarity
// transformation, which drops it).
void geocentricToLatitudeLongitude(const Ellipsoid& ellipsoid, double X, double Y, double Z,
                                   double& latitude, double& longitude);

}  // namespace lomitra
