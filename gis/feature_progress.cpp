#include "gis/feature_progress.h"

#include <chrono>
#include <string_view>

#include "gis/gis_texts.h"

namespace lomitra::gis {

std::string groupedCount(int64_t value) {
    const std::string digits = std::to_string(value < 0 ? -value : value);
    std::string text = value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ' ';
        text += digits[i];
    }
    return text;
}

FeatureProgress::FeatureProgress(std::FILE* out, bool toTerminal, int64_t total, Clock clock)
    : out_(out), toTerminal_(toTerminal), total_(total), clock_(std::move(clock)), start_(clock_()) {}

FeatureProgress::Clock FeatureProgress::steadyClock() {
    return [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
}

std::string FeatureProgress::text(int64_t done, int64_t total) {
    std::string line = std::string(texts::kGisProgress) + groupedCount(done);
    if (total > 0) {
        line += " / " + groupedCount(total) + " (" + std::to_string(done * 100 / total) + " %)";
    }
    return line;
}

void FeatureProgress::look() {
    sinceLook_ = 0;
    if (!toTerminal_) return;
    const double now = clock_();
    if (now - start_ < kFirstAfter || (drawnWidth_ > 0 && now - lastDraw_ < kRedrawEvery)) return;
    lastDraw_ = now;
    const std::string line = text(done_, total_);
    // Blanks over what is left of a longer line before.
    const std::string pad(drawnWidth_ > line.size() ? drawnWidth_ - line.size() : 0, ' ');
    std::fprintf(out_, "\r%s%s", line.c_str(), pad.c_str());
    std::fflush(out_);
    drawnWidth_ = line.size();
}

void FeatureProgress::clear() {
    if (drawnWidth_ == 0) return;
    std::fprintf(out_, "\r%s\r", std::string(drawnWidth_, ' ').c_str());
    std::fflush(out_);
    drawnWidth_ = 0;
}

}  // namespace lomitra::gis
