// The Finnish texts of the program's messages, in one place.
//
// Written here in UTF-8; texts that enter the result list or a file are
// turned into the encoding of its lines where they are used.
#pragma once

#include <string_view>

namespace lomitra::texts {

// The shared line break of multi-line messages and help texts.
inline constexpr std::string_view kLineBreak = "\r\n";

// Messages at the end of a result line (engine).
inline constexpr std::string_view kUnsuitableCoordinates =
    "annetuille asetuksille sopimattomat koordinaatit";
inline constexpr std::string_view kMinutesSeconds = "minuutit ja sekunnit oltava välillä 0-60";
inline constexpr std::string_view kSourceCoordinatesMissing = "lähtökoordinaatit puuttuvat";

// Errors of the library (lomitra.hpp, lomitra.h). Developers read them, in the
// language of the interface itself: English.
// kUnknownCrs1 + <name> + kUnknownCrs2 + <the accepted names, ", " between>
inline constexpr std::string_view kUnknownCrs1 = "unknown coordinate reference system \"";
inline constexpr std::string_view kUnknownCrs2 = "\"; the accepted names are ";
// <name> + kTargetOnly
inline constexpr std::string_view kTargetOnly =
    " can only be a target: it puts each point into its own KKJ zone and names no zone to "
    "read points from; give the source's zone (KKJ0 ... KKJ5, YKJ) instead";
inline constexpr std::string_view kNoPoints = "north or east is a null pointer";
inline constexpr std::string_view kStrideTooSmall = "a stride is below the size of a double";
inline constexpr std::string_view kStatusesDoNotMatch = "the statuses are not one per point";
inline constexpr std::string_view kNegativeThreads = "the number of threads is below 0";
inline constexpr std::string_view kNoName = "a system's name is a null pointer";
inline constexpr std::string_view kUnknownError = "unknown error";

// Conversion window.
inline constexpr std::string_view kCoordinatesNotGiven = "Lähtökoordinaatteja ei ole vielä annettu.";
inline constexpr std::string_view kColumnsNotDefined =
    "Koordinaattien aloituskohtia ja pituuksia ei ole vielä määritelty.";
inline constexpr std::string_view kOutputBeforeClosing = "Tulostetaanko pisteet ennen lopetusta?";
inline constexpr std::string_view kChooseOutputThenClose =
    "Valitse tulostustoiminto ja sulje sitten tämä ikkuna.";
// Points converted by the similarity transformation outside the triangulation
// network: "1 piste oli ..." or <k> + kOutsideNetworkMany; a typed point once.
inline constexpr std::string_view kOutsideNetworkOne =
    "1 piste oli kolmioverkon ulkopuolella; se muunnettiin yhdenmuotoisuusmuunnoksella (tarkkuus noin 1–2 m).";
inline constexpr std::string_view kOutsideNetworkMany =
    " pistettä oli kolmioverkon ulkopuolella; ne muunnettiin yhdenmuotoisuusmuunnoksella (tarkkuus noin 1–2 m).";
inline constexpr std::string_view kTypedPointOutsideNetwork =
    "Piste oli kolmioverkon ulkopuolella; se muunnettiin yhdenmuotoisuusmuunnoksella (tarkkuus noin 1–2 m). "
    "Myöhemmistä näppäillyistä pisteistä tätä ei enää ilmoiteta.";
inline constexpr std::string_view kGuidancePrepared =
    "Lue lähtöpisteet tiedostosta tai näppäile lähtökoordinaatit kenttiin ja klikkaa 'Muunna'";
inline constexpr std::string_view kGuidanceMark =
    "Valitse koordinaattiriviltä ne merkit, joista muodostuu ";
inline constexpr std::string_view kGuidanceMarked =
    "'Muunna' -näppäimellä voit muuntaa pisteet tai 'Aloituskohdat' "
    "-näppäimellä uusia koordinaattien määrittelyn";

// File-driven conversion.
inline constexpr std::string_view kOutputBeforeNewFile1 =
    "Haluatko tehdä tulostuksia jo muunnetuille pisteille";
inline constexpr std::string_view kOutputBeforeNewFile2 = "ennen uuden tiedoston lukemista?";
inline constexpr std::string_view kCaptionOpenSource = "Avaa ja lue lähtötiedosto";
// kManySourceLines1 + <n> + kManySourceLines2 + <n> + kManySourceLines3: a source
// file longer than the n lines the window lists.
inline constexpr std::string_view kManySourceLines1 = "Lähtötiedostossa on yli ";
inline constexpr std::string_view kManySourceLines2 =
    " riviä. Muunnostaulussa näytetään ja muunnostaulun tiedostoon kirjoitetaan vain sen ";
inline constexpr std::string_view kManySourceLines3 =
    " ensimmäistä riviä; tuloskoordinaattien tiedostoon muunnetaan kaikki rivit.";
inline constexpr std::string_view kCaptionWriteOutput = "Avaa ja kirjoita tulostiedosto";

// Result file, table file and printing.
inline constexpr std::string_view kNothingConverted = "Muunnosta ei ole vielä tehty.";
inline constexpr std::string_view kOnlyFilePoints =
    "Tiedostosta luettuja pisteitä ainoastaan voidaan tulostaa.";
inline constexpr std::string_view kPointsWritten = " pistettä tulostettu tiedostoon:";
inline constexpr std::string_view kLinesWritten = " riviä tulostettu tiedostoon:";
inline constexpr std::string_view kPrintingFailed = "Tulostus kirjoittimelle ei onnistunut";
// <k> + kNotFitting1 + <n> + kNotFitting2: lines whose results did not fit their columns.
inline constexpr std::string_view kNotFitting1 =
    " riviä jätettiin muuntamatta, koska tulos ei mahtunut sarakkeisiin. Ensimmäinen niistä on rivi ";
inline constexpr std::string_view kNotFitting2 = ".";

// Buttons of the message boxes ("&" marks the access key).
inline constexpr std::string_view kButtonYes = "&Kyllä";
inline constexpr std::string_view kButtonNo = "&Ei";
inline constexpr std::string_view kButtonOk = "OK";

// File selection window.
inline constexpr std::string_view kFileNameMissing = "Puuttuu avattavan tiedoston nimi.";
inline constexpr std::string_view kFileNotFound = "Ei löydy tiedostoa:";
inline constexpr std::string_view kSameFile1 = "Tulostiedosto ja lähtötiedosto ovat sama tiedosto.";
inline constexpr std::string_view kSameFile2 = "Ei voida tulostaa";
inline constexpr std::string_view kOverwrite1 = "Tiedosto:  ";
inline constexpr std::string_view kOverwrite2 =
    "on jo olemassa. Kirjoitetaanko vanhan tiedon päälle?";

// Conversion window and file chooser: refusals and failures of files.
inline constexpr std::string_view kColumnValueOutOfRange =
    "Aloituskohtien ja pituuksien on oltava välillä 0-32767.";
inline constexpr std::string_view kNoSourceFileForResult =
    "Lähtötiedostoa ei ole luettu. Lue lähtötiedosto ennen kuin tulostat tuloskoordinaatit "
    "tiedostoon.";
inline constexpr std::string_view kSourceNotReadable = "Lähtötiedostoa ei voitu lukea:";
inline constexpr std::string_view kSourceWindowUnchanged = "Ikkunan tiedot säilyivät ennallaan.";
// kLineTooLong1 + <line number> + kLineTooLong2: the reason a source file is refused.
inline constexpr std::string_view kLineTooLong1 = "rivi ";
inline constexpr std::string_view kLineTooLong2 = " on yli 64 MiB pitkä";
inline constexpr std::string_view kFileNotWritable = "Tiedostoon ei voitu kirjoittaa:";
// Reasons of refused outputs (in parentheses after the path).
inline constexpr std::string_view kEmptyFileName = "tiedoston nimi puuttuu";
inline constexpr std::string_view kReadOnlyFile = "tiedosto on kirjoitussuojattu";
// In a folder that everyone may write (with the sticky bit, as /tmp):
// kForeignLink1 + [<link path> ] + kForeignLink2, kForeignFile1 + [<path> ] + kForeignFile2.
inline constexpr std::string_view kForeignLink1 = "toisen käyttäjän symbolista linkkiä ";
inline constexpr std::string_view kForeignLink2 = "ei seurata kansiossa, johon kaikki voivat kirjoittaa";
inline constexpr std::string_view kForeignFile1 = "toisen käyttäjän tiedostoon ";
inline constexpr std::string_view kForeignFile2 = "ei kirjoiteta kansiossa, johon kaikki voivat kirjoittaa";
inline constexpr std::string_view kTargetChanged = "tiedosto vaihtui toiseksi kesken avaamisen";
// A directly written output (standard output, a device) failed after part of it was written.
inline constexpr std::string_view kOutputCutShort1 = "Tuloste jäi kesken: ";
inline constexpr std::string_view kOutputCutShort2 = " tavua ehdittiin kirjoittaa ennen virhettä.";
inline constexpr std::string_view kNothingWasWritten =
    "Mitään ei tulostettu; aiempi tiedosto säilyi ennallaan.";
inline constexpr std::string_view kWildcardInName =
    "Tiedoston nimessä ei saa olla merkkejä * ? [ ]";
inline constexpr std::string_view kDriveNotReadable = "Levyä ei voida lukea:";
inline constexpr std::string_view kFolderNotReadable = "Kansiota ei voida lukea:";
// kDriveRelative1 + X + kDriveRelative2 + X + kDriveRelative3: a name "X:nimi" on another drive.
inline constexpr std::string_view kDriveRelative1 = "Levyn ";
inline constexpr std::string_view kDriveRelative2 =
    ": nykyistä kansiota ei tiedetä. Anna nimi koko polkuineen, esimerkiksi ";
inline constexpr std::string_view kDriveRelative3 = ":\\kansio\\nimi.txt";

// Batch converter lomitra-batch (standard error).
inline constexpr std::string_view kBatchConverted = "muunnettu ";
inline constexpr std::string_view kBatchPoints = " pistettä, ";
inline constexpr std::string_view kBatchNotConverted = " riviä ei muunnettu";
// kBatchOutsideNetwork1 + <count> + kBatchOutsideNetwork2
inline constexpr std::string_view kBatchOutsideNetwork1 = "kolmioverkon ulkopuolella ";
inline constexpr std::string_view kBatchOutsideNetwork2 =
    " pistettä: muunnettu Helmert-muunnoksella, tarkkuus noin 1–2 m";
inline constexpr std::string_view kStandardInput = "vakiosyöte";    // "-" as the source, in messages
inline constexpr std::string_view kStandardOutput = "vakiotuloste";  // "-" as an output, in messages
inline constexpr std::string_view kBatchBadOption = "Virheellinen valinta:";
inline constexpr std::string_view kBatchValueMissing = "arvo puuttuu";
// --from and --to: "Virheellinen valinta: " + what went wrong.
inline constexpr std::string_view kBatchFromToTogether = "--from ja --to annetaan aina yhdessä";
// <option> + kBatchFromToReplace: one of the five options that --from/--to replace, given with them.
inline constexpr std::string_view kBatchFromToReplace =
    ": --from ja --to korvaavat valinnat --direction, --source, --result, --source-zone ja --result-zone";
// "--from NAME" + kBatchUnknownCrs + <the accepted names, ", " between>
inline constexpr std::string_view kBatchUnknownCrs =
    ": tuntematon koordinaattijärjestelmä; nimet (isoin tai pienin kirjaimin): ";
// "--from A --to B" + one of these: a pair that lomitra-batch does not convert.
// kBatchSameDatum1 + EUREF-FIN or KKJ + kBatchSameDatum2
inline constexpr std::string_view kBatchSameDatum1 = ": molemmat ovat ";
inline constexpr std::string_view kBatchSameDatum2 =
    ":n järjestelmiä; lomitra-batch muuntaa EUREF-FIN:n ja KKJ:n välillä";
inline constexpr std::string_view kBatchTargetOnly =
    ": KKJ-OWN (kukin piste omalla kaistallaan) voi olla vain tulosjärjestelmä; anna lähtöpisteiden kaista "
    "(KKJ0 ... KKJ5, YKJ) tai muunna eri kaistojen pisteet valinnalla --direction kkj-euref";
inline constexpr std::string_view kBatchKkjZone0Target =
    ": KKJ:n kaista 0 ei voi olla tuloskaista; valitse KKJ1 ... KKJ5, YKJ tai KKJ-OWN";
inline constexpr std::string_view kBatchSameOutput = "Valinnat -o ja --table nimeävät saman tiedoston:";
inline constexpr std::string_view kBatchInterrupted = "lomitra-batch: keskeytetty; yhtään tiedostoa ei korvattu\n";
inline constexpr std::string_view kBatchOutOfMemory = "Muisti loppui.";
// After a failure, when an output was replaced or written: what became of
// each, "Tulostiedosto tulos.txt korvattiin; muunnostaulu taulu.txt säilyi ennallaan."
inline constexpr std::string_view kBatchResultFile = "Tulostiedosto ";
inline constexpr std::string_view kBatchTableFile = "muunnostaulu ";
inline constexpr std::string_view kBatchReplaced = " korvattiin";
inline constexpr std::string_view kBatchKept = " säilyi ennallaan";
inline constexpr std::string_view kBatchNotCreated = " jäi luomatta";
inline constexpr std::string_view kBatchNotWritten = " jäi kirjoittamatta";
inline constexpr std::string_view kBatchWrittenInFull = " kirjoitettiin kokonaan";
// kBatchCutShort1 + <bytes> + kBatchCutShort2
inline constexpr std::string_view kBatchCutShort1 = " jäi kesken: ";
inline constexpr std::string_view kBatchCutShort2 = " tavua ehdittiin kirjoittaa";
// In the summary: kBatchOtherNames1 + <path> + kBatchOtherNames2, for a replaced file that had hard links.
inline constexpr std::string_view kBatchOtherNames1 = "tiedosto ";
inline constexpr std::string_view kBatchOtherNames2 =
    " korvattiin uudella: sen muut nimet (kovat linkit) viittaavat yhä vanhaan sisältöön";
inline constexpr std::string_view kBatchSameFile =
    "Tiedostoja ei voi kirjoittaa lähtötiedoston päälle eikä toistensa päälle:";
// The progress line: "luettu 120 000 riviä (45 %)".
inline constexpr std::string_view kBatchProgressRead = "luettu ";
inline constexpr std::string_view kBatchProgressLines = " riviä";
inline constexpr std::string_view kBatchUsage =
    "Käyttö: lomitra-batch [valinnat] LÄHDE\n"
    "Muuntaa tiedoston LÄHDE (- = vakiosyöte) pisteet EUREF-FIN:n ja KKJ:n välillä (JHS 154).\n"
    "\n"
    "  --direction euref-kkj|kkj-euref   muunnoksen suunta (oletus euref-kkj)\n"
    "  --source plane|geographic         lähtökoordinaatit: suorakulmaiset tai\n"
    "                                    maantieteelliset (oletus plane)\n"
    "  --result plane|geographic         tuloskoordinaatit (oletus plane)\n"
    "  --source-zone tm34|tm35|tm36      lähtökaista suunnassa euref-kkj; tm35 on ETRS-TM35FIN\n"
    "                                    tai ETRS-GKxx itäkoordinaatin mukaan (oletus tm35)\n"
    "  --result-zone own|1|2|3|4|5       KKJ:n tuloskaista suunnassa euref-kkj (oletus own)\n"
    "  --result-zone tm34|tm35|tm36|gk19 ... gk32\n"
    "                                    tuloskaista suunnassa kkj-euref (oletus tm35)\n"
    "  --from NIMI --to NIMI             lähtö- ja tulosjärjestelmä nimeltä viiden edellisen\n"
    "                                    valinnan sijaan: EPSG-koodi tai oma nimi, kuten\n"
    "                                    EPSG:2393, YKJ, KKJ1, KKJ-OWN, ETRS-TM35FIN, ETRS-GK25,\n"
    "                                    EUREF-FIN tai KKJ; toisen on oltava EUREF-FIN:n ja\n"
    "                                    toisen KKJ:n; kaistan nimeävä lähde muuntaa vain\n"
    "                                    oman kaistansa pisteet\n"
    "  --source-format dd|dm|dms         maantieteellisten lähtökoordinaattien muoto\n"
    "                                    aa.aaaaaaaa, aamm.mmmmmm tai aammss.ssss (oletus dd)\n"
    "  --result-format dd|dm|dms         maantieteellisten tuloskoordinaattien muoto (oletus dd)\n"
    "  --columns S:L,S:L[,S:L]           kiinteät sarakkeet: aloitussarake ja pituus\n"
    "                                    (1. koordinaatti, 2. koordinaatti, tunnus)\n"
    "  --fields A,B[,C]                  'free format': kenttien numerot 1-100\n"
    "                                    (1. koordinaatti, 2. koordinaatti, tunnus)\n"
    "  -o TIEDOSTO                       tulostiedosto (oletus vakiotuloste)\n"
    "  --table TIEDOSTO                  muunnostaulu tiedostoon\n"
    "  --threads N                       muunnossäikeiden määrä 1-64 (oletus suorittimien\n"
    "                                    määrä, enintään 16); tulos ei riipu siitä\n"
    "  --encoding auto|utf-8|cp1252      lähteen merkistö (oletus auto: UTF-8, jos lähde on\n"
    "                                    kelvollista UTF-8:aa ja siinä on monitavuinen merkki,\n"
    "                                    muuten Windows-1252; tavallinen tiedosto luetaan\n"
    "                                    tätä varten ensin kokonaan, virrasta päätetään\n"
    "                                    ensimmäisestä ASCII:n ylittävästä rivistä alkaen\n"
    "                                    vähintään 1 MiB:n perusteella)\n"
    "  -h, --help                        tämä ohje\n"
    "  --version                         ohjelman nimi ja versio\n"
    "  --                                päättää valinnat: seuraava sana on LÄHDE,\n"
    "                                    vaikka se alkaisi viivalla\n"
    "\n"
    "Joko --columns tai --fields on annettava.\n"
    "\n"
    "Paluuarvo ja tiedostot:\n"
    "  0        valmis: tulostiedosto ja muunnostaulu kirjoitettiin\n"
    "  1        tiedostoa ei voitu lukea tai kirjoittaa: kumpaakaan ei korvattu\n"
    "           (suoraan kirjoitettu tuloste, kuten vakiotuloste, voi jäädä kesken)\n"
    "  2        virheellinen valinta: mitään ei avattu\n"
    "  3        kuten 0, mutta joidenkin rivien tulos ei mahtunut sarakkeisiin\n"
    "           (rivit jätettiin muuntamatta)\n"
    "  4        tulostiedosto korvattiin, muunnostaulua ei (sen aiempi tiedosto säilyi)\n"
    "  128 + N  signaali N keskeytti ajon ennen kuin yhtään tiedostoa korvattiin\n";

// GIS dataset converter lomitra-gis (standard error).
inline constexpr std::string_view kGisUsage =
    "Käyttö: lomitra-gis LÄHDE TULOS --to JÄRJESTELMÄ [valinnat]\n"
    "Muuntaa paikkatietoaineiston LÄHDE (GeoPackage, Shapefile, GeoJSON, FlatGeobuf, CSV ...)\n"
    "kaikkine tasoineen, kohteineen ja ominaisuustietoineen aineistoksi TULOS\n"
    "EUREF-FIN:n ja KKJ:n välillä JHS 154:n mukaan (kolmioverkon affiininen muunnos,\n"
    "verkon ulkopuolella Helmert-muunnos).\n"
    "\n"
    "  --to JÄRJESTELMÄ       tuloksen koordinaattijärjestelmä, esimerkiksi ETRS-TM35FIN,\n"
    "                         EPSG:3067, ETRS-GK25, EUREF-FIN, YKJ, KKJ2, KKJ\n"
    "  --from JÄRJESTELMÄ     lähteen koordinaattijärjestelmä; oletus on aineiston oma\n"
    "                         (.prj, GeoPackagen SRS), tunnistettuna EPSG-koodista tai\n"
    "                         määritelmästä\n"
    "  -f MUOTO               tuloksen GDAL-ajuri (GPKG, \"ESRI Shapefile\", GeoJSON,\n"
    "                         FlatGeobuf, CSV); oletus päätellään TULOKSEN päätteestä\n"
    "  -l, --layer TASO       muunnettava taso (voi toistaa); oletus kaikki tasot\n"
    "  --overwrite            korvaa olemassa oleva TULOS, kun uusi on valmis\n"
    "  --status-field NIMI    lisää kohteisiin kentän NIMI: 0 kaikki pisteet kolmioverkossa,\n"
    "                         1 osa pisteistä Helmert-muunnoksella\n"
    "  --linearize            muuta kaaret murtoviivoiksi, jos tuloksen muoto ei tue kaaria\n"
    "                         (muuten sellainen taso hylätään)\n"
    "  -oo NIMI=ARVO          lähteen avausvalinta GDAL-ajurille, esimerkiksi\n"
    "                         -oo X_POSSIBLE_NAMES=itä -oo Y_POSSIBLE_NAMES=pohjoinen\n"
    "  -dsco NIMI=ARVO        tulosaineiston luontivalinta GDAL-ajurille\n"
    "  -lco NIMI=ARVO         tuloksen tasojen luontivalinta GDAL-ajurille\n"
    "  -q, --quiet            ei yhteenvetoa eikä edistymisriviä (virheet kerrotaan)\n"
    "  -h, --help             tämä ohje\n"
    "  --version              ohjelman nimi ja versio\n"
    "\n"
    "Paluuarvo: 0 valmis; 1 lähdettä ei voitu lukea tai tulosta kirjoittaa (mitään ei\n"
    "kirjoitettu); 2 virheellinen valinta, tunnistamaton koordinaattijärjestelmä, kaaria\n"
    "muotoon, jossa niitä ei ole, tai olemassa oleva TULOS ilman --overwrite (mitään ei\n"
    "kirjoitettu); 3 tulos kirjoitettiin, mutta kohteita jätettiin pois (ne luetellaan);\n"
    "128 + N signaali N keskeytti ajon (aiempi tulos säilyi ennallaan).\n";

inline constexpr std::string_view kGisBadOption = "Virheellinen valinta:";
inline constexpr std::string_view kGisUnknownOption = "tuntematon valinta";
inline constexpr std::string_view kGisValueMissing = "arvo puuttuu";
inline constexpr std::string_view kGisTargetMissing = "tuloksen järjestelmä puuttuu (--to)";
inline constexpr std::string_view kGisNamesMissing = "lähde tai tulos puuttuu";
inline constexpr std::string_view kGisTooManyNames = "ylimääräinen nimi";
inline constexpr std::string_view kGisNotNameValue = "muoto on NIMI=ARVO";
inline constexpr std::string_view kGisInterrupted = "lomitra-gis: keskeytetty; aiempi tulos säilyi ennallaan\n";

// Systems.
inline constexpr std::string_view kGisUnknownCrs = "Tuntematon koordinaattijärjestelmä:";
// kGisKnownNames + " " + <the names, ", " between> + kGisKnownNamesEnd
inline constexpr std::string_view kGisKnownNames = "Tunnetut nimet:";
inline constexpr std::string_view kGisKnownNamesEnd = " sekä niiden EPSG-koodit (esimerkiksi EPSG:3067).";
inline constexpr std::string_view kGisTargetOwnZone =
    "KKJ-OWN ei käy tuloksen järjestelmäksi: tason pisteillä on oltava yksi koordinaattijärjestelmä. "
    "Valitse kaista (KKJ0 ... KKJ5 tai YKJ).";
inline constexpr std::string_view kGisSourceOnlyTarget =
    "KKJ-OWN ei käy lähteeksi: anna lähteen kaista (KKJ0 ... KKJ5 tai YKJ).";
// kGisCrsNotRecognised1 + <layer> + kGisCrsNotRecognised2 + <the system's name> + kGisCrsNotRecognised3
inline constexpr std::string_view kGisCrsNotRecognised1 = "Tason \"";
inline constexpr std::string_view kGisCrsNotRecognised2 = "\" koordinaattijärjestelmä ";
inline constexpr std::string_view kGisCrsNotRecognised3 =
    " ei ole mikään tuetuista (ETRS-TM35FIN, ETRS-TM34, ETRS-TM36, ETRS-GK19 ... ETRS-GK32, "
    "EUREF-FIN, KKJ:n kaistat 0-5, YKJ, KKJ). Jos koordinaatit ovat jossakin niistä, anna se "
    "valinnalla --from.";
// kGisNoCrs1 + <layer> + kGisNoCrs2
inline constexpr std::string_view kGisNoCrs1 = "Tasolla \"";
inline constexpr std::string_view kGisNoCrs2 =
    "\" ei ole koordinaattijärjestelmää. Anna lähteen järjestelmä valinnalla --from.";

// Files and formats.
inline constexpr std::string_view kGisSourceNotOpened = "Lähdettä ei voitu avata:";
inline constexpr std::string_view kGisNoSuchLayer = "Lähteessä ei ole tasoa:";
inline constexpr std::string_view kGisNoLayers = "Lähteessä ei ole yhtään tasoa:";
inline constexpr std::string_view kGisNoDriver =
    "Tuloksen muotoa ei voi päätellä nimestä; anna se valinnalla -f (esimerkiksi -f GPKG):";
inline constexpr std::string_view kGisUnknownDriver = "GDAL ei osaa kirjoittaa muotoa:";
inline constexpr std::string_view kGisDestinationExists =
    "Tulos on jo olemassa; valinnalla --overwrite se korvataan, kun uusi on valmis:";
inline constexpr std::string_view kGisSameAsSource = "Tulos ja lähde ovat sama tiedosto:";
inline constexpr std::string_view kGisDestinationInUse =
    "Tuloksen tietokanta on kesken tai toisen ohjelman käytössä (sen rinnalla on";
// kGisOneLayerOnly1 + <driver> + kGisOneLayerOnly2
inline constexpr std::string_view kGisOneLayerOnly1 = "Muoto ";
inline constexpr std::string_view kGisOneLayerOnly2 =
    " tallentaa yhteen tiedostoon vain yhden tason. Valitse taso valinnalla --layer tai "
    "kirjoita GeoPackageen.";
// kGisCurves1 + <driver> + kGisCurves2 + <layer> + kGisCurves3
inline constexpr std::string_view kGisCurves1 = "Muoto ";
inline constexpr std::string_view kGisCurves2 = " ei tue kaaria, ja tasolla \"";
inline constexpr std::string_view kGisCurves3 =
    "\" on kaarigeometrioita. Kirjoita GeoPackageen tai FlatGeobufiin, tai anna --linearize, "
    "jos kaaret saa muuttaa murtoviivoiksi.";
inline constexpr std::string_view kGisNotWritten = "Tulosta ei voitu kirjoittaa:";
inline constexpr std::string_view kGisLayerNotCreated = "tasoa ei voitu luoda";
inline constexpr std::string_view kGisFieldNotCreated = "kenttää ei voitu luoda:";
inline constexpr std::string_view kGisFeatureNotWritten = "kohdetta ei voitu kirjoittaa:";
inline constexpr std::string_view kGisStatusFieldTaken = "tilakentän nimi on jo lähteen kenttä:";
inline constexpr std::string_view kGisReplaceIncomplete =
    "Tuloksen tiedostojen vaihto jäi kesken; uudet tiedostot: ";
inline constexpr std::string_view kGisReplaceIncomplete2 = "; vaihtamatta jäivät: ";

// The summary.
inline constexpr std::string_view kGisLayers = "tasoja ";
inline constexpr std::string_view kGisFeatures = ", kohteita ";
inline constexpr std::string_view kGisVertices = ", pisteitä ";
inline constexpr std::string_view kGisInsideNetwork = "kolmioverkossa ";
inline constexpr std::string_view kGisOutsideNetwork = " pistettä, Helmert-muunnoksella ";
inline constexpr std::string_view kGisOutsideNetworkAccuracy = " pistettä (tarkkuus noin 1–2 m)";
// kGisHelmertFeatures1 + <count> + kGisHelmertFeatures2 + <first>
inline constexpr std::string_view kGisHelmertFeatures1 = "kohteita, joiden pisteistä osa tai kaikki Helmert-muunnoksella: ";
inline constexpr std::string_view kGisHelmertFeatures2 = "; ensimmäinen: ";
// kGisLeftOut1 + <count> + kGisLeftOut2, then one line per feature
inline constexpr std::string_view kGisLeftOut1 = "jätettiin pois ";
inline constexpr std::string_view kGisLeftOut2 = " kohdetta:";
inline constexpr std::string_view kGisLeftOutMore1 = "  ... ja ";
inline constexpr std::string_view kGisLeftOutMore2 = " muuta";
// "taso parcels, kohde 17"
inline constexpr std::string_view kGisLayer = "taso ";
inline constexpr std::string_view kGisFeature = ", kohde ";
// Reasons of left-out features.
inline constexpr std::string_view kGisReasonNotConverted =
    "pisteitä hyväksytyn alueen ulkopuolella, ei muunnettu";
inline constexpr std::string_view kGisReasonCurve = "kaarigeometria, jota tuloksen muoto ei tue";
// The progress line: "luettu 120 000 kohdetta (12 %)".
inline constexpr std::string_view kGisProgressFeatures = " kohdetta";

}  // namespace lomitra::texts
