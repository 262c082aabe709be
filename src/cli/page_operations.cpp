#include "cli/page_operations.h"

#include "ops/cleaning/cleaning_constants.h"
#include "ops/cleaning/cleaning_worker.h"
#include "ops/colourising/colourising_constants.h"
#include "ops/colourising/colourising_worker.h"
#include "ops/cropping/cropping_constants.h"
#include "ops/cropping/cropping_worker.h"

namespace vellumor::cli {

OperationPages operation_nettoyage(std::uint32_t masque) {
    return {cleaning::constantes_lots(), cleaning::travail_nettoyage(masque),
            std::string(cleaning::kCompletionText)};
}

OperationPages operation_detourage() {
    return {cropping::constantes_lots(), cropping::travail_detourage(),
            std::string(cropping::kCompletionText)};
}

OperationPages operation_colorisation() {
    return {colourising::constantes_lots(), colourising::travail_colorisation(),
            std::string(colourising::kCompletionText)};
}

std::string aide_commande(const std::string& usage, const std::string& description,
                          bool avec_masque) {
    std::string t =
        "Utilisation : vellumor-cli " + usage + "\n\n" + description + "\n\nOptions :\n";
    if (avec_masque) {
        t += "  --masque N        motifs de taches à retirer, somme de leurs valeurs (0 à 127,\n"
             "                    1 par défaut ; seuls les sept bits de poids faible comptent)\n"
             "  --motifs 1,2,...  numéros des motifs à retirer :\n";
        int numero = 1;
        for (const auto& motif : cleaning::kPatternOptions) {
            std::string_view nom = motif.caption;
            while (!nom.empty() && nom.front() == ' ') nom.remove_prefix(1);
            while (!nom.empty() && nom.back() == ' ') nom.remove_suffix(1);
            t += "                      " + std::to_string(numero++) + " (valeur " +
                 std::to_string(motif.bit) + ") " + std::string(nom) + "\n";
        }
    }
    t += "  --liste F.txt     traite aussi les fichiers d'un fichier liste (UTF-8 avec BOM ou\n"
         "                    UTF-16LE, un chemin par ligne, « ; » en tête d'une ligne de\n"
         "                    commentaire)\n"
         "  --silencieux      n'affiche que les échecs\n"
         "  --aide, --help    affiche cette aide\n\n"
         "Les fichiers du fichier liste sont traités dans son ordre, puis les fichiers donnés en\n"
         "arguments dans l'ordre de leur numéro de page (les chiffres qui terminent leur nom) ;\n"
         "un dossier donné en argument vaut ses fichiers .png.\n"
         "Deux fils traitent les pages, l'un celles de numéro pair, l'autre celles de numéro "
         "impair.\nCtrl-C arrête le traitement après les pages en cours d'écriture.\n\n"
         "Code de sortie : 0 tous les fichiers sont traités, 1 un fichier au moins a échoué ou le\n"
         "traitement a été interrompu, 2 erreur d'utilisation.\n";
    return t;
}

}  // namespace vellumor::cli
