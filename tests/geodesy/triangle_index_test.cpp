// The indexed triangle search against the plain cyclic scan over every
// triangle: the same triangle (ties on shared edges and vertices included),
// the same status and the same result bits, whatever triangle the search
// starts from.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "geodesy/datum_transformation.h"
#include "geodesy/transverse_mercator.h"

namespace lomitra {
namespace {

struct Plane {
    double north = 0;
    double east = 0;
};

// The reference: test triangles start, start + 1, ..., triangleCount, 1, ...
// with the three edge values on the point table's own doubles; the first
// triangle whose values are all >= 0 or all <= 0 contains the point.
int32_t linearSearch(const TriangulationNetwork& net, int32_t direction, Plane p, int32_t start) {
    const int north = 2 * direction - 1;
    const int east = 2 * direction;
    auto edge = [&](int32_t from, int32_t to) {
        const double x1 = net.coordinate(from, north), y1 = net.coordinate(from, east);
        const double x2 = net.coordinate(to, north), y2 = net.coordinate(to, east);
        return (y2 - y1) * (p.north - x1) - (x2 - x1) * (p.east - y1);
    };
    const int32_t count = net.triangleCount();
    int32_t j = start > 0 ? start : 1;
    for (int32_t tested = 0; tested < count; ++tested) {
        const NetworkTriangle& t = net.triangle(j);
        const double d1 = edge(t.first, t.second);
        const double d2 = edge(t.second, t.third);
        const double d3 = edge(t.third, t.first);
        if ((d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0)) return j;
        j = j < count ? j + 1 : 1;
    }
    return 0;
}

// Every triangle containing the point, by the reference's edge values.
std::vector<int32_t> containingTriangles(const TriangulationNetwork& net, int32_t direction, Plane p) {
    std::vector<int32_t> all;
    int32_t j = 0;
    while ((j = linearSearch(net, direction, p, j + 1)) > (all.empty() ? 0 : all.back())) {
        all.push_back(j);
        if (j == net.triangleCount()) break;
    }
    return all;
}

class TriangleIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        datum = std::make_unique<DatumTransformation>();
        double r1 = 0, r2 = 0;
        datum->transformDatum(0, 0, 0, 0, 0, r1, r2);  // loads the network
        // A first point in each direction builds its index.
        datum->transformDatum(kKkjToEuref, 0, 0, 6700000.0, 3400000.0, r1, r2);
        datum->transformDatum(kEurefToKkj, 0, 3, 6700000.0, 400000.0, r1, r2);
    }

    const TriangulationNetwork& net() const { return datum->network(); }

    // The plane source of `direction`: YKJ for 1, ETRS-TM35FIN for 2.
    // resultCode 3: the target work plane itself.
    // A YKJ point east of 3 000 000 m would read as zone 2: such a point is
    // given in zone 2 (it comes back into YKJ to micrometres).
    DatumStatus transform(DatumTransformation& d, int32_t direction, Plane p, Plane& result) {
        if (direction == kKkjToEuref && p.east < 3000000.0) {
            const Ellipsoid& hayford = d.ellipsoids().at(kHayford);
            double latitude = 0, l = 0;
            tmInverse(hayford, p.north, p.east - 3500000.0, latitude, l);
            tmForward(hayford, latitude, l + 3.0 / kDegreesPerRadian, p.north, p.east);
            p.east += 2500000.0;
        }
        return d.transformDatum(direction, 0, 3, p.north, p.east, result.north, result.east);
    }

    // Runs `points` through transformDatum in order and checks each against
    // the reference scan from the triangle the datum used before it: the triangle,
    // the status, and the result bits, which must equal those of a fresh
    // transformation whose search starts in the expected triangle.
    void expectLikeLinearSearch(int32_t direction, const std::vector<Plane>& points) {
        int mismatches = 0;
        for (const Plane& p : points) {
            const int32_t start = datum->lastDirection() == direction ? datum->lastTriangle() : 0;
            Plane result;
            const DatumStatus status = transform(*datum, direction, p, result);
            // The point as the search saw it: a YKJ east below 3 000 000 is
            // zone 2 to the transformation and comes back re-projected.
            const SheetPoint& seen = datum->sheetPoint();
            const Plane searched = direction == kKkjToEuref ? Plane{seen.kkjP, seen.kkjI}
                                                            : Plane{seen.eurefN, seen.eurefE};
            const int32_t expected = linearSearch(net(), direction, searched, start);

            Plane referenceResult;
            const DatumStatus referenceStatus = referenceTransform(direction, p, expected, referenceResult);
            const bool same = datum->lastTriangle() == expected && status == referenceStatus &&
                              status == (expected != 0 ? DatumStatus::InsideNetwork
                                                       : DatumStatus::OutsideNetwork) &&
                              std::bit_cast<uint64_t>(result.north) == std::bit_cast<uint64_t>(referenceResult.north) &&
                              std::bit_cast<uint64_t>(result.east) == std::bit_cast<uint64_t>(referenceResult.east);
            if (!same && ++mismatches <= 5) {
                ADD_FAILURE() << "direction " << direction << ", point " << p.north << " " << p.east
                              << ", start " << start << ": triangle " << datum->lastTriangle()
                              << " (scan " << expected << "), status " << static_cast<int>(status);
            }
        }
        EXPECT_EQ(mismatches, 0);
    }

