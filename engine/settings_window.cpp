// The decisions of the settings window frmEuref.
#include "engine/settings_window.h"

#include <initializer_list>
#include <string>

#include "engine/cp1252.h"

namespace lomitra {
namespace {

// Direction 0 is EUREF-FIN -> KKJ; every other position (also "no selection")
// takes the branch of KKJ -> EUREF-FIN, as the window's rules do.
bool eurefToKkj(int32_t direction) { return direction == 0; }

// The item at `position`, or the empty text when the list has no such item.
std::string itemAt(const std::vector<std::string>& items, int32_t position) {
    if (position < 0 || static_cast<std::size_t>(position) >= items.size()) {
        return {};
    }
    return items[static_cast<std::size_t>(position)];
}

constexpr std::string_view kHeadingEurefToKkj =
    "Tunnus   Euref-Fin: N ja E             K  K  J:   P ja I             KKJ-lehti  UTM-lehti";
constexpr std::string_view kHeadingKkjToEuref =
    "Tunnus   K  K  J:   P ja I             Euref-Fin: N ja E             KKJ-lehti  UTM-lehti";
constexpr std::string_view kGeographicColumns = "Leveys,Pituus";
constexpr std::size_t kSourceColumns = 20;  // positions 21-33
constexpr std::size_t kResultColumns = 50;  // positions 51-63

// The pieces joined into one text. (Built by appending: GCC 12 at -O3 warns
// falsely about std::string's operator+ on a literal and a temporary.)
std::string join(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) {
        text.append(piece);
    }
    return text;
}

// Writes "Leveys,Pituus" over the 13 characters from `offset`, keeping the length.
void overwriteColumns(std::string& heading, std::size_t offset) {
    heading.replace(offset, kGeographicColumns.size(), kGeographicColumns);
}

}  // namespace

std::vector<std::string> directionItems() {
    return {"EUREF-FIN    ==>    KKJ", "KKJ    ==>    EUREF-FIN"};
}

std::vector<std::string> sourceKindItems() {
    return {"suorakulmaiset:  Pohjoinen, Itä", "maantieteelliset:  Leveys, Pituus"};
}

std::vector<std::string> resultKindItems() {
    return {"suorakulmaiset:  Pohjoinen, Itä", "maantieteelliset:  Leveys,  Pituus"};
}

std::vector<std::string> formatItems() {
    return {
        "aa.aaaaaaaa       eli desimaaliasteina                           (a=aste)",
        "aamm.mmmmmm   eli asteina ja minuutteina                   (a=aste,m=minuutti)",
        "aammss.ssss       eli asteina, minuutteina ja sekunteina  "
        "(a=aste,m=minuutti,s=sekunti)",
    };
}

std::vector<std::string> sourceZoneItems(int32_t direction) {
    if (eurefToKkj(direction)) {
        return {
            "ETRS-TM34, jonka keskimeridiaanin asteluku= 21",
            "ETRS-TM35FIN tai ETRS-GKxx, jonka keskimeridiaanin asteluku= 27 tai xx",
            "ETRS-TM36, jonka keskimeridiaanin asteluku= 33",
        };
    }
    return {"Itä-koordinaatin alkunumero määrää lähtökaistan"};
}

std::vector<std::string> resultZoneItems(int32_t direction) {
    if (eurefToKkj(direction)) {
        return {
            "oma kaista  eli pisteen sijainnin mukainen kaista",
            "1.kaista, jonka keskimeridiaanin asteluku= 21 ja I= 1 500 000 m",
            "2.kaista, jonka keskimeridiaanin asteluku= 24 ja I= 2 500 000 m",
            "3.kaista, jonka keskimeridiaanin asteluku= 27 ja I= 3 500 000 m (= YKJ)",
            "4.kaista, jonka keskimeridiaanin asteluku= 30 ja I= 4 500 000 m",
            "5.kaista, jonka keskimeridiaanin asteluku= 33 ja I= 5 500 000 m",
        };
    }
    std::vector<std::string> items = {
        "ETRS-TM34, jonka keskimeridiaanin asteluku= 21",
        "ETRS-TM35FIN, jonka keskimeridiaanin asteluku= 27",
        "ETRS-TM36, jonka keskimeridiaanin asteluku= 33",
    };
    for (int meridian = 19; meridian <= 32; ++meridian) {
        const std::string degrees = std::to_string(meridian);
        items.push_back(join({"ETRS-GK", degrees, ", jonka keskimeridiaanin asteluku= ", degrees}));
    }
    return items;
}

