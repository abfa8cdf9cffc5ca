// The JHS 154 triangulation network: 767 common points known in both KKJ and
// EUREF-FIN, and the 1450 triangles between them.
//
// The network is built in as fixed-column text rows (network_rows.cpp,
// generated from the published JHS 154 lists by tools/generate_network_rows.py)
// and parsed once into the tables below.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace lomitra {

struct NetworkPoint {
    double kkjP = 0;    // KKJ zone 3 (YKJ) north, metres
    double kkjI = 0;    // KKJ zone 3 east, metres, incl. false easting 3 500 000
    double eurefN = 0;  // ETRS-TM35FIN north, metres
    double eurefE = 0;  // ETRS-TM35FIN east, metres, incl. false easting 500 000
};

struct NetworkTriangle {
    int32_t first = 0;   // point numbers of the vertices, in the order of the row
    int32_t second = 0;
    int32_t third = 0;
};

// The built-in rows (network_rows.cpp).
std::span<const std::string_view> networkPointRows();
std::span<const std::string_view> networkTriangleRows();

class TriangulationNetwork {
public:
    static constexpr int32_t kPointSlots = 1000;     // point numbers 1..1000
    static constexpr int32_t kTriangleSlots = 1800;  // triangle numbers 1..1800

    // Fills networkPoints from the 767 built-in point rows.
    void loadNetworkPoints();
    // Sets triangleCount to 1450 and fills networkTriangles from the built-in rows.
    void loadNetworkTriangles();

    // The accessors are inline: the triangle search calls them for every
    // vertex it tests.

    // number: 1..kPointSlots. Unused slots hold zeros; a number outside the
    // slots reads as an all-zero point.
    const NetworkPoint& point(int32_t number) const {
        if (number < 1 || number > kPointSlots) return kNoPoint;
        return points_[static_cast<std::size_t>(number - 1)];
    }
    // number: 1..kTriangleSlots. Slots past triangleCount are empty; a number
    // outside the slots reads as an empty triangle.
    const NetworkTriangle& triangle(int32_t number) const {
        if (number < 1 || number > kTriangleSlots) return kNoTriangle;
        return triangles_[static_cast<std::size_t>(number - 1)];
    }
    int32_t triangleCount() const { return triangleCount_; }

    // Column 1 kkjP, 2 kkjI, 3 eurefN, 4 eurefE of point `number`; 0 for any other column.
    double coordinate(int32_t number, int column) const {
        const NetworkPoint& p = point(number);
        switch (column) {
            case 1: return p.kkjP;
            case 2: return p.kkjI;
            case 3: return p.eurefN;
            case 4: return p.eurefE;
            default: return 0.0;  // only columns 1 to 4 exist
        }
    }

private:
    // Returned for numbers outside the tables, so that no read goes out of bounds.
    static constexpr NetworkPoint kNoPoint{};
    static constexpr NetworkTriangle kNoTriangle{};

    std::array<NetworkPoint, kPointSlots> points_{};
    std::array<NetworkTriangle, kTriangleSlots> triangles_{};
    int32_t triangleCount_ = 0;
};

}  // namespace lomitra
