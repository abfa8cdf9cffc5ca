// The conversion of points between one pair of systems: what the pair asks
// for (a plan, made once), and one point by it.
//
// Between the datums a point takes the numbers of the conversion engine
// (convertPointNumbers) with the settings positions that name the same pair,
// so that its results are those of lomitra-batch to the bit. Within one datum
// it goes into the datum's work plane and out again (intoWorkPlane,
// outOfWorkPlane, and the engine's re-projections of the ETRS89 zones),
// after the same area check as the datum transformation would make.
#pragma once

#include <cstdint>

#include "core/conversion_settings.h"
#include "core/crs.h"
#include "geodesy/datum_transformation.h"
#include "lomitra/lomitra.hpp"

namespace lomitra {

class TransformerPlan {
public:
    // Throws std::invalid_argument for a source that can only be a target.
    TransformerPlan(const Crs& source, const Crs& target);

    // Whether points depend on the ones before them through a datum's
    // triangle cache (pairs between the datums).
    bool usesDatum() const { return way_ == Way::BetweenDatums; }
    // The directionCode of the datum transformation (usesDatum() only).
    int32_t directionCode() const { return settings_.eurefToKkj() ? kEurefToKkj : kKkjToEuref; }

    // One point (units of lomitra.hpp) in place; `datum` carries the triangle
    // cache from point to point (and, between the datums, leaves the point's
    // sheetPoint). A point not converted is left unchanged.
    Status convert(DatumTransformation& datum, double& north, double& east) const;

private:
    enum class Way : signed char { Identity, WithinDatum, BetweenDatums };

    DatumStatus convertWithinDatum(double& c1, double& c2) const;

    Way way_ = Way::Identity;
    bool geographicSource_ = false;
    bool geographicResult_ = false;
    // pairSettings: between the datums the engine's settings of the pair
    // (direction, kinds, zones, the source's prefixes). Within one datum: the
    // source and result zone positions of a plane EUREF-FIN pair, or
    // resultZone the KKJ zone (0 the own), and the source's prefixes.
    ConversionSettings settings_;
    WorkPlane plane_ = WorkPlane::Tm35fin;  // within one datum
    int32_t resultCode_ = 0;                // within one datum: outOfWorkPlane's
    bool kkjZone0_ = false;                 // KKJ zone 0 as the target: YKJ re-projected
};

}  // namespace lomitra
