// The two encodings of the users' text files, and columns counted in characters.
//
// A source file is Windows-1252 (one byte, one character) unless it is
// well-formed UTF-8 holding at least one multi-byte character; then it is
// read as UTF-8, a character being one code point. In a UTF-8 line a byte
// that begins no well-formed sequence (a file may change after it was
// scanned, a stream past the part it was decided from) is one character of
// its own, kept byte for byte. A UTF-8 byte-order mark at the start of a
// file is no character of its first line.
//
// Lines whose bytes are all below 0x80 read the same in both encodings: the
// callers keep their byte columns for them and count characters only in
// lines that hold a multi-byte character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lomitra {

enum class TextEncoding { Cp1252, Utf8 };

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Whether `text` holds a byte of 0x80 or above (eight bytes at a time).
bool hasNonAscii(std::string_view text);

// The encoding whose characters are the columns of `line` in a text of
// `encoding`: Windows-1252 (bytes) for a line of ASCII alone, which reads
// the same in both, so that only lines with a multi-byte character pay for
// counting characters.
inline TextEncoding columnEncoding(TextEncoding encoding, std::string_view line) {
    return encoding == TextEncoding::Utf8 && hasNonAscii(line) ? TextEncoding::Utf8 : TextEncoding::Cp1252;
}

// The bytes (1 to 4) of the UTF-8 character that begins at `p`: a
// well-formed sequence (no overlong form, no surrogate, at most U+10FFFF), or
// 1 for a byte that begins none. `p` < `end`.
std::size_t utf8CharacterBytes(const char* p, const char* end);

// Characters and byte offsets of UTF-8 text (below).
std::size_t utf8CharacterCount(std::string_view text);
std::size_t utf8ByteOffset(std::string_view text, std::size_t index);

// Characters of `text`.
inline std::size_t characterCount(std::string_view text, TextEncoding encoding) {
    return encoding == TextEncoding::Cp1252 ? text.size() : utf8CharacterCount(text);
}

// The byte offset at which character `index` (0-based) of `text` begins;
// text.size() when the text has no more than `index` characters.
inline std::size_t byteOffsetOfCharacter(std::string_view text, std::size_t index, TextEncoding encoding) {
    if (encoding == TextEncoding::Cp1252) return index < text.size() ? index : text.size();
    return utf8ByteOffset(text, index);
}

// `text` cut to at most `width` characters, never inside a character.
std::string_view firstCharacters(std::string_view text, std::size_t width, TextEncoding encoding);

// The characters of `text` as UTF-8: Windows-1252 byte by byte; UTF-8 as it
// is, each byte that begins no well-formed sequence taken as the
// Windows-1252 character of that byte, so that every character stays one.
std::string toUtf8(std::string_view text, TextEncoding encoding);

// UTF-8 text in `encoding`; a character that Windows-1252 lacks becomes '?'.
std::string fromUtf8(std::string_view utf8, TextEncoding encoding);

// `text` of encoding `from` in encoding `to`, character for character.
std::string recode(std::string_view text, TextEncoding from, TextEncoding to);

// Decides the encoding of a file from its bytes, fed in blocks of any size
// (a sequence may be split between two blocks).
class EncodingDetector {
public:
    void feed(std::string_view bytes);
    // The end of the input: a sequence left open is not well-formed.
    void finish();
    // Utf8 when every byte fed so far is well-formed UTF-8 and at least one
    // character took more than one byte; otherwise Cp1252.
    TextEncoding encoding() const { return wellFormed_ && multiByte_ ? TextEncoding::Utf8 : TextEncoding::Cp1252; }
    // Whether a byte that can belong to no UTF-8 text was seen (then nothing more can change).
    bool malformed() const { return !wellFormed_; }
    uint64_t bytesFed() const { return fed_; }

private:
    bool wellFormed_ = true;
    bool multiByte_ = false;
    int continuation_ = 0;           // continuation bytes still expected
    unsigned char low_ = 0x80;       // the range of the next continuation byte
    unsigned char high_ = 0xBF;
    uint64_t fed_ = 0;
};

}  // namespace lomitra
