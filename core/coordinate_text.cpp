// Coordinate texts.
//
// Reading rule: blanks, tabs and line feeds are skipped wherever they stand;
// the number is an optional sign, digits with at most one decimal point
// among them, and an optional exponent (E or D, an optional sign, digits);
// it ends at the first character that cannot continue it, and a text with no
// digit at its start reads as 0. The collected characters are read with
// std::from_chars and written with std::to_chars, so the regional settings
// (a decimal comma, thousands separators) never change a value or a result.
#include "core/coordinate_text.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "core/cp1252.h"
#include "core/texts.h"

namespace lomitra {
namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The characters of one number, without blanks. Short numbers stay in the
// local array; only a number longer than it spills into the heap.
class NumberBuffer {
public:
    void push(char c) {
        if (heap_.empty() && size_ < local_.size()) {
            local_[size_++] = c;
            return;
        }
        if (heap_.empty()) {
            heap_.assign(local_.data(), size_);
        }
        heap_.push_back(c);
    }
    const char* data() const { return heap_.empty() ? local_.data() : heap_.data(); }
    std::size_t size() const { return heap_.empty() ? size_ : heap_.size(); }

private:
    std::array<char, 64> local_{};
    std::size_t size_ = 0;
    std::string heap_;
};

// Decimal sign of -1, 0 or +1 (a NaN counts as 0).
double signOf(double value) {
    if (value > 0.0) {
        return 1.0;
    }
    if (value < 0.0) {
        return -1.0;
    }
    return 0.0;
}

// Exact powers of ten 10^0 ... 10^15.
constexpr std::array<double, 16> kPowersOfTen = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// [sign] digits [. digits] filling `text` or ending at a character that
// cannot continue a number, at most 15 digits: `value` and true. Anything
// else (blanks inside, an exponent, no digit, more digits) is left to the
// general reading: false.
bool readPlainNumber(std::string_view text, double& value) {
    const char* p = text.data();
    const char* const end = p + text.size();
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    const char* const first = p;
    uint64_t mantissa = 0;
    for (; p != end && isDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
    const auto integerDigits = p - first;
    std::ptrdiff_t fractionDigits = 0;
    if (p != end && *p == '.') {
        const char* const fraction = ++p;
        for (; p != end && isDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<uint64_t>(*p - '0');
        fractionDigits = p - fraction;
    }
    // Up to 15 digits the mantissa has not wrapped and is exact as a double.
    if (integerDigits + fractionDigits == 0 || integerDigits + fractionDigits > 15) return false;
    if (p != end) {
        // A blank may be followed by more of the number; an exponent letter by its digits.
        const char c = *p;
        if (isSkipped(c) || c == 'e' || c == 'E' || c == 'd' || c == 'D') return false;
    }
    const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[static_cast<std::size_t>(fractionDigits)];
    value = negative ? -magnitude : magnitude;
    return true;
}

// "0" and the decimals (zero, after the caller has dropped its sign).
bool appendZero(std::string& out, int decimals) {
    out.push_back('0');
    if (decimals > 0) {
        out.push_back('.');
        out.append(static_cast<std::size_t>(decimals), '0');
    }
    return true;
}

// "00" "01" ... "99".
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// 10^0 ... 10^3 as integers.
constexpr std::array<uint64_t, 4> kIntegerPowersOfTen = {1, 10, 100, 1000};

// `value` with 0 to 3 decimals, as std::to_chars writes it in fixed notation:
// the exact binary value rounded to the nearest decimal, a tie to the even
// digit, and a minus sign for any negative value. The binary value m 2^-s
// (m below 2^53) times 10^decimals stays below 2^63, so the rounding is done
// exactly in integers. False, writing nothing, for other decimals, values of
// 2^53 and above, values below 2^-11 other than zero, and non-finite ones.
bool appendShortFixed(std::string& out, double value, int decimals) {
    if (decimals < 0 || decimals > 3) return false;
    // |value| = mantissa / 2^shift, from the fields of the IEEE double.
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0 || biased == 0x7FF) return value == 0.0 && appendZero(out, decimals);
    const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
    const int shift = 1075 - biased;
    if (shift < 1 || shift > 63) return false;  // 2^53 and above, or below 2^-11
    const uint64_t scaled = mantissa * kIntegerPowersOfTen[static_cast<std::size_t>(decimals)];
    uint64_t rounded = scaled >> shift;
    const uint64_t rest = scaled & ((uint64_t{1} << shift) - 1);
    const uint64_t half = uint64_t{1} << (shift - 1);
    if (rest > half || (rest == half && (rounded & 1) != 0)) ++rounded;

    // Digits from the last one back: the decimals, the point, the integer part
    // (two at a time while there are more).
    char text[32];
    char* p = text + sizeof text;
    for (int k = 0; k < decimals; ++k) {
        *--p = static_cast<char>('0' + rounded % 10);
        rounded /= 10;
    }
    if (decimals > 0) *--p = '.';
    while (rounded >= 100) {
        const auto pair = static_cast<std::size_t>(rounded % 100) * 2;
        rounded /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (rounded >= 10) {
        *--p = static_cast<char>('0' + rounded % 10);
        rounded /= 10;
    }
    *--p = static_cast<char>('0' + rounded);
    if (value < 0.0) *--p = '-';
    out.append(p, static_cast<std::size_t>(text + sizeof text - p));
    return true;
}

}  // namespace

double parseNumber(std::string& text) {
    const std::size_t comma = text.find(',');
    if (comma != std::string::npos) {
        text[comma] = '.';
    }
    return readNumber(text);
}

bool holdsNumber(std::string_view text) {
    std::size_t i = 0;
    auto next = [&] {
        while (i < text.size() && isSkipped(text[i])) ++i;
    };
    next();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
        next();
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        next();
    }
    return i < text.size() && isDigit(text[i]);
}

double readNumber(std::string_view text) {
    // The common case, an optional sign, digits and an optional point and
    // digits, at most 15 digits in all and nothing after them that could
    // continue the number: mantissa and power of ten are both exact doubles,
    // so one division gives the correctly rounded value, the same double as
    // the general reading below (Clinger's fast path).
    if (double value = 0.0; readPlainNumber(text, value)) {
        return value;
    }

    NumberBuffer buffer;
    std::size_t i = 0;
    const std::size_t n = text.size();
    // Moves i to the next character that is not skipped.
    auto next = [&]() {
        while (i < n && isSkipped(text[i])) {
            ++i;
        }
    };

    next();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
        next();
    }
    if (negative) {
        buffer.push('-');
    }

