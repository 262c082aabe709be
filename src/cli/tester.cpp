#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/message_text.h"
#include "common/text_utf8.h"
#include "imagelist/number_test.h"
#include "imagelist/selection.h"

namespace vellumor::cli {
namespace {

constexpr const char* kAideTester =
    "Utilisation : vellumor-cli tester [--liste FICHIER.txt] [FICHIER...]\n\n"
    "Teste les numéros des fichiers : premier et dernier numéros dans l'ordre, pas deux fichiers\n"
    "du même numéro, tous les fichiers présents sur le disque. Affiche le message et le texte du\n"
    "presse-papier. Les fichiers donnés sont triés par numéro ; une liste (UTF-8 avec BOM ou\n"
    "UTF-16LE) garde son ordre. Code de sortie : 0 sans remarque, 1 sinon, 2 pour une erreur\n"
    "d'utilisation.\n";

std::string en_lignes(const std::string& text) {
    std::string out;
    for (const std::string_view line : decouper_lignes(text)) out += std::string(line) + "\n";
    return out;
}

}  // namespace

int run_tester(const std::vector<std::string>& args) {
    std::optional<std::filesystem::path> list_file;
    std::vector<std::filesystem::path> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--aide" || args[i] == "-h") {
            std::fputs(kAideTester, stdout);
            return 0;
        }
        if (args[i] == "--liste" && i + 1 < args.size()) {
            list_file = args[++i];
        } else if (args[i].starts_with("--")) {
            std::fprintf(stderr, "Option inconnue ou incomplète : %s\n%s", args[i].c_str(),
                         kAideTester);
            return 2;
        } else {
            files.emplace_back(args[i]);
        }
    }
    if (list_file && !files.empty()) {
        std::fputs("Donner soit --liste, soit des fichiers, pas les deux\n", stderr);
        return 2;
    }
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
