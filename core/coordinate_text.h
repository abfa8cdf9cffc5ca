// Coordinate texts: reading numbers (decimal comma accepted), the three
// geographic notations, and the number patterns of the results.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lomitra {

// Replaces the first comma of `text` by a point (the caller keeps the change)
// and reads the longest leading decimal number: blanks, tabs and line feeds
// are skipped anywhere, a sign may lead, an exponent (E or D) may follow. No digits: 0.
// An overflow reads as infinity; callers refuse non-finite values.
double parseNumber(std::string& text);

// The same reading rule without the comma step: the number the text begins
// with, blanks anywhere ignored; 0 without digits.
double readNumber(std::string_view text);

// Whether `text` holds a number by the reading rule: a digit, or a decimal
// point and a digit, after blanks and an optional sign. A text without one
// reads as 0 (readNumber).
bool holdsNumber(std::string_view text);

// Unpacks a source angle in the notation `sourceFormat` (0 decimal degrees,
// 1 ddmm.mmmm, other ddmmss.ssss) into decimal degrees. Sets `message` when a
// minutes or seconds part is 61 or more; the value is returned regardless.
double angleToDegrees(double value, int32_t sourceFormat, std::string& message);

// Writes `value` with `decimals` decimals (the patterns "0.0" ... "0.00000000"),
// always with a decimal point, whatever the locale.
std::string formatNumber(double value, int decimals);

// As formatNumber, appending to `out` (no allocation while `out` has room).
void appendNumber(std::string& out, double value, int decimals);

// An angle packed into a result notation: the number the pattern writes
// (degrees, ddmm.mmmm or ddmmss.ss) and its decimals.
struct PackedAngle {
    double number = 0.0;
    int decimals = 0;
};

// Packs `degrees` into the notation `resultFormat` (0 dd, 1 ddmm.mmmm, other
// ddmmss.ss). Short inputs (sourceLength <= 8) get fewer decimals.
PackedAngle packAngle(double degrees, int32_t resultFormat, int32_t sourceLength);

// packAngle written by its pattern, left-aligned in exactly 14 characters.
std::string formatAngle(double degrees, int32_t resultFormat, int32_t sourceLength);

}  // namespace lomitra
