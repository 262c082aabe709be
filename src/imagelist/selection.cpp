#include "imagelist/selection.h"

#include <algorithm>
#include <cctype>

#include "imagelist/list_file.h"

namespace vellumor {
namespace {

bool nom_png(const std::filesystem::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".png";
}

std::filesystem::path absolu(const std::filesystem::path& f) {
    std::error_code ec;
    const auto a = std::filesystem::absolute(f, ec);
    return ec ? f : a.lexically_normal();
}

}  // namespace

std::vector<std::filesystem::path> pages_deposees(
    const std::vector<std::filesystem::path>& chemins) {
    std::vector<std::filesystem::path> pages;
    for (const auto& c : chemins) {
        std::error_code ec;
        if (std::filesystem::is_directory(c, ec)) {
            std::vector<std::filesystem::path> du_dossier;
            for (const auto& e : std::filesystem::directory_iterator(c, ec))
                if (e.is_regular_file(ec) && nom_png(e.path())) du_dossier.push_back(e.path());
            std::sort(du_dossier.begin(), du_dossier.end());
            pages.insert(pages.end(), du_dossier.begin(), du_dossier.end());
        } else if (std::filesystem::is_regular_file(c, ec) && nom_png(c)) {
            pages.push_back(c);
        }
    }
    return pages;
}

ListeImages liste_completee(ListeImages liste, const std::vector<std::filesystem::path>& fichiers) {
    for (const auto& f : fichiers) {
        const auto chemin = absolu(f);
        const bool deja = std::any_of(liste.begin(), liste.end(),
                                      [&](const EntreeImage& e) { return e.Fichier == chemin; });
        if (!deja) liste.push_back(entree_pour(chemin));
    }
    trier_par_numero(liste);
    return liste;
}

ListeImages liste_selectionnee(const std::vector<std::filesystem::path>& fichiers) {
    ListeImages list;
    list.reserve(fichiers.size());
    for (const auto& f : fichiers) list.push_back(entree_pour(absolu(f)));
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
