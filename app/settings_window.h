// The decisions of the settings window frmEuref, free of any window toolkit.
//
// The window only shows what these functions decide: the zone selections of
// each direction (AsetaMuunnos1), which rows are visible (AsetaMuunnos2), and
// how the conversion window is prepared on "&Muunna" (caption, program line,
// input field names). The list texts and the heading lines are the core's
// (core/settings_items.h, core/table_heading.h).
//
// Encodings: list texts, captions and labels that only the windows show are
// UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/platform_services.h"
#include "core/conversion_settings.h"
#include "core/settings_items.h"
#include "core/table_heading.h"

namespace lomitra {

// Captions of frmEuref (UTF-8).
namespace settings_window {
inline constexpr std::string_view kCaption =
    "EUREF-FIN:n ja KKJ:n väliset muunnokset    (Versio 30.4.2009)";
inline constexpr std::string_view kTitle =  // Label6, green Arial 18 pt
    "Muunnos EUREF-FIN:sta (ETRS89:n realisaatio Suomessa) "
    "Kartastokoordinaattijärjestelmään (KKJ) tai päinvastoin";
inline constexpr std::string_view kFrameCaption = "Päävalikko:";      // Frame1
inline constexpr std::string_view kLabelDirection = "Muunnos";         // Label2
inline constexpr std::string_view kLabelSourceKind = "Lähtökoordinaatit";  // Label7
inline constexpr std::string_view kLabelResultKind = "Tuloskoordinaatit";  // Label9
inline constexpr std::string_view kLabelSourceZone = "Lähtökaista";    // lblLKaista
inline constexpr std::string_view kLabelResultZone = "Tuloskaista";    // lblTKaista
inline constexpr std::string_view kLabelSourceFormat = "Lähtöformaatti";  // lblLFormaatti
inline constexpr std::string_view kLabelResultFormat = "Tulosformaatti";  // lblTFormaatti
inline constexpr std::string_view kButtonConvert = "&Muunna";  // cmdLaske
inline constexpr std::string_view kButtonHelp = "&Ohje";       // cmdOhje
inline constexpr std::string_view kButtonQuit = "&Lopeta";     // cmdUlos
}  // namespace settings_window

// The lists' texts are core/settings_items.h; the heading lines of the
// result list, core/table_heading.h.

// The position each zone list selects after the refill (AsetaMuunnos1), by
// the cboMuunnos position: 0 is EUREF-FIN -> KKJ; any other value, including
// -1 for no selection, is KKJ -> EUREF-FIN.
int32_t sourceZoneSelection(int32_t direction);  // 1 for direction 0, else 0
int32_t resultZoneSelection(int32_t direction);  // 0 for direction 0, else 1

// AsetaMuunnos1 on the positions: resets sourceZone and resultZone to the
// selections of settings.direction; nothing else changes.
void applyDirectionRule(ConversionSettings& settings);

// AsetaMuunnos2: which of the four zone/format rows (label and list) show.
// A kind of 0 shows the zone row; any other kind (or -1) shows the format row.
struct RowVisibility {
    bool sourceZone = true;     // lblLKaista, cboLKaista
    bool sourceFormat = false;  // lblLFormaatti, cboLFormaatti
    bool resultZone = true;     // lblTKaista, cboTKaista
    bool resultFormat = false;  // lblTFormaatti, cboTFormaatti
};
RowVisibility rowVisibility(const ConversionSettings& settings);

// Caption of frmLaske: the selected cboMuunnos text (UTF-8; empty without selection).
std::string conversionWindowCaption(const ConversionSettings& settings);

// lblOhjelma of frmLaske: "Lomitra -ohjelma,   Pvm: dd.mm.yyyy" (UTF-8, ASCII in practice).
std::string programLine(const Date& date);

// Names of the input fields of frmLaske (UTF-8): lblKoord(0), (1), (3), (4).
// lblKoord(2) and (5) are not touched.
struct InputFieldNames {
    std::string first;       // lblKoord(0): "N", "P" or "Leveys"
    std::string second;      // lblKoord(1): "E", "I" or "Pituus"
    std::string firstUnit;   // lblKoord(3): "m" or the source format pattern
    std::string secondUnit;  // lblKoord(4): as firstUnit
};
InputFieldNames inputFieldNames(const ConversionSettings& settings);

}  // namespace lomitra
