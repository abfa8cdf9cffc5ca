// Putting the two result coordinates back into a line of a result file.
//
// The rule: a result that does not fit its room whole is written with fewer
// decimals, formatted again from the full-precision number (rounded as the
// number patterns round, never cut), and never loses an integer digit. A
// line whose results cannot be written that way "does not fit": it stays
// byte for byte as it was and is not counted as converted.
//
// fitted(t, room) = t, the result without spaces, when it fits the room;
//   otherwise the number with the most decimals, fewer than t's, whose text
//   fits; otherwise nothing fits (then "the rounded integer" is the number
//   with no decimals, wider than the room). A rounding that carries into a
//   new integer digit counts with its new width.
//
// Fixed columns, for each coordinate (both are checked before either is written):
//   room = columnLength, but at most the characters from columnStart to the
//          end of the line;
//   fitted(t, room), right-aligned in the whole room; if nothing fits, the
//          line does not fit.
//   Two rooms that overlap also make the line not fit: one result would
//   overwrite the other.
//
// Free format, for each coordinate (the fields are found once; the one
// further right is written first, so a widened field moves nothing that the
// other needs, and every field keeps its number):
//   room = the field and the blanks after it, less the last blank before the
//          next field; for the last field, to the end of the line;
//   fitted(t, room), padded with spaces to the smaller of the room and the
//          largest of 14, its own width and the field's, so that no
//          character of the old field stays behind;
//   if nothing fits, the field widens: the room is replaced by the rounded
//          integer (no decimal point), the rest of the line moves right and
//          the blank before the next field stays.
//   The same field named for both coordinates makes the line not fit.
//
// Positions and widths are 1-based columns counted in characters (bytes of
// Windows-1252 text; code points of a UTF-8 line that holds a multi-byte
// character). A room written with a result holds ASCII alone afterwards, so
// a UTF-8 line may change its length in bytes; its width in characters and
// every byte outside the rooms stay.
#pragma once

#include <cstdint>
#include <string>

#include "core/conversion_settings.h"
#include "core/conversion_state.h"

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
