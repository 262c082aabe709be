#include "cli/page_operations.h"

#include "batch/originaux.h"
#include "ops/chain/chain_worker.h"
#include "ops/cleaning/cleaning_constants.h"
#include "ops/cleaning/cleaning_worker.h"
#include "ops/colourising/colourising_constants.h"
#include "ops/colourising/colourising_worker.h"
#include "ops/cropping/cropping_constants.h"
#include "ops/cropping/cropping_worker.h"

namespace vellumor::cli {

OperationPages operation_nettoyage(std::uint32_t masque) {
    return {cleaning::constantes_lots(), cleaning::travail_nettoyage(masque),
            std::string(cleaning::kCompletionText), std::string(cleaning::kBannerTitle),
            kOperationNettoyage};
}

OperationPages operation_detourage() {
    return {cropping::constantes_lots(), cropping::travail_detourage(),
            std::string(cropping::kCompletionText), std::string(cropping::kBannerTitle),
            kOperationDetourage};
}

OperationPages operation_colorisation() {
    return {colourising::constantes_lots(), colourising::travail_colorisation(),
            std::string(colourising::kCompletionText), std::string(colourising::kBannerTitle)};
}

OperationPages operation_chaine(std::uint32_t masque) {
    return {cleaning::constantes_lots(), chain::travail_chaine(masque),
            std::string(cleaning::kCompletionText) + "\n" + std::string(cropping::kCompletionText) +
                "\n" + std::string(colourising::kCompletionText),
            std::string(cleaning::kBannerTitle), kOperationChaine};
}

DescriptionCommande description_pages(std::string nom, std::string usage, std::string description) {
    return {std::move(nom),
            std::move(usage),
            std::move(description),
            "Les fichiers du fichier liste sont traités dans son ordre, puis les fichiers donnés "
            "en\narguments dans l'ordre de leur numéro de page (les chiffres qui terminent leur "
            "nom) ;\nun dossier donné en argument vaut ses fichiers .png.\n"
            "Deux fils traitent les pages, l'un celles de numéro pair, l'autre celles de numéro "
            "impair.\nCtrl-C arrête le traitement après les pages en cours d'écriture.",
            "tous les fichiers sont traités",
            "un fichier au moins a échoué, ou le traitement a été interrompu"};
}

}  // namespace vellumor::cli
