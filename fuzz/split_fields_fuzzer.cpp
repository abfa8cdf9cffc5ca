// splitFields and fieldNumberAt against plain reference loops.
//
// Input: bytes 0-1 the start column and 2-3 the length of a marked range
// (16-bit, signed), byte 4 moves them to the ends of the 32-bit range (bits
// 0-1 the start, 2-3 the length), byte 5 the previous field number (less 2);
// the rest is the line.
//
// Reference: a field begins at each byte above the space that follows a byte
// at or below it (or the start of the line), at most 100 fields, then the end
// marker length + 1, then zeros. The field of a marked range is the last field
// that begins at or before its middle column floor(start + length / 2 + 0.6),
// the end marker counting as a field; -1 when none does; the previous number
// when all 101 entries do.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/conversion_engine.h"
#include "fuzz/fuzz_check.h"

namespace {

using lomitra::fuzz::shown;

std::vector<int64_t> referenceStarts(const std::string& line) {
    std::vector<int64_t> starts;
    for (std::size_t j = 0; j < line.size(); ++j) {
        const bool above = static_cast<unsigned char>(line[j]) > 32;
        const bool afterBlank = j == 0 || static_cast<unsigned char>(line[j - 1]) <= 32;
        if (above && afterBlank && starts.size() < 100) starts.push_back(static_cast<int64_t>(j) + 1);
    }
    starts.push_back(static_cast<int64_t>(line.size()) + 1);  // the end marker
    return starts;
}

int32_t referenceFieldNumber(const std::vector<int64_t>& starts, int32_t start, int32_t length, int32_t previous) {
    const double middle = std::floor(static_cast<double>(start) + static_cast<double>(length) / 2.0 + 0.6);
    int32_t atOrBefore = 0;
    for (const int64_t s : starts) {
        if (static_cast<double>(s) <= middle) ++atOrBefore;
    }
    if (atOrBefore == 101) return previous;
    return atOrBefore - 1;
}

int32_t moved(int16_t value, int selector) {
    switch (selector & 3) {
        case 1: return std::numeric_limits<int32_t>::max() - (value & 0x7fff);
        case 2: return std::numeric_limits<int32_t>::min() + (value & 0x7fff);
        default: return value;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    uint8_t header[6] = {};
    std::memcpy(header, data, size < sizeof header ? size : sizeof header);
    int16_t start16 = 0;
    int16_t length16 = 0;
    std::memcpy(&start16, header, 2);
    std::memcpy(&length16, header + 2, 2);
    const int32_t start = moved(start16, header[4]);
    const int32_t length = moved(length16, header[4] >> 2);
    const int32_t previous = int32_t{header[5]} - 2;
    const std::string line = size > sizeof header
                                 ? std::string(reinterpret_cast<const char*>(data) + sizeof header, size - sizeof header)
                                 : std::string();

    lomitra::ConversionState state;
    state.fieldStart.fill(-7);  // splitFields sets every entry
    lomitra::splitFields(state, line);
    const std::vector<int64_t> starts = referenceStarts(line);
    for (std::size_t k = 0; k < state.fieldStart.size(); ++k) {
        const int64_t expected = k < starts.size() ? starts[k] : 0;
        LOMITRA_FUZZ_CHECK(state.fieldStart[k] == expected, "fieldStart[" + std::to_string(k) + "] = " +
                                                   std::to_string(state.fieldStart[k]) + ", expected " +
                                                   std::to_string(expected) + " for " + shown(line));
    }

    const int32_t got = lomitra::fieldNumberAt(state, start, length, previous);
    const int32_t expected = referenceFieldNumber(starts, start, length, previous);
    LOMITRA_FUZZ_CHECK(got == expected, "fieldNumberAt(" + std::to_string(start) + ", " + std::to_string(length) + ") = " +
                               std::to_string(got) + ", expected " + std::to_string(expected) + " for " + shown(line));
    return 0;
}
