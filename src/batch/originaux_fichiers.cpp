#include "batch/originaux_fichiers.h"

#include <libdeflate.h>

namespace vellumor {
namespace {

// "« chemin » est un lien symbolique" and the like, or empty when st is fit for kept originals.
std::string raison_non_sure(const FileStatus& st, const std::filesystem::path& chemin,
                            bool dossier) {
    const std::string nom = entre_guillemets(chemin);
    if (st.kind == FileKind::Link) return nom + " est un lien symbolique";
    if (dossier && st.kind != FileKind::Folder) return nom + " n'est pas un dossier";
    if (!dossier && st.kind != FileKind::Regular) return nom + " n'est pas un fichier ordinaire";
    if (!st.own) return nom + " appartient à un autre utilisateur";
    // Writable by the group or by others.
    if (st.permissions & 022) return nom + " peut être modifié par d'autres utilisateurs";
    return {};
}

}  // namespace

Ouvert ouvrir_sans_lien(int parent, const std::string& nom, const std::filesystem::path& chemin,
                        bool dossier, bool sur) {
    OpenedName n = open_no_follow(parent, nom, dossier);
    Ouvert o;
    o.st = n.status;
    o.erreur = n.error;
    if (!n) {
        if (n.exists) o.refus = raison_non_sure(o.st, chemin, dossier);
        return o;
    }
    o.fd = std::move(n.handle);
    if (sur || (!dossier && o.st.kind != FileKind::Regular))
        o.refus = raison_non_sure(o.st, chemin, dossier);
    return o;
}

Resultat<Empreinte> empreinte_de(int fd) {
    Empreinte e;
    e.crc = 0;
    const Verdict lu = read_blocks(fd, [&e](std::string_view octets) {
        e.taille += octets.size();
        e.crc = libdeflate_crc32(e.crc, octets.data(), octets.size());
        e.adler = libdeflate_adler32(e.adler, octets.data(), octets.size());
        return true;
    });
    if (!lu) return Echec{lu.raison()};
    return e;
}

}  // namespace vellumor
