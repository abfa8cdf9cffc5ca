// The two help texts of the help window.
#include "app/help_texts.h"

#include <initializer_list>
#include <string_view>

#include "core/texts.h"

namespace lomitra {
namespace {

using Paragraph = std::initializer_list<std::string_view>;

// lineBreak, the paragraphs with one empty line between them, lineBreak.
std::string buildHelpText(std::initializer_list<Paragraph> paragraphs) {
    std::string text(texts::kLineBreak);
    bool first = true;
    for (const Paragraph& paragraph : paragraphs) {
        if (!first) {
            text += texts::kLineBreak;
            text += texts::kLineBreak;
        }
        first = false;
        for (std::string_view piece : paragraph) {
            text += piece;
        }
    }
    text += texts::kLineBreak;
    return text;
}

}  // namespace

std::string settingsHelpText() {
    return buildHelpText({
        {
            "ETRS89 on eurooppalainen koordinaattijärjestelmä maailmanlaajuisesta WGS84 "
            "-järjestelmästä. ",
            "Koska järjestelmien välinen ero on alle metrin, voidaan useissa sovelluksissa "
            "EUREF-FIN -koordinaatteja ",
            "pitää myös WGS84 -koordinaatteina. Erillistä muunnosohjelmaa WGS84:ään ei siis ole. ",
        },
        {
            "Ohjelmaa voidaan käyttää joko vuorovaikutteisesti yksittäisten pisteiden "
            "muuntamiseen tai ",
            "sitten lähtöpisteet voidaan lukea mielivaltaisen formaatin mukaisesta "
            "tekstitiedostosta. ",
        },
        {
            "Gauss-Krüger -projektiossa olevien KKJ -lähtöpisteiden projektiokaista määräytyy "
            "I-koordinaatin mukaan ",
            "(koordinaatin ensimmäinen numero ilmoittaa kaistan). Tuloskaistan KKJ -pisteille voit "
            "sensijaan ",
            "itse valita.",
        },
        {
            "Lisäohjeita löydät myöhemmin avautuvasta ikkunasta. ",
            "Julkisen hallinnon suositus JHS 154 määrittelee käytetyt koordinaatistot ja ",
            "muunnokset. Ohjeita on myös erillisessä Lomitra.doc -tiedostossa.",
        },
    });
}

std::string conversionHelpText() {
    return buildHelpText({
        {
            "Lähtökoordinaatit voit antaa joko vuorovaikutteisesti näppäilemällä ne ",
            "koordinaattikenttiin tai voit lukea pisteiden koordinaatit ",
            "lähtötiedostosta, muuntaa ne kerralla kaikki ja kirjoittaa ",
            "saadut koordinaatit tulostiedostoon. ",
        },
        {
            "Ohjelma lukee lähtötiedostosta aluksi yhden rivin ja tulostaa sen "
            "'Koordinaattirivi' -kenttään. ",
            "Jos rivi ei ole sopiva, siirry tiedostossa eteenpäin 'Seuraava rivi' -painikkeella "
            "kunnes oikea ",
            "löytyy. Tältä riviltä osoitat ne kaksi koordinaattia, joita ohjelma käyttää "
            "muunnoksen lähtökoordinaatteina. ",
            "Koordinaattien osoittaminen tehdään niin, että siirrät kursorin koordinaattiriville, "
            "painat ",
            "hiiren vasemman napin alas ja vedät (=maalaat) merkit, jotka muodostavat "
            "koordinaatin. ",
            "Tarkista että koordinaattien aloituskohdat ja pituudet ovat oikein, ohjelma tulostaa "
            "ne ao. kenttiin. ",
            "'Aloituskohdat' -painikkeella voit uusia koordinaattien osoittamisen.",
        },
        {
            "Valitessasi 'free format' -vaihtoehdon, ohjelma jakaa koordinaattirivin space "
            "(=tyhjä) -erotelluiksi ",
            "kentiksi ja koordinaatin osoituksessa määritetään monesko kenttä sisältää "
            "koordinaatin. ",
            "Aloitussarakkeella ja pituudella ei ole silloin merkitystä.",
        },
        {
            "Lähtötiedosto voi sisältää muitakin kuin koordinaattirivejä. Niistä tulee "
            "virheilmoitus näyttöön, ",
            "mutta tulostiedostoa kirjoitettaessa ne tulostetaan tiedostoon sellaisenaan ja "
            "ainoastaan riveille, ",
            "joilta löytyy järkevät koordinaatit tehdään muunnos. Tulostiedosto on siis samaa "
            "formaattia ",
            "kuin lähtötiedosto. Ongelmia voi tulla silloin, jos koordinaattikenttä on määritelty "
            "niin ",
            "lyhyeksi, että pidempi tuloskoordinaatti ei mahdu siihen.",
        },
    });
}

}  // namespace lomitra
