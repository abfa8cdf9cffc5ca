// The numbers of one point through the conversion that the settings choose:
// a plane EUREF-FIN source into ETRS-TM35FIN, the JHS 154 datum
// transformation, and a plane EUREF-FIN result out of ETRS-TM35FIN into its
// zone. ConversionEngine::convertPoint runs it between reading the source
// texts and writing the result texts; the library runs it on numbers, so both
// give the same bits.
//
// Coordinates: north first, east second. Plane coordinates in metres, the
// east value with its false easting and, for ETRS-GKn and KKJ zones, the zone
// prefix (zone * 1 000 000); geographic ones in radians (degrees divided by
// kDegreesPerRadian), latitude first.
#pragma once

#include <cstdint>

#include "core/conversion_settings.h"
#include "geodesy/datum_transformation.h"

namespace lomitra {

// (c1, c2) in the source system of `settings` to (r1, r2) in its result
// system (the settings' format positions play no part). InsideNetwork or
// OutsideNetwork: converted; OutsideArea: refused (not finite, a plane
// source's zone prefix that the settings do not allow, an ETRS-GKn zone
// above 32, outside the area that the transformation accepts, or a result
// that is not finite), r1 and r2 untouched. The datum keeps sheetPoint
// and the triangle cache as transformDatum leaves them.
DatumStatus convertPointNumbers(const ConversionSettings& settings, DatumTransformation& datum,
                                double c1, double c2, double& r1, double& r2);

// A plane EUREF-FIN source into ETRS-TM35FIN by the source zone position
// (0 ETRS-TM34; 2 ETRS-TM36; otherwise ETRS-TM35FIN, or ETRS-GKn where the
// east value's zone prefix n lies above 10). False, the point left as it
// was, for n above 32 or a value that is not finite.
bool eurefPlaneIntoTm35fin(int32_t sourceZone, double& north, double& east);

// An ETRS-TM35FIN point into the result zone position (0 ETRS-TM34,
// 1 ETRS-TM35FIN, 2 ETRS-TM36, 3..16 ETRS-GK19..GK32).
void tm35finIntoEurefZone(int32_t resultZone, double& north, double& east);

}  // namespace lomitra
