// Throughput and memory of the library's array call (lomitra.hpp).
//
// 1 000 000 points, converted in place: random YKJ points over Finland to
// ETRS-TM35FIN (every point searches the network afresh), a walk of
// neighbouring YKJ points north along the meridian 27 deg (the triangle cache
// keeps hitting), and random EUREF-FIN latitudes and longitudes to KKJ, each
// point in its own zone; on one thread and on one per processor.
//
// Figures: points_per_s (wall clock). Memory, printed once: the shared
// tables (heap taken by their first build), what a Transformer takes beyond
// them (heap per object, over 1000 objects), and the datum state of one call
// on the stack. Target: a Transformer under 1 MiB beyond the shared tables.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "core/pair_conversion.h"
#include "geodesy/datum_tables.h"
#include "lomitra/lomitra.hpp"

namespace {

using lomitra::Point;
using lomitra::Transformer;

constexpr std::size_t kPoints = 1000000;

enum Case { RandomYkj, WalkYkj, DegreesToOwnZone };

std::vector<Point> pointsOf(Case c) {
    std::vector<Point> points(kPoints);
    std::mt19937_64 random(154);
    std::uniform_real_distribution<double> north(6750000.0, 7450000.0), east(3350000.0, 3580000.0),
        latitude(60.0, 68.0), longitude(21.0, 30.0);
    for (std::size_t i = 0; i < kPoints; ++i) {
        switch (c) {
            case RandomYkj: points[i] = {north(random), east(random)}; break;
            case WalkYkj: points[i] = {6700000.0 + 0.9 * static_cast<double>(i), 3500000.0}; break;
            case DegreesToOwnZone: points[i] = {latitude(random), longitude(random)}; break;
        }
    }
    return points;
}

void BM_TransformArray(benchmark::State& state) {
    const auto c = static_cast<Case>(state.range(0));
    const int threads = static_cast<int>(state.range(1));
    const Transformer t = c == DegreesToOwnZone ? Transformer("EUREF-FIN", "KKJ-OWN")
                                               : Transformer("YKJ", "ETRS-TM35FIN");
    const std::vector<Point> source = pointsOf(c);
    std::vector<Point> points;
    for (auto _ : state) {
        state.PauseTiming();
        points = source;
        state.ResumeTiming();
        benchmark::DoNotOptimize(t.transform(points, {}, threads));
    }
    state.counters["points_per_s"] =
        benchmark::Counter(static_cast<double>(kPoints) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TransformArray)
    ->ArgNames({"case", "threads"})
    ->ArgsProduct({{RandomYkj, WalkYkj, DegreesToOwnZone}, {1, Transformer::kAllProcessors}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

std::size_t heapInUse() { return mallinfo2().uordblks; }

// Printed before the runs.
const bool kMemoryPrinted = [] {
    const std::size_t before = heapInUse();
    const lomitra::DatumTables& tables = lomitra::DatumTables::shared();
    const std::size_t tablesHeap = heapInUse() - before;
    constexpr int kCount = 1000;
    std::vector<std::unique_ptr<Transformer>> many;
    many.reserve(kCount);
    const std::size_t beforeMany = heapInUse();
    for (int i = 0; i < kCount; ++i) many.push_back(std::make_unique<Transformer>("YKJ", "ETRS-TM35FIN"));
    const double perTransformer = static_cast<double>(heapInUse() - beforeMany) / kCount;
    std::printf("shared tables: %zu bytes in the object, %zu bytes of heap (built once per process)\n",
                sizeof tables, tablesHeap);
    std::printf("a Transformer: %zu bytes + %.0f bytes of heap (its plan, %zu bytes); a call's datum state: "
                "%zu bytes on the stack\n",
                sizeof(Transformer), perTransformer, sizeof(lomitra::TransformerPlan),
                sizeof(lomitra::DatumTransformation));
    return true;
}();

}  // namespace
