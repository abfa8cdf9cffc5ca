// The eight heading lines of the result list and the table file: the
// conversion chosen, in the settings' own words, and the column heading.
#pragma once

#include <array>
#include <string>

#include "core/conversion_settings.h"

namespace lomitra {

// The heading lines of `settings`, Windows-1252 (the bytes of the result list
// and of a table file). Line 8 is the 89-character column heading.
std::array<std::string, 8> headingLines(const ConversionSettings& settings);

}  // namespace lomitra
