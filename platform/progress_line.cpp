// The progress line of lomitra-batch.
#include "platform/progress_line.h"

#include <algorithm>
#include <chrono>

#include "core/text_encoding.h"
#include "core/texts.h"
#include "platform/interrupt_cleanup.h"

namespace lomitra {

std::string groupedDigits(int64_t value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ' ');
    }
    return digits;
}

ProgressLine::ProgressLine(std::FILE* out, bool toTerminal, int64_t totalBytes, Clock clock, std::string_view unit)
    : out_(out), toTerminal_(toTerminal), totalBytes_(totalBytes), clock_(std::move(clock)),
      start_(clock_ ? clock_() : 0), unit_(unit) {}

std::string ProgressLine::text(int64_t lines, int64_t bytesRead, int64_t totalBytes, std::string_view unit) {
    std::string line(texts::kBatchProgressRead);
    line += groupedDigits(lines);
    line += unit;
    if (totalBytes > 0) {
        const int64_t percent = std::clamp<int64_t>(bytesRead * 100 / totalBytes, 0, 100);
        line += " (" + std::to_string(percent) + " %)";
    }
    return line;
}

void ProgressLine::look(int64_t bytesRead) {
    sinceLook_ = 0;
    if (!toTerminal_ || out_ == nullptr || !clock_) return;
    const double now = clock_();
    if (now - start_ < kFirstAfter) return;
    if (drawnWidth_ > 0 && now - lastDraw_ < kRedrawEvery) return;
    const std::string line = text(lines_, bytesRead, totalBytes_, unit_);
    const std::size_t width = utf8CharacterCount(line);
    // A shorter line than the last one blanks the rest of it.
    const std::string padding(drawnWidth_ > width ? drawnWidth_ - width : 0, ' ');
    setErrorLineUnfinished(true);  // an interrupt's message then starts a line of its own
    std::fprintf(out_, "\r%s%s", line.c_str(), padding.c_str());
    std::fflush(out_);
    drawnWidth_ = std::max(width, drawnWidth_);
    lastDraw_ = now;
}

void ProgressLine::clear() {
    if (drawnWidth_ == 0) return;
    std::fprintf(out_, "\r%s\r", std::string(drawnWidth_, ' ').c_str());
    std::fflush(out_);
    setErrorLineUnfinished(false);
    drawnWidth_ = 0;
}

ProgressLine::Clock ProgressLine::steadyClock() {
    return [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
}

}  // namespace lomitra
