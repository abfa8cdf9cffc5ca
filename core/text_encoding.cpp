// Encodings and character columns.
//
// Well-formed UTF-8 as the Unicode Standard (table 3-7) defines it: after a
// lead byte C2-DF one continuation byte, after E0-EF two, after F0-F4 three,
// each 80-BF, except that the first continuation after E0 is A0-BF (no
// overlong form), after ED 80-9F (no surrogate), after F0 90-BF (no overlong
// form) and after F4 80-8F (nothing above U+10FFFF). C0, C1 and F5-FF begin
// nothing.
#include "core/text_encoding.h"

#include <algorithm>
#include <cstring>

#include "core/cp1252.h"

namespace lomitra {
namespace {

constexpr uint64_t kHighBits = 0x8080808080808080;

// The continuation bytes a lead byte (0x80 or above) asks for and the range
// of the first of them; false for a byte that begins no sequence.
bool leadByte(unsigned char lead, int& continuation, unsigned char& low, unsigned char& high) {
    low = 0x80;
    high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuation = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuation = 2;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuation = 3;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return false;
    }
    return true;
}

// Bytes from `p` up to the first one of 0x80 or above (or `end`).
const char* asciiRunEnd(const char* p, const char* end) {
    for (; end - p >= 8; p += 8) {
        uint64_t w = 0;
        std::memcpy(&w, p, sizeof w);
        if ((w & kHighBits) != 0) break;
    }
    while (p != end && static_cast<unsigned char>(*p) < 0x80) ++p;
    return p;
}

}  // namespace

bool hasNonAscii(std::string_view text) {
    return asciiRunEnd(text.data(), text.data() + text.size()) != text.data() + text.size();
}

std::size_t utf8CharacterBytes(const char* p, const char* end) {
    const auto lead = static_cast<unsigned char>(*p);
    int continuation = 0;
    unsigned char low = 0;
    unsigned char high = 0;
    if (lead < 0x80 || !leadByte(lead, continuation, low, high)) return 1;
    if (end - p <= continuation) return 1;  // cut short by the end of the text
    for (int k = 1; k <= continuation; ++k) {
        const auto c = static_cast<unsigned char>(p[k]);
        if (c < low || c > high) return 1;
        low = 0x80;
        high = 0xBF;
    }
    return static_cast<std::size_t>(continuation) + 1;
}

std::size_t utf8CharacterCount(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    std::size_t count = 0;
    while (p != end) {
        const char* const run = asciiRunEnd(p, end);
        count += static_cast<std::size_t>(run - p);
        p = run;
        if (p == end) break;
        p += utf8CharacterBytes(p, end);
        ++count;
    }
    return count;
}

std::size_t utf8ByteOffset(std::string_view text, std::size_t index) {
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    while (index > 0 && p != end) {
        // ASCII a run at a time, as far as the character sought at most.
        const char* const limit = static_cast<std::size_t>(end - p) > index ? p + index : end;
        const char* const run = asciiRunEnd(p, limit);
        index -= static_cast<std::size_t>(run - p);
        p = run;
        if (index == 0 || p == end) break;
        if (static_cast<unsigned char>(*p) >= 0x80) {
            p += utf8CharacterBytes(p, end);
            --index;
        }
    }
    return static_cast<std::size_t>(p - begin);
}

std::string_view firstCharacters(std::string_view text, std::size_t width, TextEncoding encoding) {
    return text.substr(0, byteOffsetOfCharacter(text, width, encoding));
}

std::string toUtf8(std::string_view text, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp1252) return cp1252ToUtf8(text);
    std::string out;
    out.reserve(text.size());
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end) {
        const std::size_t n = utf8CharacterBytes(p, end);
        if (n == 1 && static_cast<unsigned char>(*p) >= 0x80) {
            out += cp1252ToUtf8(std::string_view(p, 1));
        } else {
            out.append(p, n);
        }
        p += n;
    }
    return out;
}

std::string fromUtf8(std::string_view utf8, TextEncoding encoding) {
    return encoding == TextEncoding::Cp1252 ? utf8ToCp1252(utf8) : std::string(utf8);
}

std::string recode(std::string_view text, TextEncoding from, TextEncoding to) {
    if (from == to) return std::string(text);
    return fromUtf8(toUtf8(text, from), to);
}

void EncodingDetector::feed(std::string_view bytes) {
    fed_ += bytes.size();
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (wellFormed_ && p != end) {
        if (continuation_ == 0) {
            p = asciiRunEnd(p, end);
            if (p == end) break;
            multiByte_ = true;
            wellFormed_ = leadByte(static_cast<unsigned char>(*p++), continuation_, low_, high_);
            continue;
        }
        const auto c = static_cast<unsigned char>(*p++);
        if (c < low_ || c > high_) {
            wellFormed_ = false;
            break;
        }
        --continuation_;
        low_ = 0x80;
        high_ = 0xBF;
    }
}

void EncodingDetector::finish() {
    if (continuation_ != 0) wellFormed_ = false;
}

}  // namespace lomitra