    // Mantissa: digits, an optional point, digits. The decimal magnitude of
    // the leading significant digit is tracked so that an out-of-range value
    // can be told apart as an overflow (infinity) or an underflow (zero).
    bool anyDigit = false;
    bool significant = false;
    long long magnitude = 0;  // power of ten of the first significant digit
    long long integerDigits = 0;
    long long leadingFractionZeros = 0;
    while (i < n && isDigit(text[i])) {
        anyDigit = true;
        if (text[i] != '0') {
            significant = true;
        }
        if (significant) {
            ++integerDigits;
        }
        buffer.push(text[i]);
        ++i;
        next();
    }
    if (i < n && text[i] == '.') {
        buffer.push('.');
        ++i;
        next();
        bool fractionSignificant = significant;
        while (i < n && isDigit(text[i])) {
            anyDigit = true;
            if (!fractionSignificant) {
                if (text[i] == '0') {
                    ++leadingFractionZeros;
                } else {
                    fractionSignificant = true;
                }
            }
            buffer.push(text[i]);
            ++i;
            next();
        }
        significant = fractionSignificant;
    }
    if (!anyDigit) {
        return 0.0;
    }
    if (!significant) {
        return negative ? -0.0 : 0.0;
    }
    magnitude = integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1);

    // Exponent (E, or D for a double-precision exponent): taken only when at least one
    // digit follows the letter and its sign.
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::size_t j = i + 1;
        auto skip = [&]() {
            while (j < n && isSkipped(text[j])) {
                ++j;
            }
        };
        skip();
        bool exponentNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            exponentNegative = text[j] == '-';
            ++j;
            skip();
        }
        if (j < n && isDigit(text[j])) {
            buffer.push('e');
            if (exponentNegative) {
                buffer.push('-');
            }
            long long exponent = 0;
            while (j < n && isDigit(text[j])) {
                buffer.push(text[j]);
                // Saturates far beyond any finite double.
                if (exponent < 100000) {
                    exponent = exponent * 10 + (text[j] - '0');
                }
                ++j;
                skip();
            }
            magnitude += exponentNegative ? -exponent : exponent;
        }
    }

    double value = 0.0;
    const char* first = buffer.data();
    const auto [ptr, ec] = std::from_chars(first, first + buffer.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Too large: infinity, which every caller refuses. Too small: zero.
        const double limit = magnitude >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -limit : limit;
    }
    if (ec != std::errc()) {
        // Guard only: the buffer always holds a well-formed number here.
        return 0.0;
    }
    return value;
}