    // The result of the transformation with triangle `triangle` (0: outside):
    // a transformation whose cache holds that triangle tests it first.
    DatumStatus referenceTransform(int32_t direction, Plane p, int32_t triangle, Plane& result) {
        DatumTransformation& ref = *reference;
        if (triangle != 0 && !(ref.lastDirection() == direction && ref.lastTriangle() == triangle)) {
            Plane ignored;
            transform(ref, direction, centroid(direction, triangle), ignored);
            EXPECT_EQ(ref.lastTriangle(), triangle) << "centre of " << triangle << " direction " << direction;
        }
        return transform(ref, direction, p, result);
    }

    Plane vertex(int32_t direction, int32_t number) const {
        return {net().coordinate(number, 2 * direction - 1), net().coordinate(number, 2 * direction)};
    }

    Plane centroid(int32_t direction, int32_t j) const {
        const NetworkTriangle& t = net().triangle(j);
        const Plane a = vertex(direction, t.first), b = vertex(direction, t.second),
                    c = vertex(direction, t.third);
        return {(a.north + b.north + c.north) / 3.0, (a.east + b.east + c.east) / 3.0};
    }

    // Vertices, edge midpoints and centres of every triangle.
    std::vector<Plane> networkPoints(int32_t direction) const {
        std::vector<Plane> points;
        for (int32_t j = 1; j <= net().triangleCount(); ++j) {
            const NetworkTriangle& t = net().triangle(j);
            const Plane v[3] = {vertex(direction, t.first), vertex(direction, t.second),
                                vertex(direction, t.third)};
            for (int k = 0; k < 3; ++k) {
                const Plane& a = v[k];
                const Plane& b = v[(k + 1) % 3];
                points.push_back(a);
                points.push_back({(a.north + b.north) / 2.0, (a.east + b.east) / 2.0});
            }
            points.push_back(centroid(direction, j));
        }
        return points;
    }

    // Edges that belong to one triangle only: the outer boundary of the network.
    std::vector<std::pair<int32_t, int32_t>> outerEdges() const {
        std::map<std::pair<int32_t, int32_t>, int> uses;
        for (int32_t j = 1; j <= net().triangleCount(); ++j) {
            const NetworkTriangle& t = net().triangle(j);
            const int32_t v[3] = {t.first, t.second, t.third};
            for (int k = 0; k < 3; ++k) ++uses[std::minmax(v[k], v[(k + 1) % 3])];
        }
        std::vector<std::pair<int32_t, int32_t>> outer;
        for (const auto& [edge, count] : uses) {
            if (count == 1) outer.push_back(edge);
        }
        return outer;
    }

    std::unique_ptr<DatumTransformation> datum;
    std::unique_ptr<DatumTransformation> reference = std::make_unique<DatumTransformation>();
};

TEST_F(TriangleIndexTest, VerticesEdgeMidpointsAndCentresInShuffledOrders) {
    std::mt19937_64 random(154);
    for (const int32_t direction : {kKkjToEuref, kEurefToKkj}) {
        std::vector<Plane> points = networkPoints(direction);
        ASSERT_EQ(points.size(), 7u * 1450u);
        for (int order = 0; order < 4; ++order) {
            SCOPED_TRACE("direction " + std::to_string(direction) + ", order " + std::to_string(order));
            std::shuffle(points.begin(), points.end(), random);
            expectLikeLinearSearch(direction, points);
        }
    }
}

TEST_F(TriangleIndexTest, RandomPointsInAndAroundTheNetwork) {
    std::mt19937_64 random(1154);
    for (const int32_t direction : {kKkjToEuref, kEurefToKkj}) {
        SCOPED_TRACE("direction " + std::to_string(direction));
        // The network's extent in the source plane, widened by 50 km on every side.
        Plane low{1e300, 1e300}, high{-1e300, -1e300};
        for (int32_t j = 1; j <= net().triangleCount(); ++j) {
            const Plane c = centroid(direction, j);
            low = {std::min(low.north, c.north), std::min(low.east, c.east)};
            high = {std::max(high.north, c.north), std::max(high.east, c.east)};
        }
        std::uniform_real_distribution<double> north(low.north - 50000.0, high.north + 50000.0);
        std::uniform_real_distribution<double> east(low.east - 50000.0, high.east + 50000.0);
        std::vector<Plane> points(50000);
        for (Plane& p : points) p = {north(random), east(random)};
        expectLikeLinearSearch(direction, points);

        // Every containing triangle is among the candidates of the point's cell.
        const TriangleIndex& index = datum->triangleIndex(direction);
        int inside = 0;
        for (std::size_t i = 0; i < points.size(); i += 10) {
            const std::vector<int32_t> candidates = index.candidates(points[i].north, points[i].east);
            for (const int32_t j : containingTriangles(net(), direction, points[i])) {
                ++inside;
                EXPECT_TRUE(std::binary_search(candidates.begin(), candidates.end(), j))
                    << "triangle " << j << " missing at " << points[i].north << " " << points[i].east;
            }
        }
        EXPECT_GT(inside, 1000);  // the draw does reach the triangles
    }
}

