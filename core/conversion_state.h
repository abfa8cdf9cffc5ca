// The record through which the windows hand a point to the engine and get it back.
//
// All texts are bytes of the lines' encoding (Windows-1252, or UTF-8 for a
// source file that is UTF-8 text); columns and lengths count characters.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/text_encoding.h"

namespace lomitra {

inline constexpr int32_t kMaxFields = 100;  // fields recognised on one line
inline constexpr int32_t kResultTextWidth = 14;  // characters of a result text, pointText[2] and [3]

struct ConversionState {
    // 0 first source coordinate, 1 second, 2 first result (14 characters),
    // 3 second result (14 characters), 4 identifier ("Tunnus").
    std::array<std::string, 5> pointText;
    std::string message;   // empty while the point is good
    std::string kkjSheet;  // KKJ sheet + 3 spaces; 3 spaces outside the area; empty if not converted
    std::string utmSheet;  // UTM sheet + 1 space; 1 space outside the area; empty if not converted
    int32_t sourceLength = 0;  // trimmed length of pointText[0]; below 9 the input is short
    // The numbers pointText[2] and [3] were written from, at full precision
    // (metres, or the packed angle of the result format: degrees, ddmm.mm or
    // ddmmss.ss), and their decimals: a room too narrow for every decimal
    // gets the number rounded again to fewer.
    std::array<double, 2> resultNumber{};
    int32_t resultDecimals = 0;

    // The encoding of the lines, the identifier, the source texts and the messages.
    TextEncoding encoding = TextEncoding::Cp1252;

    // Fixed columns: 1-based start column and length of coordinate 1, 2, identifier.
    std::array<int32_t, 3> columnStart{};
    std::array<int32_t, 3> columnLength{};
    // Free format: zero-based field numbers of the same items (-1: no field).
    std::array<int32_t, 3> fieldNumber{};
    // Free format: 1-based start of each field, then the end marker (length + 1), then zeros.
    std::array<int32_t, kMaxFields + 1> fieldStart{};
};

}  // namespace lomitra
