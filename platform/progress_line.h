// The progress line of lomitra-batch (and lomitra-gis) on standard error.
//
// Shown only on a terminal, and only once a run has lasted over a second:
// "luettu 120 000 riviä (45 %)", redrawn in place (carriage return) about
// twice a second, and wiped before the summary; an interrupt's message
// ends it first. The percentage is the share
// of the source's bytes read, shown when the source's size is known.
// lomitra-gis counts features instead ("luettu 120 000 kohdetta (12 %)"):
// its "bytes" are the features read and their total.
//
// The run loop reports every line; the clock is looked at only every
// kLinesPerLook lines, so a line costs one increment and one comparison.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "core/texts.h"

namespace lomitra {

// A count of 0 or more as "1 234 567", the Finnish grouping of digits.
std::string groupedDigits(int64_t value);

class ProgressLine {
public:
    // Seconds from any fixed start, never decreasing.
    using Clock = std::function<double()>;

    // out: where the line goes (standard error). toTerminal: whether `out` is
    // a terminal; nothing is ever written otherwise. totalBytes: the size of
    // the source, or -1 when it is not known (a pipe). unit: what is counted,
    // after the number (UTF-8, static).
    ProgressLine(std::FILE* out, bool toTerminal, int64_t totalBytes, Clock clock = steadyClock(),
                 std::string_view unit = texts::kBatchProgressLines);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // One more line read; bytesRead: the bytes of the source consumed so far.
    void lineRead(int64_t bytesRead) {
        ++lines_;
        if (++sinceLook_ >= kLinesPerLook) look(bytesRead);
    }

    // Wipes the line if one was drawn (before the summary or an error).
    void clear();

    // The total, once known (-1: not known).
    void setTotal(int64_t totalBytes) { totalBytes_ = totalBytes; }

    // The text of the line for `lines` lines read, with a percentage when
    // totalBytes > 0 (UTF-8, no line end).
    static std::string text(int64_t lines, int64_t bytesRead, int64_t totalBytes,
                            std::string_view unit = texts::kBatchProgressLines);

    static Clock steadyClock();

    static constexpr int64_t kLinesPerLook = 1024;
    static constexpr double kFirstAfter = 1.0;  // seconds of quiet at the start
    static constexpr double kRedrawEvery = 0.5;  // seconds between redraws

private:
    void look(int64_t bytesRead);

    std::FILE* out_;
    bool toTerminal_;
    int64_t totalBytes_;
    Clock clock_;
    double start_;
    double lastDraw_ = 0;
    int64_t lines_ = 0;
    int64_t sinceLook_ = 0;
    std::size_t drawnWidth_ = 0;  // characters of the line on the terminal; 0 = none drawn
    std::string_view unit_;
};

}  // namespace lomitra
