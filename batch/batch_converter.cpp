// The batch run: the same settings positions, engine calls and result file
// rules as the windows' result file, over any number of lines.
#include "batch/batch_converter.h"

#include <cerrno>
#include <new>
#include <optional>
#include <utility>

#include "batch/source_encoding.h"

#include "core/conversion_engine.h"
#include "core/parallel_line_conversion.h"
#include "core/rebuild_line.h"
#include "core/table_heading.h"
#include "core/texts.h"
#include "platform/interrupt_cleanup.h"
#include "platform/native_file.h"
#include "platform/safe_file_writer.h"
#include "platform/system_error_text.h"
#include "platform/text_line_reader.h"

namespace lomitra {
namespace {

// Whether an output would be the source: the same name, or the same device
// and file number. "-" is standard input as the source and standard output
// as an output; a standard stream counts only when it is a regular file
// (standard output appended to the source would be read again), so that a
// terminal that is both stays usable.
bool sameFile(const std::string& source, const std::string& output) {
    if (source.empty() || output.empty()) return false;
    const bool streams = descriptorAlias(source, true) >= 0 || descriptorAlias(output, false) >= 0 ||
                         source == "-" || output == "-";
    if (!streams && source == output) return true;
    // Known by device and file number, the names reaching the system as the
    // writers' do (UTF-16 on Windows).
    const OutputIdentity x = identifySource(source);
    const OutputIdentity y = identifyOutput(output);
    return x.exists && y.exists && x.device == y.device && x.file == y.file && (x.regular || !streams);
}

// Whether `path` names a descriptor that was closed when the program started
// (it now leads to the null device) or is not open.
bool namesMissingDescriptor(const std::string& path, bool forReading, const std::array<bool, 3>& closedAtStart) {
    const int fd = descriptorAlias(path, forReading);
    if (fd < 0) return false;
    return (fd < 3 && closedAtStart[static_cast<std::size_t>(fd)]) || !isOpenDescriptor(fd);
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
    for (const std::string& path : summary.splitFromOtherNames) {
        out += "\n";
        out += texts::kBatchOtherNames1;
        out += path;
        out += texts::kBatchOtherNames2;
    }
    return out;
}

// What became of one output after a failure: "tulostiedosto tulos.txt korvattiin".
std::string outputOutcome(std::string_view label, const std::string& path, const SafeFileWriter& writer) {
    std::string out(label);
    out += path == "-" ? std::string(texts::kStandardOutput) : path;
    switch (writer.outcome()) {
        case SafeFileWriter::Outcome::Replaced: out += texts::kBatchReplaced; break;
        case SafeFileWriter::Outcome::WrittenInFull: out += texts::kBatchWrittenInFull; break;
        case SafeFileWriter::Outcome::WrittenInPart:
            out += texts::kBatchCutShort1;
            out += std::to_string(writer.bytesDelivered());
            out += texts::kBatchCutShort2;
            break;
        case SafeFileWriter::Outcome::Untouched:
            out += writer.isDirect() ? texts::kBatchNotWritten
                                     : writer.existed() ? texts::kBatchKept : texts::kBatchNotCreated;
            break;
    }
    return out;
}

int runBatch(const BatchOptions& options, BatchSummary& summary, std::string& error,
             ProgressLine* progress, const BatchRunContext& context) {
    summary = {};
    const bool withTable = !options.table.empty();
    // Names of closed standard streams (or of descriptors not open) are
    // refused before anything is opened, so no file of the program is
    // mistaken for them.
    auto missingDescriptor = [&](std::string_view text, const std::string& path, bool forReading) {
        error = withReason(text, path, systemErrorText(EBADF),
                           forReading ? texts::kStandardInput : texts::kStandardOutput) +
                " " + std::string(texts::kNothingWasWritten);
        return kBatchFileError;
    };
    if (namesMissingDescriptor(options.source, true, context.closedAtStart)) {
        return missingDescriptor(texts::kSourceNotReadable, options.source, true);
    }
    for (const std::string* output : {&options.output, &options.table}) {
        if (!output->empty() && namesMissingDescriptor(*output, false, context.closedAtStart)) {
            return missingDescriptor(texts::kFileNotWritable, *output, false);
        }
    }
    if (sameFile(options.source, options.output) || sameFile(options.source, options.table)) {
        error = std::string(texts::kBatchSameFile) + " " +
                (options.source == "-" ? std::string(texts::kStandardInput) : options.source);
        return kBatchFileError;
    }

    TextLineReader reader(options.source);
    SafeFileWriter result(options.output);
    SafeFileWriter table(withTable ? options.table : std::string("-"));
    // Whatever fails, the message ends by saying what became of the outputs:
    // when nothing reached either, that nothing was written; else what each got.
    auto failure = [&](std::string text) {
        const bool replaced = result.outcome() == SafeFileWriter::Outcome::Replaced;
        const bool reached = replaced || result.bytesDelivered() + table.bytesDelivered() > 0;
        error = std::move(text) + " ";
        if (!reached || !withTable) {
            error += failureOutcomeText(result.bytesDelivered());
        } else {
            error += outputOutcome(texts::kBatchResultFile, options.output, result) + "; " +
                     outputOutcome(texts::kBatchTableFile, options.table, table) + ".";
        }
        return replaced ? kBatchTableFailed : kBatchFileError;
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
    try {
        // Its workers end with this block, before any file is replaced. They
        // start with the interrupting signals held back, so that these always
        // reach this thread, which removes the temporary files.
        std::optional<ParallelLineConversion> workers;
        {
            const DeferInterrupts whileWorkersStart;
            workers.emplace(options.settings, layout, options.layout, withTable,
                            options.threads > 0 ? options.threads : ParallelLineConversion::defaultThreads(),
                            write);
        }
        ParallelLineConversion& conversion = *workers;
        std::string line;
        while (reader.readLine(line)) {
            if (progress != nullptr) progress->lineRead(reader.bytesConsumed());
            encoding.add(line, conversion);
        }
        if (reader.failed()) return notReadable();
        encoding.finish(conversion);
        conversion.finish();
    } catch (const std::bad_alloc&) {
        // The lines and blocks are gone by now; the writers remove their temporary files.
        return failure(std::string(texts::kBatchOutOfMemory));
    }
    reader.close();  // before the source may be replaced
    encoding.writeTable("", TextEncoding::Cp1252);

    // Both files complete before either replaces its old one; then both
    // replacements, with interrupting signals held back from the first on.
    if (!result.finish()) return notWritable(options.output, result);
    if (withTable && !table.finish()) return notWritable(options.table, table);
    {
        DeferInterrupts whileReplacing;
        if (context.holdSignalsToTheEnd) whileReplacing.keepToTheEnd();
        if (!result.commit()) return notWritable(options.output, result);
        if (withTable && !table.commit()) return notWritable(options.table, table);
    }
    for (const auto& [path, writer] : {std::pair{&options.output, &result}, std::pair{&options.table, &table}}) {
        if (writer->hadOtherNames()) summary.splitFromOtherNames.push_back(*path);
    }
    return summary.notFitting > 0 ? kBatchNotFitting : kBatchOk;
}

int batchMain(const std::vector<std::string>& args, std::FILE* err, const std::array<bool, 3>& closedAtStart) {
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
    // Once the first file is replaced, signals wait until the program ends:
    // the summary and the status are then those of the finished run.
    int status = kBatchFileError;
    try {
        status = runBatch(*options, summary, error, &progress, {closedAtStart, true});
    } catch (const std::bad_alloc&) {
        // Outside the conversion, where a run takes little memory; the
        // writers removed their temporary files on the way out.
        // No allocation here: the message is printed from its constant.
        progress.clear();
        std::fprintf(err, "lomitra-batch: %s\n", texts::kBatchOutOfMemory.data());
        return kBatchFileError;
    }
    progress.clear();
    if (status == kBatchFileError || status == kBatchTableFailed) {
        std::fprintf(err, "lomitra-batch: %s\n", error.c_str());
        return status;
    }
    std::fprintf(err, "%s\n", summaryText(summary).c_str());
    return status;
}

}  // namespace lomitra
