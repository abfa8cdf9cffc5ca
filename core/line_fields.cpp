// The free-format fields of a line.
#include "core/line_fields.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "core/text_trim.h"

namespace lomitra {

void splitFields(ConversionState& state, std::string_view line) {
    state.fieldStart.fill(0);
    // A line beyond the 32-bit column range is split only as far as columns reach.
    const auto length = static_cast<int32_t>(
        std::min<std::size_t>(line.size(), static_cast<std::size_t>(INT32_MAX - 1)));
    const char* const begin = line.data();
    const char* const end = begin + length;
    const char* p = begin;
    int32_t count = 0;
    while (count < kMaxFields) {
        p = firstFieldCharacter(p, end);  // past the separators before a field
        if (p == end) break;
        state.fieldStart[count++] = static_cast<int32_t>(p - begin) + 1;
        p = firstSeparator(p, end);  // past the field
    }
    state.fieldStart[count] = length + 1;
}

void splitFieldsInCharacters(ConversionState& state, std::string_view line, TextEncoding encoding) {
    splitFields(state, line);
    if (columnEncoding(encoding, line) == TextEncoding::Cp1252) return;
    // Every start follows a byte of code 32 or less, so it begins a character.
    std::size_t byte = 0;
    std::size_t characters = 0;
    for (int32_t& start : state.fieldStart) {
        if (start == 0) break;  // past the end marker
        const auto at = static_cast<std::size_t>(start) - 1;
        characters += characterCount(line.substr(byte, at - byte), encoding);
        byte = at;
        start = static_cast<int32_t>(characters) + 1;
    }
}

int32_t fieldNumberAt(const ConversionState& state, int32_t start, int32_t length,
                      int32_t previous) {
    const double middle = std::floor(start + length / 2.0 + 0.6);
    int32_t j = 0;
    while (j <= kMaxFields) {
        const int32_t entry = state.fieldStart[j];
        if (entry == 0 || entry > middle) break;
        ++j;
    }
    if (j > kMaxFields) return previous;  // the scan ran past the table
    return j - 1;
}

}  // namespace lomitra
