// The batch run: the same settings positions, engine calls and result file
// rules as the windows' result file, over any number of lines.
#include "batch/batch_converter.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/atomic_file_writer.h"
#include "engine/conversion_engine.h"
#include "engine/settings_window.h"
#include "engine/text_line_reader.h"
#include "engine/texts.h"

namespace lomitra {
namespace {

// Whether two paths name the same file. "-" is standard input as a source
// and standard output as a result, so it only clashes between two outputs.
bool sameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty() || a == "-" || b == "-") return false;
    if (a == b) return true;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

std::string withReason(std::string_view text, const std::string& path, const std::string& reason) {
    std::string out(text);
    out += " ";
    out += path;
    if (!reason.empty()) out += " (" + reason + ")";
    return out;
}

}  // namespace

std::string summaryText(const BatchSummary& summary) {
    std::string out(texts::kBatchConverted);
    out += std::to_string(summary.converted);
    out += texts::kBatchPoints;
    out += std::to_string(summary.notConverted);
    out += texts::kBatchNotConverted;
    return out;
}

int runBatch(const BatchOptions& options, BatchSummary& summary, std::string& error) {
    summary = {};
    const bool withTable = !options.table.empty();
    if (sameFile(options.source, options.output) || sameFile(options.source, options.table) ||
        (withTable && (sameFile(options.output, options.table) ||
                       (options.output == "-" && options.table == "-")))) {
        error = std::string(texts::kBatchSameFile) + " " + options.source;
        return kBatchFileError;
    }

    TextLineReader reader(options.source);
    if (!reader.isOpen()) {
        error = withReason(texts::kSourceNotReadable, options.source, std::strerror(errno));
        return kBatchFileError;
    }
    AtomicFileWriter result(options.output);
    if (!result.open()) {
        error = withReason(texts::kFileNotWritable, options.output, result.error());
        return kBatchFileError;
    }
    AtomicFileWriter table(withTable ? options.table : std::string("-"));
    if (withTable) {
        if (!table.open()) {
            error = withReason(texts::kFileNotWritable, options.table, table.error());
            return kBatchFileError;
        }
        for (const std::string& heading : headingLines(options.settings)) table.writeLine(heading);
    }

    // One engine, state and datum for the run, as in the windows.
    DatumTransformation datum;
    ConversionState state;
    state.columnStart = options.columnStart;
    state.columnLength = options.columnLength;
    state.fieldNumber = options.fieldNumber;
    ConversionEngine engine(options.settings, datum, state);
    engine.setMapSheets(withTable);  // only the table file shows them

    std::string line;
    std::string resultLine;
    while (reader.readLine(line)) {
        if (engine.convertResultFileLine(line, options.layout)) {
            ++summary.converted;
        } else {
            ++summary.notConverted;
        }
        result.writeLine(line);
        if (withTable) {
            formatResultLine(state, resultLine);  // the point stays in the state
            table.writeLine(resultLine);
        }
    }
    if (reader.failed()) {
        error = withReason(texts::kSourceNotReadable, options.source, std::string()) + " " +
                std::string(texts::kNothingWasWritten);
        return kBatchFileError;  // the writers discard their temporary files
    }
    if (withTable) table.writeLine("");

    if (!result.commit()) {
        error = withReason(texts::kFileNotWritable, options.output, result.error()) + " " +
                std::string(texts::kNothingWasWritten);
        return kBatchFileError;
    }
    if (withTable && !table.commit()) {
        error = withReason(texts::kFileNotWritable, options.table, table.error());
        return kBatchFileError;
    }
    return kBatchOk;
}

int batchMain(const std::vector<std::string>& args, std::FILE* err) {
    std::string error;
    const std::optional<BatchOptions> options = parseBatchOptions(args, error);
    if (!options) {
        std::fprintf(err, "%s\n\n%.*s", error.c_str(), static_cast<int>(texts::kBatchUsage.size()),
                     texts::kBatchUsage.data());
        return kBatchUsageError;
    }
    if (options->help) {
        std::fprintf(stdout, "%.*s", static_cast<int>(texts::kBatchUsage.size()), texts::kBatchUsage.data());
        return kBatchOk;
    }
    BatchSummary summary;
    const int status = runBatch(*options, summary, error);
    if (status != kBatchOk) {
        std::fprintf(err, "lomitra-batch: %s\n", error.c_str());
        return status;
    }
    std::fprintf(err, "%s\n", summaryText(summary).c_str());
    return kBatchOk;
}

}  // namespace lomitra
