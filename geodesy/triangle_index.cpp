// Uniform grid over the network triangles of one work plane. See triangle_index.h
// for why the padded bounding boxes never leave out a triangle whose edge
// values accept a point.
#include "geodesy/triangle_index.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstddef>

namespace lomitra {

namespace {

// Bound on the rounding of one edge value, relative to |edge| |point - vertex|:
// the two products, three differences and the final difference each round by
// at most DBL_EPSILON / 2; 8 DBL_EPSILON leaves a margin of three.
const double kEdgeRounding = 8.0 * DBL_EPSILON * std::sqrt(2.0);
// Distance, metres, within which a thin triangle must not accept points on the
// wrong side of its inner edges. Every point of the accepted area lies far
// closer to every triangle.
constexpr double kReach = 1e8;
// Added to every pad; covers the rounding of the cell arithmetic.
constexpr double kPadMargin = 1e-3;
// Pads above this mark a triangle too thin to bound (it goes in every cell).
constexpr double kLargestPad = 1.0;
// Cell side as a fraction of the median longest triangle edge: small enough
// that a point has about four candidates, large enough to keep the grid small
// (some 17 000 cells for the built-in network).
constexpr double kCellPerEdge = 0.25;
// Never more cells than this, whatever the network.
constexpr double kMostCells = 1 << 20;

struct Extent {
    double north0, north1, east0, east1;
};

double length(double x1, double y1, double x2, double y2) {
    return std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
}

// sin(alpha / 2) of the angle at (x0, y0) between the edges to (x1, y1) and (x2, y2).
double sinHalfAngle(double x0, double y0, double x1, double y1, double x2, double y2) {
    const double l1 = length(x0, y0, x1, y1);
    const double l2 = length(x0, y0, x2, y2);
    const double cosAlpha = ((x1 - x0) * (x2 - x0) + (y1 - y0) * (y2 - y0)) / (l1 * l2);
    return std::sqrt(std::max(0.0, (1.0 - cosAlpha) / 2.0));
}

}  // namespace

void TriangleIndex::build(const TriangulationNetwork& network, int northColumn, int eastColumn) {
    const int32_t count = std::max<int32_t>(0, network.triangleCount());
    corners_.clear();
    corners_.reserve(static_cast<std::size_t>(count));
    everywhere_.clear();

    // Corners, padded bounding boxes, and which triangles need every cell.
    std::vector<Extent> boxes;
    std::vector<double> longestEdges;
    boxes.reserve(static_cast<std::size_t>(count));
    for (int32_t j = 1; j <= count; ++j) {
        const NetworkTriangle& t = network.triangle(j);
        const Corners c{network.coordinate(t.first, northColumn), network.coordinate(t.first, eastColumn),
                        network.coordinate(t.second, northColumn), network.coordinate(t.second, eastColumn),
                        network.coordinate(t.third, northColumn), network.coordinate(t.third, eastColumn)};
        corners_.push_back(c);

        const double ab = length(c.xA, c.yA, c.xB, c.yB);
        const double bc = length(c.xB, c.yB, c.xC, c.yC);
        const double ca = length(c.xC, c.yC, c.xA, c.yA);
        const double diameter = std::max({ab, bc, ca});
        const double doubleArea = std::fabs((c.xB - c.xA) * (c.yC - c.yA) - (c.xC - c.xA) * (c.yB - c.yA));
        const double sinHalf = std::min({sinHalfAngle(c.xA, c.yA, c.xB, c.yB, c.xC, c.yC),
                                         sinHalfAngle(c.xB, c.yB, c.xC, c.yC, c.xA, c.yA),
                                         sinHalfAngle(c.xC, c.yC, c.xA, c.yA, c.xB, c.yB)});
        const double pad = kEdgeRounding * diameter / (sinHalf - kEdgeRounding) + kPadMargin;
        // Written so that NaN fails: a triangle whose acceptance cannot be bounded.
        const bool bounded = sinHalf > 2.0 * kEdgeRounding && pad <= kLargestPad &&
                             doubleArea > kEdgeRounding * (ab + bc + ca) * (kReach + diameter);
        if (!bounded) {
            everywhere_.push_back(j);
            boxes.push_back({1.0, 0.0, 1.0, 0.0});  // empty: meets no cell of its own
            continue;
        }
        boxes.push_back({std::min({c.xA, c.xB, c.xC}) - pad, std::max({c.xA, c.xB, c.xC}) + pad,
                         std::min({c.yA, c.yB, c.yC}) - pad, std::max({c.yA, c.yB, c.yC}) + pad});
        longestEdges.push_back(diameter);
    }

    // The grid covers the padded boxes of the bounded triangles.
    rows_ = 0;
    columns_ = 0;
    cellStart_.assign(1, 0);
    cellTriangles_.clear();
    if (longestEdges.empty()) return;  // no bounded triangle: everything is tested everywhere
    constexpr double kInf = HUGE_VAL;
    Extent all{kInf, -kInf, kInf, -kInf};
    for (const Extent& b : boxes) {
        if (b.north0 > b.north1) continue;  // the empty box of an unbounded triangle
        all.north0 = std::min(all.north0, b.north0);
        all.north1 = std::max(all.north1, b.north1);
        all.east0 = std::min(all.east0, b.east0);
        all.east1 = std::max(all.east1, b.east1);
    }
    std::nth_element(longestEdges.begin(), longestEdges.begin() + longestEdges.size() / 2,
                     longestEdges.end());
    const double height = all.north1 - all.north0;
    const double width = all.east1 - all.east0;
    cellSize_ = std::max({kCellPerEdge * longestEdges[longestEdges.size() / 2],
                          std::sqrt(height * width / kMostCells), 1.0});
    north0_ = all.north0;
    east0_ = all.east0;
    rows_ = static_cast<int32_t>(std::floor(height / cellSize_)) + 1;
    columns_ = static_cast<int32_t>(std::floor(width / cellSize_)) + 1;

    // Count, then fill, the lists of the cells each padded box meets.
    const std::size_t cells = static_cast<std::size_t>(rows_) * static_cast<std::size_t>(columns_);
    std::vector<int32_t> counts(cells, 0);
    auto forEachCell = [&](const Extent& b, auto&& visit) {
        if (b.north0 > b.north1) return;
        const auto row0 = static_cast<int32_t>(std::floor((b.north0 - north0_) / cellSize_));
        const auto row1 = std::min(rows_ - 1, static_cast<int32_t>(std::floor((b.north1 - north0_) / cellSize_)));
        const auto column0 = static_cast<int32_t>(std::floor((b.east0 - east0_) / cellSize_));
        const auto column1 =
            std::min(columns_ - 1, static_cast<int32_t>(std::floor((b.east1 - east0_) / cellSize_)));
        for (int32_t r = std::max(0, row0); r <= row1; ++r) {
            for (int32_t k = std::max(0, column0); k <= column1; ++k) visit(static_cast<std::size_t>(r * columns_ + k));
        }
    };
    for (const Extent& b : boxes) forEachCell(b, [&](std::size_t cell) { ++counts[cell]; });
    const auto extra = static_cast<int32_t>(everywhere_.size());
    cellStart_.assign(cells + 1, 0);
    for (std::size_t cell = 0; cell < cells; ++cell) {
        cellStart_[cell + 1] = cellStart_[cell] + counts[cell] + extra;
    }
    cellTriangles_.assign(static_cast<std::size_t>(cellStart_[cells]), 0);
    std::vector<int32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
    for (int32_t j = 1; j <= count; ++j) {
        forEachCell(boxes[static_cast<std::size_t>(j - 1)],
                    [&](std::size_t cell) { cellTriangles_[static_cast<std::size_t>(fill[cell]++)] = j; });
    }
    // The unbounded triangles join every cell, keeping each list ascending.
    for (std::size_t cell = 0; cell < cells; ++cell) {
        const auto begin = cellTriangles_.begin() + cellStart_[cell];
        const auto middle = cellTriangles_.begin() + fill[cell];
        std::copy(everywhere_.begin(), everywhere_.end(), middle);
        std::inplace_merge(begin, middle, cellTriangles_.begin() + cellStart_[cell + 1]);
    }
}

int32_t TriangleIndex::cellOf(double x, double y) const {
    const double row = std::floor((x - north0_) / cellSize_);
    const double column = std::floor((y - east0_) / cellSize_);
    // Written so that NaN fails.
    if (!(row >= 0.0 && row < rows_ && column >= 0.0 && column < columns_)) return -1;
    return static_cast<int32_t>(row) * columns_ + static_cast<int32_t>(column);
}

int32_t TriangleIndex::find(double x, double y, int32_t start) const {
    const int32_t cell = cellOf(x, y);
    const int32_t* begin = nullptr;
    const int32_t* end = nullptr;
    if (cell >= 0) {
        begin = cellTriangles_.data() + cellStart_[static_cast<std::size_t>(cell)];
        end = cellTriangles_.data() + cellStart_[static_cast<std::size_t>(cell) + 1];
    } else {
        begin = everywhere_.data();
        end = begin + everywhere_.size();
    }
    const auto count = static_cast<std::size_t>(end - begin);
    if (count <= 64) {
        // Every candidate tested without branching on the answers (which of a
        // handful of triangles holds a random point is what a branch predictor
        // cannot guess): bit i of `inside` for begin[i], bit i of `below` where
        // begin[i] < start. The list ascends, so the first triangle in cyclic
        // order is the lowest bit of inside & ~below, or else of inside.
        uint64_t inside = 0;
        uint64_t below = 0;
        for (std::size_t i = 0; i < count; ++i) {
            inside |= static_cast<uint64_t>(contains(begin[i], x, y)) << i;
            below |= static_cast<uint64_t>(begin[i] < start) << i;
        }
        if (inside == 0) return 0;
        const uint64_t fromStart = inside & ~below;
        return begin[std::countr_zero(fromStart != 0 ? fromStart : inside)];
    }
    // Cyclic order from start: the listed numbers >= start, then those below it.
    const int32_t* split = begin;
    while (split != end && *split < start) ++split;
    for (const int32_t* p = split; p != end; ++p) {
        if (contains(*p, x, y)) return *p;
    }
    for (const int32_t* p = begin; p != split; ++p) {
        if (contains(*p, x, y)) return *p;
    }
    return 0;
}

std::vector<int32_t> TriangleIndex::candidates(double x, double y) const {
    const int32_t cell = cellOf(x, y);
    if (cell < 0) return everywhere_;
    return {cellTriangles_.begin() + cellStart_[static_cast<std::size_t>(cell)],
            cellTriangles_.begin() + cellStart_[static_cast<std::size_t>(cell) + 1]};
}

}  // namespace lomitra
