// The encoding of lomitra-batch's source: chosen, decided from the whole
// file, or decided part way through a stream while the lines wait.
#include "batch/source_encoding.h"

#include "platform/file_encoding.h"

namespace lomitra {

SourceEncoding::SourceEncoding(std::optional<TextEncoding> chosen, SafeFileWriter& result, SafeFileWriter* table)
    : result_(result), table_(table) {
    if (chosen) {
        encoding_ = *chosen;
        decided_ = true;
        tableEncoding_ = *chosen;
    }
}

bool SourceEncoding::decideFromWholeFile(const std::string& path, std::string& reason) {
    if (!detectFileEncoding(path, encoding_, reason)) return false;
    decided_ = true;
    tableEncoding_ = encoding_;
    return true;
}

void SourceEncoding::addWhileDeciding(std::string& line, ParallelLineConversion& conversion) {
    if (decided_ || (waiting_.empty() && !hasNonAscii(line))) {
        pass(line, conversion);
        return;
    }
    detector_.feed(line);
    detector_.feed("\n");  // a sequence is never open across a line end
    waiting_.push_back(std::move(line));
    if (detector_.bytesFed() >= kStreamDecisionBytes || detector_.malformed()) decide(detector_.encoding(), conversion);
}

void SourceEncoding::finish(ParallelLineConversion& conversion) {
    if (!decided_) decide(detector_.encoding(), conversion);
}

void SourceEncoding::decide(TextEncoding encoding, ParallelLineConversion& conversion) {
    conversion.setEncoding(encoding);  // the lines before were ASCII: their table lines wait as Windows-1252
    encoding_ = encoding;
    decided_ = true;
    if (!tableEncoding_) commitTable(encoding);
    for (std::string& line : waiting_) pass(line, conversion);
    waiting_.clear();
    waiting_.shrink_to_fit();
}

void SourceEncoding::pass(std::string& line, ParallelLineConversion& conversion) {
    if (!anyLinePassed_ && encoding_ == TextEncoding::Utf8 && line.starts_with(kUtf8ByteOrderMark)) {
        line.erase(0, kUtf8ByteOrderMark.size());
        byteOrderMark_ = true;
    }
    anyLinePassed_ = true;
    conversion.add(line);
}

void SourceEncoding::writeFirstWithByteOrderMark(std::string_view result) {
    byteOrderMark_ = false;
    result_.writeLine(std::string(kUtf8ByteOrderMark) + std::string(result));
}

void SourceEncoding::writeTableOtherwise(std::string_view line, TextEncoding lineEncoding) {
    if (table_ == nullptr) return;
    if (tableEncoding_) {
        table_->writeLine(recode(line, lineEncoding, *tableEncoding_));
        return;
    }
    // Undecided, every line is Windows-1252.
    tableWaitingBytes_ += line.size();
    tableWaiting_.emplace_back(line);
    if (tableWaitingBytes_ > kTableHoldBytes) commitTable(TextEncoding::Cp1252);
}

void SourceEncoding::commitTable(TextEncoding encoding) {
    tableEncoding_ = encoding;
    for (const std::string& line : tableWaiting_) table_->writeLine(recode(line, TextEncoding::Cp1252, encoding));
    tableWaiting_.clear();
    tableWaiting_.shrink_to_fit();
}

}  // namespace lomitra
