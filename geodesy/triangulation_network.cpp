// Parsing of the built-in JHS 154 network rows into the point and triangle tables.
//
// Point rows are read by fixed windows of 6, 12, 12, 12 and 12 columns (number,
// KKJ P, KKJ I, ETRS-TM35FIN N, E); the description from column 55 on is never
// read. Triangle rows hold three vertex numbers in windows of 8 columns. Numbers
// are converted from their decimal text exactly (std::from_chars).
#include "geodesy/triangulation_network.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>

namespace lomitra {

namespace {

// The number in columns [first, first + width) of row (columns from 1; a window
// running past the end of the row is cut there). Blanks are skipped; the rest is
// read as a decimal number (optional leading minus, digits, one full stop) up to
// the first character that cannot continue it. An empty window reads as 0.
double numberInWindow(std::string_view row, std::size_t first, std::size_t width) {
    const std::size_t start = first - 1;
    if (start >= row.size()) return 0.0;
    const std::string_view window = row.substr(start, width);

    std::string text;
    bool seenDigitOrPoint = false;
    bool seenPoint = false;
    for (const char c : window) {
        if (c == ' ') continue;
        if (c == '-' && text.empty()) {
            text += c;
        } else if (c >= '0' && c <= '9') {
            text += c;
            seenDigitOrPoint = true;
        } else if (c == '.' && !seenPoint) {
            text += c;
            seenPoint = true;
            seenDigitOrPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigitOrPoint) return 0.0;

    double value = 0.0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    // "-", "." or "-." carry no digits: they read as 0.
    if (ec != std::errc{} || ptr == begin) return 0.0;
    return value;
}

// A point or vertex number: the whole number nearest to the window's value.
int32_t wholeNumberInWindow(std::string_view row, std::size_t first, std::size_t width) {
    return static_cast<int32_t>(std::lround(numberInWindow(row, first, width)));
}

}  // namespace

void TriangulationNetwork::loadNetworkPoints() {
    for (const std::string_view row : networkPointRows()) {
        const int32_t number = wholeNumberInWindow(row, 1, 6);
        // The built-in rows are numbered 1..1000; a row outside the slots is skipped.
        if (number < 1 || number > kPointSlots) continue;
        NetworkPoint& slot = points_[static_cast<std::size_t>(number - 1)];
        slot.kkjP = numberInWindow(row, 7, 12);
        slot.kkjI = numberInWindow(row, 19, 12);
        slot.eurefN = numberInWindow(row, 31, 12);
        slot.eurefE = numberInWindow(row, 43, 12);
    }
}

void TriangulationNetwork::loadNetworkTriangles() {
    const auto rows = networkTriangleRows();
    // The built-in list has 1450 rows; never more than the table holds.
    triangleCount_ = static_cast<int32_t>(std::min<std::size_t>(rows.size(), kTriangleSlots));
    for (int32_t i = 0; i < triangleCount_; ++i) {
        const std::string_view row = rows[static_cast<std::size_t>(i)];
        NetworkTriangle& slot = triangles_[static_cast<std::size_t>(i)];
        slot.first = wholeNumberInWindow(row, 1, 8);
        slot.second = wholeNumberInWindow(row, 9, 8);
        slot.third = wholeNumberInWindow(row, 17, std::string_view::npos);
    }
}

}  // namespace lomitra
