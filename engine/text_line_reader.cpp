// Streaming line reader: reads the file in large blocks with fread and cuts
// lines at CR LF, lone LF or lone CR. A CR at the end of one block and a LF at
// the start of the next are one line end.
#include "engine/text_line_reader.h"

#include <cstring>

namespace lomitra {

namespace {
constexpr std::size_t kBufferSize = 1 << 18;  // 256 KiB per read
}

TextLineReader::TextLineReader(const std::string& path) {
    if (path == "-") {
        file_ = stdin;
    } else {
        file_ = std::fopen(path.c_str(), "rb");
        ownsFile_ = file_ != nullptr;
    }
    if (file_ != nullptr) buffer_.resize(kBufferSize);
}

TextLineReader::~TextLineReader() {
    if (ownsFile_) std::fclose(file_);
}

bool TextLineReader::fill() {
    if (atEnd_ || file_ == nullptr) return false;
    const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    pos_ = 0;
    end_ = got;
    filled_ += got;
    if (got < buffer_.size()) {
        if (std::ferror(file_) != 0) failed_ = true;
        atEnd_ = true;
    }
    return got > 0;
}

bool TextLineReader::readLine(std::string& line) {
    line.clear();
    if (file_ == nullptr || failed_) return false;
    if (skipLf_) {
        if (pos_ == end_ && !fill()) return false;
        if (buffer_[pos_] == '\n') ++pos_;
        skipLf_ = false;
    }
    bool any = false;  // bytes seen for this line (a line may be empty but still end in a break)
    for (;;) {
        if (pos_ == end_) {
            if (!fill()) return any && !failed_;
        }
        any = true;
        const char* start = buffer_.data() + pos_;
        const std::size_t avail = end_ - pos_;
        // The nearer of the next CR and the next LF ends the line.
        const void* lf = std::memchr(start, '\n', avail);
        const std::size_t limit = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) : avail;
        const void* cr = std::memchr(start, '\r', limit);
        if (cr != nullptr) {
            const std::size_t n = static_cast<std::size_t>(static_cast<const char*>(cr) - start);
            line.append(start, n);
            pos_ += n + 1;
            if (pos_ < end_) {
                if (buffer_[pos_] == '\n') ++pos_;
            } else {
                skipLf_ = true;  // decide at the next block
            }
            return true;
        }
        if (lf != nullptr) {
            line.append(start, limit);
            pos_ += limit + 1;
            return true;
        }
        line.append(start, avail);
        pos_ = end_;
    }
}

}  // namespace lomitra
