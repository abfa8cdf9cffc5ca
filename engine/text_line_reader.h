// Reads a text file line by line as raw bytes, streaming.
//
// A line ends in CR LF; a lone LF or a lone CR also ends a line, so that files
// from other systems are not read as one line. The line end is not part of
// the line. A last line without a line end is still a line; an empty file has
// no lines. The bytes of a line are never changed. Memory stays at one buffer
// plus the longest line, whatever the size of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace lomitra {

class TextLineReader {
public:
    // path "-" reads standard input.
    explicit TextLineReader(const std::string& path);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // Next line into `line`; false at the end of the file or on a read error.
    bool readLine(std::string& line);
    // True when reading stopped on an error rather than at the end of the file.
    bool failed() const { return failed_; }
    // Bytes of the file taken by the lines returned so far, line ends included
    // (a CR whose LF is still unread counts without it).
    int64_t bytesConsumed() const { return static_cast<int64_t>(filled_ - (end_ - pos_)); }

private:
    // Refills the buffer; false when nothing more can be read.
    bool fill();

    std::FILE* file_ = nullptr;
    bool ownsFile_ = false;
    bool failed_ = false;
    bool atEnd_ = false;
    bool skipLf_ = false;  // the previous line ended in CR: a LF right after it belongs to it
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    uint64_t filled_ = 0;  // bytes read from the file into the buffer so far
};

}  // namespace lomitra
