#include "imagelist/number_test.h"

#include <unordered_map>

namespace vellumor {

std::optional<std::int64_t> premier_numero(const ListeImages& list) {
    if (list.empty()) return std::nullopt;
    return list.front().Numero;
}

std::optional<std::int64_t> dernier_numero(const ListeImages& list) {
    if (list.empty()) return std::nullopt;
    return list.back().Numero;
}

bool fichier_existe(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

namespace {

constexpr const char* kTitreResultat = " Résultat du test des noms de fichiers";

// One line per pair of entries with equal numbers, each pair named at its first entry, in list
// order: the entry at position i contributes as many lines as there are later entries like it.
std::string lignes_doublons(const ListeImages& list) {
    std::unordered_map<std::int64_t, std::size_t> later;
    for (const auto& e : list) ++later[e.Numero];
    std::string text;
    for (const auto& e : list) {
        std::size_t& remaining = later[e.Numero];
        --remaining;
        const std::string line =
            "Plusieurs fichiers ont le même numéro : " + std::to_string(e.Numero);
        for (std::size_t k = 0; k < remaining; ++k) {
            if (!text.empty()) text += "\r\n";
            text += line;
        }
    }
    return text;
}

}  // namespace

ResultatTestNumeros tester_numeros(
    const ListeImages& list, const std::function<bool(const std::filesystem::path&)>& existe) {
    ResultatTestNumeros result;
    if (list.empty()) {
        result.message = Message{Message::Kind::BoiteMessage, " Aucun fichier sélectionné", "", "",
                                 kIconeAvertissement};
        return result;
    }
    const std::int64_t first = *premier_numero(list);
    const std::int64_t last = *dernier_numero(list);
    if (last < first) {
        result.message = Message{
            Message::Kind::BoiteMessage, " Erreur sur les indices des fichiers",
            "L'indice mini de numéro du fichier doit être inférieur\rou égal à l'indice maxi de "
            "numéro du fichier\nIndice mini : " +
                std::to_string(first) + "\rIndice maxi : " + std::to_string(last),
            "", kIconeErreur};
        return result;
    }
    const std::string doublons = lignes_doublons(list);
    if (!doublons.empty()) {
        result.message = Message{Message::Kind::BoiteMessage, kTitreResultat,
                                 "\nCertains fichiers ont le même numéro\rLes fichiers ayant le "
                                 "même numéro seront indiqués dans le presse-papier",
                                 "", kIconeErreur};
        result.presse_papier = doublons;
        return result;
    }
    std::vector<const std::filesystem::path*> manquants;
    for (const auto& e : list)
        if (!existe(e.Fichier)) manquants.push_back(&e.Fichier);
    result.presse_papier = "";
    if (manquants.empty()) return result;
    std::string& text = *result.presse_papier;
    text = manquants.size() > 1 ? "Fichiers manquant : \r\n" : "Fichier manquant : \r\n";
    for (std::size_t i = 0; i < manquants.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += manquants[i]->string();
    }
    result.message = Message{Message::Kind::Simple, "",
                             "\nDes fichiers n'existent pas sur le disque\rLa liste des fichiers "
                             "manquant sera copiée dans le presse-papier",
                             kTitreResultat, kIconeAvertissement};
    return result;
}

}  // namespace vellumor
