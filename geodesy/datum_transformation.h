// KKJ <-> EUREF-FIN datum transformation of JHS 154.
//
// Inside the triangulation network: the affine transformation of the triangle
// that contains the point. Outside it, within the accepted area: the
// three-dimensional similarity (Helmert) transformation, each direction with
// its own published constants. The transformation works between the two work
// planes KKJ zone 3 (YKJ) and ETRS-TM35FIN.
//
// One object holds the whole module state of a run: the ellipsoid table, the
// network tables, the one-entry triangle cache and sheetPoint.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

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

// X = a0 + a1 x + a2 y, Y = b0 + b1 x + b2 y; (x, y) source work plane, (X, Y) target.
struct AffineParameters {
    double a0 = 0, a1 = 0, a2 = 0;
    double b0 = 0, b1 = 0, b2 = 0;
};

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

    // The ellipsoid table; the settings window sets it up at start-up so
    // that the engine's own projections work before the first transformation.
    EllipsoidTable& ellipsoids() { return ellipsoids_; }
    const EllipsoidTable& ellipsoids() const { return ellipsoids_; }

    // Inspection of the module state.
    bool networkLoaded() const { return networkLoaded_; }
    const TriangulationNetwork& network() const { return network_; }
    // The triangle index of the source work plane of directionCode 1 or 2;
    // built at the first transformation in that direction (empty before).
    const TriangleIndex& triangleIndex(int32_t directionCode) const {
        return indexes_[static_cast<std::size_t>(directionCode - 1)];
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
    // Fills affine_ for lastTriangle_ and lastDirection_; false for a
    // degenerate triangle, which then counts as not containing the point.
    // The parameters come from a table computed by the same formulas at the
    // first use of the direction, so that a file in random order does not
    // recompute them.
    bool computeAffineParameters();
    void tabulateAffineParameters(int32_t directionCode);
    // The network tables and ellipsoids at the first use, with an empty cache.
    void loadOnFirstUse();
    // The triangle index and affine table of directionCode at its first use.
    void prepareDirection(int32_t directionCode);

    struct AffineEntry {
        AffineParameters parameters;
        bool valid = false;  // false for a degenerate triangle
    };

    EllipsoidTable ellipsoids_;
    TriangulationNetwork network_;
    std::array<TriangleIndex, 2> indexes_;  // by directionCode - 1: KKJ zone 3, ETRS-TM35FIN
    std::array<bool, 2> directionReady_{};  // index and affine table built
    bool networkLoaded_ = false;
    int32_t lastDirection_ = 0;
    int32_t lastTriangle_ = 0;
    AffineParameters affine_;
    std::array<std::vector<AffineEntry>, 2> affineTable_;  // by directionCode - 1, triangle - 1
    SheetPoint sheetPoint_;
};

}  // namespace lomitra
