// The coordinate reference systems of the library: what each name means to
// the conversion (lomitra.hpp lists the names).
#pragma once

#include <string_view>

#include "lomitra/lomitra.hpp"

namespace lomitra {

// How a system's points are written.
enum class Projection : signed char {
    Geographic,  // latitude and longitude, degrees
    Tm35fin,     // ETRS-TM35FIN (UTM zone 35 of ETRS89)
    Tm34,        // ETRS-TM34 (UTM zone 34)
    Tm36,        // ETRS-TM36 (UTM zone 36)
    EtrsGk,      // ETRS-GKn, zone n = 19..32 (the central meridian)
    KkjZone,     // KKJ Gauss-Krueger zone n = 0..5 (3 = YKJ)
    KkjOwnZone,  // KKJ, each point in its own zone (a target only)
};

struct CrsSystem {
    std::string_view name;  // the system's own name
    int epsg;               // 0: none
    Datum datum;
    Projection projection;
    int zone;  // EtrsGk 19..32, KkjZone 0..5; otherwise -1
};

class CrsTable {
public:
    static const CrsSystem& systemOf(const Crs& crs);
    // The system of a name of acceptedNames(), in any case; throws UnknownCrs.
    static Crs byName(std::string_view name);
};

}  // namespace lomitra
