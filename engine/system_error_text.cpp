#include "engine/system_error_text.h"

#include <cerrno>
#include <cstring>

namespace lomitra {

std::string systemErrorText(int errorNumber) {
    switch (errorNumber) {
        case ENOENT: return "tiedostoa tai kansiota ei ole";
        case EACCES:
        case EPERM: return "ei käyttöoikeutta";
        case ENOSPC: return "levy on täynnä";
#ifdef EDQUOT
        case EDQUOT: return "levytilan kiintiö on täynnä";
#endif
        case EROFS: return "levy on vain luettavissa";
        case EISDIR: return "se on kansio";
        case ENOTDIR: return "polun osa ei ole kansio";
        case EFBIG: return "tiedosto kasvaisi liian suureksi";
        case ENAMETOOLONG: return "nimi on liian pitkä";
        case EMFILE:
        case ENFILE: return "liian monta avointa tiedostoa";
        case EBUSY: return "tiedosto on toisen ohjelman käytössä";
        case EIO: return "laitteen luku- tai kirjoitusvirhe";
        case ENXIO: return "laitetta ei ole tai siihen ei voi kirjoittaa";
        case EPIPE: return "vastaanottaja sulki yhteyden";
        case ELOOP: return "liian monta symbolista linkkiä peräkkäin";
        default: break;
    }
    const char* text = std::strerror(errorNumber);
    return text != nullptr ? std::string(text) : "virhe " + std::to_string(errorNumber);
}

}  // namespace lomitra
