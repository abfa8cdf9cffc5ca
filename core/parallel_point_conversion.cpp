#include "core/parallel_point_conversion.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "core/floating_point_environment.h"

namespace lomitra {
namespace {

// One point of the array, read and written through its bytes (any alignment).
struct ArrayPoint {
    const PointArray& a;
    std::size_t i;

    double north() const { return load(a.north + i * a.northStride); }
    double east() const { return load(a.east + i * a.eastStride); }
    void set(double north, double east) const {
        std::memcpy(a.north + i * a.northStride, &north, sizeof north);
        std::memcpy(a.east + i * a.eastStride, &east, sizeof east);
    }
    void setStatus(Status status) const {
        if (a.status != nullptr) std::memcpy(a.status + i, &status, 1);
    }
    static double load(const unsigned char* bytes) {
        double value = 0.0;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
};

// Converts point i; true when it was converted.
bool convertOne(const TransformerPlan& plan, DatumTransformation& datum, const PointArray& a, std::size_t i,
                Status* outcome = nullptr) {
    const ArrayPoint p{a, i};
    double north = p.north();
    double east = p.east();
    const Status status = plan.convert(datum, north, east);
    if (status != Status::NotConverted) p.set(north, east);
    p.setStatus(status);
    if (outcome != nullptr) *outcome = status;
    return status != Status::NotConverted;
}

// Whether the cache after the point just converted is the same whatever it
// was before: the point lay in no triangle, or in one only (the search from
// the triangle after it comes round to it without finding another).
bool cacheSettled(const DatumTransformation& datum, int32_t directionCode) {
    const TriangleCache cache = datum.triangleCache();
    if (cache.triangle == 0) return true;
    const SheetPoint& p = datum.sheetPoint();
    const bool kkjSource = directionCode == kKkjToEuref;
    const double x = kkjSource ? p.kkjP : p.eurefN;
    const double y = kkjSource ? p.kkjI : p.eurefE;
    return datum.triangleIndex(directionCode).find(x, y, cache.triangle + 1) == cache.triangle;
}

// One run of the array on a worker.
struct Run {
    struct First {
        double north, east;        // the input
        TriangleCache cacheBefore;  // the worker's
        bool converted;             // by the worker
    };

    std::size_t begin = 0;
    std::size_t end = 0;
    std::vector<First> first;      // the points up to the first that settles the cache
    bool settled = false;          // the last of them did
    std::size_t stoppedAt = 0;     // where the worker stopped (end, or a point it could not keep)
    TriangleCache cacheAtStop;     // the worker's cache there
    std::size_t converted = 0;     // by the worker

    void convertWith(const TransformerPlan& plan, const PointArray& a) {
        DatumTransformation datum;
        const bool keepFirst = plan.usesDatum();
        std::size_t i = begin;
        for (; i < end; ++i) {
            if (keepFirst && !settled) {
                try {
                    first.push_back({ArrayPoint{a, i}.north(), ArrayPoint{a, i}.east(), datum.triangleCache(), false});
                } catch (const std::bad_alloc&) {
                    break;  // the calling thread converts the rest
                }
                Status status = Status::NotConverted;
                first.back().converted = convertOne(plan, datum, a, i, &status);
                converted += first.back().converted ? 1 : 0;
                settled = status != Status::NotConverted && cacheSettled(datum, plan.directionCode());
                continue;
            }
            converted += convertOne(plan, datum, a, i) ? 1 : 0;
        }
        stoppedAt = i;
        cacheAtStop = datum.triangleCache();
    }
};

std::size_t convertInOrder(const TransformerPlan& plan, DatumTransformation& datum, const PointArray& a,
                           std::size_t begin, std::size_t end) {
    std::size_t converted = 0;
    for (std::size_t i = begin; i < end; ++i) converted += convertOne(plan, datum, a, i) ? 1 : 0;
    return converted;
}

// Makes run's points those of the sequence whose datum is `sequence`, which
// holds the cache that the points before the run left; afterwards it holds
// the cache after the run. Returns the points of the run converted.
std::size_t joinSequence(const TransformerPlan& plan, DatumTransformation& sequence, const PointArray& a,
                         const Run& run) {
    std::size_t converted = run.converted;
    std::size_t k = 0;
    for (; k < run.first.size() && sequence.triangleCache() != run.first[k].cacheBefore; ++k) {
        const Run::First& f = run.first[k];
        const ArrayPoint p{a, run.begin + k};
        p.set(f.north, f.east);  // the input again, where the worker had converted it
        converted -= f.converted ? 1 : 0;
        converted += convertOne(plan, sequence, a, run.begin + k) ? 1 : 0;
    }
    // Where the caches agreed, or the last of the first points settled the
    // cache, the worker's points from there on are the sequence's own.
    if (k < run.first.size() || run.settled) sequence.restoreTriangleCache(run.cacheAtStop);
    return converted + convertInOrder(plan, sequence, a, run.stoppedAt, run.end);
}

}  // namespace

std::size_t convertPoints(const TransformerPlan& plan, const PointArray& points, std::size_t count, int threads) {
    DatumTransformation sequence;  // the calling thread's: the cache of the points in order
    const std::size_t workers = std::min<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)), count);
    if (workers <= 1) return convertInOrder(plan, sequence, points, 0, count);

    std::vector<Run> runs(workers - 1);
    for (std::size_t k = 0; k < runs.size(); ++k) {
        runs[k].begin = count * (k + 1) / workers;
        runs[k].end = count * (k + 2) / workers;
        runs[k].stoppedAt = runs[k].begin;  // until a worker has converted it
        runs[k].first.reserve(16);
    }
    const FloatingPointEnvironment callerEnvironment = FloatingPointEnvironment::current();
    std::size_t converted = 0;
    {
        std::vector<std::jthread> started;
        started.reserve(runs.size());
        for (Run& run : runs) {
            try {
                started.emplace_back([&plan, &points, &run, &callerEnvironment] {
                    callerEnvironment.apply();  // the same bits as the calling thread's
                    run.convertWith(plan, points);
                });
            } catch (const std::system_error&) {
                break;  // a thread the system refuses: the calling thread converts its run
            }
        }
        converted = convertInOrder(plan, sequence, points, 0, count / workers);
    }  // the workers are joined here
    for (const Run& run : runs) converted += joinSequence(plan, sequence, points, run);
    return converted;
}

}  // namespace lomitra
