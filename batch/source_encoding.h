// The encoding of lomitra-batch's source, and what waits for it.
//
// The encoding is chosen with --encoding, or decided (text_encoding.h):
//   - a regular file is read whole once before it is converted;
//   - a stream (standard input, a pipe, a device) is decided at its first
//     line with a byte of 0x80 or above, from that line and at least 1 MiB
//     after it (or to the end); the lines before it are ASCII alone and
//     read the same in both encodings, so they are converted at once. The
//     lines from there on wait for the decision.
// Table lines wait too while the stream is undecided, since the headings and
// the engine's messages differ between the encodings; when more than
// kTableHoldBytes of them wait, the table is written in Windows-1252.
//
// A UTF-8 byte-order mark at the start of a UTF-8 source is no part of its
// first line: it is taken off before the line is converted and put back
// before its result line. The table gets none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/parallel_line_conversion.h"
#include "core/text_encoding.h"
#include "platform/safe_file_writer.h"

namespace lomitra {

inline constexpr uint64_t kStreamDecisionBytes = uint64_t{1} << 20;  // read from the first byte above 0x7F
inline constexpr std::size_t kTableHoldBytes = std::size_t{4} << 20;

class SourceEncoding {
public:
    // `chosen`: the encoding of --encoding, none for a decision. The writers
    // get the lines through write() and writeTable(); `table` may be null.
    SourceEncoding(std::optional<TextEncoding> chosen, SafeFileWriter& result, SafeFileWriter* table);

    // Decides from the whole regular file `path`; false, with the reason,
    // when it cannot be read.
    bool decideFromWholeFile(const std::string& path, std::string& reason);

    bool decided() const { return decided_; }
    // The encoding of the lines converted now (Windows-1252 while undecided).
    TextEncoding encoding() const { return encoding_; }

    // The next line of the source: added to `conversion`, now or after the decision.
    void add(std::string& line, ParallelLineConversion& conversion) {
        if (decided_ && anyLinePassed_) {
            conversion.add(line);  // every line after the first of a decided source
        } else {
            addWhileDeciding(line, conversion);
        }
    }
    // The end of the source: decides from what was read and adds the lines that waited.
    void finish(ParallelLineConversion& conversion);

    // A converted line: its result line and, with a table, its table line
    // (in the encoding of the lines converted now).
    void write(std::string_view result, std::string_view table) {
        if (byteOrderMark_) {
            writeFirstWithByteOrderMark(result);
        } else {
            result_.writeLine(result);
        }
        if (table_ != nullptr) writeTable(table, encoding_);
    }
    // A line of the table file in `lineEncoding` (the headings are Windows-1252).
    void writeTable(std::string_view line, TextEncoding lineEncoding) {
        if (table_ != nullptr && tableEncoding_ == lineEncoding) {
            table_->writeLine(line);
        } else {
            writeTableOtherwise(line, lineEncoding);
        }
    }

private:
    void addWhileDeciding(std::string& line, ParallelLineConversion& conversion);
    void writeFirstWithByteOrderMark(std::string_view result);
    // A table line that waits, or goes into another encoding.
    void writeTableOtherwise(std::string_view line, TextEncoding lineEncoding);
    void decide(TextEncoding encoding, ParallelLineConversion& conversion);
    // Adds a line, without the byte-order mark when it is the first of a UTF-8 source.
    void pass(std::string& line, ParallelLineConversion& conversion);
    void commitTable(TextEncoding encoding);

    SafeFileWriter& result_;
    SafeFileWriter* table_;
    TextEncoding encoding_ = TextEncoding::Cp1252;
    bool decided_ = false;
    bool anyLinePassed_ = false;
    bool byteOrderMark_ = false;  // the first result line still owes it
    EncodingDetector detector_;
    std::vector<std::string> waiting_;  // source lines from the first byte above 0x7F on
    std::optional<TextEncoding> tableEncoding_;  // none while table lines wait
    std::vector<std::string> tableWaiting_;      // Windows-1252
    std::size_t tableWaitingBytes_ = 0;
};

}  // namespace lomitra
