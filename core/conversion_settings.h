// The seven choices of the settings window as the engine reads them, and
// the zone a source named by its zone is held to.
//
// Each of the seven is the zero-based position of the selected item in one
// list of the settings window. The window owns the object and is its only writer; the
// engine holds a reference and reads the positions afresh at every point.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace lomitra {

struct ConversionSettings {
    int32_t direction = 0;     // cboMuunnos: 0 EUREF-FIN -> KKJ, 1 KKJ -> EUREF-FIN
    int32_t sourceKind = 0;    // cboLahto: 0 plane (north, east), 1 geographic
    int32_t sourceZone = 1;    // cboLKaista: direction 0: 0 TM34, 1 TM35FIN or GKn, 2 TM36
    int32_t sourceFormat = 0;  // cboLFormaatti: 0 dd, 1 ddmm.mmmm, 2 ddmmss.ss
    int32_t resultKind = 0;    // cboTulos: 0 plane, 1 geographic
    int32_t resultZone = 0;    // cboTKaista: direction 0: KKJ zone (0 own); direction 1: 0 TM34,
                               //   1 TM35FIN, 2 TM36, 3..16 GK19..GK32
    int32_t resultFormat = 0;  // cboTFormaatti: as sourceFormat

    // Beyond the window's lists: the zone prefixes (the integer part of the
    // east value / 1 000 000) that a plane source point may carry. A source
    // named by its zone (lomitra-batch --from, the library) is held to that
    // zone's prefix, so a point of another zone is refused rather than read
    // in the zone its prefix names; the window accepts any prefix.
    double lowestSourcePrefix = -std::numeric_limits<double>::infinity();
    double highestSourcePrefix = std::numeric_limits<double>::infinity();

    bool eurefToKkj() const { return direction < 1; }
    bool geographicSource() const { return sourceKind > 0; }
    bool geographicResult() const { return resultKind > 0; }
    // Whether a plane source point with this east value carries a prefix it may.
    bool sourcePrefixAllowed(double east) const {
        const double prefix = std::floor(east / 1000000.0);
        return prefix >= lowestSourcePrefix && prefix <= highestSourcePrefix;
    }
};

// Layout of the lines of a source file: optFixed / optFree of the conversion window.
enum class LineLayout { FixedColumns, FreeFormat };

}  // namespace lomitra
