// Writes a file safely: into a temporary file beside the target, which
// replaces the target only when everything was written. A failed write never
// leaves a half file and never destroys the old one.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace lomitra {

class AtomicFileWriter {
public:
    // path "-" writes standard output directly (nothing to replace).
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();  // discards the temporary file unless commit() succeeded
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False when the temporary file could not be created.
    bool open();
    // Writes `line` followed by CR LF.
    void writeLine(std::string_view line);
    // Flushes, closes and moves the temporary file over the target.
    // False (and the target untouched) on any error since open().
    bool commit();
    // A short description of the first error, for messages.
    const std::string& error() const { return error_; }

private:
    void fail(const char* what, int errnum);

    std::string path_;
    std::string tempPath_;
    std::FILE* file_ = nullptr;
    bool toStdout_ = false;
    bool failed_ = false;
    bool committed_ = false;
    std::string error_;
    std::vector<char> buffer_;
};

}  // namespace lomitra
