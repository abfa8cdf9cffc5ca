// The free-format fields of a line: runs of characters above the space
// (code 33 and up), separated by runs of blanks, tabs and other control
// characters. At most kMaxFields fields of a line are recognised.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/conversion_state.h"
#include "core/text_encoding.h"

namespace lomitra {

// Fills state.fieldStart for `line`: the 1-based start of each field (runs of
// characters above the space), at most 100, then the end marker length + 1.
// The starts are byte columns: every byte of a UTF-8 character lies above
// the space, so a field ends and begins at the same places in both encodings.
void splitFields(ConversionState& state, std::string_view line);

// As splitFields, the starts counted in characters of `encoding` (the
// columns a marking on the sample line gives).
void splitFieldsInCharacters(ConversionState& state, std::string_view line, TextEncoding encoding);

// The free-format field in which the middle column of a marked range lies,
// from the fieldStart of the sample line; -1 before the first field.
// `previous` is kept when the scan runs past the table.
int32_t fieldNumberAt(const ConversionState& state, int32_t start, int32_t length,
                      int32_t previous);

}  // namespace lomitra
