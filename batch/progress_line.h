// The progress line of lomitra-batch on standard error.
//
// Shown only on a terminal, and only once a run has lasted over a second:
// "luettu 120 000 riviä (45 %)", redrawn in place (carriage return) about
// twice a second, and wiped before the summary; an interrupt's message
// ends it first. The percentage is the share
// of the source's bytes read, shown when the source's size is known.
//
// The run loop reports every line; the clock is looked at only every
// kLinesPerLook lines, so a line costs one increment and one comparison.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace lomitra {

class ProgressLine {
public:
    // Seconds from any fixed start, never decreasing.
    using Clock = std::function<double()>;

    // out: where the line goes (standard error). toTerminal: whether `out` is
    // a terminal; nothing is ever written otherwise. totalBytes: the size of
    // the source, or -1 when it is not known (a pipe).
    ProgressLine(std::FILE* out, bool toTerminal, int64_t totalBytes, Clock clock = steadyClock());
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // One more line read; bytesRead: the bytes of the source consumed so far.
    void lineRead(int64_t bytesRead) {
        ++lines_;
        if (++sinceLook_ >= kLinesPerLook) look(bytesRead);
    }

    // Wipes the line if one was drawn (before the summary or an error).
    void clear();

    // The text of the line for `lines` lines read, with a percentage when
    // totalBytes > 0 (UTF-8, no line end).
    static std::string text(int64_t lines, int64_t bytesRead, int64_t totalBytes);

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
};

}  // namespace lomitra
