#include "cli/command.h"

namespace vellumor::cli {

// The entry points, one file each.
using Entree = int(const std::vector<std::string>& args);
Entree commande_nettoyer, commande_detourer, commande_redresser, commande_importer,
    commande_coloriser, commande_net_det_col, commande_numeroter, commande_reconstituer,
    commande_tester, commande_renommer, commande_pdf, commande_restaurer, commande_originaux;

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"nettoyer", "retire les petites taches isolées des pages", commande_nettoyer},
        {"detourer", "retire les marges blanches des pages", commande_detourer},
        {"redresser", "mesure l'inclinaison des pages et les remet droites", commande_redresser},
        {"importer", "écrit les pages de scans TIFF, JPEG, PNM ou PNG en pages PNG numérotées",
         commande_importer},
        {"coloriser", "écrit une copie bleue de chaque page (nom_Col.png)", commande_coloriser},
        {"net-det-col", "nettoie, détoure puis colorise les pages", commande_net_det_col},
        {"numeroter", "colle les numéros de page sur des copies des pages (Img__*.png)",
         commande_numeroter},
        {"reconstituer", "place les pages sur des pages vierges d'impression",
         commande_reconstituer},
        {"tester", "teste les numéros des fichiers (ordre, doublons, manquants)", commande_tester},
        {"renommer", "compose les noms d'une suite numérotée, et renomme avec --appliquer",
         commande_renommer},
        {"pdf", "écrit les pages en un seul document PDF prêt pour l'impression", commande_pdf},
        {"restaurer", "remet les pages d'avant la dernière opération (originaux gardés)",
         commande_restaurer},
        {"originaux", "liste ou supprime les originaux gardés d'un dossier", commande_originaux},
    };
    return all;
}

}  // namespace vellumor::cli
