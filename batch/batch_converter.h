// The run of lomitra-batch: streams the source file through the conversion
// engine into the result file (and the table file), line by line, so memory
// stays the same whatever the size of the file.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "platform/progress_line.h"
#include "core/conversion_engine.h"

namespace lomitra {

struct BatchSummary : ResultFileTally {
    int64_t outsideNetwork = 0;  // of the converted, points outside the triangulation network (Helmert)
    // Replaced files that had other names (hard links), which keep the old contents.
    std::vector<std::string> splitFromOtherNames;
};

// Exit statuses of lomitra-batch, and what each means for the two files.
inline constexpr int kBatchOk = 0;          // both written
inline constexpr int kBatchFileError = 1;   // neither file replaced (a direct output may hold part)
inline constexpr int kBatchUsageError = 2;  // bad options: nothing opened
inline constexpr int kBatchNotFitting = 3;  // both written, but some lines did not fit
inline constexpr int kBatchTableFailed = 4;  // the result file replaced, the table file not
// 128 + N: ended by signal N before the first file was replaced.

// What a run needs besides its options.
struct BatchRunContext {
    // Standard input, output and error closed when the program started (see
    // ProcessStart): a name of one of them is refused, not read or written.
    std::array<bool, 3> closedAtStart{};
    // Whether the interrupting signals, held back from the first replacement
    // on, stay held to the end of the process (lomitra-batch ends right after
    // the run), so that a signal then ends nothing and the summary and status
    // are those of the finished run. Otherwise they wait during the replacements only.
    bool holdSignalsToTheEnd = false;
};

// Converts `options.source` into `options.output` (and `options.table`).
// Returns kBatchOk, kBatchNotFitting, kBatchFileError or kBatchTableFailed; a
// Finnish reason (UTF-8) goes to `error`, ending with what became of each
// file. Nothing is written to the result or table file unless the whole
// source was read and every write succeeded; the table is replaced right
// after the result. `progress`, when given, hears of every line read.
int runBatch(const BatchOptions& options, BatchSummary& summary, std::string& error,
             ProgressLine* progress = nullptr, const BatchRunContext& context = {});

// The whole program: parses `args` (without the program name), runs, and
// writes the summary, the usage text or the error to `err` (with a progress
// line while a long run goes on, when `err` is a terminal).
int batchMain(const std::vector<std::string>& args, std::FILE* err, const std::array<bool, 3>& closedAtStart);

// "muunnettu 12 pistettä, 3 riviä ei muunnettu", then a line on the points
// outside the network, a line on the lines that did not fit and a line for
// each replaced file split from its other names, when there are any (UTF-8,
// lines separated by "\n", no final line end).
std::string summaryText(const BatchSummary& summary);

}  // namespace lomitra
