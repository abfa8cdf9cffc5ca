// The two help texts of the help window frmHelp.
//
// UTF-8, lines separated by "\r\n": an empty first line, four paragraphs with
// one empty line between them, and a final line break.
#pragma once

#include <string>

namespace lomitra {

// Help for the settings window (frmEuref's "&Ohje").
std::string settingsHelpText();

// Help for the conversion window (frmLaske's "&Ohje").
std::string conversionHelpText();

}  // namespace lomitra
