// The fixed tables of the JHS 154 transformation, built once per process.
//
// The affine parameters of a triangle (JHS 154), for the direction whose
// source work-plane coordinates of the network points are columns 2d - 1, 2d
// and target ones 5 - 2d, 6 - 2d:
//   edges 1 (A to B) and 2 (B to C), start minus end: dx, dy source, dX, dY target;
//   D = dy1 dx2 - dy2 dx1; a2 = (dX1 dx2 - dX2 dx1) / D; b2 = (dY1 dx2 - dY2 dx1) / D;
//   a1, b1 by the edge of the larger |dx| (a tie takes edge 2):
//     a1 = (dX - dy a2) / dx, b1 = (dY - dy b2) / dx;
//   a0 = XA - xA a1 - yA a2, b0 = YA - xA b1 - yA b2.
// With them each vertex maps onto its own target coordinates (to rounding),
// so the transformation is continuous across the network and its two
// directions invert each other inside it.
#include "geodesy/datum_tables.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lomitra {

namespace {

// False for a triangle of zero area or zero north extent, which has no
// affine transformation (it then counts as not containing the point).
bool affineParametersOf(const TriangulationNetwork& net, int32_t direction, int32_t triangle,
                        AffineParameters& parameters) {
    const NetworkTriangle& t = net.triangle(triangle);
    const int sx = 2 * direction - 1;
    const int sy = 2 * direction;
    const int tx = 5 - 2 * direction;
    const int ty = 6 - 2 * direction;

    const double dx1 = net.coordinate(t.first, sx) - net.coordinate(t.second, sx);
    const double dy1 = net.coordinate(t.first, sy) - net.coordinate(t.second, sy);
    const double dX1 = net.coordinate(t.first, tx) - net.coordinate(t.second, tx);
    const double dY1 = net.coordinate(t.first, ty) - net.coordinate(t.second, ty);
    const double dx2 = net.coordinate(t.second, sx) - net.coordinate(t.third, sx);
    const double dy2 = net.coordinate(t.second, sy) - net.coordinate(t.third, sy);
    const double dX2 = net.coordinate(t.second, tx) - net.coordinate(t.third, tx);
    const double dY2 = net.coordinate(t.second, ty) - net.coordinate(t.third, ty);

    const double D = dy1 * dx2 - dy2 * dx1;
    if (D == 0.0 || (dx1 == 0.0 && dx2 == 0.0)) return false;

    AffineParameters p;
    p.a2 = (dX1 * dx2 - dX2 * dx1) / D;
    p.b2 = (dY1 * dx2 - dY2 * dx1) / D;
    if (std::fabs(dx2) >= std::fabs(dx1)) {
        p.a1 = (dX2 - dy2 * p.a2) / dx2;
        p.b1 = (dY2 - dy2 * p.b2) / dx2;
    } else {
        p.a1 = (dX1 - dy1 * p.a2) / dx1;
        p.b1 = (dY1 - dy1 * p.b2) / dx1;
    }
    const double xA = net.coordinate(t.first, sx);
    const double yA = net.coordinate(t.first, sy);
    p.a0 = net.coordinate(t.first, tx) - xA * p.a1 - yA * p.a2;
    p.b0 = net.coordinate(t.first, ty) - xA * p.b1 - yA * p.b2;
    parameters = p;
    return true;
}

}  // namespace

const DatumTables& DatumTables::shared() {
    static const DatumTables tables;
    return tables;
}

DatumTables::DatumTables() {
    network_.loadNetworkPoints();
    network_.loadNetworkTriangles();
    const auto count = static_cast<std::size_t>(std::max<int32_t>(network_.triangleCount(), 0));
    for (const int32_t direction : {1, 2}) {
        const auto d = static_cast<std::size_t>(direction - 1);
        indexes_[d].build(network_, 2 * direction - 1, 2 * direction);
        affine_[d].assign(count, AffineEntry{});
        for (std::size_t j = 1; j <= count; ++j) {
            AffineEntry& entry = affine_[d][j - 1];
            entry.valid = affineParametersOf(network_, direction, static_cast<int32_t>(j), entry.parameters);
        }
    }
}

}  // namespace lomitra
