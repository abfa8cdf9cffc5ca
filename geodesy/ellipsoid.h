// Ellipsoids of the two Finnish reference systems.
//
// EUREF-FIN lies on GRS80, KKJ on the International (Hayford 1924) ellipsoid.
// The table is addressed by the index used throughout JHS 154 code:
// 1 = GRS80, 2 = Hayford. Lengths are metres.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace lomitra {

// Degrees per radian as the program has always used it. Deliberately
// 57.29577951308238, not 180/pi = 57.29577951308232: results stored by
// users were computed with this value.
inline constexpr double kDegreesPerRadian = 57.29577951308238;

inline constexpr int16_t kGrs80 = 1;
inline constexpr int16_t kHayford = 2;

// The constants of Krueger's four-term series for one ellipsoid, derived from
// a and b once (tmSeriesOf, transverse_mercator.cpp) instead of at every
// projected point. NaN until derived, so that a projection on an ellipsoid
// outside the table gives NaN, which every caller refuses.
struct TmSeries {
    static constexpr double kNotDerived = std::numeric_limits<double>::quiet_NaN();
    double n = kNotDerived;   // third flattening (a - b) / (a + b)
    double e = kNotDerived;   // first eccentricity
    double A1 = kNotDerived;  // rectifying radius a / (1 + n) (1 + n^2/4 + n^4/64), metres
    double forward[4] = {kNotDerived, kNotDerived, kNotDerived, kNotDerived};  // h1 ... h4
    double inverse[4] = {kNotDerived, kNotDerived, kNotDerived, kNotDerived};  // h1' ... h4'
};

struct Ellipsoid {
    double semiMajorAxis = 0;              // a, metres
    double flattening = 0;                 // f
    double semiMinorAxis = 0;              // b = (1 - f) a, metres
    double eccentricitySquared = 0;        // e^2 = (a^2 - b^2) / a^2
    double secondEccentricitySquared = 0;  // e'^2 = (a^2 - b^2) / b^2
    TmSeries series;                       // for tmForward and tmInverse
};

// The two-entry ellipsoid table. All zero until initEllipsoids() runs.
class EllipsoidTable {
public:
    // Fills both entries; running it again recomputes the same values.
    void initEllipsoids();

    // index 1 (GRS80) or 2 (Hayford). Any other index is outside the table (a
    // programming error) and gives an all-zero ellipsoid, so results become NaN,
    // instead of a read out of bounds. Inline: every transformation asks for both.
    const Ellipsoid& at(int16_t index) const {
        if (index != kGrs80 && index != kHayford) return kOutsideTable;
        return entries_[static_cast<std::size_t>(index - 1)];
    }

private:
    static constexpr Ellipsoid kOutsideTable{};
    std::array<Ellipsoid, 2> entries_{};
};

// The table as initEllipsoids fills it, built once per process (safely on any
// thread) and never changed afterwards: what the transformations read.
const EllipsoidTable& standardEllipsoids();

}  // namespace lomitra