double angleToDegrees(double value, int32_t sourceFormat, std::string& message) {
    if (sourceFormat == 0) {
        return value;
    }
    const double s = signOf(value);
    const double v = std::fabs(value) + 1e-10;
    if (sourceFormat == 1) {
        const double d = std::trunc(v / 100.0);
        const double m = v - 100.0 * d;
        if (m >= 61.0) {
            message = utf8ToCp1252(texts::kMinutesSeconds);
        }
        return (m / 60.0 + d) * s;
    }
    const double d = std::trunc(v / 10000.0);
    const double w = v - 10000.0 * d;
    const double m = std::trunc(w / 100.0);
    const double sec = w - 100.0 * m;
    if (m >= 61.0 || sec >= 61.0) {
        message = utf8ToCp1252(texts::kMinutesSeconds);
    }
    return (m / 60.0 + d + sec / 3600.0) * s;
}

void appendNumber(std::string& out, double value, int decimals) {
    if (value == 0.0) {
        value = 0.0;  // a negative zero is not a negative value: no minus sign
    }
    if (appendShortFixed(out, value, decimals)) {
        return;
    }
    // 309 integer digits, a sign, a point and the decimals fit.
    std::array<char, 400> buffer;
    const auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                      std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        // Guard only: the buffer holds any double with up to 8 decimals.
        return;
    }
    out.append(buffer.data(), end);
}

std::string formatNumber(double value, int decimals) {
    std::string text;
    appendNumber(text, value, decimals);
    return text;
}

PackedAngle packAngle(double degrees, int32_t resultFormat, int32_t sourceLength) {
    const bool shortInput = sourceLength <= 8;
    const double s = signOf(degrees);
    const double v = std::fabs(degrees) + 1e-12;
    PackedAngle packed;
    if (resultFormat == 0) {
        packed.number = degrees;
        packed.decimals = shortInput ? 6 : 8;
    } else if (resultFormat == 1) {
        const double d = std::trunc(v);
        const double m = (v - d) * 60.0;
        packed.number = (d * 100.0 + m) * s;
        packed.decimals = shortInput ? 4 : 6;
    } else {
        const double d = std::trunc(v);
        const double t = (v - d) * 60.0;
        const double m = std::trunc(t);
        const double sec = (t - m) * 60.0;
        packed.number = (d * 10000.0 + m * 100.0 + sec) * s;
        packed.decimals = shortInput ? 2 : 4;
    }
    return packed;
}

std::string formatAngle(double degrees, int32_t resultFormat, int32_t sourceLength) {
    const PackedAngle packed = packAngle(degrees, resultFormat, sourceLength);
    std::string text;
    text.reserve(24);
    appendNumber(text, packed.number, packed.decimals);
    text.append(10, ' ');
    text.resize(14, ' ');  // pads even a text as short as inf
    return text;
}

}  // namespace lomitra