int32_t sourceZoneSelection(int32_t direction) { return eurefToKkj(direction) ? 1 : 0; }

int32_t resultZoneSelection(int32_t direction) { return eurefToKkj(direction) ? 0 : 1; }

void applyDirectionRule(ConversionSettings& settings) {
    settings.sourceZone = sourceZoneSelection(settings.direction);
    settings.resultZone = resultZoneSelection(settings.direction);
}

RowVisibility rowVisibility(const ConversionSettings& settings) {
    RowVisibility rows;
    rows.sourceZone = settings.sourceKind == 0;
    rows.sourceFormat = !rows.sourceZone;
    rows.resultZone = settings.resultKind == 0;
    rows.resultFormat = !rows.resultZone;
    return rows;
}

std::string formatPattern(int32_t format) { return itemAt(formatItems(), format).substr(0, 11); }

std::string conversionWindowCaption(const ConversionSettings& settings) {
    return itemAt(directionItems(), settings.direction);
}

std::string programLine(const Date& date) {
    // Zero-padded to `width` digits (a date's fields are never negative).
    auto padded = [](int value, std::size_t width) {
        const std::string digits = std::to_string(value);
        std::string text(digits.size() < width ? width - digits.size() : 0, '0');
        text.append(digits);
        return text;
    };
    return join({"Lomitra -ohjelma,   Pvm: ", padded(date.day, 2), ".", padded(date.month, 2), ".",
                 padded(date.year, 4)});
}

InputFieldNames inputFieldNames(const ConversionSettings& settings) {
    // Built by construction, not by assigning literals (which GCC 12 at -O3
    // warns about falsely).
    if (settings.sourceKind == 0) {
        const bool eurefSource = eurefToKkj(settings.direction);
        return InputFieldNames{std::string(eurefSource ? "N" : "P"),
                               std::string(eurefSource ? "E" : "I"), std::string("m"),
                               std::string("m")};
    }
    const std::string pattern = formatPattern(settings.sourceFormat);
    return InputFieldNames{std::string("Leveys"), std::string("Pituus"), pattern, pattern};
}

std::array<std::string, 8> headingLines(const ConversionSettings& settings) {
    const bool planeSource = settings.sourceKind == 0;
    const bool planeResult = settings.resultKind == 0;
    std::array<std::string, 8> utf8;
    utf8[0] = join({"MUUNNOS........... ", itemAt(directionItems(), settings.direction)});
    utf8[2] = std::string(planeSource ? "LÄHTÖKOORDINAATIT. suorakulmaiset: Poh, Itä"
                                      : "LÄHTÖKOORDINAATIT. maantieteelliset: Leveys, Pituus");
    utf8[3] = std::string(planeResult ? "TULOSKOORDINAATIT. suorakulmaiset: Poh, Itä"
                                      : "TULOSKOORDINAATIT. maantieteelliset: Leveys, Pituus");
    utf8[4] = planeSource ? join({"LÄHTÖKAISTA....... ",
                                  itemAt(sourceZoneItems(settings.direction), settings.sourceZone)})
                          : join({"LÄHTÖFORMAATTI.... ", formatPattern(settings.sourceFormat)});
    utf8[5] = planeResult ? join({"TULOSKAISTA....... ",
                                  itemAt(resultZoneItems(settings.direction), settings.resultZone)})
                          : join({"TULOSFORMAATTI.... ", formatPattern(settings.resultFormat)});
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
