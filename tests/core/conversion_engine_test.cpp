// convertPoint: every direction, kind, zone and format on network points of
// JHS 154, short and long inputs, decimal commas and the refusals.
//
// Expected values: a network point's own coordinates in both systems (the
// triangle affine maps every vertex onto itself), or the same point carried
// into another zone or onto the ellipsoid by tmForward / tmInverse here in the
// test, independently of the engine's zone arithmetic.
#include "core/conversion_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "core/texts.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/transverse_mercator.h"

namespace lomitra {
namespace {

constexpr double kRho = kDegreesPerRadian;
constexpr double kMm = 0.001;

// Network points: KKJ zone 3 (YKJ) P, I and ETRS-TM35FIN N, E, metres.
struct NetworkPoint {
    const char* name;
    double kkjP, kkjI, n, e;
};
constexpr NetworkPoint kPoint1{"point 1", 6718527.414, 3106266.213, 6715706.377, 106256.360};
constexpr NetworkPoint kPoint10{"point 10", 6712263.904, 3495070.508, 6709447.856, 494903.060};
constexpr NetworkPoint kPoint14{"point 14", 6879999.861, 3663986.641, 6877117.103, 663749.596};

// Independent projections for expected values.
class Projections {
public:
    Projections() { table_.initEllipsoids(); }
    const Ellipsoid& grs80() const { return table_.at(kGrs80); }
    const Ellipsoid& hayford() const { return table_.at(kHayford); }

