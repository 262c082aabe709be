#include "common/system_error.h"

#include <cerrno>
#include <cstring>

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
        default:
            return "erreur système " + std::to_string(errnum) + " (" + std::strerror(errnum) + ")";
    }
}

}  // namespace vellumor
