// The rules of a converted result-file line, as checks shared by the property
// test over random lines and the file-line fuzz target:
//   - fixed columns: no byte outside the two coordinate rooms changes, and
//     each room holds its result right-aligned;
//   - free format: the line is the old one with the two rooms replaced, each
//     by the result and spaces (same size), or by the bare integer part when
//     it did not fit (the field widened); every field keeps its number;
//   - every written coordinate read back is the full result with, at most,
//     decimals cut: never one integer digit less.
// Each check returns an empty text when the rule holds, otherwise what broke it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/conversion_engine.h"

namespace lomitra::result_file_checks {

inline bool isSeparator(unsigned char c) { return c <= 32; }

// Characters of `t` before its decimal point (all of them without one).
inline int64_t integerLength(const std::string& t) {
    return static_cast<int64_t>(std::min(t.find('.'), t.size()));
}

inline std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// `written`, read back from a room of `room` characters, is the full result
// `t` with at most decimals cut, and cut only where `t` did not fit.
inline std::string checkReadBack(const std::string& written, const std::string& t, int64_t room) {
    if (written.empty()) return "nothing written for '" + t + "'";
    if (t.compare(0, written.size(), written) != 0) return "'" + written + "' is no prefix of '" + t + "'";
    if (static_cast<int64_t>(written.size()) < integerLength(t)) {
        return "an integer digit was lost: '" + written + "' of '" + t + "'";
    }
    if (static_cast<int64_t>(t.size()) <= room && written != t) {
        return "'" + t + "' cut to '" + written + "' although it fitted";
    }
    return {};
}

// A converted fixed-column line `out` made from `line` with the columns and
// results in `state`.
inline std::string checkFixed(const ConversionState& state, const std::string& line, const std::string& out) {
    if (out.size() != line.size()) return "the line changed its length";
    std::vector<bool> inRoom(line.size(), false);
    for (int i = 0; i < 2; ++i) {
        const int64_t begin = int64_t{state.columnStart[i]} - 1;
        if (begin < 0 || begin >= static_cast<int64_t>(line.size())) return "converted with a start outside the line";
        const int64_t room = std::min<int64_t>(state.columnLength[i], static_cast<int64_t>(line.size()) - begin);
        const std::string content = out.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(room));
        const std::string written = trimmed(content);
        if (content.find_first_not_of(' ') != content.size() - written.size()) {
            return "coordinate " + std::to_string(i + 1) + " is not right-aligned in its room";
        }
        const std::string readBack = checkReadBack(written, trimmed(state.pointText[i + 2]), room);
        if (!readBack.empty()) return readBack;
        std::fill_n(inRoom.begin() + begin, room, true);
    }
    for (std::size_t j = 0; j < line.size(); ++j) {
        if (!inRoom[j] && out[j] != line[j]) return "byte " + std::to_string(j + 1) + " outside the rooms changed";
    }
    return {};
}

// Where free-format field `k` of `line` lies, with the blanks after it less one
// (to the end of the line for the last field).
struct FieldRoom {
    int64_t begin = 0;  // 0-based
    int64_t size = 0;
    int index = 0;      // coordinate 0 or 1
};

inline FieldRoom fieldRoom(const std::string& line, int32_t k, int index) {
    ConversionState scratch;
    splitFields(scratch, line);
    FieldRoom r;
    r.index = index;
    r.begin = scratch.fieldStart[k] - 1;
    const bool last = k + 2 > kMaxFields || scratch.fieldStart[k + 2] == 0;
    r.size = last ? static_cast<int64_t>(line.size()) - r.begin : scratch.fieldStart[k + 1] - 1 - r.begin - 1;
    return r;
}

// Number of fields of `line` (at most the table's 100).
inline int64_t fieldCount(const std::string& line) {
    ConversionState s;
    splitFields(s, line);
    return std::find(s.fieldStart.begin() + 1, s.fieldStart.end(), 0) - s.fieldStart.begin();
}

// A converted free-format line `out` made from `line` with the field numbers
// and results in `state`.
inline std::string checkFree(const ConversionState& state, const std::string& line, const std::string& out) {
    for (int i = 0; i < 2; ++i) {
        if (state.fieldNumber[i] < 0 || state.fieldNumber[i] >= kMaxFields) return "converted without a field";
    }
    std::vector<FieldRoom> rooms{fieldRoom(line, state.fieldNumber[0], 0), fieldRoom(line, state.fieldNumber[1], 1)};
    std::sort(rooms.begin(), rooms.end(), [](const FieldRoom& a, const FieldRoom& b) { return a.begin < b.begin; });
    const auto outSize = static_cast<int64_t>(out.size());
    int64_t from = 0;  // in line
    int64_t at = 0;    // in out
    for (const FieldRoom& r : rooms) {
        const int64_t gap = r.begin - from;
        if (gap < 0 || at + gap > outSize ||
            out.compare(static_cast<std::size_t>(at), static_cast<std::size_t>(gap), line,
                        static_cast<std::size_t>(from), static_cast<std::size_t>(gap)) != 0) {
            return "bytes between the rooms changed";
        }
        at += gap;
        const std::string t = trimmed(state.pointText[r.index + 2]);
        int64_t end = at;
        while (end < outSize && !isSeparator(static_cast<unsigned char>(out[static_cast<std::size_t>(end)]))) ++end;
        const std::string written = out.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(end - at));
        const std::string readBack = checkReadBack(written, t, r.size);
        if (!readBack.empty()) return readBack;
        const bool widened = integerLength(t) > r.size;
        const int64_t newSize = widened ? integerLength(t) : r.size;
        if (widened && written != t.substr(0, static_cast<std::size_t>(integerLength(t)))) {
            return "a widened field does not hold the bare integer part of '" + t + "'";
        }
        if (at + newSize > outSize) return "the line ends inside a room";
        // After the result the room holds spaces, or the blanks it held before.
        for (int64_t j = static_cast<int64_t>(written.size()); j < newSize; ++j) {
            const char now = out[static_cast<std::size_t>(at + j)];
            if (!(now == ' ' || (!widened && isSeparator(static_cast<unsigned char>(now)) &&
                                 now == line[static_cast<std::size_t>(r.begin + j)]))) {
                return "byte " + std::to_string(at + j + 1) + " of a room is neither a space nor its old blank";
            }
        }
        at += newSize;
        from = r.begin + r.size;
    }
    if (out.compare(static_cast<std::size_t>(at), std::string::npos, line, static_cast<std::size_t>(from)) != 0) {
        return "the rest of the line changed";
    }
    if (fieldCount(line) != fieldCount(out)) return "fields lost their numbers";
    return {};
}

}  // namespace lomitra::result_file_checks
