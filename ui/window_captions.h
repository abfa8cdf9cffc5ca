// Captions of the controls of the conversion window frmLaske and the file
// selection window frmTiedosto (UTF-8). An ampersand marks the access key.
// The messages of these windows are in core/texts.h.
#pragma once

#include <string_view>

namespace lomitra::captions {

// frmLaske
inline constexpr std::string_view kGuidanceLabel = "Ohjeteksti:";                    // Label10
inline constexpr std::string_view kSourceFile = "&Lähtötiedosto";                    // cmdLahto
inline constexpr std::string_view kNextLine = "Seuraava &rivi";                      // cmdSeuraava
inline constexpr std::string_view kMarkAgain = "&Aloituskohdat";                     // cmdAloituskohdat
inline constexpr std::string_view kHelp = "&Ohje";                                   // cmdOhje
inline constexpr std::string_view kResultFile = "&Tuloskoordinaatit tiedostoon";     // cmdTulostiedosto
inline constexpr std::string_view kTableFile = "M&uunnostaulu tiedostoon";           // cmdTauTie
inline constexpr std::string_view kPrint = "Muunnostaulu &kirjoittimelle";           // cmdPrintterille
inline constexpr std::string_view kClose = "&Sulje";                                 // cmdLopeta
inline constexpr std::string_view kConvert = "&Muunna";                              // cmdMuunna
inline constexpr std::string_view kLineFrame = "Lähtötiedoston koordinaattirivi:";
inline constexpr std::string_view kFixedColumns =                                    // optFixed
    "Koordinaatit ovat kiinteissä sarakkeissa koordinaattirivillä";
inline constexpr std::string_view kFreeFormat =                                      // optFree
    "Koordinaattitiedosto on 'free format' -tiedosto";
inline constexpr std::string_view kInputFrame = "Lähtökoordinaatit ja pistetunnus:";
inline constexpr std::string_view kStartColumn = "alkaen sarakkeesta";
inline constexpr std::string_view kLength = "pituus";
inline constexpr std::string_view kCharacters = "merkkiä";

// frmTiedosto
inline constexpr std::string_view kDrive = "Levy:";        // Label2
inline constexpr std::string_view kFolder = "Kansio:";     // Label3
inline constexpr std::string_view kFile = "Tiedosto:";     // Label1
inline constexpr std::string_view kOpen = "&Avaa";         // cmdAvaa
inline constexpr std::string_view kCancel = "&Peruuta";    // cmdPeruuta

}  // namespace lomitra::captions
