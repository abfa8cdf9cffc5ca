// The conversion of points between one pair of systems.
//
// The settings positions of a pair between the datums (as the settings window
// and lomitra-batch choose them): direction 0 EUREF-FIN -> KKJ, 1 KKJ ->
// EUREF-FIN; source and result kind 0 plane, 1 geographic; EUREF-FIN zone
// positions 0 ETRS-TM34, 1 ETRS-TM35FIN (or ETRS-GKn, by the east value's
// zone prefix), 2 ETRS-TM36, 3..16 ETRS-GK19..GK32 (results); KKJ result
// zone positions 0 the point's own zone, 1..5 that zone. The engine reads the
// source zone of an ETRS-GKn or KKJ point from its east value's prefix, so a
// source of a named zone is first held to that prefix. KKJ zone 0 as a
// target is YKJ re-projected into zone 0, by the formulas of the own zone.
#include "core/pair_conversion.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "core/point_conversion.h"
#include "core/texts.h"
#include "geodesy/ellipsoid.h"

namespace lomitra {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The zone position of an ETRS89 plane system (source or result).
int32_t eurefZonePosition(const CrsSystem& system) {
    switch (system.projection) {
        case Projection::Tm34: return 0;
        case Projection::Tm36: return 2;
        case Projection::EtrsGk: return system.zone - 16;
        default: return 1;  // ETRS-TM35FIN
    }
}

// The KKJ result zone position: the zone (3 for zone 0, re-projected after),
// or 0 for the own zone.
int32_t kkjZonePosition(const CrsSystem& system) {
    if (system.projection != Projection::KkjZone) return 0;
    return system.zone == 0 ? 3 : system.zone;
}

}  // namespace

TransformerPlan::TransformerPlan(const Crs& source, const Crs& target) {
    const CrsSystem& s = CrsTable::systemOf(source);
    const CrsSystem& t = CrsTable::systemOf(target);
    if (s.projection == Projection::KkjOwnZone) {
        throw std::invalid_argument(std::string(s.name).append(texts::kTargetOnly));
    }
    geographicSource_ = s.projection == Projection::Geographic;
    geographicResult_ = t.projection == Projection::Geographic;
    lowestPrefix_ = -kInfinity;
    highestPrefix_ = kInfinity;
    if (s.projection == Projection::Tm35fin) {
        highestPrefix_ = 10.0;  // above it the engine would read ETRS-GKn
    } else if (s.projection == Projection::EtrsGk || s.projection == Projection::KkjZone) {
        lowestPrefix_ = highestPrefix_ = s.zone;
    }

    const bool kkjSource = s.datum == Datum::Kkj;
    const bool kkjResult = t.datum == Datum::Kkj;
    settings_.direction = kkjSource ? 1 : 0;
    settings_.sourceKind = geographicSource_ ? 1 : 0;
    settings_.sourceZone = kkjSource ? 0 : eurefZonePosition(s);
    settings_.resultKind = geographicResult_ ? 1 : 0;
    settings_.resultZone = kkjResult ? kkjZonePosition(t) : eurefZonePosition(t);
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
    } else {
        const double prefix = std::floor(c2 / 1000000.0);
        if (!(prefix >= lowestPrefix_ && prefix <= highestPrefix_)) return Status::NotConverted;
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
