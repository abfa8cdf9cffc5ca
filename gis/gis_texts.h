// The Finnish texts of lomitra-gis (standard error), in one place, UTF-8.
#pragma once

#include <string_view>

namespace lomitra::texts {

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
