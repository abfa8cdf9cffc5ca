// The run of lomitra-batch: streams the source file through the conversion
// engine into the result file (and the table file), line by line, so memory
// stays the same whatever the size of the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "batch/progress_line.h"
#include "engine/conversion_engine.h"

namespace lomitra {

struct BatchSummary : ResultFileTally {
    int64_t outsideNetwork = 0;  // of the converted, points outside the triangulation network (Helmert)
};

// Exit statuses of lomitra-batch.
inline constexpr int kBatchOk = 0;
inline constexpr int kBatchFileError = 1;
inline constexpr int kBatchUsageError = 2;
inline constexpr int kBatchNotFitting = 3;  // files written, but some lines did not fit

// Converts `options.source` into `options.output` (and `options.table`).
// Returns kBatchOk, kBatchNotFitting or kBatchFileError; a Finnish reason (UTF-8) goes to
// `error`. Nothing is written to the result or table file unless the whole
// source was read and every write succeeded.
// `progress`, when given, hears of every line read.
int runBatch(const BatchOptions& options, BatchSummary& summary, std::string& error,
             ProgressLine* progress = nullptr);

// The whole program: parses `args` (without the program name), runs, and
// writes the summary, the usage text or the error to `err` (with a progress
// line while a long run goes on, when `err` is a terminal).
int batchMain(const std::vector<std::string>& args, std::FILE* err);

// "muunnettu 12 pistettä, 3 riviä ei muunnettu", then a line on the points
// outside the network and a line on the lines that did not fit, when there
// are any (UTF-8, lines separated by "\n", no final line end).
std::string summaryText(const BatchSummary& summary);

}  // namespace lomitra
