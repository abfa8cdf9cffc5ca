// KKJ <-> EUREF-FIN datum transformation of JHS 154.
//
// Inside the triangulation network: the affine transformation of the triangle
// that contains the point. Outside it, within the accepted area: the
// three-dimensional similarity (Helmert) transformation, each direction with
// its own published constants. The transformation works between the two work
// planes KKJ zone 3 (YKJ) and ETRS-TM35FIN.
//
// The fixed tables (ellipsoids, network, triangle indexes, affine parameters)
// are built once per process and shared (datum_tables.h). One object holds
// only what a run of points changes: the one-entry triangle cache with its
// affine parameters, and sheetPoint. It is cheap to make, for one point or
// for every call; one object serves one thread at a time.
#pragma once

#include <cstdint>

#include "geodesy/datum_tables.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/triangle_index.h"
#include "geodesy/triangulation_network.h"

namespace lomitra {

enum class DatumStatus : int32_t {
    InsideNetwork = 0,    // affine transformation of a triangle
    OutsideNetwork = 1,   // similarity transformation
    BadDirection = 101,   // directionCode neither 1 nor 2
    OutsideArea = 102,    // source outside the accepted area
};

inline constexpr int32_t kKkjToEuref = 1;     // directionCode
inline constexpr int32_t kEurefToKkj = 2;
inline constexpr int32_t kGeographicCode = 9;  // sourceCode / resultCode: radians

// The point in both work planes, whichever was source and whichever result.
struct SheetPoint {
    double eurefN = 0;  // ETRS-TM35FIN north, metres
    double eurefE = 0;  // ETRS-TM35FIN east, metres
    double kkjP = 0;    // YKJ north, metres
    double kkjI = 0;    // YKJ east, metres
};

// The one-entry triangle cache: the direction of the last transformation and
// the triangle that held its point (0: none, or outside the network).
struct TriangleCache {
    int32_t direction = 0;
    int32_t triangle = 0;
    bool operator==(const TriangleCache&) const = default;
};

// The work plane of a datum: KKJ zone 3 (YKJ) for KKJ, ETRS-TM35FIN for EUREF-FIN.
enum class WorkPlane : int32_t { Ykj, Tm35fin };

// transformDatum's accepted area of a source (inclusive bounds; NaN fails):
// sourceCode 9 latitude [0.98, 1.26] and longitude [0.27, 0.64] radians;
// otherwise north [6 000 000, 8 000 000] m and east [400 000, 5 700 000] m
// for directionCode 1 (KKJ zones 0 to 5), [-200 000, 1 000 000] m for 2.
bool insideAcceptedArea(int32_t directionCode, int32_t sourceCode, double coordinate1,
                        double coordinate2);

// The ways into and out of the work planes that transformDatum takes, also
// for a conversion within one datum.
// A source of the datum of `plane` into it: latitude and longitude in
// radians (geographic), or plane metres: KKJ in any zone, read from the
// first digit of the east value; EUREF-FIN in ETRS-TM35FIN (unchanged).
void intoWorkPlane(WorkPlane plane, bool geographic, double coordinate1, double coordinate2,
                   double& x, double& y);
// (X, Y) of `plane` into the result that resultCode chooses (as for
// transformDatum, with `plane` the target work plane).
void outOfWorkPlane(WorkPlane plane, int32_t resultCode, double X, double Y, double& result1,
                    double& result2);

// A YKJ point (P, I) in KKJ zone `zone` (0 to 5), or for kOwnKkjZone in the
// zone whose central meridian lies within 1.5 deg of its longitude (the
// western boundary belonging to the zone to its east); the east value gets
// the zone prefix.
inline constexpr int32_t kOwnKkjZone = -1;
void ykjIntoKkjZone(double P, double I, int32_t zone, double& north, double& east);

class DatumTransformation {
public:
    // directionCode: 1 KKJ -> EUREF-FIN, 2 EUREF-FIN -> KKJ.
    // sourceCode: 9 latitude/longitude in radians, otherwise plane (metres).
    // resultCode: 9 radians; otherwise direction 1 ETRS-TM35FIN, direction 2 KKJ
    //   zone resultCode (1,2,4,5), zone 3 (3 and >= 6), own zone (<= 0).
    // result1, result2 written only for InsideNetwork and OutsideNetwork.
    DatumStatus transformDatum(int32_t directionCode, int32_t sourceCode, int32_t resultCode,
                               double coordinate1, double coordinate2,
                               double& result1, double& result2);

    const SheetPoint& sheetPoint() const { return sheetPoint_; }

    // The ellipsoid table, set up from the start (standardEllipsoids), so
    // that the engine's own projections work before the first transformation.
    const EllipsoidTable& ellipsoids() const { return standardEllipsoids(); }

    // Inspection of the module state. The network counts as loaded from this
    // object's first transformation (or restoreTriangleCache) on.
    bool networkLoaded() const { return tables_ != nullptr; }
    const TriangulationNetwork& network() const { return DatumTables::shared().network(); }
    // The triangle index of the source work plane of directionCode 1 or 2.
    const TriangleIndex& triangleIndex(int32_t directionCode) const {
        return DatumTables::shared().triangleIndex(directionCode);
    }
    int32_t lastDirection() const { return lastDirection_; }
    int32_t lastTriangle() const { return lastTriangle_; }

    // The triangle cache, the only state through which a transformation
    // depends on the ones before it (a point on an edge shared by two
    // triangles takes the cached one). Another object given this object's
    // cache transforms every following point exactly as this one would.
    TriangleCache triangleCache() const { return {lastDirection_, lastTriangle_}; }
    void restoreTriangleCache(const TriangleCache& cache);
    const AffineParameters& affineParameters() const { return affine_; }

    // Similarity transformation of (x, y) from the source work plane of
    // lastDirection to its target work plane.
    void helmertTransform(double x, double y, double& X, double& Y) const;

private:
    // Fills affine_ for lastTriangle_ and lastDirection_ from the shared
    // table; false for a degenerate triangle, which then counts as not
    // containing the point.
    bool computeAffineParameters();
    // The shared tables at the first use, with an empty cache.
    void loadOnFirstUse();

    const DatumTables* tables_ = nullptr;  // the shared tables once loaded
    int32_t lastDirection_ = 0;
    int32_t lastTriangle_ = 0;
    AffineParameters affine_;
    SheetPoint sheetPoint_;
};

}  // namespace lomitra
