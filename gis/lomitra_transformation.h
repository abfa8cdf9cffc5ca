// The library's transformation as OGR's coordinate transformation, so that
// OGR's own geometry code (OGRGeometry::transform) walks every vertex of
// every geometry type, curves' control points included, and hands them here
// in arrays.
//
// x is east (or the longitude) and y north (or the latitude): OGR's
// traditional GIS order, which the spatial references given here must have.
// z and t pass unchanged (the JHS 154 transformation is horizontal), and M
// values never reach a coordinate transformation.
//
// Every vertex's outcome is tallied: inside the network (the triangle's
// affine transformation), outside it (Helmert), not converted (left
// unchanged, its success flag false). The tally is the caller's to read and
// reset, per feature.
#pragma once

#include <cstdint>
#include <vector>

#include <gdal_version.h>
#include <ogr_spatialref.h>

#include "lomitra/lomitra.hpp"

namespace lomitra::gis {

struct VertexTally {
    int64_t inside = 0;        // Status::InsideNetwork
    int64_t outside = 0;       // Status::OutsideNetwork (Helmert)
    int64_t notConverted = 0;  // Status::NotConverted
    int64_t total() const { return inside + outside + notConverted; }
    VertexTally& operator+=(const VertexTally& other) {
        inside += other.inside;
        outside += other.outside;
        notConverted += other.notConverted;
        return *this;
    }
};

// The vertex count of OGR's Transform: int up to GDAL 3.8, size_t since.
#if GDAL_VERSION_NUM >= 3090000
using VertexCount = size_t;
#else
using VertexCount = int;
#endif

class LomitraTransformation final : public OGRCoordinateTransformation {
public:
    // source, target: the systems' definitions (traditional GIS order), which
    // GetSourceCS and GetTargetCS give to OGR.
    LomitraTransformation(const Crs& source, const Crs& target, const OGRSpatialReference& sourceReference,
                          const OGRSpatialReference& targetReference);

    OGRSpatialReference* GetSourceCS() override { return &sourceReference_; }
    OGRSpatialReference* GetTargetCS() override { return &targetReference_; }

    // Converts x[i], y[i] in place by the library's strided array call;
    // success[i] (if given) says whether vertex i was converted. True when
    // every vertex was.
    int Transform(VertexCount count, double* x, double* y, double* z, double* t, int* success) override;

    OGRCoordinateTransformation* Clone() const override;
    // The way back (nullptr where the target cannot be a source).
    OGRCoordinateTransformation* GetInverse() const override;

    const VertexTally& tally() const { return tally_; }
    void resetTally() { tally_ = {}; }

private:
    Transformer transformer_;
    OGRSpatialReference sourceReference_;
    OGRSpatialReference targetReference_;
    VertexTally tally_;
    std::vector<Status> statuses_;  // the last call's, reused
};

}  // namespace lomitra::gis