    // Latitude, longitude (degrees) of a plane point of a zone.
    void toGeographic(const Ellipsoid& ell, double n, double e, double meridian, double scale,
                      double falseEasting, double& lat, double& lon) const {
        double phi = 0, dl = 0;
        tmInverse(ell, n / scale, (e - falseEasting) / scale, phi, dl);
        lat = phi * kRho;
        lon = meridian + dl * kRho;
    }
    // Plane point of a zone from latitude, longitude (degrees).
    void toPlane(const Ellipsoid& ell, double lat, double lon, double meridian, double scale,
                 double falseEasting, double& n, double& e) const {
        tmForward(ell, lat / kRho, (lon - meridian) / kRho, n, e);
        n *= scale;
        e = e * scale + falseEasting;
    }
    // GRS80 latitude, longitude of a point's ETRS-TM35FIN coordinates.
    void etrsGeographic(const NetworkPoint& p, double& lat, double& lon) const {
        toGeographic(grs80(), p.n, p.e, 27, 0.9996, 500000, lat, lon);
    }
    // Hayford latitude, longitude of a point's YKJ coordinates.
    void kkjGeographic(const NetworkPoint& p, double& lat, double& lon) const {
        toGeographic(hayford(), p.kkjP, p.kkjI, 27, 1.0, 3500000, lat, lon);
    }
    // The point in KKJ zone `zone` (meridian 18 + 3 zone, scale 1).
    void kkjZone(const NetworkPoint& p, int zone, double& n, double& e) const {
        double lat = 0, lon = 0;
        kkjGeographic(p, lat, lon);
        toPlane(hayford(), lat, lon, 18.0 + 3 * zone, 1.0, zone * 1e6 + 500000, n, e);
    }
    // The point in ETRS-TMnn (meridian, scale 0.9996) or ETRS-GKn (scale 1, prefix).
    void etrsTm(const NetworkPoint& p, double meridian, double& n, double& e) const {
        double lat = 0, lon = 0;
        etrsGeographic(p, lat, lon);
        toPlane(grs80(), lat, lon, meridian, 0.9996, 500000, n, e);
    }
    void etrsGk(const NetworkPoint& p, int zone, double& n, double& e) const {
        double lat = 0, lon = 0;
        etrsGeographic(p, lat, lon);
        toPlane(grs80(), lat, lon, zone, 1.0, zone * 1e6 + 500000, n, e);
    }

private:
    EllipsoidTable table_;
};

std::string fixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// Angle texts in the three source notations, with more decimals than the results carry.
std::string angleText(double degrees, int format) {
    const double d = std::trunc(degrees);
    const double minutes = (degrees - d) * 60.0;
    if (format == 0) return fixed(degrees, 11);
    if (format == 1) return fixed(d * 100 + minutes, 9);
    const double m = std::trunc(minutes);
    return fixed(d * 10000 + m * 100 + (minutes - m) * 60.0, 7);
}

// A result angle text in notation `format` back in degrees.
double angleValue(const std::string& text, int format) {
    const double v = std::strtod(text.c_str(), nullptr);
    if (format == 0) return v;
    if (format == 1) {
        const double d = std::trunc(v / 100);
        return d + (v - d * 100) / 60.0;
    }
    const double d = std::trunc(v / 10000);
    const double m = std::trunc((v - d * 10000) / 100);
    return d + m / 60.0 + (v - d * 10000 - m * 100) / 3600.0;
}

class ConvertPointTest : public ::testing::Test {
protected:
    void convert(const std::string& first, const std::string& second) {
        state.pointText[0] = first;
        state.pointText[1] = second;
        engine.convertPoint();
    }
    double resultValue(int i) const { return std::strtod(state.pointText[2 + i].c_str(), nullptr); }
    // Both results as plane coordinates, within `toleranceMm`.
    void expectPlane(double n, double e, double toleranceMm, const std::string& name) {
        ASSERT_EQ(state.message, "") << name;
        ASSERT_EQ(state.pointText[2].size(), 14u) << name;
        ASSERT_EQ(state.pointText[3].size(), 14u) << name;
        EXPECT_NEAR(resultValue(0), n, toleranceMm * kMm) << name << ": north";
        EXPECT_NEAR(resultValue(1), e, toleranceMm * kMm) << name << ": east";
    }
    // Both results as angles, the difference stated in millimetres on the ground.
    void expectAngles(double lat, double lon, int format, double toleranceMm, const std::string& name) {
        ASSERT_EQ(state.message, "") << name;
        ASSERT_EQ(state.pointText[2].size(), 14u) << name;
        const double metresPerDegree = 111320.0;
        const double dLat = (angleValue(state.pointText[2], format) - lat) * metresPerDegree;
        const double dLon = (angleValue(state.pointText[3], format) - lon) * metresPerDegree *
                            std::cos(lat / kRho);
        EXPECT_LE(std::fabs(dLat), toleranceMm * kMm) << name << ": latitude " << state.pointText[2];
        EXPECT_LE(std::fabs(dLon), toleranceMm * kMm) << name << ": longitude " << state.pointText[3];
    }
    void expectRefused(std::string_view utf8Message, const std::string& name) {
        EXPECT_EQ(state.message, utf8ToCp1252(utf8Message)) << name;
        EXPECT_EQ(state.pointText[2], "") << name;
        EXPECT_EQ(state.pointText[3], "") << name;
        EXPECT_EQ(state.kkjSheet, "") << name;
        EXPECT_EQ(state.utmSheet, "") << name;
    }

