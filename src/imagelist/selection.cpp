#include "imagelist/selection.h"

#include "imagelist/list_file.h"

namespace vellumor {

ListeImages liste_selectionnee(const std::vector<std::filesystem::path>& fichiers) {
    ListeImages list;
    list.reserve(fichiers.size());
    for (const auto& f : fichiers) {
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(f, ec);
        list.push_back(entree_pour(ec ? f : absolute.lexically_normal()));
    }
    trier_par_numero(list);
    return list;
}

ListeCommande liste_de_commande(const std::optional<std::filesystem::path>& fichier_liste,
                                const std::vector<std::filesystem::path>& fichiers) {
    if (!fichier_liste) return {liste_selectionnee(fichiers), std::nullopt};
    const LectureListe read = lire_fichier_liste(*fichier_liste);
    if (!read.ok) return {{}, read.message};
    return {entrees_depuis_liste(read.fichiers), std::nullopt};
}

}  // namespace vellumor
