// The batch run: the same settings positions, engine calls and result file
// rules as the windows' result file, over any number of lines.
#include "batch/batch_converter.h"
#include "batch/source_encoding.h"

#include "engine/conversion_engine.h"
#include "engine/interrupt_cleanup.h"
#include "engine/native_file.h"
#include "engine/parallel_line_conversion.h"
#include "engine/rebuild_line.h"
#include "engine/safe_file_writer.h"
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
    // Known by device and file number, the names reaching the system as the
    // writers' do (UTF-16 on Windows).
    const OutputIdentity x = identifyOutput(a);
    const OutputIdentity y = identifyOutput(b);
    return x.exists && y.exists && x.device == y.device && x.file == y.file;
}

// "<text> <path> (<reason>)"; "-" is named as the standard stream it stands for.
std::string withReason(std::string_view text, const std::string& path, const std::string& reason,
                       std::string_view standardStream) {
    std::string out(text);
    out += " ";
    out += path == "-" ? std::string(standardStream) : path;
    if (!reason.empty()) out += " (" + reason + ")";
    return out;
}

// The reason, the usage text and status 2.
int usageError(const std::string& reason, std::FILE* err) {
    std::fprintf(err, "%s\n\n%.*s", reason.c_str(), static_cast<int>(texts::kBatchUsage.size()),
                 texts::kBatchUsage.data());
    return kBatchUsageError;
}

}  // namespace

std::string summaryText(const BatchSummary& summary) {
    std::string out(texts::kBatchConverted);
    out += std::to_string(summary.converted);
    out += texts::kBatchPoints;
    out += std::to_string(summary.notConverted);
    out += texts::kBatchNotConverted;
    if (summary.outsideNetwork > 0) {
        out += "\n";
        out += texts::kBatchOutsideNetwork1;
        out += std::to_string(summary.outsideNetwork);
        out += texts::kBatchOutsideNetwork2;
    }
    if (summary.notFitting > 0) {
        out += "\n";
        out += notFittingMessage(summary.notFitting, summary.firstNotFitting);
    }
    return out;
}

int runBatch(const BatchOptions& options, BatchSummary& summary, std::string& error,
             ProgressLine* progress) {
    summary = {};
    const bool withTable = !options.table.empty();
    if (sameFile(options.source, options.output) || sameFile(options.source, options.table)) {
        error = std::string(texts::kBatchSameFile) + " " + options.source;
        return kBatchFileError;
    }

    TextLineReader reader(options.source);
    SafeFileWriter result(options.output);
    SafeFileWriter table(withTable ? options.table : std::string("-"));
    // Whatever fails, the message ends by saying what became of the outputs.
    auto failure = [&](std::string text) {
        error = std::move(text) + " " + failureOutcomeText(result.bytesDelivered() + table.bytesDelivered());
        return kBatchFileError;
    };
    auto notReadable = [&] {
        return failure(withReason(texts::kSourceNotReadable, options.source, readFailureReason(reader),
                                  texts::kStandardInput));
    };
    auto notWritable = [&](const std::string& path, const SafeFileWriter& writer) {
        return failure(withReason(texts::kFileNotWritable, path, writer.reason(), texts::kStandardOutput));
    };
    if (!reader.isOpen()) return notReadable();
    // A regular file is read whole for its encoding before anything is converted.
    SourceEncoding encoding(options.encoding, result, withTable ? &table : nullptr);
    std::string reason;
    if (!encoding.decided() && options.source != "-" && regularFileSize(options.source) >= 0 &&
        !encoding.decideFromWholeFile(options.source, reason)) {
        return failure(withReason(texts::kSourceNotReadable, options.source, reason, texts::kStandardInput));
    }
    if (!result.open()) return notWritable(options.output, result);
    if (withTable) {
        if (!table.open()) return notWritable(options.table, table);
        for (const std::string& heading : headingLines(options.settings)) encoding.writeTable(heading, TextEncoding::Cp1252);
    }

    // The engines convert as the windows' one engine would, line after line,
    // whatever the number of threads.
    ConversionState layout;
    layout.columnStart = options.columnStart;
    layout.columnLength = options.columnLength;
    layout.fieldNumber = options.fieldNumber;
    layout.encoding = encoding.encoding();
    auto write = [&](const ConvertedLine& line) {
        summary.count(line.outcome);
        if (line.outsideNetwork) ++summary.outsideNetwork;
        encoding.write(line.result, line.table);
    };
    {
        // Its workers end with this block, before any file is replaced.
        ParallelLineConversion conversion(
            options.settings, layout, options.layout, withTable,
            options.threads > 0 ? options.threads : ParallelLineConversion::defaultThreads(), write);
        std::string line;
        while (reader.readLine(line)) {
            if (progress != nullptr) progress->lineRead(reader.bytesConsumed());
            encoding.add(line, conversion);
        }
        if (reader.failed()) return notReadable();
        encoding.finish(conversion);
        conversion.finish();
    }
    reader.close();  // before the source may be replaced
    encoding.writeTable("", TextEncoding::Cp1252);

    // Both files complete before either replaces its old one; then both
    // replacements, with interrupting signals held back between them.
    if (!result.finish()) return notWritable(options.output, result);
    if (withTable && !table.finish()) return notWritable(options.table, table);
    {
        const DeferInterrupts whileReplacing;
        if (!result.commit()) return notWritable(options.output, result);
        if (withTable && !table.commit()) return notWritable(options.table, table);
    }
    return summary.notFitting > 0 ? kBatchNotFitting : kBatchOk;
}

int batchMain(const std::vector<std::string>& args, std::FILE* err) {
    std::string error;
    const std::optional<BatchOptions> options = parseBatchOptions(args, error);
    if (!options) return usageError(error, err);
    if (options->help) {
        std::fprintf(stdout, "%.*s", static_cast<int>(texts::kBatchUsage.size()), texts::kBatchUsage.data());
        return kBatchOk;
    }
    if (options->version) {
        std::fprintf(stdout, "lomitra-batch %s\n", LOMITRA_VERSION);
        return kBatchOk;
    }
    if (!options->table.empty() && sameOutputFile(options->output, options->table)) {
        return usageError(std::string(texts::kBatchSameOutput) + " " + options->table, err);
    }
    BatchSummary summary;
    ProgressLine progress(err, isTerminal(err), regularFileSize(options->source));
    const int status = runBatch(*options, summary, error, &progress);
    progress.clear();
    if (status == kBatchFileError) {
        std::fprintf(err, "lomitra-batch: %s\n", error.c_str());
        return status;
    }
    std::fprintf(err, "%s\n", summaryText(summary).c_str());
    return status;
}

}  // namespace lomitra
