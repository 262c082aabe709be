#include "cli/page_operations.h"

#include "batch/originaux.h"
#include "ops/chain/chain_worker.h"
#include "ops/cleaning/cleaning_constants.h"
#include "ops/colourising/colourising_constants.h"
#include "ops/cropping/cropping_constants.h"

namespace vellumor::cli {

OperationPages operation_pages(const DescriptionOperation& d, ExecutionLot::Travail travail) {
    return {constantes_lots(d), std::move(travail), std::string(d.texte_fin),
            std::string(d.titre_bandeau), d.originaux};
}

OperationPages operation_chaine(std::uint32_t masque) {
    OperationPages op = operation_pages(cleaning::kDescription, chain::travail_chaine(masque));
    op.texte_fin += "\n" + std::string(cropping::kDescription.texte_fin) + "\n" +
                    std::string(colourising::kDescription.texte_fin);
    op.originaux = kOperationChaine;
    return op;
}

DescriptionCommande description_pages(std::string nom, std::string description) {
    return {std::move(nom),
            "[OPTIONS] FICHIER|DOSSIER...",
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
