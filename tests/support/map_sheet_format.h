// The forms of the map sheet identifiers, shared by the map sheet tests and
// the map sheet fuzz target.
#pragma once

#include <string>

namespace lomitra::map_sheet_format {

inline bool isQuarterDigit(char c) { return c >= '1' && c <= '4'; }

// Seven characters: row letter (no I, no O), column digit, three quarter
// digits, square letter A-H, quarter digit.
inline bool isWellFormedUtm(const std::string& id) {
    return id.size() == 7 && id[0] >= 'A' && id[0] <= 'Z' && id[0] != 'I' && id[0] != 'O' &&
           id[1] >= '0' && id[1] <= '9' && isQuarterDigit(id[2]) && isQuarterDigit(id[3]) &&
           isQuarterDigit(id[4]) && id[5] >= 'A' && id[5] <= 'H' && isQuarterDigit(id[6]);
}

// Eight characters: zone digit, row digit or M, two block digits, sheet 01-15,
// letter A-F, digit 1-6.
inline bool isWellFormedKkj(const std::string& id) {
    if (id.size() != 8) {
        return false;
    }
    const int sheet = (id[4] - '0') * 10 + (id[5] - '0');
    return id[0] >= '0' && id[0] <= '9' && ((id[1] >= '0' && id[1] <= '9') || id[1] == 'M') &&
           isQuarterDigit(id[2]) && isQuarterDigit(id[3]) && id[4] >= '0' && id[4] <= '1' &&
           id[5] >= '0' && id[5] <= '9' && sheet >= 1 && sheet <= 15 && id[6] >= 'A' &&
           id[6] <= 'F' && id[7] >= '1' && id[7] <= '6';
}

}  // namespace lomitra::map_sheet_format
