// Map sheet identifiers of the KKJ and the UTM sheet divisions.
//
// UTM (ETRS-TM35FIN): 96 km x 192 km cells lettered from N = 5 706 000 and
// numbered from E = -460 000, halved three times into quarters, then split
// into eight 6 km squares and their quarters: seven characters.
// KKJ: counted in the KKJ zone of the point, 120 km rows from N = 6 620 000,
// blocks of 30 km x 40 km, 10 km sheets numbered 01-15, then 5 km and 2.5 km
// quarters; near a zone edge a column left less than a third wide is joined
// to its neighbour towards the central meridian. Eight characters.
//
// Both identifiers are built in a small character array; the result fits the
// short-string buffer of std::string, so a point costs no heap allocation.
//
// Deliberate limits: the UTM area is taken as N < 8 010 000 and E < 1 460 000
// (on those limits the arithmetic would run past Z and 9). A KKJ identifier is
// either well formed or empty: for points at sea or abroad inside the KKJ
// rectangle the arithmetic can give characters outside their sets (such as
// "2M1101@1"), or a zone digit other than the point's zone (a point whose
// nearest central meridian lies west of zone 0 would get "0"), and such a
// point gets no identifier.
#include "core/map_sheet.h"

#include <cmath>

#include "core/kkj_zone.h"

namespace lomitra {
namespace {

double mod(double x, double d) { return x - std::trunc(x / d) * d; }

// trunc of a value already known to be small (inside the sheet areas).
int tr(double x) { return static_cast<int>(std::trunc(x)); }

// Quarter digit: 1 south-west, 2 north-west, 3 south-east, 4 north-east.
char quarter(int row, int column) { return static_cast<char>('1' + row + 2 * column); }

}  // namespace

std::string utmSheetId(double N, double E) {
    // Written so that a NaN fails the test.
    if (!(N >= 5706000.0 && N < 8010000.0 && E >= -460000.0 && E < 1460000.0)) {
        return {};
    }
    const double y = N - 5706000.0;
    const double x = E + 460000.0;
    char id[7];

    int code = 65 + tr(y / 96000.0);
    if (code > 72) {
        ++code;  // no I
    }
    if (code > 78) {
        ++code;  // no O
    }
    id[0] = static_cast<char>(code);
    id[1] = static_cast<char>(48 + tr(x / 192000.0));
    id[2] = quarter(tr(mod(y, 96000.0) / 48000.0), tr(mod(x, 192000.0) / 96000.0));
    id[3] = quarter(tr(mod(y, 48000.0) / 24000.0), tr(mod(x, 96000.0) / 48000.0));
    id[4] = quarter(tr(mod(y, 24000.0) / 12000.0), tr(mod(x, 48000.0) / 24000.0));
    id[5] = static_cast<char>(65 + tr(mod(y, 12000.0) / 6000.0) +
                              2 * tr(mod(x, 24000.0) / 6000.0));
    id[6] = quarter(tr(mod(y, 6000.0) / 3000.0), tr(mod(x, 6000.0) / 3000.0));
    return std::string(id, sizeof id);
}

std::string kkjSheetId(double N, double E) {
    if (!(N >= 6500000.0 && N <= 7800000.0 && E >= 550000.0 && E <= 5450000.0)) {
        return {};
    }
    const int32_t zone = kkjZoneOf(N, E);
    double N2 = 0.0;
    double E2 = 0.0;
    kkjZoneChange(zone, N, E, N2, E2);

    const double x = mod(E2, 1000000.0) - 500000.0;  // east of the central meridian
    const double y = N2 - 6500000.0;
    const double xc = std::fmin(159900.0, std::fmax(0.0, x + 80000.0));
    // Guard: a zone change far outside Finland can leave the small-number range.
    if (!(std::fabs(y) < 1e8 && std::fabs(E2) < 1e8)) {
        return {};
    }

    const int d1 = tr(E2 / 1000000.0);
    const int d2 = tr(y / 120000.0) - 1;
    const int d3 = 1 + tr(mod(y, 120000.0) / 60000.0) + 2 * tr(xc / 80000.0);
    const int d4 = 1 + tr(mod(y, 60000.0) / 30000.0) + 2 * tr(mod(xc, 80000.0) / 40000.0);

    // 10 km sheet inside the 30 km x 40 km block.
    const int r = 1 + tr(mod(y, 30000.0) / 10000.0);
    const double x2 = x + 120000.0;
    int d5 = 3 * tr(mod(x2, 40000.0) / 10000.0) + r;
    const double nRef = 6500000.0 + std::trunc(y / 30000.0) * 30000.0 + 20000.0;
    const double h = kkjZoneHalfWidth(nRef);
    double rem = h - std::trunc(std::fabs(x) / 10000.0) * 10000.0;
    if (std::fabs(x) >= 80000.0) {
        d5 = r + 12;
    }
    bool joined = false;
    if (10000.0 / 3.0 > rem) {
        const double x3 = std::trunc(x / 10000.0) * 9999.0 + 120000.0;
        d5 = 3 * tr(mod(x3, 40000.0) / 10000.0) + r;
        joined = true;
    }

    // 5 km letter and 2.5 km digit.
    int cell[2] = {0, 0};
    const double widths[2] = {5000.0, 2500.0};
    for (int level = 0; level < 2; ++level) {
        const double w = widths[level];
        const int a = 1 + tr(mod(y, 2.0 * w) / w);
        int d = 2 * tr(mod(x2, 2.0 * w) / w) + a;
        rem = h - std::trunc(std::fabs(x) / w) * w;
        if (joined) {
            d = a + 4;
        }
        joined = false;
        if (w / 3.0 > rem) {
            const double x3 = std::trunc(x / w) * (w * 0.9999) + 120000.0;
            d = 2 * tr(mod(x3, 2.0 * w) / w) + a;
            joined = true;
        }
        cell[level] = d;
    }

    // Well formed or nothing; the zone digit must name the point's own zone
    // (west of zone 0 the zone is negative, and truncation would give "0").
    const bool wellFormed = d1 == zone && d1 >= 0 && d1 <= 9 && d2 <= 9 && d3 >= 1 && d3 <= 4 && d4 >= 1 &&
                            d4 <= 4 && d5 >= 1 && d5 <= 15 && cell[0] >= 1 && cell[0] <= 6 &&
                            cell[1] >= 1 && cell[1] <= 6;
    if (!wellFormed) {
        return {};
    }
    const char id[8] = {
        static_cast<char>('0' + d1),
        d2 < 0 ? 'M' : static_cast<char>('0' + d2),
        static_cast<char>('0' + d3),
        static_cast<char>('0' + d4),
        static_cast<char>('0' + d5 / 10),
        static_cast<char>('0' + d5 % 10),
        static_cast<char>(64 + cell[0]),
        static_cast<char>(48 + cell[1]),
    };
    return std::string(id, sizeof id);
}

}  // namespace lomitra
