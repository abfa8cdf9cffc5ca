// The rules of a converted result-file line, as checks shared by the property
// test over random lines and the file-line fuzz target:
//   - fixed columns: no character outside the two coordinate rooms changes,
//     the line keeps its width in characters, and each room holds its
//     result right-aligned;
//   - free format: the line is the old one with the two rooms replaced, each
//     by the result and spaces (same width), or by the rounded integer when
//     not even that fitted (the field widened); every field keeps its number;
//   - every written coordinate is the full result rounded to its room: the
//     most decimals that fit, the number written again by std::to_chars
//     (exact, ties to even), never an integer digit less;
//   - the converted source texts are those that stood in the rooms.
// Characters are bytes, or code points of a UTF-8 line that holds a
// multi-byte character (each byte that begins no sequence one character).
// Each check returns an empty text when the rule holds, otherwise what broke it.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

#include "core/conversion_engine.h"

namespace lomitra::result_file_checks {

inline bool isSeparator(const std::string& c) { return c.size() == 1 && static_cast<unsigned char>(c[0]) <= 32; }

inline std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The characters of a line, each as its bytes.
inline std::vector<std::string> charactersOf(const ConversionState& state, const std::string& line) {
    const bool utf8 = columnEncoding(state.encoding, line) == TextEncoding::Utf8;
    std::vector<std::string> out;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t n = utf8 ? utf8CharacterBytes(line.data() + at, line.data() + line.size()) : 1;
        out.push_back(line.substr(at, n));
        at += n;
    }
    return out;
}

inline std::string joined(const std::vector<std::string>& characters, std::size_t begin, std::size_t end) {
    std::string out;
    for (std::size_t j = begin; j < end && j < characters.size(); ++j) out += characters[j];
    return out;
}

inline std::string fixedText(double value, int decimals) {
    char text[400];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    return std::string(text, end);
}

// What coordinate `i` must read in a room of `room` characters; `fits`
// false when not even the rounded integer (then returned) fits.
inline std::string expectedInRoom(const ConversionState& state, int i, int64_t room, bool& fits) {
    const std::string t = trimmed(state.pointText[static_cast<std::size_t>(i) + 2]);
    fits = true;
    if (static_cast<int64_t>(t.size()) <= room) return t;
    const double value = state.resultNumber[static_cast<std::size_t>(i)];
    for (int decimals = state.resultDecimals - 1; decimals >= 0; --decimals) {
        const std::string text = fixedText(value, decimals);
        if (static_cast<int64_t>(text.size()) <= room) return text;
    }
    fits = false;
    return fixedText(value, 0);
}

// The full result texts are the numbers kept for rounding again, written
// with their decimals (a 14-character text may cut a longer one).
inline std::string checkFullResults(const ConversionState& state) {
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string full = fixedText(state.resultNumber[i], state.resultDecimals);
        const std::string t = trimmed(state.pointText[i + 2]);
        if (t != full.substr(0, kResultTextWidth)) {
            return "result '" + t + "' was not written from " + full;
        }
    }
    return {};
}

// Source text `i` of the state is `text` as read: trimmed of spaces, its
// first decimal comma a point.
inline std::string checkSourceText(const ConversionState& state, int i, std::string text) {
    text = trimmed(text);
    if (const std::size_t comma = text.find(','); comma != std::string::npos) text[comma] = '.';
    const std::string& read = state.pointText[static_cast<std::size_t>(i)];
    if (read != text) return "coordinate " + std::to_string(i + 1) + " was read as '" + read + "', not '" + text + "'";
    return {};
}

// A converted fixed-column line `out` made from `line` with the columns and
// results in `state`.
inline std::string checkFixed(const ConversionState& state, const std::string& line, const std::string& out) {
    if (const std::string full = checkFullResults(state); !full.empty()) return full;
    const std::vector<std::string> before = charactersOf(state, line);
    for (int i = 0; i < 2; ++i) {
        const auto first = static_cast<std::size_t>(std::max(state.columnStart[i], 1) - 1);
        const std::string source = joined(before, first, first + static_cast<std::size_t>(state.columnLength[i]));
        if (const std::string read = checkSourceText(state, i, source); !read.empty()) return read;
    }
    const std::vector<std::string> after = charactersOf(state, out);
    if (after.size() != before.size()) return "the line changed its width in characters";
    std::vector<bool> inRoom(before.size(), false);
    for (int i = 0; i < 2; ++i) {
        const int64_t begin = int64_t{state.columnStart[i]} - 1;
        if (begin < 0 || begin >= static_cast<int64_t>(before.size())) return "converted with a start outside the line";
        const int64_t room = std::min<int64_t>(state.columnLength[i], static_cast<int64_t>(before.size()) - begin);
        const auto first = static_cast<std::size_t>(begin);
        const std::string content = joined(after, first, first + static_cast<std::size_t>(room));
        if (static_cast<int64_t>(content.size()) != room) return "a room holds more than its result and spaces";
        const std::string written = trimmed(content);
        if (content.find_first_not_of(' ') != content.size() - written.size()) {
            return "coordinate " + std::to_string(i + 1) + " is not right-aligned in its room";
        }
        bool fits = false;
        const std::string expected = expectedInRoom(state, i, room, fits);
        if (!fits) return "converted although '" + expected + "' does not fit " + std::to_string(room) + " characters";
        if (written != expected) return "'" + written + "' written where '" + expected + "' belongs";
        std::fill_n(inRoom.begin() + begin, room, true);
    }
    for (std::size_t j = 0; j < before.size(); ++j) {
        if (!inRoom[j] && after[j] != before[j]) {
            return "character " + std::to_string(j + 1) + " outside the rooms changed";
        }
    }
    return {};
}

