// Windows-1252, the single-byte code page of the users' files.
//
// Lines, result lines and table files are bytes of this code page, so that a
// column is a byte position; the windows decode them for display.
#pragma once

#include <string>
#include <string_view>

namespace lomitra {

// Each byte becomes one character; the five bytes the code page leaves
// undefined (81, 8D, 8F, 90, 9D) map to the control characters of the same code.
std::string cp1252ToUtf8(std::string_view bytes);

// Characters outside the code page become '?'.
std::string utf8ToCp1252(std::string_view utf8);

}  // namespace lomitra
