// Putting the two result coordinates back into a line of a result file: a
// result may lose decimals to fit its room, never an integer digit.
#include "engine/rebuild_line.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "engine/conversion_engine.h"
#include "engine/text_trim.h"
#include "engine/texts.h"

namespace lomitra {
namespace {

// Characters of `t` before its decimal point (all of them without one).
int64_t integerLength(std::string_view t) {
    return static_cast<int64_t>(std::min(t.find('.'), t.size()));
}

// Writes `text` at 1-based `column`, then spaces up to `width` characters.
// The caller has checked that [column, column + width) lies in the line and
// that `text` is not longer than `width`.
void writePadded(std::string& line, int64_t column, std::string_view text, int64_t width) {
    const auto at = line.begin() + (column - 1);
    const auto n = static_cast<int64_t>(text.size());
    std::copy_n(text.data(), n, at);
    std::fill_n(at + n, width - n, ' ');
}

// ---- Fixed columns ----

// Where and what one coordinate writes in fixed columns.
struct ColumnWrite {
    int64_t column = 0;  // 1-based
    int64_t room = 0;    // characters from `column`, all inside the line
    std::string_view text;
    int64_t pad = 0;     // spaces before the text (right alignment)
};

// Plans coordinate `i`; false when its result cannot be written without
// losing an integer digit (or the range lies outside the line).
bool planColumns(const ConversionState& state, const std::string& line, int i, ColumnWrite& out) {
    const auto length = static_cast<int64_t>(line.size());
    const int64_t column = state.columnStart[i];
    if (column < 1 || column > length || state.columnLength[i] <= 0) return false;
    const std::string_view t = trimSpaces(state.pointText[i + 2]);
    if (t.empty()) return false;  // no result to write
    out.column = column;
    out.room = std::min<int64_t>(state.columnLength[i], length - column + 1);
    const auto size = static_cast<int64_t>(t.size());
    if (size <= out.room) {
        out.text = t;
        out.pad = out.room - size;  // right-aligned in the whole room
        return true;
    }
    if (integerLength(t) > out.room) return false;
    out.text = t.substr(0, static_cast<std::size_t>(out.room));  // decimals cut
    out.pad = 0;
    return true;
}

bool rebuildColumns(const ConversionState& state, std::string& line) {
    ColumnWrite first;
    ColumnWrite second;
    if (!planColumns(state, line, 0, first) || !planColumns(state, line, 1, second)) return false;
    // Overlapping rooms: the second result would overwrite part of the first.
    if (first.column < second.column + second.room && second.column < first.column + first.room) {
        return false;
    }
    for (const ColumnWrite& w : {first, second}) {
        std::fill_n(line.begin() + (w.column - 1), w.pad, ' ');
        writePadded(line, w.column + w.pad, w.text, w.room - w.pad);
    }
    return true;
}

// ---- Free format ----

// Where free-format field `k` may be written.
struct FieldRoom {
    int64_t column = 0;       // 1-based start of the field
    int64_t room = 0;         // the field and the blanks after it less one, or to the end of the line
    int64_t fieldLength = 0;  // the field's own characters
};

// The room of free-format field `k` of the line last split into
// state.fieldStart. False when the line has no such field, or when the field
// is the last entry of the table and more fields follow it (the table cannot
// hold them, so the room would run over them).
bool fieldRoom(const ConversionState& state, const std::string& line, int32_t k, FieldRoom& out) {
    if (k < 0 || k >= kMaxFields || state.fieldStart[k + 1] == 0) return false;
    const auto length = static_cast<int64_t>(line.size());
    out.column = state.fieldStart[k];
    if (out.column < 1 || out.column > length) return false;
    const char* const first = line.data() + (out.column - 1);
    const char* const lineEnd = line.data() + line.size();
    const char* const fieldEnd = firstSeparator(first, lineEnd);
    out.fieldLength = fieldEnd - first;
    const bool lastField = k + 2 > kMaxFields || state.fieldStart[k + 2] == 0;
    if (lastField) {
        // Only the table's last entry can have fields after it that were not counted.
        if (k == kMaxFields - 1 && firstFieldCharacter(fieldEnd, lineEnd) != lineEnd) return false;
        out.room = length - out.column + 1;
    } else {
        out.room = int64_t{state.fieldStart[k + 1]} - out.column - 1;  // the last blank stays
    }
    return out.room >= out.fieldLength && out.fieldLength > 0;
}

// Writes result text `t` into the room `r` of the line; may widen the field,
// which moves the rest of the line right.
void writeField(std::string& line, const FieldRoom& r, std::string_view t) {
    const auto size = static_cast<int64_t>(t.size());
    if (size <= r.room) {
        const int64_t width = std::min(r.room, std::max({int64_t{kResultTextWidth}, size, r.fieldLength}));
        writePadded(line, r.column, t, width);
    } else if (integerLength(t) <= r.room) {
        writePadded(line, r.column, t.substr(0, static_cast<std::size_t>(r.room)), r.room);
    } else {
        line.replace(static_cast<std::size_t>(r.column - 1), static_cast<std::size_t>(r.room),
                     t.substr(0, static_cast<std::size_t>(integerLength(t))));
    }
}

// Both coordinates into the fields of a line that state.fieldStart holds.
bool rebuildFields(const ConversionState& state, std::string& line) {
    const int32_t k0 = state.fieldNumber[0];
    const int32_t k1 = state.fieldNumber[1];
    const std::string_view t0 = trimSpaces(state.pointText[2]);
    const std::string_view t1 = trimSpaces(state.pointText[3]);
    if (k0 == k1 || t0.empty() || t1.empty()) return false;
    FieldRoom r0;
    FieldRoom r1;
    if (!fieldRoom(state, line, k0, r0) || !fieldRoom(state, line, k1, r1)) return false;
    // The field further right first: a widened field moves only what lies
    // after it, so the other room stays where it was found (and every field
    // keeps its number, as when the line is split again between the two).
    if (r0.column > r1.column) {
        writeField(line, r0, t0);
        writeField(line, r1, t1);
    } else {
        writeField(line, r1, t1);
        writeField(line, r0, t0);
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
