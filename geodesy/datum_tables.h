// The fixed tables of the JHS 154 datum transformation: the triangulation
// network parsed from its built-in rows, and for each direction the triangle
// index of its source work plane and the affine parameters of every triangle.
//
// Nothing in them changes once they are built, so one copy serves every
// DatumTransformation of the process, on any thread. They are built at the
// first transformation of the process (a function-local static: safe when
// threads start at once); each DatumTransformation keeps only its own
// triangle cache, affine parameters and sheetPoint.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "geodesy/triangle_index.h"
#include "geodesy/triangulation_network.h"

namespace lomitra {

// X = a0 + a1 x + a2 y, Y = b0 + b1 x + b2 y; (x, y) source work plane, (X, Y) target.
struct AffineParameters {
    double a0 = 0, a1 = 0, a2 = 0;
    double b0 = 0, b1 = 0, b2 = 0;
};

class DatumTables {
public:
    // The one copy of the process, built at the first call.
    static const DatumTables& shared();

    DatumTables(const DatumTables&) = delete;
    DatumTables& operator=(const DatumTables&) = delete;

    const TriangulationNetwork& network() const { return network_; }

    // The triangle index of the source work plane of directionCode 1 (KKJ
    // zone 3) or 2 (ETRS-TM35FIN).
    const TriangleIndex& triangleIndex(int32_t directionCode) const {
        return indexes_[static_cast<std::size_t>(directionCode - 1)];
    }

    // The affine parameters of triangle 1..triangleCount for directionCode 1
    // or 2; nullptr for a triangle that has none (zero area or zero north
    // extent; the built-in network has no such triangle).
    const AffineParameters* affineParameters(int32_t directionCode, int32_t triangle) const {
        const AffineEntry& entry =
            affine_[static_cast<std::size_t>(directionCode - 1)][static_cast<std::size_t>(triangle - 1)];
        return entry.valid ? &entry.parameters : nullptr;
    }

private:
    DatumTables();

    struct AffineEntry {
        AffineParameters parameters;
        bool valid = false;
    };

    TriangulationNetwork network_;
    std::array<TriangleIndex, 2> indexes_;  // by directionCode - 1
    std::array<std::vector<AffineEntry>, 2> affine_;  // by directionCode - 1, triangle - 1
};

}  // namespace lomitra
