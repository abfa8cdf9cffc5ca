// Safe file writer, the part common to every system: lines gather in one
// buffer that goes out in large writes; every write, the sync and the close
// are checked; only a complete temporary file replaces the target, and only
// at commit.
#include "platform/safe_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "core/texts.h"
#include "platform/interrupt_cleanup.h"
#include "platform/system_error_text.h"

namespace lomitra {

namespace {
constexpr std::size_t kBufferSize = std::size_t{1} << 18;  // 256 KiB
}

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path)) {}

SafeFileWriter::~SafeFileWriter() {
    if (!finished_) syncAndClose(false);
    if (!committed_) discardTemporary();
    closeFolder();  // after the temporary file left the registry, which names it by the folder
}

SafeFileWriter::Outcome SafeFileWriter::outcome() const {
    if (!direct_) return committed_ ? Outcome::Replaced : Outcome::Untouched;
    if (finished_ && !failed_) return Outcome::WrittenInFull;
    return delivered_ > 0 ? Outcome::WrittenInPart : Outcome::Untouched;
}

void SafeFileWriter::fail(std::string reason) {
    if (failed_) return;  // keep the first reason
    failed_ = true;
    reason_ = std::move(reason);
}

void SafeFileWriter::failErrno(int errorNumber) { fail(systemErrorText(errorNumber)); }

void SafeFileWriter::discardTemporary() {
    if (temporary_.empty()) return;
    deleteTemporary();
    unregisterTemporaryFile(temporary_, folder_);
    temporary_.clear();
}

bool SafeFileWriter::open() {
    if (ownsHandle_ || direct_ || failed_) return !failed_;
    if (path_.empty()) {
        fail(std::string(texts::kEmptyFileName));
        return false;
    }
    if (!openTarget()) return false;
    buffer_.resize(kBufferSize);
    return true;
}

bool SafeFileWriter::writeAll(const char* data, std::size_t size) {
    while (size > 0) {
        const int64_t n = writeSome(data, size);
        if (n < 0) return false;
        if (direct_) delivered_ += static_cast<uint64_t>(n);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SafeFileWriter::flushBuffer() {
    const std::size_t n = used_;
    used_ = 0;
    return n == 0 || writeAll(buffer_.data(), n);
}

void SafeFileWriter::writeLine(std::string_view line) {
    if (failed_) return;
    if (buffer_.empty() || finished_) {  // not open, or already finished: the line would be lost
        failErrno(EBADF);
        discardTemporary();
        return;
    }
    for (const std::string_view part : {line, std::string_view("\r\n")}) {
        if (used_ + part.size() > buffer_.size()) {
            if (!flushBuffer()) return;
            if (part.size() > buffer_.size()) {  // a long line goes out at once
                writeAll(part.data(), part.size());
                continue;
            }
        }
        std::memcpy(buffer_.data() + used_, part.data(), part.size());
        used_ += part.size();
    }
}

bool SafeFileWriter::finish() {
    if (finished_) return !failed_;
    finished_ = true;
    if (buffer_.empty() && !failed_) failErrno(EBADF);  // never opened
    if (!failed_) flushBuffer();
    syncAndClose(!failed_ && !direct_);
    if (failed_) discardTemporary();
    return !failed_;
}

bool SafeFileWriter::commit() {
    if (committed_) return true;
    if (!finish()) return false;
    if (!direct_) {
        if (!replaceTarget()) {
            discardTemporary();
            return false;
        }
        unregisterTemporaryFile(temporary_, folder_);
        temporary_.clear();
    }
    committed_ = true;
    return true;
}

std::string failureOutcomeText(uint64_t bytesDelivered) {
    if (bytesDelivered == 0) return std::string(texts::kNothingWasWritten);
    return std::string(texts::kOutputCutShort1) + std::to_string(bytesDelivered) +
           std::string(texts::kOutputCutShort2);
}

std::string temporaryNameFor(const std::string& targetName, std::size_t maxBytes, uint64_t& state) {
    static constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static constexpr std::string_view kMark = ".lomitra-";
    constexpr std::size_t kRandom = 6;
    const std::size_t room = maxBytes > 1 + kMark.size() + kRandom ? maxBytes - 1 - kMark.size() - kRandom : 0;
    std::size_t keep = std::min(targetName.size(), room);
    // Not inside a character: a UTF-8 name stays UTF-8.
    while (keep > 0 && keep < targetName.size() && (static_cast<unsigned char>(targetName[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    std::string name = "." + targetName.substr(0, keep) + std::string(kMark);
    for (std::size_t i = 0; i < kRandom; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;  // Knuth's MMIX generator
        name.push_back(kLetters[(state >> 33) % kLetters.size()]);
    }
    return name;
}

bool sameOutputFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    if (a == b) return true;
    const OutputIdentity x = identifyOutput(a);
    const OutputIdentity y = identifyOutput(b);
    if (x.exists != y.exists) return false;
    return x.exists ? (x.device == y.device && x.file == y.file) : x.name == y.name;
}

}  // namespace lomitra
