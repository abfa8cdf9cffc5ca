// Trimming the texts cut out of file lines and boxes. Characters of code 32
// or less (blanks, tabs, other control characters) separate the fields of a
// line; fixed columns and typed texts are trimmed of spaces only.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
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

// Eight bytes at a time: the first separator (code 0 to 32), or the first
// field character (above 32), from `p` on; `end` when there is none. The
// word tests flag the wanted bytes exactly up to the first of them (a borrow
// or carry between bytes comes only out of a byte that is flagged itself),
// and only the first flag is used.
inline constexpr uint64_t kEveryByte = 0x0101010101010101;
inline constexpr uint64_t kHighBits = 0x8080808080808080;

inline uint64_t wordAt(const char* p) {
    uint64_t w = 0;
    std::memcpy(&w, p, sizeof w);
    return w;
}

inline const char* firstSeparator(const char* p, const char* end) {
    if constexpr (std::endian::native == std::endian::little) {
        for (; end - p >= 8; p += 8) {
            const uint64_t w = wordAt(p);
            const uint64_t below33 = (w - kEveryByte * 33) & ~w & kHighBits;
            if (below33 != 0) return p + std::countr_zero(below33) / 8;
        }
    }
    while (p != end && !isFieldSeparator(static_cast<unsigned char>(*p))) ++p;
    return p;
}

inline const char* firstFieldCharacter(const char* p, const char* end) {
    if constexpr (std::endian::native == std::endian::little) {
        for (; end - p >= 8; p += 8) {
            const uint64_t w = wordAt(p);
            const uint64_t above32 = ((w + kEveryByte * (127 - 32)) | w) & kHighBits;
            if (above32 != 0) return p + std::countr_zero(above32) / 8;
        }
    }
    while (p != end && isFieldSeparator(static_cast<unsigned char>(*p))) ++p;
    return p;
}

}  // namespace lomitra