// Where free-format field `k` of `line` lies, with the blanks after it less one
// (to the end of the line for the last field), in characters.
struct FieldRoom {
    int64_t begin = 0;  // 0-based
    int64_t size = 0;
    int index = 0;      // coordinate 0 or 1
};

inline FieldRoom fieldRoom(const ConversionState& state, const std::string& line, int32_t k, int index) {
    ConversionState scratch;
    splitFieldsInCharacters(scratch, line, state.encoding);
    const auto width = static_cast<int64_t>(charactersOf(state, line).size());
    FieldRoom r;
    r.index = index;
    r.begin = scratch.fieldStart[k] - 1;
    const bool last = k + 2 > kMaxFields || scratch.fieldStart[k + 2] == 0;
    r.size = last ? width - r.begin : scratch.fieldStart[k + 1] - 1 - r.begin - 1;
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
    if (const std::string full = checkFullResults(state); !full.empty()) return full;
    const std::vector<std::string> before = charactersOf(state, line);
    const std::vector<std::string> after = charactersOf(state, out);
    std::vector<FieldRoom> rooms{fieldRoom(state, line, state.fieldNumber[0], 0),
                                 fieldRoom(state, line, state.fieldNumber[1], 1)};
    std::sort(rooms.begin(), rooms.end(), [](const FieldRoom& a, const FieldRoom& b) { return a.begin < b.begin; });
    const auto outSize = static_cast<int64_t>(after.size());
    int64_t from = 0;  // in before
    int64_t at = 0;    // in after
    for (const FieldRoom& r : rooms) {
        const int64_t gap = r.begin - from;
        if (gap < 0 || at + gap > outSize ||
            !std::equal(after.begin() + at, after.begin() + at + gap, before.begin() + from)) {
            return "characters between the rooms changed";
        }
        at += gap;
        int64_t sourceEnd = r.begin;
        while (sourceEnd < static_cast<int64_t>(before.size()) && !isSeparator(before[static_cast<std::size_t>(sourceEnd)])) {
            ++sourceEnd;
        }
        const std::string source = joined(before, static_cast<std::size_t>(r.begin), static_cast<std::size_t>(sourceEnd));
        if (const std::string read = checkSourceText(state, r.index, source); !read.empty()) return read;
        int64_t end = at;
        while (end < outSize && !isSeparator(after[static_cast<std::size_t>(end)])) ++end;
        const std::string written = joined(after, static_cast<std::size_t>(at), static_cast<std::size_t>(end));
        bool fits = false;
        const std::string expected = expectedInRoom(state, r.index, r.size, fits);
        if (written != expected) return "'" + written + "' written where '" + expected + "' belongs";
        const int64_t newSize = fits ? r.size : static_cast<int64_t>(expected.size());
        if (at + newSize > outSize) return "the line ends inside a room";
        // After the result the room holds spaces, or the blanks it held before.
        for (int64_t j = end - at; j < newSize; ++j) {
            const std::string& now = after[static_cast<std::size_t>(at + j)];
            if (!(now == " " || (fits && isSeparator(now) && now == before[static_cast<std::size_t>(r.begin + j)]))) {
                return "character " + std::to_string(at + j + 1) + " of a room is neither a space nor its old blank";
            }
        }
        at += newSize;
        from = r.begin + r.size;
    }
    if (outSize - at != static_cast<int64_t>(before.size()) - from ||
        !std::equal(after.begin() + at, after.end(), before.begin() + from)) {
        return "the rest of the line changed";
    }
    if (fieldCount(line) != fieldCount(out)) return "fields lost their numbers";
    return {};
}

}  // namespace lomitra::result_file_checks
