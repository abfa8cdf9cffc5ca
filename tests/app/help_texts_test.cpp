// The two help texts, character for character.
#include "app/help_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace lomitra {
namespace {

TEST(HelpTexts, SettingsHelp) {
    const std::string expected =
        "\r\n"
        "ETRS89 on eurooppalainen koordinaattijärjestelmä maailmanlaajuisesta WGS84 -järjestelmästä. "
        "Koska järjestelmien välinen ero on alle metrin, voidaan useissa sovelluksissa EUREF-FIN "
        "-koordinaatteja pitää myös WGS84 -koordinaatteina. Erillistä muunnosohjelmaa WGS84:ään ei "
        "siis ole. \r\n\r\n"
        "Ohjelmaa voidaan käyttää joko vuorovaikutteisesti yksittäisten pisteiden muuntamiseen tai "
        "sitten lähtöpisteet voidaan lukea mielivaltaisen formaatin mukaisesta tekstitiedostosta. "
        "\r\n\r\n"
        "Gauss-Krüger -projektiossa olevien KKJ -lähtöpisteiden projektiokaista määräytyy "
        "I-koordinaatin mukaan (koordinaatin ensimmäinen numero ilmoittaa kaistan). Tuloskaistan "
        "KKJ -pisteille voit sensijaan itse valita.\r\n\r\n"
        "Lisäohjeita löydät myöhemmin avautuvasta ikkunasta. Julkisen hallinnon suositus JHS 154 "
        "määrittelee käytetyt koordinaatistot ja muunnokset. Ohjeita on myös erillisessä "
        "Lomitra.doc -tiedostossa.\r\n";
    const std::string text = settingsHelpText();
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.substr(0, 2), "\r\n");  // the first line shows empty
    EXPECT_NE(text.find("ei siis ole. \r\n\r\nOhjelmaa"), std::string::npos);
    EXPECT_EQ(settingsHelpText(), text);  // built afresh, never longer
}

TEST(HelpTexts, ConversionHelp) {
    const std::string expected =
        "\r\n"
        "Lähtökoordinaatit voit antaa joko vuorovaikutteisesti näppäilemällä ne "
        "koordinaattikenttiin tai voit lukea pisteiden koordinaatit lähtötiedostosta, muuntaa ne "
        "kerralla kaikki ja kirjoittaa saadut koordinaatit tulostiedostoon. \r\n\r\n"
        "Ohjelma lukee lähtötiedostosta aluksi yhden rivin ja tulostaa sen 'Koordinaattirivi' "
        "-kenttään. Jos rivi ei ole sopiva, siirry tiedostossa eteenpäin 'Seuraava rivi' "
        "-painikkeella kunnes oikea löytyy. Tältä riviltä osoitat ne kaksi koordinaattia, joita "
        "ohjelma käyttää muunnoksen lähtökoordinaatteina. Koordinaattien osoittaminen tehdään "
        "niin, että siirrät kursorin koordinaattiriville, painat hiiren vasemman napin alas ja "
        "vedät (=maalaat) merkit, jotka muodostavat koordinaatin. Tarkista että koordinaattien "
        "aloituskohdat ja pituudet ovat oikein, ohjelma tulostaa ne ao. kenttiin. "
        "'Aloituskohdat' -painikkeella voit uusia koordinaattien osoittamisen.\r\n\r\n"
        "Valitessasi 'free format' -vaihtoehdon, ohjelma jakaa koordinaattirivin space (=tyhjä) "
        "-erotelluiksi kentiksi ja koordinaatin osoituksessa määritetään monesko kenttä sisältää "
        "koordinaatin. Aloitussarakkeella ja pituudella ei ole silloin merkitystä.\r\n\r\n"
        "Lähtötiedosto voi sisältää muitakin kuin koordinaattirivejä. Niistä tulee virheilmoitus "
        "näyttöön, mutta tulostiedostoa kirjoitettaessa ne tulostetaan tiedostoon sellaisenaan ja "
        "ainoastaan riveille, joilta löytyy järkevät koordinaatit tehdään muunnos. Tulostiedosto "
        "on siis samaa formaattia kuin lähtötiedosto. Ongelmia voi tulla silloin, jos "
        "koordinaattikenttä on määritelty niin lyhyeksi, että pidempi tuloskoordinaatti ei mahdu "
        "siihen.\r\n";
    EXPECT_EQ(conversionHelpText(), expected);
}

}  // namespace
}  // namespace lomitra
