// The Finnish names of the settings' positions.
#include "core/settings_items.h"

#include <string>

namespace lomitra {

std::string itemAt(const std::vector<std::string>& items, int32_t position) {
    if (position < 0 || static_cast<std::size_t>(position) >= items.size()) {
        return {};
    }
    return items[static_cast<std::size_t>(position)];
}

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
        std::string item("ETRS-GK");
        item.append(degrees).append(", jonka keskimeridiaanin asteluku= ").append(degrees);
        items.push_back(item);
    }
    return items;
}

std::string formatPattern(int32_t format) { return itemAt(formatItems(), format).substr(0, 11); }

}  // namespace lomitra
