// Putting the two result coordinates back into a line of a result file: a
// result may be rounded to fewer decimals to fit its room, never lose an
// integer digit.
#include "engine/rebuild_line.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "engine/conversion_engine.h"
#include "engine/coordinate_text.h"
#include "engine/text_trim.h"
#include "engine/texts.h"

namespace lomitra {
namespace {

// The text a result writes into a room of `room` characters (ASCII alone,
// so characters are bytes): fits = false when not even the rounded integer,
// which `text` then holds, fits.
struct Fitted {
    std::string text;
    bool fits = false;
};

Fitted fitToRoom(const ConversionState& state, int i, int64_t room) {
    const std::string_view t = trimSpaces(state.pointText[static_cast<std::size_t>(i) + 2]);
    Fitted out;
    out.text.assign(t);
    out.fits = static_cast<int64_t>(t.size()) <= room;
    for (int decimals = state.resultDecimals - 1; !out.fits && decimals >= 0; --decimals) {
        out.text.clear();
        appendNumber(out.text, state.resultNumber[static_cast<std::size_t>(i)], decimals);
        out.fits = static_cast<int64_t>(out.text.size()) <= room;
    }
    return out;
}

// Puts `before` spaces, `text` and `after` spaces in place of the `bytes`
// bytes of `line` from 0-based `begin`.
void place(std::string& line, std::size_t begin, std::size_t bytes, std::size_t before, std::string_view text,
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
    std::string text;       // right-aligned in the room
};

// Plans coordinate `i`; false when its result cannot be written without
// losing an integer digit (or the range lies outside the line).
bool planColumns(const ConversionState& state, std::string_view line, TextEncoding columns, int i,
                 ColumnWrite& out) {
    const auto length = static_cast<int64_t>(characterCount(line, columns));
    const int64_t column = state.columnStart[i];
    if (column < 1 || column > length || state.columnLength[i] <= 0) return false;
    if (trimSpaces(state.pointText[static_cast<std::size_t>(i) + 2]).empty()) return false;  // no result to write
    out.column = column;
    out.room = std::min<int64_t>(state.columnLength[i], length - column + 1);
    Fitted fitted = fitToRoom(state, i, out.room);
    if (!fitted.fits) return false;
    out.text = std::move(fitted.text);
    out.begin = byteOffsetOfCharacter(line, static_cast<std::size_t>(column - 1), columns);
    out.bytes = byteOffsetOfCharacter(line, static_cast<std::size_t>(column - 1 + out.room), columns) - out.begin;
    return true;
}

bool rebuildColumns(const ConversionState& state, std::string& line) {
    const TextEncoding columns = columnEncoding(state.encoding, line);
    ColumnWrite first;
    ColumnWrite second;
    if (!planColumns(state, line, columns, 0, first) || !planColumns(state, line, columns, 1, second)) return false;
    // Overlapping rooms: the second result would overwrite part of the first.
    if (first.column < second.column + second.room && second.column < first.column + first.room) {
        return false;
    }
    // The room further right first: a room whose bytes change in number
    // moves only what lies after it.
    for (const ColumnWrite* w : first.begin > second.begin ? std::array{&first, &second} : std::array{&second, &first}) {
        place(line, w->begin, w->bytes, static_cast<std::size_t>(w->room) - w->text.size(), w->text, 0);
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

// Writes result `i` into the room `r` of the line; may widen the field,
// which moves the rest of the line right.
void writeField(std::string& line, const FieldRoom& r, const ConversionState& state, int i) {
    const Fitted fitted = fitToRoom(state, i, r.room);
    if (!fitted.fits) {
        line.replace(r.begin, r.bytes, fitted.text);
        return;
    }
    const auto size = static_cast<int64_t>(fitted.text.size());
    const int64_t width = std::min(r.room, std::max({int64_t{kResultTextWidth}, size, r.fieldLength}));
    // The field and as many blanks after it as the width reaches.
    const std::size_t bytes = r.fieldBytes + static_cast<std::size_t>(width - r.fieldLength);
    place(line, r.begin, bytes, 0, fitted.text, static_cast<std::size_t>(width - size));
}

// Both coordinates into the fields of a line that state.fieldStart holds.
bool rebuildFields(const ConversionState& state, std::string& line) {
    const int32_t k0 = state.fieldNumber[0];
    const int32_t k1 = state.fieldNumber[1];
    if (k0 == k1 || trimSpaces(state.pointText[2]).empty() || trimSpaces(state.pointText[3]).empty()) return false;
    const TextEncoding columns = columnEncoding(state.encoding, line);
    FieldRoom r0;
    FieldRoom r1;
    if (!fieldRoom(state, line, columns, k0, r0) || !fieldRoom(state, line, columns, k1, r1)) return false;
    // The field further right first: a widened field moves only what lies
    // after it, so the other room stays where it was found (and every field
    // keeps its number, as when the line is split again between the two).
    if (r0.begin > r1.begin) {
        writeField(line, r0, state, 0);
        writeField(line, r1, state, 1);
    } else {
        writeField(line, r1, state, 1);
        writeField(line, r0, state, 0);
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
