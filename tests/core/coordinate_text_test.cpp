// Reading and writing coordinate texts.
#include "core/coordinate_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cmath>
#include <locale>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace lomitra {
namespace {

constexpr double kMm = 0.001;           // one millimetre, in metres
constexpr double kDegreeMm = 9.0e-9;    // about one millimetre of latitude, in degrees

TEST(ParseNumber, ReadsTheLongestLeadingNumber) {
    struct Case {
        const char* name;
        std::string text;
        double expected;
        std::string textAfter;  // the caller's text after the call
    };
    const Case cases[] = {
        {"decimal comma", "6678901,123", 6678901.123, "6678901.123"},
        {"only the first comma", "1,234,5", 1.234, "1.234,5"},
        {"decimal point", "3386000.25", 3386000.25, "3386000.25"},
        {"empty", "", 0.0, ""},
        {"starts with a letter", "x6678901", 0.0, "x6678901"},
        {"only blanks", "   ", 0.0, "   "},
        {"blanks inside", "6 678 901.5", 6678901.5, "6 678 901.5"},
        {"tab and line feed inside", "\t66\n78 9\t01", 6678901.0, "\t66\n78 9\t01"},
        {"leading minus", "-12.5", -12.5, "-12.5"},
        {"plus and blank after the sign", "+ 7.25", 7.25, "+ 7.25"},
        {"minus, blanks and comma", " - 60 30,5", -6030.5, " - 60 30.5"},
        {"exponent", "1.5e3", 1500.0, "1.5e3"},
        {"negative exponent, capital E", "25E-1", 2.5, "25E-1"},
        {"blank inside the exponent", "1 e 2", 100.0, "1 e 2"},
        {"e without digits ends the number", "12e", 12.0, "12e"},
        {"e and sign without digits", "12e+x", 12.0, "12e+x"},
        {"stops at a letter", "123abc", 123.0, "123abc"},
        {"stops at the second point", "3.4.5", 3.4, "3.4.5"},
        {"no integer digits", ".5", 0.5, ".5"},
        {"no decimals after the point", "5.", 5.0, "5."},
        {"point alone", ".", 0.0, "."},
        {"sign alone", "-", 0.0, "-"},
        {"carriage return stops", "12\r34", 12.0, "12\r34"},
        {"tiny underflows to zero", "1e-999", 0.0, "1e-999"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        const double value = parseNumber(text);
        EXPECT_NEAR(value, c.expected, 0.001 * kMm) << c.name;
        EXPECT_EQ(text, c.textAfter) << c.name;
    }
}

TEST(ParseNumber, OverflowIsNotFinite) {
    std::string big = "1e999";
    const double value = parseNumber(big);
    EXPECT_TRUE(std::isinf(value));
    EXPECT_GT(value, 0.0);

    std::string negative = "-1 e 400";
    const double negativeValue = parseNumber(negative);
    EXPECT_TRUE(std::isinf(negativeValue));
    EXPECT_LT(negativeValue, 0.0);

    // 400 digits before the point: far beyond a double, and beyond any small buffer.
    std::string digits(400, '9');
    EXPECT_TRUE(std::isinf(parseNumber(digits)));
}

TEST(ParseNumber, LongNumbersAreReadWhole) {
    // 70 significant digits spill over any fixed buffer; the value is 1.2345...e69.
    std::string text = "1234567890123456789012345678901234567890123456789012345678901234567890";
    EXPECT_NEAR(parseNumber(text) / 1e69, 1.2345678901234567, 1e-15);

    // A coordinate with many decimals.
    std::string precise = "6678901.12345678901234567890123456789012345678901234567890123456789";
    EXPECT_NEAR(parseNumber(precise), 6678901.123456789, 0.001 * kMm);
}

// Plain numbers of up to 15 digits take a shorter way than long ones; both
// must give the correctly rounded double, bit for bit what strtod reads.
TEST(ParseNumber, EveryReadingIsCorrectlyRounded) {
    std::mt19937_64 random(154);
    std::uniform_int_distribution<int> digitCount(1, 18);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> choice(0, 9);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        const int c = choice(random);
        if (c == 0) text += '-';
        if (c == 1) text += '+';
        const int count = digitCount(random);
        std::uniform_int_distribution<int> pointAt(0, count);
        const int point = choice(random) < 8 ? pointAt(random) : -1;  // mostly with a point
        for (int k = 0; k < count; ++k) {
            if (k == point) text += '.';
            text += static_cast<char>('0' + digit(random));
        }
        if (point == count) text += '.';
        if (c == 2) text += "\r\n";   // ends the number
        if (c == 3) text += "m";      // ends the number
        std::string copy = text;
        const double value = parseNumber(copy);
        // strtod reads the same characters (the sign, digits and point).
        const double expected = std::strtod(text.c_str(), nullptr);
        ASSERT_EQ(std::bit_cast<uint64_t>(value), std::bit_cast<uint64_t>(expected)) << "'" << text << "'";
    }
    // A blank or an exponent after the digits continues the number.
    for (const auto& [text, expected] : {std::pair<std::string, double>{"12.5 25", 12.525},
                                         {"6678901.123e1", 66789011.23},
                                         {"-1.5D2", -150.0},
                                         {"7\t5", 75.0}}) {
        std::string copy = text;
        EXPECT_DOUBLE_EQ(parseNumber(copy), expected) << text;
    }
}

TEST(AngleToDegrees, UnpacksTheThreeNotations) {
    struct Case {
        const char* name;
        double value;
        int32_t format;
        double expectedDegrees;
        bool messageSet;
    };
    const Case cases[] = {
        {"decimal degrees unchanged", 60.123456789, 0, 60.123456789, false},
        {"decimal degrees are not checked", 6099.0, 0, 6099.0, false},
        {"degrees and minutes", 6030.5, 1, 60.0 + 30.5 / 60.0, false},
        {"60.9 minutes pass", 6060.9, 1, 60.0 + 60.9 / 60.0, false},
        {"61 minutes: message, value kept", 6061.0, 1, 61.0 + 1.0 / 60.0, true},
        {"negative degrees and minutes", -2430.0, 1, -24.5, false},
        {"degrees, minutes, seconds", 603015.5, 2, 60.0 + 30.0 / 60.0 + 15.5 / 3600.0, false},
        {"negative dms", -603015.5, 2, -(60.0 + 30.0 / 60.0 + 15.5 / 3600.0), false},
        {"zero", 0.0, 2, 0.0, false},
        {"60 seconds pass", 605960.0, 2, 60.0 + 59.0 / 60.0 + 60.0 / 3600.0, false},
        {"61 minutes", 606100.0, 2, 60.0 + 61.0 / 60.0, true},
        {"61 seconds", 603061.0, 2, 60.0 + 30.0 / 60.0 + 61.0 / 3600.0, true},
        {"60.99 seconds pass", 603060.99, 2, 60.0 + 30.0 / 60.0 + 60.99 / 3600.0, false},
        {"any other format reads as dms", 603015.5, 7, 60.0 + 30.0 / 60.0 + 15.5 / 3600.0, false},
    };
    for (const Case& c : cases) {
        std::string message;
        const double degrees = angleToDegrees(c.value, c.format, message);
        // The 1e-10 offset of the unpacking stays far below a millimetre.
        EXPECT_NEAR(degrees, c.expectedDegrees, 0.01 * kDegreeMm) << c.name;
        if (c.messageSet) {
            // Windows-1252: a-umlaut is the byte E4.
            EXPECT_EQ(message, "minuutit ja sekunnit oltava v\xE4lill\xE4 0-60") << c.name;
        } else {
            EXPECT_EQ(message, "") << c.name;
        }
    }
}

// Results of 0 to 3 decimals take a shorter way than others; every text must
// be the one std::to_chars writes in fixed notation (the exact binary value
// rounded, ties to the even digit).
TEST(FormatNumber, ShortPatternsMatchTheCorrectlyRoundedText) {
    auto reference = [](double value, int decimals) {
        if (value == 0.0) value = 0.0;
        char text[400];
        const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
        return std::string(text, result.ptr);
    };
    std::vector<double> values = {
        0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.25, 0.75, 1.25, -1.25, 0.125, 0.375, 0.0625, 0.0005, -0.0004,
        4.0e-17, 1e-30, -1e-30, 9007199254740991.0, 9007199254740992.0, 4503599627370495.5, 1e300, -1e300,
        6678901.1235, 6678901.0625, 3386000.0005, 7999999.9995, 499999.99950000003, -200000.0005,
    };
    std::mt19937_64 random(154);
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    std::uniform_int_distribution<int> magnitude(-6, 16);
    for (int i = 0; i < 100000; ++i) {
        values.push_back(uniform(random) * std::pow(10.0, magnitude(random)));
        // Exact ties at every number of decimals: k / 2, k / 8, k / 16, k / 2048.
        const double k = std::floor(uniform(random) * 1e7);
        values.push_back(k / 2.0);
        values.push_back(k / 8.0);
        values.push_back(k / 16.0);
        values.push_back(k / 2048.0);
    }
    for (const double value : values) {
        for (int decimals = 0; decimals <= 4; ++decimals) {
            ASSERT_EQ(formatNumber(value, decimals), reference(value, decimals))
                << std::hexfloat << value << " with " << decimals << " decimals";
        }
    }
}

TEST(FormatNumber, PatternsWithAPointAndNoGrouping) {
    struct Case {
        double value;
        int decimals;
        const char* expected;
    };
    const Case cases[] = {
        {6678901.123, 3, "6678901.123"},
        {3386000.0, 3, "3386000.000"},
        {1234567.0, 1, "1234567.0"},
        {-12.5, 1, "-12.5"},
        {-0.25, 2, "-0.25"},
        {0.5, 4, "0.5000"},
        {24.123456789, 6, "24.123457"},
        {24.123456789, 8, "24.12345679"},
        {-0.0, 2, "0.00"},
        {99.996, 2, "100.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatNumber(c.value, c.decimals), c.expected)
            << c.value << " with " << c.decimals << " decimals";
    }
    std::string appended = "N=";
    appendNumber(appended, -6678901.5, 3);
    EXPECT_EQ(appended, "N=-6678901.500");
}

// A C++ locale with a decimal comma and grouping by three, as Finnish settings give.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return ' '; }
    std::string do_grouping() const override { return "\3"; }
};

class GlobalLocaleGuard {
public:
    GlobalLocaleGuard() : saved_(std::locale()), savedC_(std::setlocale(LC_ALL, nullptr)) {}
    ~GlobalLocaleGuard() {
        std::locale::global(saved_);
        std::setlocale(LC_ALL, savedC_.c_str());
    }

private:
    std::locale saved_;
    std::string savedC_;
};

void expectLocaleIndependent() {
    EXPECT_EQ(formatNumber(-6678901.125, 3), "-6678901.125");
    EXPECT_EQ(formatAngle(60.5, 2, 11), "603000.0000   ");
    std::string text = "6678901.5";
    EXPECT_NEAR(parseNumber(text), 6678901.5, 0.001 * kMm);
    std::string comma = "3386000,25";
    EXPECT_NEAR(parseNumber(comma), 3386000.25, 0.001 * kMm);
}

TEST(FormatNumber, IgnoresACommaLocaleOfTheStreams) {
    GlobalLocaleGuard guard;
    std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    expectLocaleIndependent();
}

TEST(FormatNumber, IgnoresACommaLocaleOfTheCLibrary) {
    GlobalLocaleGuard guard;
    const char* names[] = {"fi_FI.UTF-8", "fi_FI.utf8", "fi_FI", "de_DE.UTF-8", "de_DE.utf8",
                           "fr_FR.UTF-8", "sv_SE.UTF-8"};
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            ASSERT_EQ(*std::localeconv()->decimal_point, ',') << name;
            expectLocaleIndependent();
            return;
        }
    }
    GTEST_SKIP() << "no locale with a decimal comma is installed on this machine";
}

