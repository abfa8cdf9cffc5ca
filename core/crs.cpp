// The table of systems and of the names that reach them.
//
// EPSG names (as projinfo gives them): 3067 ETRS89 / TM35FIN(E,N); 3046,
// 3047, 3048 ETRS89 / UTM zone 34N, 35N, 36N (N-E); 25834, 25835, 25836
// ETRS89 / UTM zone 34N, 35N, 36N; 3873 ... 3885 ETRS89 / GK19FIN ...
// GK31FIN; 4258 ETRS89; 3386 KKJ / Finland zone 0; 2391, 2392 zone 1, 2;
// 2393 KKJ / Finland Uniform Coordinate System; 2394 zone 4; 3387 zone 5;
// 4123 KKJ. The UTM zones of ETRS89 are the projections of ETRS-TM34,
// ETRS-TM35FIN and ETRS-TM36 (central meridian 21, 27, 33 deg, scale 0.9996,
// false easting 500 000 m).
#include "core/crs.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

#include "core/texts.h"

namespace lomitra {
namespace {

constexpr Datum kEuref = Datum::EurefFin;
constexpr Datum kKkj = Datum::Kkj;

// Indexes into kSystems, for the names below.
enum : int { kTm35fin, kTm34, kTm36, kGk19, kGk32 = kGk19 + 13, kEurefFin, kKkj0, kYkj = kKkj0 + 3, kKkj5 = kKkj0 + 5, kKkjGeographic, kKkjOwn, kSystemCount };

constexpr std::array<CrsSystem, kSystemCount> kSystems = {{
    {"ETRS-TM35FIN", 3067, kEuref, Projection::Tm35fin, -1},
    {"ETRS-TM34", 3046, kEuref, Projection::Tm34, -1},
    {"ETRS-TM36", 3048, kEuref, Projection::Tm36, -1},
    {"ETRS-GK19", 3873, kEuref, Projection::EtrsGk, 19},
    {"ETRS-GK20", 3874, kEuref, Projection::EtrsGk, 20},
    {"ETRS-GK21", 3875, kEuref, Projection::EtrsGk, 21},
    {"ETRS-GK22", 3876, kEuref, Projection::EtrsGk, 22},
    {"ETRS-GK23", 3877, kEuref, Projection::EtrsGk, 23},
    {"ETRS-GK24", 3878, kEuref, Projection::EtrsGk, 24},
    {"ETRS-GK25", 3879, kEuref, Projection::EtrsGk, 25},
    {"ETRS-GK26", 3880, kEuref, Projection::EtrsGk, 26},
    {"ETRS-GK27", 3881, kEuref, Projection::EtrsGk, 27},
    {"ETRS-GK28", 3882, kEuref, Projection::EtrsGk, 28},
    {"ETRS-GK29", 3883, kEuref, Projection::EtrsGk, 29},
    {"ETRS-GK30", 3884, kEuref, Projection::EtrsGk, 30},
    {"ETRS-GK31", 3885, kEuref, Projection::EtrsGk, 31},
    {"ETRS-GK32", 0, kEuref, Projection::EtrsGk, 32},
    {"EUREF-FIN", 4258, kEuref, Projection::Geographic, -1},
    {"KKJ0", 3386, kKkj, Projection::KkjZone, 0},
    {"KKJ1", 2391, kKkj, Projection::KkjZone, 1},
    {"KKJ2", 2392, kKkj, Projection::KkjZone, 2},
    {"YKJ", 2393, kKkj, Projection::KkjZone, 3},
    {"KKJ4", 2394, kKkj, Projection::KkjZone, 4},
    {"KKJ5", 3387, kKkj, Projection::KkjZone, 5},
    {"KKJ", 4123, kKkj, Projection::Geographic, -1},
    {"KKJ-OWN", 0, kKkj, Projection::KkjOwnZone, -1},
}};

struct Name {
    std::string_view name;
    int system;
};

constexpr Name kNames[] = {
    {"EPSG:3067", kTm35fin}, {"EPSG:3046", kTm34}, {"EPSG:3047", kTm35fin}, {"EPSG:3048", kTm36},
    {"EPSG:25834", kTm34}, {"EPSG:25835", kTm35fin}, {"EPSG:25836", kTm36},
    {"EPSG:3873", kGk19}, {"EPSG:3874", kGk19 + 1}, {"EPSG:3875", kGk19 + 2},
    {"EPSG:3876", kGk19 + 3}, {"EPSG:3877", kGk19 + 4}, {"EPSG:3878", kGk19 + 5},
    {"EPSG:3879", kGk19 + 6}, {"EPSG:3880", kGk19 + 7}, {"EPSG:3881", kGk19 + 8},
    {"EPSG:3882", kGk19 + 9}, {"EPSG:3883", kGk19 + 10}, {"EPSG:3884", kGk19 + 11},
    {"EPSG:3885", kGk19 + 12}, {"EPSG:4258", kEurefFin},
    {"EPSG:3386", kKkj0}, {"EPSG:2391", kKkj0 + 1}, {"EPSG:2392", kKkj0 + 2},
    {"EPSG:2393", kYkj}, {"EPSG:2394", kKkj0 + 4}, {"EPSG:3387", kKkj5}, {"EPSG:4123", kKkjGeographic},
    {"ETRS-TM35FIN", kTm35fin}, {"ETRS-TM34", kTm34}, {"ETRS-TM36", kTm36},
    {"ETRS-GK19", kGk19}, {"ETRS-GK20", kGk19 + 1}, {"ETRS-GK21", kGk19 + 2},
    {"ETRS-GK22", kGk19 + 3}, {"ETRS-GK23", kGk19 + 4}, {"ETRS-GK24", kGk19 + 5},
    {"ETRS-GK25", kGk19 + 6}, {"ETRS-GK26", kGk19 + 7}, {"ETRS-GK27", kGk19 + 8},
    {"ETRS-GK28", kGk19 + 9}, {"ETRS-GK29", kGk19 + 10}, {"ETRS-GK30", kGk19 + 11},
    {"ETRS-GK31", kGk19 + 12}, {"ETRS-GK32", kGk32}, {"EUREF-FIN", kEurefFin},
    {"KKJ", kKkjGeographic}, {"KKJ0", kKkj0}, {"KKJ1", kKkj0 + 1}, {"KKJ2", kKkj0 + 2},
    {"KKJ3", kYkj}, {"KKJ4", kKkj0 + 4}, {"KKJ5", kKkj5}, {"YKJ", kYkj}, {"KKJ-OWN", kKkjOwn},
};

constexpr std::size_t kNameCount = std::size(kNames);

constexpr std::array<std::string_view, kNameCount> kAcceptedNames = [] {
    std::array<std::string_view, kNameCount> names{};
    for (std::size_t i = 0; i < kNameCount; ++i) names[i] = kNames[i].name;
    return names;
}();

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

std::string unknownMessage(std::string_view name) {
    std::string message(texts::kUnknownCrs1);
    message.append(name);
    message.append(texts::kUnknownCrs2);
    for (std::size_t i = 0; i < kNameCount; ++i) {
        if (i > 0) message.append(", ");
        message.append(kNames[i].name);
    }
    return message;
}

}  // namespace

UnknownCrs::~UnknownCrs() = default;

const CrsSystem& CrsTable::systemOf(const Crs& crs) {
    return kSystems[static_cast<std::size_t>(crs.system_)];
}

Crs CrsTable::byName(std::string_view name) {
    for (const Name& n : kNames) {
        if (sameIgnoringCase(n.name, name)) return Crs(n.system);
    }
    throw UnknownCrs(unknownMessage(name));
}

Crs::Crs(std::string_view name) : Crs(CrsTable::byName(name)) {}

Crs Crs::fromEpsg(int code) { return Crs("EPSG:" + std::to_string(code)); }

std::string_view Crs::name() const { return CrsTable::systemOf(*this).name; }
int Crs::epsg() const { return CrsTable::systemOf(*this).epsg; }
Datum Crs::datum() const { return CrsTable::systemOf(*this).datum; }
bool Crs::geographic() const { return CrsTable::systemOf(*this).projection == Projection::Geographic; }
bool Crs::targetOnly() const { return CrsTable::systemOf(*this).projection == Projection::KkjOwnZone; }

std::span<const std::string_view> Crs::acceptedNames() { return kAcceptedNames; }

}  // namespace lomitra
