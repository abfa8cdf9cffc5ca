// The decisions of the settings window frmEuref.
#include "app/settings_window.h"

#include <initializer_list>
#include <string>

namespace lomitra {
namespace {

// The pieces joined into one text. (Built by appending: GCC 12 at -O3 warns
// falsely about std::string's operator+ on a literal and a temporary.)
std::string join(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) {
        text.append(piece);
    }
    return text;
}

}  // namespace

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

}  // namespace lomitra
