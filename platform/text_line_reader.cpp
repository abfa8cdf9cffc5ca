// Streaming line reader: reads the file in blocks with fread and cuts lines at
// CR LF, lone LF or lone CR. A CR at the end of one block and a LF at the
// start of the next are one line end. The next CR and the next LF of a block
// are each looked for once and remembered until the lines pass them, so every
// byte is scanned at most twice whatever the line ends (a file of bare CRs is
// as fast as one of LFs).
#include "platform/text_line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/texts.h"
#include "platform/native_file.h"
#include "platform/system_error_text.h"

namespace lomitra {

TextLineReader::TextLineReader(const std::string& path, std::size_t blockBytes,
                               std::size_t maxLineBytes)
    : maxLineBytes_(maxLineBytes) {
    if (path == "-") {
        file_ = stdin;
    } else {
        if (isFolder(path)) {
            failure_ = Failure::Folder;  // some systems open a folder and fail only at the first read
            return;
        }
        errno = 0;
        file_ = openForReading(path);
        ownsFile_ = file_ != nullptr;
        if (file_ == nullptr) {
            failure_ = Failure::NotOpened;
            errorNumber_ = errno;
        }
    }
    if (file_ != nullptr) buffer_.resize(std::max<std::size_t>(blockBytes, 1));
}

TextLineReader::~TextLineReader() { close(); }

void TextLineReader::close() {
    if (ownsFile_) std::fclose(file_);
    ownsFile_ = false;
    file_ = nullptr;
}

bool TextLineReader::fill() {
    if (atEnd_ || file_ == nullptr) return false;
    errno = 0;
    const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_);
    pos_ = 0;
    end_ = got;
    nextCr_ = kUnknown;
    nextLf_ = kUnknown;
    filled_ += got;
    if (got < buffer_.size()) {
        if (std::ferror(file_) != 0) {
            failure_ = errno == EISDIR ? Failure::Folder : Failure::ReadError;
            errorNumber_ = errno;
        }
        atEnd_ = true;
    }
    return got > 0;
}

bool TextLineReader::append(std::string& line, const char* bytes, std::size_t count) {
    if (count > maxLineBytes_ - line.size()) {
        failure_ = Failure::LineTooLong;
        line.clear();
        line.shrink_to_fit();
        return false;
    }
    // Grow by doubling, but never past the limit, so a refused line costs at most the limit.
    if (line.size() + count > line.capacity()) {
        line.reserve(std::min(std::max(2 * line.capacity(), line.size() + count), maxLineBytes_));
    }
    line.append(bytes, count);
    return true;
}

bool TextLineReader::readLine(std::string& line) {
    line.clear();
    if (file_ == nullptr || failed()) return false;
    if (skipLf_) {
        if (pos_ == end_ && !fill()) return false;
        if (buffer_[pos_] == '\n') ++pos_;
        skipLf_ = false;
    }
    bool any = false;  // bytes seen for this line (a line may be empty but still end in a break)
    for (;;) {
        if (pos_ == end_) {
            if (!fill()) {
                if (!any || failed()) return false;
                ++lineNumber_;
                return true;
            }
        }
        any = true;
        // The nearer of the next CR and the next LF ends the line.
        const std::size_t lf = nextOf('\n', nextLf_);
        const std::size_t cr = nextOf('\r', nextCr_);
        const std::size_t stop = std::min(lf, cr);
        if (!append(line, buffer_.data() + pos_, stop - pos_)) return false;
        if (stop == end_) {
            pos_ = end_;
            continue;
        }
        pos_ = stop + 1;
        if (stop == cr) {
            if (pos_ < end_) {
                if (buffer_[pos_] == '\n') ++pos_;
            } else {
                skipLf_ = true;  // decide at the next block
            }
        }
        ++lineNumber_;
        return true;
    }
}

std::size_t TextLineReader::nextOf(char c, std::size_t& cached) const {
    // A position found earlier stays the next one until the lines pass it.
    if (cached == kUnknown || cached < pos_) {
        const void* found = std::memchr(buffer_.data() + pos_, c, end_ - pos_);
        cached = found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data()) : end_;
    }
    return cached;
}

std::string readFailureReason(const TextLineReader& reader) {
    switch (reader.failure()) {
        case TextLineReader::Failure::None:
            return {};
        case TextLineReader::Failure::Folder:
            return systemErrorText(EISDIR);
        case TextLineReader::Failure::LineTooLong:
            return std::string(texts::kLineTooLong1) + std::to_string(reader.lineNumber() + 1) +
                   std::string(texts::kLineTooLong2);
        case TextLineReader::Failure::NotOpened:
        case TextLineReader::Failure::ReadError:
            break;
    }
    return systemErrorText(reader.errorNumber());
}

}  // namespace lomitra
