// Windows-1252 <-> UTF-8.
#include "core/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace lomitra {
namespace {

TEST(Cp1252, ConvertsBothWays) {
    struct Case {
        const char* name;
        std::string cp1252;
        std::string utf8;
    };
    const Case cases[] = {
        {"ASCII", "Tunnus 123", "Tunnus 123"},
        {"Finnish letters", "L\xC4HT\xD6 \xE4\xF6\xE5\xC5", "LÄHTÖ äöåÅ"},
        {"euro sign", "\x80", "€"},
        {"quotes and dashes", "\x93x\x94 \x96 \x97", "“x” – —"},
        {"S and Z with caron", "\x8A\x9A\x8E\x9E", "ŠšŽž"},
        {"trade mark and Y diaeresis", "\x99\x9F", "™Ÿ"},
        {"no-break space and y diaeresis", "\xA0\xFF", "\xC2\xA0ÿ"},
        {"control characters", std::string("\r\n\t\0", 4), std::string("\r\n\t\0", 4)},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cp1252ToUtf8(c.cp1252), c.utf8) << c.name;
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.cp1252) << c.name;
    }
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const std::string utf8 = cp1252ToUtf8(all);
    EXPECT_EQ(utf8ToCp1252(utf8), all);
    // The undefined bytes become the control characters of the same code.
    EXPECT_EQ(cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    struct Case {
        const char* name;
        std::string utf8;
        std::string cp1252;
    };
    const Case cases[] = {
        {"Greek", "αβ", "??"},
        {"emoji, four bytes", "a😀b", "a?b"},
        {"C1 control that the code page uses", "\xC2\x80", "?"},
        {"stray continuation byte", "a\x80z", "a?z"},
        {"truncated sequence at the end", "\xC3", "?"},
        {"truncated sequence before ASCII", "\xE2\x82z", "?z"},
        {"overlong slash", "\xC0\xAF", "?"},
        {"invalid lead byte", "\xFFx", "?x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.cp1252) << c.name;
    }
}

}  // namespace
}  // namespace lomitra
