// Throughput and peak memory of lomitra-batch, end to end.
//
// Two generated source files: a walk of neighbouring points north through
// Finland along the meridian 27 deg (the triangle cache keeps hitting), and
// points spread at random over the same region (every point searches the
// network afresh). The converter runs as a child process; its peak resident
// memory comes from wait4's rusage. The in-process run through batch_lib
// shows the cost without process start-up.
//
// Zones: the default own KKJ zone (each point is projected into the zone
// its longitude selects), and YKJ (zone 3, the work plane itself).
//
// Figures: points_per_s (lines converted per second, wall clock) and
// peak_MiB (maximum resident set of the child). Targets: at least 500 000
// points/s for neighbouring points, and a peak under 32 MiB that does not
// grow with the number of lines.
//
// Hostile files: 24 lines of 20 or 60 MiB (a point and a long remark) with 1,
// 16 and 64 threads, whose peak may be at most about twice one thread's; and
// 10 MB of short lines ending in LF or in a bare CR, the CR file at most 3x
// the LF file's time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "batch/batch_converter.h"
#include "batch/batch_options.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

enum class Walk { Neighbours = 0, Random = 1 };

// A free-format file "P<number> <N> <E>" of ETRS-TM35FIN points, CR LF lines.
std::string generateSource(int64_t lines, Walk walk) {
    const std::string path = (fs::temp_directory_path() /
                              ("lomitra_bench_" + std::to_string(::getpid()) + "_" +
                               std::to_string(lines) + (walk == Walk::Random ? "_random" : "_walk") + ".txt"))
                                 .string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::mt19937_64 random(154);
    std::uniform_real_distribution<double> north(6750000.0, 7450000.0);
    std::uniform_real_distribution<double> east(350000.0, 580000.0);
    // The walk covers 6 700 000 ... 7 600 000 m north whatever the number of lines.
    const double step = 900000.0 / static_cast<double>(lines);
    char row[96];
    for (int64_t i = 0; i < lines; ++i) {
        double n = 0.0;
        double e = 0.0;
        if (walk == Walk::Neighbours) {
            n = 6700000.0 + step * static_cast<double>(i);
            e = 500000.0 + 30000.0 * std::sin(n / 40000.0);
        } else {
            n = north(random);
            e = east(random);
        }
        const int length = std::snprintf(row, sizeof row, "P%lld %.3f %.3f\r\n", static_cast<long long>(i), n, e);
        std::fwrite(row, 1, static_cast<std::size_t>(length), f);
    }
    std::fclose(f);
    return path;
}

// Runs the converter as a child; returns the wall time in seconds and its peak memory in bytes.
bool runChild(const std::vector<std::string>& args, double& seconds, double& peakBytes) {
    std::vector<char*> argv;
    std::string exe = LOMITRA_BATCH_EXE;
    argv.push_back(exe.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    peakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;  // ru_maxrss is in KiB on Linux
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Arguments: lines, walk (0 neighbours, 1 random), result zone (0 own zone, 3 YKJ).
void BM_BatchProcess(benchmark::State& state) {
    const int64_t lines = state.range(0);
    const auto walk = static_cast<Walk>(state.range(1));
    const std::string zone = state.range(2) == 0 ? "own" : std::to_string(state.range(2));
    const std::string source = generateSource(lines, walk);
    const std::string output = source + ".out";
    double peak = 0.0;
    for (auto _ : state) {
        double seconds = 0.0;
        if (!runChild({"--result-zone", zone, "--fields", "2,3,1", "-o", output, source}, seconds, peak)) {
            state.SkipWithError("lomitra-batch failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["points_per_s"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MiB"] = peak / (1024.0 * 1024.0);
    fs::remove(source);
    fs::remove(output);
}

void BM_BatchInProcess(benchmark::State& state) {
    const int64_t lines = state.range(0);
    const auto walk = static_cast<Walk>(state.range(1));
    const std::string source = generateSource(lines, walk);
    std::string error;
    auto options = lomitra::parseBatchOptions({"--fields", "2,3,1", "-o", source + ".out", source}, error);
    for (auto _ : state) {
        lomitra::BatchSummary summary;
        if (!options || lomitra::runBatch(*options, summary, error) != lomitra::kBatchOk) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(summary.converted);
    }
    state.counters["points_per_s"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
    fs::remove(source);
    fs::remove(source + ".out");
}

// A file in the temporary folder written by `fill`.
template <typename Fill>
std::string writeFile(const std::string& name, Fill fill) {
    const std::string path = (fs::temp_directory_path() / ("lomitra_bench_" + std::to_string(::getpid()) + "_" + name)).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    fill(f);
    std::fclose(f);
    return path;
}

// Arguments: MiB per line, threads. 24 lines, each a point and a remark.
void BM_BatchLongLines(benchmark::State& state) {
    const std::size_t remark = static_cast<std::size_t>(state.range(0)) << 20;
    // Written a MiB at a time: the child's peak counts this process's too
    // (its memory before exec), so this process stays small.
    const std::string source = writeFile("long.txt", [remark](std::FILE* f) {
        const std::string chunk(std::size_t{1} << 20, 'x');
        for (int i = 0; i < 24; ++i) {
            std::fprintf(f, "P%d 6712263.904 3495070.508 ", i);
            for (std::size_t written = 0; written < remark; written += chunk.size()) {
                std::fwrite(chunk.data(), 1, chunk.size(), f);
            }
            std::fputs("\r\n", f);
        }
    });
    const std::string output = source + ".out";
    double peak = 0.0;
    for (auto _ : state) {
        double seconds = 0.0;
        if (!runChild({"--direction", "kkj-euref", "--fields", "2,3,1", "--threads", std::to_string(state.range(1)),
                       "--table", output + ".tab", "-o", output, source},
                      seconds, peak)) {
            state.SkipWithError("lomitra-batch failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["peak_MiB"] = peak / (1024.0 * 1024.0);
    fs::remove(source);
    fs::remove(output);
    fs::remove(output + ".tab");
}

// Argument: 0 every line ends in LF, 1 in a bare CR. 10 MB of short lines.
void BM_BatchLineEnds(benchmark::State& state) {
    const char end = state.range(0) == 0 ? '\n' : '\r';
    const std::string source = writeFile("ends.txt", [end](std::FILE* f) {
        for (int i = 0; i < 370000; ++i) std::fprintf(f, "P10 6712263.904 3495070.508%c", end);
    });
    const std::string output = source + ".out";
    for (auto _ : state) {
        double seconds = 0.0;
        double peak = 0.0;
        if (!runChild({"--direction", "kkj-euref", "--fields", "2,3,1", "-o", output, source}, seconds, peak)) {
            state.SkipWithError("lomitra-batch failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["MB_per_s"] =
        benchmark::Counter(static_cast<double>(fs::file_size(source)) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    fs::remove(source);
    fs::remove(output);
}

}  // namespace

BENCHMARK(BM_BatchLongLines)
    ->ArgNames({"MiB", "threads"})
    ->ArgsProduct({{20, 60}, {1, 16, 64}})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_BatchLineEnds)->ArgNames({"cr"})->Arg(0)->Arg(1)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_BatchProcess)
    ->ArgNames({"lines", "random", "zone"})
    ->Args({1000, 0, 0})
    ->Args({1000000, 0, 0})
    ->Args({10000000, 0, 0})
    ->Args({1000000, 0, 3})
    ->Args({1000000, 1, 0})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_BatchInProcess)
    ->ArgNames({"lines", "random"})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
