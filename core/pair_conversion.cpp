// The conversion of points between one pair of systems.
//
// The settings positions of the pair come from pairSettings, as lomitra-batch
// --from/--to takes them. The engine reads the source zone of an ETRS-GKn or
// KKJ point from its east value's prefix, so such a source is held to its
// zone's prefix. KKJ zone 0 as a target is YKJ re-projected into zone 0, by
// the formulas of the own zone.
#include "core/pair_conversion.h"

#include <cmath>

#include "core/pair_settings.h"
#include "core/point_conversion.h"
#include "geodesy/ellipsoid.h"

namespace lomitra {

TransformerPlan::TransformerPlan(const Crs& source, const Crs& target)
    : settings_(pairSettings(source, target)) {
    const CrsSystem& s = CrsTable::systemOf(source);
    const CrsSystem& t = CrsTable::systemOf(target);
    geographicSource_ = settings_.geographicSource();
    geographicResult_ = settings_.geographicResult();
    const bool kkjSource = s.datum == Datum::Kkj;
    const bool kkjResult = t.datum == Datum::Kkj;
    kkjZone0_ = t.projection == Projection::KkjZone && t.zone == 0;

    if (source == target) {
        way_ = Way::Identity;
    } else if (kkjSource == kkjResult) {
        way_ = Way::WithinDatum;
    } else {
        way_ = Way::BetweenDatums;
        DatumTables::shared();  // built now rather than at the first point
    }
    plane_ = kkjSource ? WorkPlane::Ykj : WorkPlane::Tm35fin;
    if (geographicResult_) {
        resultCode_ = kGeographicCode;
    } else {
        resultCode_ = kkjResult ? settings_.resultZone : 0;  // EUREF-FIN: ETRS-TM35FIN, the plane itself
    }
}

DatumStatus TransformerPlan::convertWithinDatum(double& c1, double& c2) const {
    if (!geographicSource_ && !settings_.sourcePrefixAllowed(c2)) return DatumStatus::OutsideArea;
    // The area that the datum transformation accepts of this source: a plane
    // EUREF-FIN source is held to it in ETRS-TM35FIN.
    const bool eurefPlane = plane_ == WorkPlane::Tm35fin && !geographicSource_;
    if (eurefPlane && !eurefPlaneIntoTm35fin(settings_.sourceZone, c1, c2)) return DatumStatus::OutsideArea;
    const int32_t directionCode = plane_ == WorkPlane::Ykj ? kKkjToEuref : kEurefToKkj;
    const int32_t sourceCode = geographicSource_ ? kGeographicCode : 0;
    if (!insideAcceptedArea(directionCode, sourceCode, c1, c2)) return DatumStatus::OutsideArea;
    if (way_ == Way::Identity) return DatumStatus::InsideNetwork;

    double x = 0.0;
    double y = 0.0;
    intoWorkPlane(plane_, geographicSource_, c1, c2, x, y);
    outOfWorkPlane(plane_, resultCode_, x, y, c1, c2);
    if (plane_ == WorkPlane::Tm35fin && !geographicResult_) tm35finIntoEurefZone(settings_.resultZone, c1, c2);
    return DatumStatus::InsideNetwork;
}

Status TransformerPlan::convert(DatumTransformation& datum, double& north, double& east) const {
    double c1 = north;
    double c2 = east;
    if (!std::isfinite(c1) || !std::isfinite(c2)) return Status::NotConverted;
    if (geographicSource_) {
        // As the engine reads decimal degrees.
        c1 = c1 / kDegreesPerRadian;
        c2 = c2 / kDegreesPerRadian;
    }

    const DatumStatus status = way_ == Way::BetweenDatums
                                   ? convertPointNumbers(settings_, datum, c1, c2, c1, c2)
                                   : convertWithinDatum(c1, c2);
    if (status == DatumStatus::OutsideArea) return Status::NotConverted;
    if (way_ == Way::Identity) return Status::InsideNetwork;  // the point as it was

    if (kkjZone0_) ykjIntoKkjZone(c1, c2, 0, c1, c2);
    if (geographicResult_) {
        c1 = c1 * kDegreesPerRadian;
        c2 = c2 * kDegreesPerRadian;
    }
    if (!std::isfinite(c1) || !std::isfinite(c2)) return Status::NotConverted;
    north = c1;
    east = c2;
    return status == DatumStatus::OutsideNetwork ? Status::OutsideNetwork : Status::InsideNetwork;
}

}  // namespace lomitra
