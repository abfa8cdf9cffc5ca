// Every errno value that opening, reading, writing, syncing, closing,
// renaming, linking or changing the owner of a file can give (open, openat,
// read, write, fsync, close, rename, renameat, linkat, fchown, fstatat,
// readlinkat, fcntl) has a Finnish text; values of other calls fall back to
// the system's own description.
#include "platform/system_error_text.h"

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
        case EOVERFLOW: return "tiedosto on liian suuri";
        case ENAMETOOLONG: return "nimi on liian pitkä";
        case EMFILE:
        case ENFILE: return "liian monta avointa tiedostoa";
        case EBUSY: return "tiedosto on toisen ohjelman käytössä";
        case ETXTBSY: return "tiedosto on käynnissä olevan ohjelman käytössä";
        case EIO: return "laitteen luku- tai kirjoitusvirhe";
        case ENXIO: return "laitetta ei ole tai siihen ei voi kirjoittaa";
        case ENODEV: return "laite ei tue tiedostoja";
        case EPIPE: return "vastaanottaja sulki yhteyden";
        case ELOOP: return "liian monta symbolista linkkiä peräkkäin";
        case EBADF: return "tiedostokuvaaja ei ole auki tälle toiminnolle";
        case EEXIST: return "tiedosto on jo olemassa";
        case ENOTEMPTY: return "kansio ei ole tyhjä";
        case EXDEV: return "tiedostot ovat eri levyillä";
        case EMLINK: return "liian monta linkkiä";
        case EINVAL: return "toiminto ei sovi tälle tiedostolle";
        case EOPNOTSUPP: return "tiedostojärjestelmä ei tue toimintoa";
#if ENOTSUP != EOPNOTSUPP
        case ENOTSUP: return "tiedostojärjestelmä ei tue toimintoa";
#endif
        case EAGAIN: return "tiedosto ei ole valmis (estoton tila)";
#if EWOULDBLOCK != EAGAIN
        case EWOULDBLOCK: return "tiedosto ei ole valmis (estoton tila)";
#endif
        case EINTR: return "toiminto keskeytyi";
        case ENOMEM: return "muisti loppui";
        case EFAULT: return "virheellinen muistiosoite";
        case EDESTADDRREQ: return "vastaanottajaa ei ole";
        case ECONNRESET: return "yhteys katkesi";
        case ETIMEDOUT: return "yhteys aikakatkaistiin";
        case EDEADLK:
        case ENOLCK: return "tiedostoa ei voitu lukita";
#ifdef ESTALE
        case ESTALE: return "verkkolevyn tiedosto ei ole enää saatavilla";
#endif
        default: break;
    }
    const char* text = std::strerror(errorNumber);
    return text != nullptr ? std::string(text) : "virhe " + std::to_string(errorNumber);
}

}  // namespace lomitra
