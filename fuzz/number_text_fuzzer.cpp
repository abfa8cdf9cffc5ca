// Number reading and writing: parseNumber, readNumber, angleToDegrees,
// formatNumber, formatAngle.
//
// Input: bytes 0-7 a double (any bit pattern: NaN, infinities, denormals),
// byte 8 the decimals (0-8), byte 9 the angle notation (-1 to 3), byte 10 the
// source length; the rest is a text to read. A shorter input is padded with zeros.
//
// Checks:
//   - parseNumber changes only the first comma, and reads what readNumber reads;
//   - readNumber agrees with a plain reference (the blanks dropped, the
//     longest leading decimal number read with strtod), denormal results
//     aside (read as 0), and never gives a NaN;
//   - formatNumber of a finite value is "-?digits.decimals" and reads back
//     within half a unit of its last decimal;
//   - formatAngle always gives 14 characters, and for an angle of at most
//     360 degrees its text read back with angleToDegrees in the same notation
//     gives the angle within half a unit of the last decimal, with no message;
//   - angleToDegrees keeps the sign of its value and sets no other message than its own.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/coordinate_text.h"
#include "core/cp1252.h"
#include "core/texts.h"
#include "fuzz/fuzz_check.h"

namespace {

using lomitra::fuzz::shown;

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The value of the longest leading decimal number of `text` once every blank
// is dropped: sign, digits, point, digits, and an exponent (E or D) only when
// a digit follows it. No digit in the mantissa: 0.
double referenceRead(const std::string& text) {
    std::string compact;
    for (const char c : text) {
        if (!isBlank(c)) compact.push_back(c);
    }
    std::size_t i = 0;
    std::string number;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) number.push_back(compact[i++]);
    bool digits = false;
    while (i < compact.size() && isDigit(compact[i])) {
        number.push_back(compact[i++]);
        digits = true;
    }
    if (i < compact.size() && compact[i] == '.') {
        number.push_back(compact[i++]);
        while (i < compact.size() && isDigit(compact[i])) {
            number.push_back(compact[i++]);
            digits = true;
        }
    }
    if (!digits) return 0.0;
    const auto isExponentLetter = [](char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; };
    if (i < compact.size() && isExponentLetter(compact[i])) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) exponent.push_back(compact[j++]);
        if (j < compact.size() && isDigit(compact[j])) {
            while (j < compact.size() && isDigit(compact[j])) exponent.push_back(compact[j++]);
            number += exponent;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

void checkReading(const std::string& text) {
    std::string changed = text;
    const double value = lomitra::parseNumber(changed);
    std::string expectedText = text;
    const std::size_t comma = expectedText.find(',');
    if (comma != std::string::npos) expectedText[comma] = '.';
    LOMITRA_FUZZ_CHECK(changed == expectedText, "parseNumber changed more than the first comma: " + shown(text));
    const double read = lomitra::readNumber(expectedText);
    LOMITRA_FUZZ_CHECK(sameBits(value, read), "parseNumber and readNumber differ: " + shown(text));
    LOMITRA_FUZZ_CHECK(!std::isnan(read), "readNumber gave NaN: " + shown(text));

    const double plain = lomitra::readNumber(text);
    const double reference = referenceRead(text);
    const bool denormal = reference != 0.0 && std::fabs(reference) < DBL_MIN;
    LOMITRA_FUZZ_CHECK(plain == reference || (denormal && plain == 0.0),
          "readNumber(" + shown(text) + ") = " + std::to_string(plain) + ", reference " +
              std::to_string(reference));
}

void checkNumberFormat(double value, int decimals) {
    const std::string text = lomitra::formatNumber(value, decimals);
    LOMITRA_FUZZ_CHECK(!text.empty(), "formatNumber wrote nothing");
    std::string appended = "x";
    lomitra::appendNumber(appended, value, decimals);
    LOMITRA_FUZZ_CHECK(appended == "x" + text, "appendNumber differs from formatNumber");
    if (!std::isfinite(value)) return;

    // -?digits, then a point and exactly `decimals` digits.
    std::size_t i = text[0] == '-' ? 1 : 0;
    const std::size_t integerStart = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    LOMITRA_FUZZ_CHECK(i > integerStart, "no integer digit: " + text);
    if (decimals > 0) {
        LOMITRA_FUZZ_CHECK(i < text.size() && text[i] == '.', "no decimal point: " + text);
        ++i;
        const std::size_t fractionStart = i;
        while (i < text.size() && isDigit(text[i])) ++i;
        LOMITRA_FUZZ_CHECK(i - fractionStart == static_cast<std::size_t>(decimals), "wrong number of decimals: " + text);
    }
    LOMITRA_FUZZ_CHECK(i == text.size(), "stray characters: " + text);

    std::string copy = text;
    const double back = lomitra::parseNumber(copy);
    const double halfUnit = 0.5 * std::pow(10.0, -decimals);
    const double tolerance = halfUnit * (1.0 + 1e-9) + std::fabs(value) * 4.0 * DBL_EPSILON;
    LOMITRA_FUZZ_CHECK(std::fabs(back - value) <= tolerance,
          "formatNumber(" + std::to_string(value) + ", " + std::to_string(decimals) + ") = " + text +
              " reads back as " + std::to_string(back));
}

void checkAngleFormat(double degrees, int32_t notation, int32_t sourceLength) {
    const std::string text = lomitra::formatAngle(degrees, notation, sourceLength);
    LOMITRA_FUZZ_CHECK(text.size() == 14, "formatAngle is not 14 characters: '" + shown(text) + "'");
    if (!std::isfinite(degrees) || std::fabs(degrees) > 360.0) return;

    const bool shortInput = sourceLength <= 8;
    double unit = 0.0;  // half a unit of the last decimal, in degrees
    if (notation == 0) {
        unit = 0.5 * std::pow(10.0, shortInput ? -6 : -8);
    } else if (notation == 1) {
        unit = 0.5 * std::pow(10.0, shortInput ? -4 : -6) / 60.0;
    } else {
        unit = 0.5 * std::pow(10.0, shortInput ? -2 : -4) / 3600.0;
    }
    std::string message;
    const double back = lomitra::angleToDegrees(lomitra::readNumber(text), notation, message);
    LOMITRA_FUZZ_CHECK(message.empty(), "a written angle has minutes or seconds of 61: " + text);
    // The packing and the unpacking each add an offset (1e-12, 1e-10 degrees or units).
    LOMITRA_FUZZ_CHECK(std::fabs(back - degrees) <= unit * (1.0 + 1e-9) + 3e-10,
          "formatAngle(" + std::to_string(degrees) + ", " + std::to_string(notation) + ") = '" + text +
              "' reads back as " + std::to_string(back));
}

void checkAngleReading(double value, int32_t notation) {
    std::string message;
    const double degrees = lomitra::angleToDegrees(value, notation, message);
    const std::string own = lomitra::utf8ToCp1252(lomitra::texts::kMinutesSeconds);
    LOMITRA_FUZZ_CHECK(message.empty() || message == own, "angleToDegrees set a strange message");
    if (notation == 0) {
        LOMITRA_FUZZ_CHECK(sameBits(degrees, value), "decimal degrees changed");
        return;
    }
    if (!std::isfinite(value)) return;
    LOMITRA_FUZZ_CHECK(!std::isnan(degrees), "angleToDegrees of " + std::to_string(value) + " gave NaN");
    LOMITRA_FUZZ_CHECK(degrees * value >= 0.0, "angleToDegrees changed the sign of " + std::to_string(value));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    uint8_t header[11] = {};
    std::memcpy(header, data, size < sizeof header ? size : sizeof header);
    double value = 0.0;
    std::memcpy(&value, header, sizeof value);
    const int decimals = header[8] % 9;
    const int32_t notation = header[9] % 5 - 1;
    const int32_t sourceLength = header[10] % 20;
    const std::string text = size > sizeof header
                                 ? std::string(reinterpret_cast<const char*>(data) + sizeof header, size - sizeof header)
                                 : std::string();

    checkReading(text);
    checkNumberFormat(value, decimals);
    checkAngleFormat(value, notation, sourceLength);
    checkAngleReading(value, notation);
    // The text's own value through the same writers.
    const double read = lomitra::readNumber(text);
    checkNumberFormat(read, decimals);
    checkAngleFormat(read, notation, sourceLength);
    checkAngleReading(read, notation);
    return 0;
}
