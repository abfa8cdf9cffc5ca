// Per-point cost of the text and map sheet functions that the batch converter
// calls for every line: reading two coordinates, writing two results, and the
// two sheet identifiers.
#include <benchmark/benchmark.h>

#include <string>

#include "core/coordinate_text.h"
#include "core/map_sheet.h"

namespace {

void BM_ParseNumber(benchmark::State& state) {
    const std::string source = "6678901,123";
    for (auto _ : state) {
        std::string text = source;
        benchmark::DoNotOptimize(lomitra::parseNumber(text));
    }
}
BENCHMARK(BM_ParseNumber);

void BM_FormatNumber(benchmark::State& state) {
    double value = 6678901.123;
    std::string out;
    out.reserve(32);
    for (auto _ : state) {
        out.clear();
        lomitra::appendNumber(out, value, 3);
        benchmark::DoNotOptimize(out.data());
        value += 0.001;
    }
}
BENCHMARK(BM_FormatNumber);

void BM_FormatAngle(benchmark::State& state) {
    double degrees = 60.123456789;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lomitra::formatAngle(degrees, 2, 11));
        degrees += 1e-7;
    }
}
BENCHMARK(BM_FormatAngle);

void BM_UtmSheetId(benchmark::State& state) {
    double north = 6672000.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lomitra::utmSheetId(north, 385000.0));
        north += 1.0;
        if (north > 7500000.0) {  // stay inside the sheet area
            north = 6672000.0;
        }
    }
}
BENCHMARK(BM_UtmSheetId);

// A YKJ point in zone 3 (no change of zone) and one that lies in zone 2.
void BM_KkjSheetId(benchmark::State& state) {
    const double startEast = state.range(0) == 3 ? 3450000.0 : 3386000.0;
    double north = 6673000.0;
    double east = startEast;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lomitra::kkjSheetId(north, east));
        north += 0.7;
        east += 0.05;
        if (north > 7500000.0) {  // stay inside the sheet area
            north = 6673000.0;
            east = startEast;
        }
    }
}
BENCHMARK(BM_KkjSheetId)->Arg(3)->Arg(2);

}  // namespace
