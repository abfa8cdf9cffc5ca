// The streaming line reader over any bytes, across its block boundaries.
//
// Input: byte 0 the block size (1-16 bytes), byte 1 the line limit (0-40
// bytes); the rest is the file, written to an in-memory file and read back
// through its /proc/self/fd path.
//
// Reference: CR LF, a lone LF and a lone CR each end a line, and are not part
// of it; bytes after the last line end are a last line; an empty file has no
// lines; a line longer than the limit stops the reading with LineTooLong,
// after the lines before it. lineNumber() counts the lines delivered.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/text_line_reader.h"

namespace {

using lomitra::TextLineReader;
using lomitra::fuzz::fail;
using lomitra::fuzz::shown;

struct Expected {
    std::vector<std::string> lines;
    bool tooLong = false;
};

Expected referenceLines(const std::string& bytes, std::size_t limit) {
    Expected out;
    std::vector<std::string> all;
    std::string current;
    bool pending = false;  // bytes since the last line end
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            all.push_back(current);
            current.clear();
            pending = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            current.push_back(c);
            pending = true;
        }
    }
    if (pending) all.push_back(current);
    for (const std::string& line : all) {
        if (line.size() > limit) {
            out.tooLong = true;
            break;
        }
        out.lines.push_back(line);
    }
    return out;
}

// An in-memory file holding `bytes`; -1 when none could be made.
int memoryFile(const std::string& bytes) {
    const int fd = memfd_create("lomitra-fuzz", 0);
    if (fd < 0) return -1;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            close(fd);
            return -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::size_t blockBytes = size > 0 ? data[0] % 16 + 1 : 1;
    const std::size_t limit = size > 1 ? data[1] % 41 : 0;
    const std::string bytes =
        size > 2 ? std::string(reinterpret_cast<const char*>(data) + 2, size - 2) : std::string();
    const Expected expected = referenceLines(bytes, limit);

    const int fd = memoryFile(bytes);
    if (fd < 0) fail("no in-memory file");
    {
        TextLineReader reader("/proc/self/fd/" + std::to_string(fd), blockBytes, limit);
        LOMITRA_FUZZ_CHECK(reader.isOpen(), "the reader did not open its file");
        std::string line;
        std::size_t count = 0;
        while (reader.readLine(line)) {
            LOMITRA_FUZZ_CHECK(count < expected.lines.size(), "line " + std::to_string(count + 1) + " '" + shown(line) +
                                                      "' is one too many in " + shown(bytes));
            LOMITRA_FUZZ_CHECK(line == expected.lines[count], "line " + std::to_string(count + 1) + " is '" + shown(line) +
                                                     "', expected '" + shown(expected.lines[count]) + "' in " +
                                                     shown(bytes));
            ++count;
            LOMITRA_FUZZ_CHECK(reader.lineNumber() == static_cast<int64_t>(count), "lineNumber() after line " +
                                                                          std::to_string(count));
        }
        LOMITRA_FUZZ_CHECK(count == expected.lines.size(), std::to_string(count) + " lines of " +
                                                  std::to_string(expected.lines.size()) + " in " + shown(bytes));
        LOMITRA_FUZZ_CHECK(reader.lineNumber() == static_cast<int64_t>(count), "lineNumber() at the end");
        const bool tooLong = reader.failure() == TextLineReader::Failure::LineTooLong;
        LOMITRA_FUZZ_CHECK(tooLong == expected.tooLong && (tooLong || !reader.failed()),
              "reading ended with failure " + std::to_string(static_cast<int>(reader.failure())) + " in " +
                  shown(bytes) + ", block " + std::to_string(blockBytes) + ", limit " + std::to_string(limit));
        LOMITRA_FUZZ_CHECK(!reader.readLine(line) && line.empty(), "a line after the end");
    }
    close(fd);
    return 0;
}
