// Putting the two result coordinates back into a line of a result file: a
// result may be rounded to fewer decimals to fit its room, never lose an
// integer digit.
#include "core/rebuild_line.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "core/coordinate_text.h"
#include "core/line_fields.h"
#include "core/text_trim.h"
#include "core/texts.h"

namespace lomitra {
namespace {

// The text result `i` (its full text `t`, without spaces) writes into a
// room of `room` characters (ASCII alone, so characters are bytes): `t` when
// it fits, else the number rounded again (into `buffer`) to the most
// decimals that fit; `fits` false when not even the rounded integer, which
// is then returned, fits.
std::string_view fitToRoom(const ConversionState& state, int i, std::string_view t, int64_t room, std::string& buffer,
                           bool& fits) {
    fits = static_cast<int64_t>(t.size()) <= room;
    if (fits || state.resultDecimals <= 0) return t;
    for (int decimals = state.resultDecimals - 1; decimals >= 0; --decimals) {
        buffer.clear();
        appendNumber(buffer, state.resultNumber[static_cast<std::size_t>(i)], decimals);
        fits = static_cast<int64_t>(buffer.size()) <= room;
        if (fits) break;
    }
    return buffer;
}

// Puts `before` spaces, `text` and `after` spaces in place of the `bytes`
// bytes of `line` from 0-based `begin`.
inline void place(std::string& line, std::size_t begin, std::size_t bytes, std::size_t before, std::string_view text,
                  std::size_t after) {
    const std::size_t width = before + text.size() + after;
    if (bytes != width) line.replace(begin, bytes, width, ' ');
    const auto at = line.begin() + static_cast<std::ptrdiff_t>(begin);
    std::fill_n(at, before, ' ');
    std::copy_n(text.data(), text.size(), at + static_cast<std::ptrdiff_t>(before));
    std::fill_n(at + static_cast<std::ptrdiff_t>(before + text.size()), after, ' ');
}

// ---- Fixed columns ----

// Where and what one coordinate writes in fixed columns.
struct ColumnWrite {
    int64_t column = 0;     // 1-based, in characters
    int64_t room = 0;       // characters from `column`, all inside the line
    std::size_t begin = 0;  // the room's bytes in the line
    std::size_t bytes = 0;
    std::string_view text;  // right-aligned in the room
};

// Plans coordinate `i` (a result rounded again goes into `buffer`); false
// when its result cannot be written without losing an integer digit (or
// the range lies outside the line). Inlined: a call per coordinate costs
// about 2 % of a result file in fixed columns.
[[gnu::always_inline]] inline bool planColumns(const ConversionState& state, std::string_view line,
                                               TextEncoding columns, int i, std::string& buffer, ColumnWrite& out) {
    const auto length = static_cast<int64_t>(characterCount(line, columns));
    const int64_t column = state.columnStart[i];
    if (column < 1 || column > length || state.columnLength[i] <= 0) return false;
    const std::string_view t = trimSpaces(state.pointText[static_cast<std::size_t>(i) + 2]);
    if (t.empty()) return false;  // no result to write
    out.column = column;
    out.room = std::min<int64_t>(state.columnLength[i], length - column + 1);
    bool fits = false;
    out.text = fitToRoom(state, i, t, out.room, buffer, fits);
    if (!fits) return false;
    out.begin = byteOffsetOfCharacter(line, static_cast<std::size_t>(column - 1), columns);
    out.bytes = byteOffsetOfCharacter(line, static_cast<std::size_t>(column - 1 + out.room), columns) - out.begin;
    return true;
}

void writeColumns(std::string& line, const ColumnWrite& w) {
    place(line, w.begin, w.bytes, static_cast<std::size_t>(w.room) - w.text.size(), w.text, 0);
}

bool rebuildColumns(const ConversionState& state, std::string& line) {
    const TextEncoding columns = columnEncoding(state.encoding, line);
    std::string firstBuffer;
    std::string secondBuffer;
    ColumnWrite first;
    ColumnWrite second;
    if (!planColumns(state, line, columns, 0, firstBuffer, first) ||
        !planColumns(state, line, columns, 1, secondBuffer, second)) {
        return false;
    }
    // Overlapping rooms: the second result would overwrite part of the first.
    if (first.column < second.column + second.room && second.column < first.column + first.room) {
        return false;
    }
    // The room further right first: a room whose bytes change in number
    // moves only what lies after it.
    if (first.begin > second.begin) {
        writeColumns(line, first);
        writeColumns(line, second);
    } else {
        writeColumns(line, second);
        writeColumns(line, first);
    }
    return true;
}

// ---- Free format ----

// Where free-format field `k` may be written.
struct FieldRoom {
    std::size_t begin = 0;       // 0-based byte of the start of the field
    std::size_t bytes = 0;       // the room's bytes
    std::size_t fieldBytes = 0;  // the field's own bytes
    int64_t room = 0;            // the field and the blanks after it less one, or to the end of the line (characters)
    int64_t fieldLength = 0;     // the field's own characters
};

// The room of free-format field `k` of the line last split into
// state.fieldStart. False when the line has no such field, or when the field
// is the last entry of the table and more fields follow it (the table cannot
// hold them, so the room would run over them).
bool fieldRoom(const ConversionState& state, const std::string& line, TextEncoding columns, int32_t k,
               FieldRoom& out) {
    if (k < 0 || k >= kMaxFields || state.fieldStart[k + 1] == 0) return false;
    const int64_t column = state.fieldStart[k];
    if (column < 1 || column > static_cast<int64_t>(line.size())) return false;
    out.begin = static_cast<std::size_t>(column - 1);
    const char* const first = line.data() + out.begin;
    const char* const lineEnd = line.data() + line.size();
    const char* const fieldEnd = firstSeparator(first, lineEnd);
    out.fieldBytes = static_cast<std::size_t>(fieldEnd - first);
    const bool lastField = k + 2 > kMaxFields || state.fieldStart[k + 2] == 0;
    if (lastField) {
        // Only the table's last entry can have fields after it that were not counted.
        if (k == kMaxFields - 1 && firstFieldCharacter(fieldEnd, lineEnd) != lineEnd) return false;
        out.bytes = line.size() - out.begin;
    } else {
        const int64_t next = state.fieldStart[k + 1];
        if (next - 1 - column < static_cast<int64_t>(out.fieldBytes)) return false;
        out.bytes = static_cast<std::size_t>(next - 1 - column);  // the last blank stays
    }
    if (out.fieldBytes == 0 || out.bytes < out.fieldBytes) return false;
    // The blanks after the field are single bytes in both encodings.
    out.fieldLength = static_cast<int64_t>(characterCount(std::string_view(first, out.fieldBytes), columns));
    out.room = out.fieldLength + static_cast<int64_t>(out.bytes - out.fieldBytes);
    return true;
}

// Writes result `i` (its full text `t`) into the room `r` of the line; may
// widen the field, which moves the rest of the line right.
void writeField(std::string& line, const FieldRoom& r, const ConversionState& state, int i, std::string_view t,
                std::string& buffer) {
    bool fits = false;
    const std::string_view text = fitToRoom(state, i, t, r.room, buffer, fits);
    if (!fits) {
        line.replace(r.begin, r.bytes, text);
        return;
    }
    const auto size = static_cast<int64_t>(text.size());
    const int64_t width = std::min(r.room, std::max({int64_t{kResultTextWidth}, size, r.fieldLength}));
    // The field and as many blanks after it as the width reaches.
    const std::size_t bytes = r.fieldBytes + static_cast<std::size_t>(width - r.fieldLength);
    place(line, r.begin, bytes, 0, text, static_cast<std::size_t>(width - size));
}

// Both coordinates into the fields of a line that state.fieldStart holds.
bool rebuildFields(const ConversionState& state, std::string& line) {
    const int32_t k0 = state.fieldNumber[0];
    const int32_t k1 = state.fieldNumber[1];
    const std::string_view t0 = trimSpaces(state.pointText[2]);
    const std::string_view t1 = trimSpaces(state.pointText[3]);
    if (k0 == k1 || t0.empty() || t1.empty()) return false;
    const TextEncoding columns = columnEncoding(state.encoding, line);
    FieldRoom r0;
    FieldRoom r1;
    if (!fieldRoom(state, line, columns, k0, r0) || !fieldRoom(state, line, columns, k1, r1)) return false;
    // The field further right first: a widened field moves only what lies
    // after it, so the other room stays where it was found (and every field
    // keeps its number, as when the line is split again between the two).
    std::string buffer;
    if (r0.begin > r1.begin) {
        writeField(line, r0, state, 0, t0, buffer);
        writeField(line, r1, state, 1, t1, buffer);
    } else {
        writeField(line, r1, state, 1, t1, buffer);
        writeField(line, r0, state, 0, t0, buffer);
    }
    return true;
}

}  // namespace

bool rebuildLine(ConversionState& state, std::string& line, LineLayout layout) {
    if (layout != LineLayout::FreeFormat) return rebuildColumns(state, line);
    splitFields(state, line);
    return rebuildFields(state, line);
}

bool rebuildSplitLine(const ConversionState& state, std::string& line, LineLayout layout) {
    return layout == LineLayout::FreeFormat ? rebuildFields(state, line) : rebuildColumns(state, line);
}

std::string notFittingMessage(int64_t count, int64_t firstLine) {
    std::string out = std::to_string(count);
    out += texts::kNotFitting1;
    out += std::to_string(firstLine);
    out += texts::kNotFitting2;
    return out;
}

}  // namespace lomitra