TEST(FormatAngle, PacksIntoFourteenCharacters) {
    struct Case {
        const char* name;
        double degrees;
        int32_t format;
        int32_t sourceLength;
        const char* expected;
    };
    const double secondsCase = 60.0 + 30.0 / 60.0 + 59.996 / 3600.0;
    const Case cases[] = {
        {"dms, long input", 60.5, 2, 11, "603000.0000   "},
        {"dms, short input", 60.5, 2, 8, "603000.00     "},
        {"decimal degrees, short input", 24.123456789, 0, 8, "24.123457     "},
        {"decimal degrees, long input", 24.123456789, 0, 9, "24.12345679   "},
        {"negative decimal degrees", -24.123456789, 0, 9, "-24.12345679  "},
        {"degrees and minutes, short", 60.5, 1, 5, "6030.0000     "},
        {"degrees and minutes, long", 60.5, 1, 12, "6030.000000   "},
        {"negative degrees and minutes", -24.5, 1, 5, "-2430.0000    "},
        {"59.996 seconds round to 60.00, not carried", secondsCase, 2, 8, "603060.00     "},
        {"59.999999 minutes round to 60.0000, not carried", 60.0 + 59.999999 / 60.0, 1, 8,
         "6060.0000     "},
        {"zero", 0.0, 2, 11, "0.0000        "},
        {"any other format is dms", 60.5, 5, 11, "603000.0000   "},
        {"longest dms still fits", -179.999999, 2, 11, "-1795959.9964 "},
        {"longer text cut at 14", 123456.123456789, 0, 11, "123456.1234567"},
    };
    for (const Case& c : cases) {
        const std::string text = formatAngle(c.degrees, c.format, c.sourceLength);
        EXPECT_EQ(text, c.expected) << c.name;
        EXPECT_EQ(text.size(), 14u) << c.name;
    }
}

TEST(FormatAngle, RoundTripsThroughAngleToDegrees) {
    // Long inputs keep 1e-8 degree, 1e-6 minute or 1e-4 second: a few millimetres at most.
    for (int32_t format = 0; format <= 2; ++format) {
        for (double degrees = -70.0; degrees <= 70.0; degrees += 0.7654321) {
            std::string text = formatAngle(degrees, format, 11);
            std::string message;
            const double back = angleToDegrees(parseNumber(text), format, message);
            EXPECT_NEAR(back, degrees, 2.0 * kDegreeMm) << "format " << format << ": " << text;
            EXPECT_EQ(message, "") << text;
        }
    }
}

}  // namespace
}  // namespace lomitra
