// The points of an array converted in place, in order, on one thread or on
// several, to the same bits either way.
//
// With several threads the array is cut into runs, one per thread, each
// converted from an empty triangle cache. A point depends on the points
// before it only through that cache (a point on an edge or vertex shared by
// triangles takes the cached triangle), and the cache after a point that lies
// in one triangle or in none is the same whatever it was before. So each
// worker keeps the inputs of its first points up to the first such point,
// with its cache before each. Afterwards, in order, the calling thread takes
// the cache that the run before really ended with and converts those first
// points again from it, until the two caches agree: from there on the run is
// exactly the sequence's own. Workers compute in the calling thread's
// floating-point environment.
#pragma once

#include <cstddef>

#include "core/pair_conversion.h"

namespace lomitra {

// Point i: north at byte offset i * northStride from `north`, east at
// i * eastStride from `east`; status, if not null, one byte per point.
struct PointArray {
    unsigned char* north = nullptr;
    std::size_t northStride = 0;
    unsigned char* east = nullptr;
    std::size_t eastStride = 0;
    unsigned char* status = nullptr;
};

// Converts points [0, count) of `points` by `plan`, with `threads` workers
// (the calling thread among them; fewer where there are fewer points, or
// where the system refuses a thread); returns the number converted.
std::size_t convertPoints(const TransformerPlan& plan, const PointArray& points, std::size_t count,
                          int threads);

}  // namespace lomitra
