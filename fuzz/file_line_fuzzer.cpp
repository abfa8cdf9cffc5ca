// One file line through convertLine and the result-file line operation
// (convertResultFileLine), in both layouts, with fuzzed settings, columns,
// lengths and field numbers.
//
// Input: a header of 17 bytes, then the line.
//   0 direction (-1..2)        1 sourceKind (0..2)       2 sourceZone (-1..3)
//   3 sourceFormat (-1..3)     4 resultKind (0..2)       5 resultZone (-1..17)
//   6 resultFormat (-1..3)     7 bit 0: free format; bit 1: the lines are UTF-8
//   8-10 columnStart[0..2], 11-13 columnLength[0..2], 14-16 fieldNumber[0..2]:
//        the byte less 2 (-2..251), 254 for INT32_MIN, 255 for INT32_MAX.
//
// Checks:
//   - the rules of a result-file line (tests/support/result_file_line_checks.h),
//     in characters of the line's encoding (well-formed or not as UTF-8);
//   - a line that is not converted, or does not fit, stays byte for byte;
//   - NotConverted exactly when convertLine leaves a message;
//   - a fresh engine (new DatumTransformation, state and engine) gives the same
//     bytes, the same outcome and the same point as the engine of the whole
//     run, which has seen every earlier input: the triangle cache never
//     changes a result.
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "core/conversion_engine.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/result_file_line_checks.h"

namespace {

using lomitra::ConversionEngine;
using lomitra::ConversionSettings;
using lomitra::ConversionState;
using lomitra::DatumTransformation;
using lomitra::LineLayout;
using lomitra::ResultFileLine;
using lomitra::fuzz::fail;
using lomitra::fuzz::shown;

constexpr std::size_t kHeaderBytes = 17;

int32_t position(uint8_t byte) {
    if (byte == 254) return std::numeric_limits<int32_t>::min();
    if (byte == 255) return std::numeric_limits<int32_t>::max();
    return int32_t{byte} - 2;
}

// The engine of the whole run: its triangle cache holds whatever the earlier inputs left.
struct LongLived {
    ConversionSettings settings;
    DatumTransformation datum;
    ConversionState state;
    ConversionEngine engine{settings, datum, state};
};

struct Fresh {
    explicit Fresh(const ConversionSettings& s) : settings(s) {}
    ConversionSettings settings;
    DatumTransformation datum;
    ConversionState state;
    ConversionEngine engine{settings, datum, state};
};

void setLayout(ConversionState& state, const uint8_t* header) {
    state.encoding = (header[7] & 2) != 0 ? lomitra::TextEncoding::Utf8 : lomitra::TextEncoding::Cp1252;
    for (int i = 0; i < 3; ++i) {
        state.columnStart[i] = position(header[8 + i]);
        state.columnLength[i] = position(header[11 + i]);
        state.fieldNumber[i] = position(header[14 + i]);
    }
}

// Everything of the point that a window or lomitra-batch shows (sourceLength
// only once a point was converted: a refused line leaves it as it was).
std::string pointOf(const ConversionState& s) {
    std::string out;
    for (const std::string& text : s.pointText) out += text + '|';
    out += s.message + '|' + s.kkjSheet + '|' + s.utmSheet;
    if (s.message.empty()) out += '|' + std::to_string(s.sourceLength);
    return out;
}

const char* outcomeName(ResultFileLine outcome) {
    switch (outcome) {
        case ResultFileLine::Converted: return "Converted";
        case ResultFileLine::NotConverted: return "NotConverted";
        case ResultFileLine::DoesNotFit: return "DoesNotFit";
    }
    return "?";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static LongLived* run = new LongLived;  // lives for the whole run, like the windows' engine
    uint8_t header[kHeaderBytes] = {};
    std::memcpy(header, data, size < kHeaderBytes ? size : kHeaderBytes);
    const std::string line = size > kHeaderBytes
                                 ? std::string(reinterpret_cast<const char*>(data) + kHeaderBytes, size - kHeaderBytes)
                                 : std::string();

    ConversionSettings& s = run->settings;
    s.direction = header[0] % 4 - 1;
    s.sourceKind = header[1] % 3;
    s.sourceZone = header[2] % 5 - 1;
    s.sourceFormat = header[3] % 5 - 1;
    s.resultKind = header[4] % 3;
    s.resultZone = header[5] % 19 - 1;
    s.resultFormat = header[6] % 5 - 1;
    const LineLayout layout = (header[7] & 1) != 0 ? LineLayout::FreeFormat : LineLayout::FixedColumns;
    ConversionState& state = run->state;
    setLayout(state, header);

    // convertLine alone, then the result-file operation on the same line.
    run->engine.convertLine(line, layout);
    const std::string converted = pointOf(state);
    const bool convertedOk = state.message.empty();
    std::string out = line;
    const ResultFileLine outcome = run->engine.convertResultFileLine(out, layout);
    LOMITRA_FUZZ_CHECK(pointOf(state) == converted, "the same line converted twice gave two points: " + shown(line));
    LOMITRA_FUZZ_CHECK((outcome == ResultFileLine::NotConverted) == !convertedOk,
          std::string("outcome ") + outcomeName(outcome) + " with message '" + shown(state.message) + "'");

    if (outcome != ResultFileLine::Converted) {
        LOMITRA_FUZZ_CHECK(out == line, std::string(outcomeName(outcome)) + " line changed: " + shown(line) + " -> " + shown(out));
    } else {
        const std::string broken = layout == LineLayout::FreeFormat
                                       ? lomitra::result_file_checks::checkFree(state, line, out)
                                       : lomitra::result_file_checks::checkFixed(state, line, out);
        if (!broken.empty()) fail(broken + ": " + shown(line) + " -> " + shown(out));
    }

    // A fresh engine that has seen nothing else.
    const auto fresh = std::make_unique<Fresh>(s);
    setLayout(fresh->state, header);
    std::string freshOut = line;
    const ResultFileLine freshOutcome = fresh->engine.convertResultFileLine(freshOut, layout);
    LOMITRA_FUZZ_CHECK(freshOutcome == outcome, std::string("fresh engine: ") + outcomeName(freshOutcome) + ", long-lived: " +
                                       outcomeName(outcome) + " for " + shown(line));
    LOMITRA_FUZZ_CHECK(freshOut == out, "fresh engine wrote " + shown(freshOut) + ", long-lived " + shown(out));
    LOMITRA_FUZZ_CHECK(pointOf(fresh->state) == pointOf(state),
          "fresh engine's point " + shown(pointOf(fresh->state)) + ", long-lived " + shown(pointOf(state)));
    return 0;
}
