// Trimming the texts cut out of file lines and boxes. Characters of code 32
// or less (blanks, tabs, other control characters) separate the fields of a
// line; fixed columns and typed texts are trimmed of spaces only.
#pragma once

#include <string_view>

namespace lomitra {

constexpr bool isFieldSeparator(unsigned char c) { return c <= 32; }

// `text` without leading and trailing spaces (code 32 only).
inline std::string_view trimSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// `text` without leading and trailing field separators (codes 0 to 32).
inline std::string_view trimSeparators(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isFieldSeparator(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && isFieldSeparator(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

}  // namespace lomitra
