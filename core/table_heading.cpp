// The eight heading lines of the result list and the table file.
#include "core/table_heading.h"

#include <string>

#include "core/cp1252.h"
#include "core/settings_items.h"

namespace lomitra {
namespace {

constexpr std::string_view kHeadingEurefToKkj =
    "Tunnus   Euref-Fin: N ja E             K  K  J:   P ja I             KKJ-lehti  UTM-lehti";
constexpr std::string_view kHeadingKkjToEuref =
    "Tunnus   K  K  J:   P ja I             Euref-Fin: N ja E             KKJ-lehti  UTM-lehti";
constexpr std::string_view kGeographicColumns = "Leveys,Pituus";
constexpr std::size_t kSourceColumns = 20;  // positions 21-33
constexpr std::size_t kResultColumns = 50;  // positions 51-63

// `prefix` followed by `value`.
std::string headed(std::string_view prefix, std::string_view value) {
    std::string text(prefix);
    text.append(value);
    return text;
}

// Writes "Leveys,Pituus" over the 13 characters from `offset`, keeping the length.
void overwriteColumns(std::string& heading, std::size_t offset) {
    heading.replace(offset, kGeographicColumns.size(), kGeographicColumns);
}

}  // namespace

std::array<std::string, 8> headingLines(const ConversionSettings& settings) {
    const bool planeSource = settings.sourceKind == 0;
    const bool planeResult = settings.resultKind == 0;
    std::array<std::string, 8> utf8;
    utf8[0] = headed("MUUNNOS........... ", itemAt(directionItems(), settings.direction));
    utf8[2] = std::string(planeSource ? "LÄHTÖKOORDINAATIT. suorakulmaiset: Poh, Itä"
                                      : "LÄHTÖKOORDINAATIT. maantieteelliset: Leveys, Pituus");
    utf8[3] = std::string(planeResult ? "TULOSKOORDINAATIT. suorakulmaiset: Poh, Itä"
                                      : "TULOSKOORDINAATIT. maantieteelliset: Leveys, Pituus");
    utf8[4] = planeSource ? headed("LÄHTÖKAISTA....... ",
                                    itemAt(sourceZoneItems(settings.direction), settings.sourceZone))
                          : headed("LÄHTÖFORMAATTI.... ", formatPattern(settings.sourceFormat));
    utf8[5] = planeResult ? headed("TULOSKAISTA....... ",
                                    itemAt(resultZoneItems(settings.direction), settings.resultZone))
                          : headed("TULOSFORMAATTI.... ", formatPattern(settings.resultFormat));
    std::string heading(eurefToKkj(settings.direction) ? kHeadingEurefToKkj : kHeadingKkjToEuref);
    if (!planeSource) {
        overwriteColumns(heading, kSourceColumns);
    }
    if (!planeResult) {
        overwriteColumns(heading, kResultColumns);
    }
    utf8[7] = heading;

    std::array<std::string, 8> lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = utf8ToCp1252(utf8[i]);
    }
    return lines;
}

}  // namespace lomitra
