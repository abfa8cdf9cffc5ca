// ResultLine: the fixed-column text of one point in the result list and the
// table file.
//
// Columns (1-based, counted in characters of the state's encoding):
//   1-8    the identifier, padded with spaces and cut to 8 characters;
//   9      a space;
//   10-23  the first source coordinate, padded and cut to 14 characters;
//   24-37  the second, likewise;
//   38-39  two spaces;
//   40-53  the first result coordinate as the engine leaves it (14 characters);
//   54-67  the second, likewise;
//   then two spaces, the KKJ sheet, the UTM sheet and the message, each with
//   its own trailing blanks. A point that failed has no results and no
//   sheets, so its message begins at column 42. The line is not padded at
//   its end.
#pragma once

#include <string>

#include "core/conversion_state.h"

namespace lomitra {

// The fixed-column line of one point in the result list (ResultLine), in
// the state's encoding, its columns counted in characters.
std::string formatResultLine(const ConversionState& state);

// As formatResultLine, into `out` (its old contents replaced; no allocation
// while `out` has room).
void formatResultLine(const ConversionState& state, std::string& out);

}  // namespace lomitra
