#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "common/message_text.h"
#include "common/text_utf8.h"
#include "imagelist/number_test.h"
#include "imagelist/selection.h"

namespace vellumor::cli {
namespace {

const DescriptionCommande kDescription = {
    "tester",
    "[OPTIONS] [FICHIER|DOSSIER...]",
    "Teste les numéros des fichiers : premier et dernier numéros dans l'ordre, pas deux fichiers\n"
    "du même numéro, tous les fichiers présents sur le disque. Affiche le message et le texte du\n"
    "presse-papier. Les fichiers donnés sont triés par numéro (un dossier vaut ses fichiers\n"
    ".png) ; une liste garde son ordre. Donner soit --liste, soit des fichiers.",
    "",
    "sans remarque",
    "une remarque sur les numéros, ou une liste refusée",
};

std::string en_lignes(const std::string& text) {
    std::string out;
    for (const std::string_view line : decouper_lignes(text)) out += std::string(line) + "\n";
    return out;
}

}  // namespace

int commande_tester(const std::vector<std::string>& args) {
    std::optional<std::filesystem::path> list_file;
    TableOptions table;
    table.chemin({"--liste"}, "FICHIER.txt", "fichier liste des images (UTF-8 avec BOM)",
                 list_file);
    Arguments a;
    if (const auto fin = lire_arguments(args, kDescription, table, a)) return *fin;
    if (list_file && !a.operandes.empty())
        return erreur_usage(kDescription.nom,
                            "Donner soit --liste, soit des fichiers, pas les deux");
    const std::vector<std::filesystem::path> files =
        developper_dossiers({a.operandes.begin(), a.operandes.end()});
    const ListeCommande chosen = liste_de_commande(list_file, files);
    if (chosen.refus) {
        std::fputs(message_en_texte(*chosen.refus).c_str(), stdout);
        return 1;
    }
    const ListeImages& list = chosen.liste;
    const ResultatTestNumeros result = tester_numeros(list, fichier_existe);
    if (result.message) std::fputs(message_en_texte(*result.message).c_str(), stdout);
    if (result.presse_papier && !result.presse_papier->empty())
        std::printf("\nPresse-papier :\n%s", en_lignes(*result.presse_papier).c_str());
    return result.message ? 1 : 0;
}

}  // namespace vellumor::cli
