// The progress line of lomitra-gis on standard error.
//
// As lomitra-batch's: shown only on a terminal and only once a run has lasted
// over a second, "kohteita 120 000 / 1 000 000 (12 %)" redrawn in place about
// twice a second, wiped before the summary. The total is the features that
// the source layers count without reading them, when they can.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace lomitra::gis {

class FeatureProgress {
public:
    using Clock = std::function<double()>;  // seconds, never decreasing

    // total: the features of the run, or -1 when not known.
    FeatureProgress(std::FILE* out, bool toTerminal, int64_t total, Clock clock);
    FeatureProgress(const FeatureProgress&) = delete;
    FeatureProgress& operator=(const FeatureProgress&) = delete;

    // The features of the run, once known (-1: not known).
    void setTotal(int64_t total) { total_ = total; }

    void featureDone() {
        ++done_;
        if (++sinceLook_ >= kFeaturesPerLook) look();
    }
    void clear();

    // "kohteita 120 000 / 1 000 000 (12 %)", or "kohteita 120 000" when total < 0.
    static std::string text(int64_t done, int64_t total);
    static Clock steadyClock();

    static constexpr int64_t kFeaturesPerLook = 256;
    static constexpr double kFirstAfter = 1.0;
    static constexpr double kRedrawEvery = 0.5;

private:
    void look();

    std::FILE* out_;
    bool toTerminal_;
    int64_t total_;
    Clock clock_;
    double start_;
    double lastDraw_ = 0;
    int64_t done_ = 0;
    int64_t sinceLook_ = 0;
    std::size_t drawnWidth_ = 0;
};

// 1234567 as "1 234 567" (a space between thousands, as Finnish writes).
std::string groupedCount(int64_t value);

}  // namespace lomitra::gis
