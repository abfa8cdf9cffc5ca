// Putting the two result coordinates back into a line of a result file.
//
// The rule: a written result may lose decimals to fit its room, as the layout
// always allowed, but never an integer digit. A line whose results cannot be
// written that way "does not fit": it stays byte for byte as it was and is
// not counted as converted.
//
// Fixed columns, for each coordinate (both are checked before either is written):
//   t    = the result without leading and trailing spaces;
//   room = columnLength, but at most the characters from columnStart to the
//          end of the line;
//   t fits in the room:                t right-aligned in the whole room;
//   t's integer part fits in the room: the first `room` characters of t;
//   otherwise the line does not fit.
//   Two rooms that overlap also make the line not fit: one result would
//   overwrite the other.
//
// Free format, for each coordinate (the fields are found once; the one
// further right is written first, so a widened field moves nothing that the
// other needs, and every field keeps its number):
//   t    = the result without spaces;
//   room = the field and the blanks after it, less the last blank before the
//          next field; for the last field, to the end of the line;
//   t fits in the room:                t padded with spaces to the smaller of
//          the room and the largest of 14, t and the field's own length, so
//          that no character of the old field stays behind;
//   t's integer part fits in the room: the first `room` characters of t;
//   otherwise the field widens: the room is replaced by t's integer part (no
//          decimal point), the rest of the line moves right and the blank
//          before the next field stays.
//   The same field named for both coordinates makes the line not fit.
//
// Positions are 1-based byte columns (Windows-1252 text).
#pragma once

#include <cstdint>
#include <string>

#include "engine/conversion_settings.h"
#include "engine/conversion_state.h"

namespace lomitra {

// Puts state.pointText[2] and [3] into `line` at the columns (fixed) or field
// numbers (free format) of `state`. Free format splits the line into
// state.fieldStart. Returns false, with `line` unchanged, when the line does
// not fit; true when both results were written.
bool rebuildLine(ConversionState& state, std::string& line, LineLayout layout);

// As rebuildLine, for a line whose fields state.fieldStart already holds (as
// convertLine leaves them after cutting the point out of this very line).
bool rebuildSplitLine(const ConversionState& state, std::string& line, LineLayout layout);

// "<count> riviä jätettiin muuntamatta, koska tulos ei mahtunut sarakkeisiin.
// Ensimmäinen niistä on rivi <firstLine>." (UTF-8; lines counted from 1).
std::string notFittingMessage(int64_t count, int64_t firstLine);

}  // namespace lomitra
