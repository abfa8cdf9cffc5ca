// Map sheet identifiers and KKJ zone helpers over any doubles.
//
// Input: 8-byte chunks, each a double as it stands (NaN, infinities,
// denormals, extremes) and, from the same bits, a value spread over the sheet
// areas (so that the inside of the areas is reached as often as the outside).
// Consecutive chunks are (N, E) pairs; a fifth chunk's low bits give a target zone.
//
// Checks (the sanitizers check that nothing is undefined):
//   - utmSheetId is well formed inside its area and empty outside it;
//   - kkjSheetId is well formed (its first digit the point's zone) or empty,
//     and empty outside its area;
//   - kkjZoneChange into the zone of E's own prefix returns N and E bit for bit.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "core/kkj_zone.h"
#include "core/map_sheet.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/map_sheet_format.h"

namespace {

using lomitra::map_sheet_format::isWellFormedKkj;
using lomitra::map_sheet_format::isWellFormedUtm;

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string pair(double N, double E) {
    char text[80];
    std::snprintf(text, sizeof text, "(%.17g, %.17g)", N, E);
    return text;
}

// A fraction in [0, 1) from the high bits of a chunk.
double fraction(uint64_t bits) { return static_cast<double>(bits >> 11) * 0x1p-53; }

void checkPoint(double N, double E, int32_t targetZone) {
    const std::string utm = lomitra::utmSheetId(N, E);
    const bool inUtmArea = N >= 5706000.0 && N < 8010000.0 && E >= -460000.0 && E < 1460000.0;
    LOMITRA_FUZZ_CHECK(utm.empty() != inUtmArea, "UTM sheet '" + utm + "' of " + pair(N, E));
    LOMITRA_FUZZ_CHECK(utm.empty() || isWellFormedUtm(utm), "UTM sheet '" + utm + "' of " + pair(N, E));

    const std::string kkj = lomitra::kkjSheetId(N, E);
    const bool inKkjArea = N >= 6500000.0 && N <= 7800000.0 && E >= 550000.0 && E <= 5450000.0;
    LOMITRA_FUZZ_CHECK(kkj.empty() || (inKkjArea && isWellFormedKkj(kkj)), "KKJ sheet '" + kkj + "' of " + pair(N, E));
    const int32_t zone = lomitra::kkjZoneOf(N, E);
    LOMITRA_FUZZ_CHECK(kkj.empty() || kkj[0] == '0' + zone, "KKJ sheet '" + kkj + "' not in zone " + std::to_string(zone));

    double N2 = 0.0;
    double E2 = 0.0;
    lomitra::kkjZoneChange(zone, N, E, N2, E2);
    lomitra::kkjZoneChange(targetZone, N, E, N2, E2);
    const double prefix = std::isnan(E) ? 0.0 : std::trunc(E / 1000000.0);
    const double clamped = std::fmax(std::numeric_limits<int32_t>::min(),
                                     std::fmin(std::numeric_limits<int32_t>::max(), prefix));
    if (clamped == targetZone) {
        LOMITRA_FUZZ_CHECK(sameBits(N2, N) && sameBits(E2, E), "kkjZoneChange into the own zone moved " + pair(N, E));
    }
    (void)lomitra::kkjZoneHalfWidth(N);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    uint64_t chunks[5] = {};
    std::memcpy(chunks, data, size < sizeof chunks ? size : sizeof chunks);
    double raw[4];
    std::memcpy(raw, chunks, sizeof raw);
    int32_t targetZone = 0;
    std::memcpy(&targetZone, &chunks[4], sizeof targetZone);
    if ((chunks[4] >> 32 & 1) != 0) targetZone = static_cast<int32_t>(targetZone % 8 - 1);  // mostly real zones

    checkPoint(raw[0], raw[1], targetZone);
    checkPoint(raw[2], raw[3], targetZone);
    checkPoint(raw[0], raw[3], targetZone);
    // Inside and around the KKJ area, and the UTM area.
    checkPoint(6400000.0 + 1500000.0 * fraction(chunks[0]), 5600000.0 * fraction(chunks[1]), targetZone);
    checkPoint(5600000.0 + 2500000.0 * fraction(chunks[2]), -500000.0 + 2000000.0 * fraction(chunks[3]),
               targetZone);
    return 0;
}