TEST_F(TriangleIndexTest, JustOutsideAndInsideTheOuterEdgesAndAtSea) {
    const auto outer = outerEdges();
    ASSERT_GT(outer.size(), 50u);
    for (const int32_t direction : {kKkjToEuref, kEurefToKkj}) {
        SCOPED_TRACE("direction " + std::to_string(direction));
        std::vector<Plane> points;
        for (const auto& [from, to] : outer) {
            const Plane a = vertex(direction, from), b = vertex(direction, to);
            const double length = std::hypot(b.north - a.north, b.east - a.east);
            // Unit normal of the edge, and its direction.
            const Plane normal{-(b.east - a.east) / length, (b.north - a.north) / length};
            const Plane along{(b.north - a.north) / length, (b.east - a.east) / length};
            // Across the edge at a quarter, the middle and three quarters, on
            // both sides, from a nanometre to a kilometre off; and beyond its
            // ends along the line of the edge.
            for (const double t : {0.25, 0.5, 0.75}) {
                const Plane on{a.north + t * (b.north - a.north), a.east + t * (b.east - a.east)};
                for (const double offset : {0.0, 1e-9, -1e-9, 1e-6, -1e-6, 1e-3, -1e-3, 1.0, -1.0, 1000.0, -1000.0}) {
                    points.push_back({on.north + offset * normal.north, on.east + offset * normal.east});
                }
            }
            for (const double beyond : {1e-9, 1e-6, 1e-3, 1.0, 1000.0}) {
                points.push_back({b.north + beyond * along.north, b.east + beyond * along.east});
                points.push_back({a.north - beyond * along.north, a.east - beyond * along.east});
            }
        }
        // At sea: the Gulf of Finland and the Baltic south-west of the network.
        const double seaEast0 = direction == kKkjToEuref ? 3000000.0 : 0.0;
        for (int i = 0; i < 400; ++i) {
            points.push_back({6050000.0 + 500.0 * i, seaEast0 + 150000.0 + 1000.0 * (i % 300)});
        }
        expectLikeLinearSearch(direction, points);
    }
}

TEST_F(TriangleIndexTest, GridHoldsFewCandidatesAndNoTriangleEverywhere) {
    for (const int32_t direction : {kKkjToEuref, kEurefToKkj}) {
        const TriangleIndex& index = datum->triangleIndex(direction);
        EXPECT_EQ(index.triangleCount(), 1450);
        // No built-in triangle is so thin that its rounding cannot be bounded.
        EXPECT_TRUE(index.everywhere().empty());
        // The centres of the triangles find few candidates on average.
        std::size_t total = 0;
        for (int32_t j = 1; j <= 1450; ++j) {
            const Plane c = centroid(direction, j);
            const std::vector<int32_t> candidates = index.candidates(c.north, c.east);
            EXPECT_TRUE(std::is_sorted(candidates.begin(), candidates.end()));
            EXPECT_TRUE(std::binary_search(candidates.begin(), candidates.end(), j));
            total += candidates.size();
        }
        EXPECT_LT(static_cast<double>(total) / 1450.0, 16.0) << "direction " << direction;
    }
}

// A fresh object given another's triangle cache transforms the next point to
// the same triangle and the same bits, ties on vertices and edges included;
// a cache naming no usable triangle restores as an empty one.
TEST_F(TriangleIndexTest, RestoredCacheTransformsLikeTheOriginal) {
    std::mt19937_64 random(2154);
    for (const int32_t direction : {kKkjToEuref, kEurefToKkj}) {
        SCOPED_TRACE("direction " + std::to_string(direction));
        std::vector<Plane> points = networkPoints(direction);
        std::shuffle(points.begin(), points.end(), random);
        points.resize(3000);
        int differing = 0;
        DatumTransformation copy;  // its own cache overwritten before every point
        for (const Plane& p : points) {
            copy.restoreTriangleCache(datum->triangleCache());
            Plane original, restored;
            const DatumStatus status = transform(*datum, direction, p, original);
            const bool same = transform(copy, direction, p, restored) == status &&
                              copy.triangleCache() == datum->triangleCache() &&
                              std::bit_cast<uint64_t>(original.north) == std::bit_cast<uint64_t>(restored.north) &&
                              std::bit_cast<uint64_t>(original.east) == std::bit_cast<uint64_t>(restored.east);
            differing += same ? 0 : 1;
        }
        EXPECT_EQ(differing, 0);
    }
    const int32_t count = net().triangleCount();
    for (const TriangleCache& unusable : {TriangleCache{kEurefToKkj, 0}, TriangleCache{kEurefToKkj, -3},
                                          TriangleCache{kEurefToKkj, count + 1}, TriangleCache{7, 12}}) {
        DatumTransformation d;
        d.restoreTriangleCache(unusable);
        EXPECT_EQ(d.lastTriangle(), 0) << unusable.direction << " " << unusable.triangle;
    }
}

}  // namespace
}  // namespace lomitra
