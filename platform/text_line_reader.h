// Reads a text file line by line as raw bytes, streaming.
//
// A line ends in CR LF; a lone LF or a lone CR also ends a line, so that files
// from other systems are not read as one line. The line end is not part of
// the line. A last line without a line end is still a line; an empty file has
// no lines. The bytes of a line are never changed. Memory stays at one block
// plus the longest line, whatever the size of the file; a line longer than
// the limit (64 MiB) stops the reading as a failure, so that a file without
// line ends (or an endless device) cannot exhaust the memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace lomitra {

inline constexpr std::size_t kMaxLineBytes = std::size_t{64} << 20;  // 64 MiB, without the line end
inline constexpr std::size_t kReadBlockBytes = std::size_t{1} << 18;  // 256 KiB per read

class TextLineReader {
public:
    // Why reading stopped before the end of the file.
    enum class Failure {
        None,
        NotOpened,    // the file could not be opened (errorNumber() tells why)
        Folder,       // the path names a folder
        ReadError,    // a read failed (errorNumber() tells why)
        LineTooLong,  // line number lineNumber() + 1 is longer than the limit
    };

    // path "-" reads standard input. The block size and the line limit are
    // parameters so that tests can reach their boundaries with small inputs.
    explicit TextLineReader(const std::string& path, std::size_t blockBytes = kReadBlockBytes,
                            std::size_t maxLineBytes = kMaxLineBytes);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // Next line into `line`; false at the end of the file or on a failure.
    bool readLine(std::string& line);
    // True when reading stopped on a failure rather than at the end of the file.
    bool failed() const { return failure_ != Failure::None; }
    Failure failure() const { return failure_; }
    int errorNumber() const { return errorNumber_; }
    // Lines delivered so far.
    int64_t lineNumber() const { return lineNumber_; }
    // Closes the file now (the reader then reads nothing more).
    void close();
    // Bytes of the file taken by the lines returned so far, line ends included
    // (a CR whose LF is still unread counts without it).
    int64_t bytesConsumed() const { return static_cast<int64_t>(filled_ - (end_ - pos_)); }

private:
    // Refills the buffer; false when nothing more can be read.
    bool fill();
    // Appends `count` bytes to the line, or fails when the line grows past the limit.
    bool append(std::string& line, const char* bytes, std::size_t count);
    // The buffer position of the next `c` at or after pos_ (end_ when there
    // is none), searched only when `cached` lies behind pos_.
    std::size_t nextOf(char c, std::size_t& cached) const;

    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);

    std::FILE* file_ = nullptr;
    bool ownsFile_ = false;
    Failure failure_ = Failure::None;
    int errorNumber_ = 0;
    bool atEnd_ = false;
    bool skipLf_ = false;  // the previous line ended in CR: a LF right after it belongs to it
    std::size_t maxLineBytes_;
    int64_t lineNumber_ = 0;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::size_t nextCr_ = kUnknown;  // see nextOf()
    std::size_t nextLf_ = kUnknown;
    uint64_t filled_ = 0;  // bytes read from the file into the buffer so far
};

// Why `reader` failed, in Finnish ("se on kansio", "rivi 7 on yli 64 MiB pitkä", ...).
std::string readFailureReason(const TextLineReader& reader);

}  // namespace lomitra
