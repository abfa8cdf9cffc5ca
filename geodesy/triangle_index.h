// An index of the network triangles in one work plane, for the triangle search
// of the JHS 154 transformation.
//
// The search takes, among the triangles that contain a point, the first in
// cyclic order from a start triangle (the one used last). A triangle contains
// the point when its three edge values
//   d1 = (yB - yA)(x - xA) - (xB - xA)(y - yA)   (edge A to B)
//   d2 = (yC - yB)(x - xB) - (xC - xB)(y - yB)   (edge B to C)
//   d3 = (yA - yC)(x - xC) - (xA - xC)(y - yC)   (edge C to A)
// are all >= 0 or all <= 0 (both orientations occur in the table; a point on
// an edge or a vertex belongs to every triangle that has it). x is north, y
// east, metres.
//
// The index answers exactly as testing every triangle in that cyclic order
// would, ties included: it only leaves out triangles that cannot contain the
// point. The plane is cut into square cells; a cell lists, in ascending
// order, the triangles whose padded bounding box meets it. The padding covers
// the rounding of the edge values: evaluated in doubles, they can accept a
// point just outside a triangle, but never farther out than
//   r = g diam / (sin(alpha/2) - g),   g = 8 DBL_EPSILON sqrt(2),
// where diam is the longest edge and alpha the smallest angle (each computed
// edge value is within g |edge| |point - vertex| of the exact one). The pad
// is r plus 1 mm, which also covers the rounding of the cell arithmetic.
// A triangle for which that bound does not hold (zero or nearly zero area,
// a sliver, non-finite corners, or one so thin that rounding could accept
// points within 1e8 m on its inner side) is listed in every cell and
// tested for points outside the grid as well. The built-in network has none.
#pragma once

#include <cstdint>
#include <vector>

#include "geodesy/triangulation_network.h"

namespace lomitra {

class TriangleIndex {
public:
    // Indexes triangles 1..network.triangleCount() in the plane of the point
    // table columns northColumn (x) and eastColumn (y): 1, 2 for KKJ zone 3,
    // 3, 4 for ETRS-TM35FIN.
    void build(const TriangulationNetwork& network, int northColumn, int eastColumn);

    // Whether triangle `number` (1..triangleCount) contains (x, y) by the
    // edge values above, on the same doubles as the point table holds.
    bool contains(int32_t number, double x, double y) const {
        const Corners& c = corners_[static_cast<std::size_t>(number - 1)];
        const double d1 = edgeValue(c.xA, c.yA, c.xB, c.yB, x, y);
        const double d2 = edgeValue(c.xB, c.yB, c.xC, c.yC, x, y);
        const double d3 = edgeValue(c.xC, c.yC, c.xA, c.yA, x, y);
        // & and | rather than && and ||: the same answer, without branches.
        return ((d1 >= 0) & (d2 >= 0) & (d3 >= 0)) | ((d1 <= 0) & (d2 <= 0) & (d3 <= 0));
    }

    // The first triangle containing (x, y) in the order start, start + 1, ...,
    // triangleCount, 1, ..., start - 1; 0 when none does. start: 1 ..
    // triangleCount + 1, which orders like 1.
    int32_t find(double x, double y, int32_t start) const;

    // Inspection, for tests and benchmarks.
    int32_t triangleCount() const { return static_cast<int32_t>(corners_.size()); }
    // The triangles that find tests for (x, y), in ascending order.
    std::vector<int32_t> candidates(double x, double y) const;
    // Triangles listed in every cell (see above).
    const std::vector<int32_t>& everywhere() const { return everywhere_; }

private:
    // Source work-plane corners of one triangle: A, B, C in the order of its row.
    struct Corners {
        double xA, yA, xB, yB, xC, yC;
    };

    // Edge value of point (x, y) against the edge from (x1, y1) to (x2, y2):
    // positive on one side, negative on the other, zero on the line.
    static double edgeValue(double x1, double y1, double x2, double y2, double x, double y) {
        return (y2 - y1) * (x - x1) - (x2 - x1) * (y - y1);
    }

    // The cell of (x, y), or -1 outside the grid (NaN included).
    int32_t cellOf(double x, double y) const;

    std::vector<Corners> corners_;  // triangle number - 1
    double north0_ = 0.0;           // south-west corner of the grid, metres
    double east0_ = 0.0;
    double cellSize_ = 1.0;         // side of a square cell, metres
    int32_t rows_ = 0;              // cells along north
    int32_t columns_ = 0;           // cells along east
    std::vector<int32_t> cellStart_;      // cell c lists cellTriangles_[cellStart_[c] .. cellStart_[c + 1])
    std::vector<int32_t> cellTriangles_;  // triangle numbers, ascending within a cell
    std::vector<int32_t> everywhere_;     // ascending
};

}  // namespace lomitra
