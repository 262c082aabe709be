#include "common/system_error.h"

#include <cerrno>

namespace vellumor {

std::string raison_systeme(int errnum) {
    switch (errnum) {
        case EACCES:
        case EPERM:
            return "permission refusée";
        case EROFS:
            return "support en lecture seule";
        case ENOSPC:
            return "disque plein";
        case EDQUOT:
            return "quota de disque dépassé";
        case ENOENT:
            return "fichier ou dossier introuvable";
        case ENOTDIR:
            return "un élément du chemin n'est pas un dossier";
        case EISDIR:
            return "c'est un dossier";
        case EEXIST:
            return "le fichier existe déjà";
        case EIO:
            return "erreur d'entrée-sortie sur le disque";
        case ENAMETOOLONG:
            return "nom de fichier trop long";
        case EMFILE:
        case ENFILE:
            return "trop de fichiers ouverts";
        case ENOMEM:
            return "mémoire insuffisante";
        case EFBIG:
            return "fichier trop volumineux";
        case EBUSY:
        case ETXTBSY:
            return "fichier occupé";
        case EXDEV:
            return "fichiers sur deux supports différents";
        case ELOOP:
            return "trop de liens symboliques à suivre (boucle de liens)";
        case EMLINK:
            return "trop de liens vers ce fichier";
        case ENOTEMPTY:
            return "le dossier n'est pas vide";
        case EINVAL:
            return "opération impossible sur ce fichier";
        case EAGAIN:
            return "ressource momentanément indisponible";
        case EINTR:
            return "opération interrompue";
        case ENXIO:
        case ENODEV:
            return "périphérique introuvable";
        case ESPIPE:
            return "ce n'est pas un fichier ordinaire";
        case EPIPE:
            return "la sortie a été fermée";
        case ETIMEDOUT:
            return "délai dépassé";
        case ESTALE:
            return "fichier réseau devenu inaccessible";
        case EOVERFLOW:
            return "fichier trop grand pour être lu";
        case ENOTSUP:
            return "opération non prise en charge par ce système de fichiers";
        case ENOLCK:
            return "aucun verrou disponible";
        case EBADF:
            return "fichier non ouvert";
        case ENOEXEC:
        case E2BIG:
            return "programme impossible à lancer";
        default:
            // Never the system's own English text: the number lets a technician look it up.
            return "erreur système n° " + std::to_string(errnum);
    }
}

Echec echec_systeme() {
    const int e = errno;
    Echec echec{raison_systeme(e)};
    errno = e;
    return echec;
}

}  // namespace vellumor
