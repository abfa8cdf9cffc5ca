// The systems of the library as GDAL/OGR spatial references, both ways:
// which lomitra::Crs a dataset's own definition (a .prj, a GeoPackage SRS)
// names, and the definition an output layer gets.
//
// Recognition: by the EPSG code (the definition's own, or the one OGR
// identifies for it), else by comparing the definition with each supported
// system's (IsSame, axis order aside). ETRS-GK32 has no EPSG code: its
// definition here is ETRS89 on a transverse Mercator with central meridian
// 32 deg, scale 1 and false easting 32 500 000 m, as the library computes it.
//
// Every spatial reference made here has OGR's traditional GIS axis order: a
// geometry's x is east (or the longitude) and y north (or the latitude),
// whatever order the EPSG definition gives its axes.
#pragma once

#include <optional>
#include <string>

#include <ogr_spatialref.h>

#include "lomitra/lomitra.hpp"

namespace lomitra::gis {

// The definition of `crs` for an output layer: the EPSG definition, or the
// own one of ETRS-GK32. KKJ-OWN (every point in its own zone) has none: empty.
std::optional<OGRSpatialReference> outputReference(const Crs& crs);

// Which system `reference` is; empty when none of the library's.
std::optional<Crs> recognise(const OGRSpatialReference& reference);

// A name for `reference` in messages: "WGS 84 / UTM zone 35N (EPSG:32635)".
std::string describe(const OGRSpatialReference& reference);

}  // namespace lomitra::gis
