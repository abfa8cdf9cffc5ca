// The encoding of a file: which byte sequences are UTF-8 characters (the
// Unicode Standard's table of well-formed sequences), the decision over
// blocks of any size, the characters counted and recoded.
#include "core/text_encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lomitra {
namespace {

// Every text is fed whole, then in blocks of 1, 2 and 3 bytes (sequences
// split between blocks), and must be decided the same way.
TEST(EncodingDetector, DecidesUtf8OnlyForWellFormedTextWithAMultiByteCharacter) {
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding expected;
        std::size_t characters;  // characterCount as UTF-8
    };
    const std::vector<Case> cases = {
        {"ASCII alone", "P1 6688125.692 3397664.936\r\n", TextEncoding::Cp1252, 28},
        {"empty", "", TextEncoding::Cp1252, 0},
        {"two-byte letters", "M\xC3\x84" "1 kaivo \xC3\xB6", TextEncoding::Utf8, 11},
        {"a byte-order mark", "\xEF\xBB\xBFP1", TextEncoding::Utf8, 3},
        {"three and four bytes", "\xE2\x82\xAC \xF0\x9F\x98\x80", TextEncoding::Utf8, 3},
        {"highest code point U+10FFFF", "\xF4\x8F\xBF\xBF", TextEncoding::Utf8, 1},
        {"Windows-1252 letters", "M\xC4" "1 kaivo \xF6", TextEncoding::Cp1252, 11},
        {"a letter cut off by the end", "x\xC3", TextEncoding::Cp1252, 2},
        {"a stray continuation byte", "\xC3\xA4\xA4", TextEncoding::Cp1252, 2},
        {"overlong slash", "\xC3\xA4\xC0\xAF", TextEncoding::Cp1252, 3},
        {"overlong three bytes", "\xC3\xA4\xE0\x80\xAF", TextEncoding::Cp1252, 4},
        {"surrogate", "\xC3\xA4\xED\xA0\x80", TextEncoding::Cp1252, 4},
        {"above U+10FFFF", "\xF4\x90\x80\x80", TextEncoding::Cp1252, 4},
        {"F5 begins nothing", "\xF5\x80\x80\x80", TextEncoding::Cp1252, 4},
        {"a lead byte before ASCII", "\xE2\x82" "A", TextEncoding::Cp1252, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::size_t block : {c.bytes.size() + 1, std::size_t{1}, std::size_t{2}, std::size_t{3}}) {
            EncodingDetector detector;
            for (std::size_t at = 0; at < c.bytes.size(); at += block) detector.feed(std::string_view(c.bytes).substr(at, block));
            detector.finish();
            EXPECT_EQ(detector.encoding(), c.expected) << "blocks of " << block;
        }
        EXPECT_EQ(characterCount(c.bytes, TextEncoding::Utf8), c.characters);
        EXPECT_EQ(characterCount(c.bytes, TextEncoding::Cp1252), c.bytes.size());
        // Recoding keeps every character one character, and UTF-8 text comes back as it was.
        const std::string utf8 = toUtf8(c.bytes, TextEncoding::Utf8);
        EXPECT_EQ(characterCount(utf8, TextEncoding::Utf8), c.characters);
        EXPECT_EQ(recode(c.bytes, TextEncoding::Utf8, TextEncoding::Cp1252).size(), c.characters);
        if (c.expected == TextEncoding::Utf8) {
            EXPECT_EQ(utf8, c.bytes);
        }
        EXPECT_EQ(recode(recode(c.bytes, TextEncoding::Cp1252, TextEncoding::Utf8), TextEncoding::Utf8,
                         TextEncoding::Cp1252),
                  c.bytes)
            << "Windows-1252 survives a round trip through UTF-8";
    }
}

}  // namespace
}  // namespace lomitra