    ConversionSettings settings;
    DatumTransformation datum;
    ConversionState state;
    ConversionEngine engine{settings, datum, state};
    Projections proj;
};

TEST_F(ConvertPointTest, EurefPlaneSourceZonesToYkj) {
    // Every source zone of the list carries the point back onto its YKJ coordinates.
    struct Case {
        std::string name;
        int sourceZone;
        const NetworkPoint& point;
        double n, e;
    };
    std::vector<Case> cases;
    cases.push_back({"TM35FIN, point 10", 1, kPoint10, kPoint10.n, kPoint10.e});
    cases.push_back({"TM35FIN, point 1", 1, kPoint1, kPoint1.n, kPoint1.e});
    cases.push_back({"TM35FIN, point 14", 1, kPoint14, kPoint14.n, kPoint14.e});
    double n = 0, e = 0;
    proj.etrsTm(kPoint1, 21, n, e);
    cases.push_back({"TM34, point 1", 0, kPoint1, n, e});
    proj.etrsTm(kPoint10, 21, n, e);
    cases.push_back({"TM34, point 10", 0, kPoint10, n, e});
    proj.etrsTm(kPoint14, 33, n, e);
    cases.push_back({"TM36, point 14", 2, kPoint14, n, e});
    proj.etrsGk(kPoint1, 21, n, e);
    cases.push_back({"GK21, point 1", 1, kPoint1, n, e});
    proj.etrsGk(kPoint10, 27, n, e);
    cases.push_back({"GK27, point 10", 1, kPoint10, n, e});
    proj.etrsGk(kPoint14, 30, n, e);
    cases.push_back({"GK30, point 14", 1, kPoint14, n, e});
    proj.etrsGk(kPoint10, 25, n, e);
    cases.push_back({"GK25, point 10", 1, kPoint10, n, e});

    settings.direction = 0;
    settings.resultZone = 3;
    for (const Case& c : cases) {
        settings.sourceZone = c.sourceZone;
        convert(fixed(c.n, 4), fixed(c.e, 4));
        expectPlane(c.point.kkjP, c.point.kkjI, 1.0, c.name);
    }
}

TEST_F(ConvertPointTest, EurefToKkjResultZones) {
    settings.direction = 0;
    settings.sourceZone = 1;
    for (const NetworkPoint* p : {&kPoint1, &kPoint10, &kPoint14}) {
        for (int zone = 1; zone <= 5; ++zone) {
            settings.resultZone = zone;
            convert(fixed(p->n, 3), fixed(p->e, 3));
            double n = 0, e = 0;
            proj.kkjZone(*p, zone, n, e);
            expectPlane(n, e, 1.0, std::string(p->name) + " in KKJ zone " + std::to_string(zone));
        }
    }
    // Own zone: the zone whose meridian lies nearest (point 10 at 26.9 deg: 3; point 14 at 30.1 deg: 4).
    settings.resultZone = 0;
    convert("6709447.856", "494903.060");
    expectPlane(kPoint10.kkjP, kPoint10.kkjI, 1.0, "own zone of point 10");
    convert("6877117.103", "663749.596");
    double n = 0, e = 0;
    proj.kkjZone(kPoint14, 4, n, e);
    expectPlane(n, e, 1.0, "own zone of point 14");
}

TEST_F(ConvertPointTest, KkjPlaneSourcesToTm35) {
    // The KKJ zone is read from the first digit of the east value.
    settings.direction = 1;
    settings.sourceZone = 0;
    settings.resultZone = 1;
    struct Case {
        const NetworkPoint& point;
        int zone;
    };
    for (const Case& c : {Case{kPoint10, 3}, Case{kPoint1, 3}, Case{kPoint1, 1}, Case{kPoint1, 2},
                          Case{kPoint14, 4}, Case{kPoint14, 3}}) {
        double n = c.point.kkjP, e = c.point.kkjI;
        if (c.zone != 3) proj.kkjZone(c.point, c.zone, n, e);
        convert(fixed(n, 4), fixed(e, 4));
        expectPlane(c.point.n, c.point.e, 1.0,
                    std::string(c.point.name) + " from KKJ zone " + std::to_string(c.zone));
    }
}

TEST_F(ConvertPointTest, KkjToEurefResultZones) {
    settings.direction = 1;
    settings.sourceZone = 0;
    for (const NetworkPoint* p : {&kPoint1, &kPoint10, &kPoint14}) {
        for (int zone = 0; zone <= 16; ++zone) {
            settings.resultZone = zone;
            convert(fixed(p->kkjP, 3), fixed(p->kkjI, 3));
            double n = p->n, e = p->e;  // position 1: ETRS-TM35FIN as delivered
            if (zone == 0) proj.etrsTm(*p, 21, n, e);
            if (zone == 2) proj.etrsTm(*p, 33, n, e);
            if (zone >= 3) proj.etrsGk(*p, zone + 16, n, e);
            expectPlane(n, e, 1.0, std::string(p->name) + ", result zone position " + std::to_string(zone));
        }
    }
}

TEST_F(ConvertPointTest, GeographicSources) {
    double lat = 0, lon = 0;
    for (int format = 0; format <= 2; ++format) {
        settings.sourceKind = 1;
        settings.sourceFormat = format;
        settings.direction = 0;
        settings.resultZone = 3;
        proj.etrsGeographic(kPoint10, lat, lon);
        convert(angleText(lat, format), angleText(lon, format));
        expectPlane(kPoint10.kkjP, kPoint10.kkjI, 1.0, "GRS80 angles, format " + std::to_string(format));

        settings.direction = 1;
        settings.resultZone = 1;
        proj.kkjGeographic(kPoint14, lat, lon);
        convert(angleText(lat, format), angleText(lon, format));
        expectPlane(kPoint14.n, kPoint14.e, 1.0, "Hayford angles, format " + std::to_string(format));
    }
}

TEST_F(ConvertPointTest, GeographicResults) {
    // Rounding of the result notations: 1e-8 deg, 1e-6 min, 1e-4 s (at most 1.6 mm), plus 1 mm.
    double lat = 0, lon = 0;
    settings.resultKind = 1;
    for (int format = 0; format <= 2; ++format) {
        settings.resultFormat = format;
        settings.direction = 0;
        settings.resultZone = 0;
        convert("6709447.856", "494903.060");
        proj.kkjGeographic(kPoint10, lat, lon);
        expectAngles(lat, lon, format, 2.6, "Hayford result, format " + std::to_string(format));
        // A geographic result ignores the zone list.
        const std::string first = state.pointText[2];
        settings.resultZone = 5;
        convert("6709447.856", "494903.060");
        EXPECT_EQ(state.pointText[2], first) << "zone position 5 with a geographic result";

        settings.direction = 1;
        settings.resultZone = 1;
        convert("6879999.861", "3663986.641");
        proj.etrsGeographic(kPoint14, lat, lon);
        expectAngles(lat, lon, format, 2.6, "GRS80 result, format " + std::to_string(format));
    }
}

TEST_F(ConvertPointTest, DecimalsFollowTheFirstSourceText) {
    settings.direction = 1;
    settings.resultZone = 1;
    const std::regex oneDecimal(R"(\d+\.\d +)");
    const std::regex threeDecimals(R"(\d+\.\d\d\d +)");
    struct Case {
        const char* name;
        const char* first;
        const char* second;
        bool shortInput;
    };
    const Case cases[] = {
        {"7 characters", "6712264", "3495071", true},
        {"8 characters", "6712264.", "3495070.508", true},
        {"7 characters with blanks around", "  6712264 ", "3495070.508", true},
        {"9 characters", "6712263.9", "3495071", false},
        {"10 characters, second short", "6712263.90", "3495071", false},
        {"11 characters", "6712263.904", "3495070.508", false},
    };
    for (const Case& c : cases) {
        convert(c.first, c.second);
        ASSERT_EQ(state.message, "") << c.name;
        const std::regex& pattern = c.shortInput ? oneDecimal : threeDecimals;
        EXPECT_TRUE(std::regex_match(state.pointText[2], pattern)) << c.name << ": '" << state.pointText[2] << "'";
        EXPECT_TRUE(std::regex_match(state.pointText[3], pattern)) << c.name << ": '" << state.pointText[3] << "'";
        EXPECT_EQ(state.pointText[2].size(), 14u) << c.name;
        // Within a metre of the network point (the inputs are rounded to the metre at most).
        EXPECT_NEAR(resultValue(0), kPoint10.n, 1.0) << c.name;
        EXPECT_NEAR(resultValue(1), kPoint10.e, 1.0) << c.name;
    }
    convert("6712263.904", "3495070.508");
    EXPECT_EQ(state.pointText[2], "6709447.856   ");
    EXPECT_EQ(state.pointText[3], "494903.060    ");
    EXPECT_EQ(state.sourceLength, 11);
}

TEST_F(ConvertPointTest, DecimalCommaConvertsLikeAPoint) {
    settings.direction = 1;
    settings.resultZone = 1;
    convert("6712263,904", "3495070,508");
    EXPECT_EQ(state.pointText[0], "6712263.904");
    EXPECT_EQ(state.pointText[1], "3495070.508");
    EXPECT_EQ(state.pointText[2], "6709447.856   ");
    EXPECT_EQ(state.pointText[3], "494903.060    ");

    settings.direction = 0;
    settings.sourceKind = 1;
    settings.sourceFormat = 0;
    settings.resultZone = 3;
    double lat = 0, lon = 0;
    proj.etrsGeographic(kPoint10, lat, lon);
    std::string first = angleText(lat, 0);
    std::string second = angleText(lon, 0);
    first[first.find('.')] = ',';
    second[second.find('.')] = ',';
    convert(first, second);
    EXPECT_EQ(state.pointText[0], angleText(lat, 0));
    expectPlane(kPoint10.kkjP, kPoint10.kkjI, 1.0, "angles with decimal commas");
}

TEST_F(ConvertPointTest, SheetsForEveryConvertedPoint) {
    settings.direction = 1;
    settings.resultZone = 1;
    convert("6712263.904", "3495070.508");
    ASSERT_EQ(state.message, "");
    EXPECT_TRUE(std::regex_match(state.kkjSheet, std::regex(R"([0-9][0-9M][1-4]{2}[0-9]{2}[A-F][1-6]   )")))
        << "'" << state.kkjSheet << "'";
    EXPECT_TRUE(std::regex_match(state.utmSheet, std::regex(R"([K-X][2-6][1-4]{2}[1-4][A-H][1-4] )")))
        << "'" << state.utmSheet << "'";
    const std::string kkjSheet = state.kkjSheet;
    const std::string utmSheet = state.utmSheet;
    // The same point the other way, and as a geographic result, gets the same sheets.
    settings.direction = 0;
    settings.resultZone = 3;
    convert("6709447.856", "494903.060");
    EXPECT_EQ(state.kkjSheet, kkjSheet);
    EXPECT_EQ(state.utmSheet, utmSheet);
    settings.resultKind = 1;
    convert("6709447.856", "494903.060");
    EXPECT_EQ(state.kkjSheet, kkjSheet);
    EXPECT_EQ(state.utmSheet, utmSheet);
}

TEST_F(ConvertPointTest, MapSheetsOffLeaveTheSheetsEmptyAndTheResultsAlone) {
    struct Case {
        const char* name;
        int32_t direction, resultKind, resultZone;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"YKJ -> ETRS-TM35FIN", 1, 0, 1, "6712263.904", "3495070.508"},
        {"ETRS-TM35FIN -> KKJ own zone", 0, 0, 0, "6709447.856", "494903.060"},
        {"ETRS-TM35FIN -> geographic", 0, 1, 0, "6709447.856", "494903.060"},
        {"at sea, ETRS-TM35FIN -> YKJ", 0, 0, 3, "6100000.000", "300000.000"},
    };
    for (const Case& c : cases) {
        settings.direction = c.direction;
        settings.resultKind = c.resultKind;
        settings.resultZone = c.resultZone;
        engine.setMapSheets(true);
        convert(c.first, c.second);
        ASSERT_EQ(state.message, "") << c.name;
        const ConversionState withSheets = state;
        EXPECT_FALSE(withSheets.utmSheet.empty()) << c.name;

        engine.setMapSheets(false);
        state.kkjSheet = "stale";
        state.utmSheet = "stale";
        convert(c.first, c.second);
        EXPECT_EQ(state.message, "") << c.name;
        EXPECT_EQ(state.pointText[2], withSheets.pointText[2]) << c.name;
        EXPECT_EQ(state.pointText[3], withSheets.pointText[3]) << c.name;
        EXPECT_EQ(state.kkjSheet, "") << c.name;
        EXPECT_EQ(state.utmSheet, "") << c.name;
    }
    engine.setMapSheets(true);
}

TEST_F(ConvertPointTest, Refusals) {
    struct Case {
        const char* name;
        int direction, sourceKind, sourceZone, sourceFormat;
        const char* first;
        const char* second;
        std::string_view message;
    };
    const std::string_view unsuitable = texts::kUnsuitableCoordinates;
    const std::string_view minutes = texts::kMinutesSeconds;
    const Case cases[] = {
        {"zero source", 0, 0, 1, 0, "0", "0", unsuitable},
        {"text without digits", 1, 0, 0, 0, "abc", "def", unsuitable},
        // Without the guard each of these reads as ETRS-TM35FIN east 0, inside the area.
        {"east nan", 0, 0, 1, 0, "6936992.000", "nan", unsuitable},
        {"east a dash", 0, 0, 1, 0, "6936992.000", "-", unsuitable},
        {"east a lone point", 0, 0, 1, 0, "6936992.000", ".", unsuitable},
        {"east in ETRS-TM34, a word", 0, 0, 0, 0, "6936992.000", "puuttuu", unsuitable},
        {"latitude a word", 0, 1, 1, 2, "puuttuu", "270000.0", unsuitable},
        {"overflowing north", 0, 0, 1, 0, "1e999", "494903.060", unsuitable},
        {"overflowing east", 1, 0, 0, 0, "6712263.904", "1e999", unsuitable},
        {"overflowing latitude", 0, 1, 1, 0, "1e999", "27", unsuitable},
        {"negative overflow", 0, 0, 1, 0, "-1e999", "494903.060", unsuitable},
        {"KKJ prefix in TM35FIN position", 0, 0, 1, 0, "6709447.856", "3500000", unsuitable},
        {"no ETRS-GK381 zone", 0, 0, 1, 0, "6709447.856", "381494903.060", unsuitable},
        {"no ETRS-GK33 zone", 0, 0, 1, 0, "6709447.856", "33500000", unsuitable},
        {"far outside the area", 1, 0, 0, 0, "9512263.904", "3495070.508", unsuitable},
        {"61 minutes", 0, 1, 1, 1, "6061.0", "2700.0", minutes},
        {"61 minutes in the second angle", 0, 1, 1, 1, "6030.0", "2761.0", minutes},
        {"61 seconds", 1, 1, 0, 2, "603061.0", "270000.0", minutes},
    };
    for (const Case& c : cases) {
        settings = ConversionSettings{};
        settings.direction = c.direction;
        settings.sourceKind = c.sourceKind;
        settings.sourceZone = c.sourceZone;
        settings.sourceFormat = c.sourceFormat;
        // A converted point first, so that stale results would show.
        state.pointText[2] = "stale";
        state.kkjSheet = "stale";
        convert(c.first, c.second);
        expectRefused(c.message, c.name);
    }
    // Both texts get their decimal point even when the first already failed.
    settings = ConversionSettings{};
    settings.sourceKind = 1;
    settings.sourceFormat = 1;
    convert("6061,0", "2700,5");
    EXPECT_EQ(state.pointText[1], "2700.5");
}

TEST_F(ConvertPointTest, NeighboursOfTheLimitsConvert) {
    // 60 minutes (below the limit) and an ETRS-GK19 ... GK32 prefix are accepted.
    settings.sourceKind = 1;
    settings.sourceFormat = 1;
    settings.resultZone = 3;
    convert("6030.0", "2660.0");
    EXPECT_EQ(state.message, "");
    settings = ConversionSettings{};
    settings.resultZone = 3;
    double n = 0, e = 0;
    proj.etrsGk(kPoint14, 32, n, e);
    convert(fixed(n, 3), fixed(e, 3));
    expectPlane(kPoint14.kkjP, kPoint14.kkjI, 1.0, "GK32 source");
    // A written zero is a number: ETRS-TM35FIN east 0 lies in the accepted area.
    settings = ConversionSettings{};
    for (const char* zero : {"0", "-0.0", ".0", " + 0"}) {
        convert("6936992.000", zero);
        EXPECT_EQ(state.message, "") << zero;
    }
}

}  // namespace
}  // namespace lomitra
