#include "cli/page_run.h"

#include <unistd.h>

#include <cstdio>

#include "cli/signals.h"
#include "cli/terminal_progress.h"
#include "imagelist/repartition_parite.h"

namespace vellumor::cli {
namespace {

std::vector<std::string> noms_des_lignes(const ListeImages& liste) {
    std::vector<std::string> noms;
    for (const EntreeImage& e : liste) noms.push_back(e.Fichier.filename().string());
    return noms;
}

// One operation over the list; false when some file failed.
bool executer_operation(const ListeImages& liste, const LignesFixes& lignes,
                        const OperationPages& op, bool silencieux) {
    ProgressionTerminal progression(stdout, stderr, std::int64_t(liste.size()),
                                    isatty(STDERR_FILENO) != 0, silencieux);
    Repartition r = repartir_par_parite(liste, op.lots);
    if (!r.lots) {
        std::fprintf(stderr, "%s\n", message_sur_une_ligne(*r.message).c_str());
        return false;
    }
    ParametresExecution p;
    p.lignes = &lignes;
    p.progression = &progression;
    p.nombre_fichiers = std::int64_t(liste.size());
    ExecutionLot run(std::move(*r.lots), p);
    if (!run.demarrer(op.travail)) {
        std::fprintf(stderr, "Impossible de démarrer les deux fils de traitement\n");
        return false;
    }
    bool annonce = false;
    while (!run.attendre_pour(std::chrono::milliseconds(50))) {
        if (interruption().load() && !annonce) {
            run.arreter();
            annonce = true;
            progression.effacer_barre();
            std::fprintf(stderr,
                         "Interruption : les pages en cours d'écriture sont terminées, les "
                         "suivantes ne sont pas traitées\n");
        }
    }
    run.attendre();
    progression.effacer_barre();
    if (!silencieux) {
        std::printf("%s\n%s\n", progression.dernier_entete().c_str(), op.texte_fin.c_str());
        std::fflush(stdout);
    }
    return progression.echecs() == 0;
}

}  // namespace

int executer_pages(const ListeImages& liste, const std::vector<OperationPages>& operations,
                   bool silencieux) {
    GardeSignaux signaux;
    const LignesFixes lignes(noms_des_lignes(liste));
    bool tout = true;
    for (const OperationPages& op : operations) {
        tout = executer_operation(liste, lignes, op, silencieux) && tout;
        if (interruption().load()) {
            std::fprintf(stderr, "Traitement interrompu\n");
            return 1;
        }
    }
    return tout ? 0 : 1;
}

int commande_pages(const std::vector<std::string>& args, const char* aide, bool avec_masque,
                   const FabriqueOperations& operations) {
    const AnalyseOptions a = analyser_options(args, avec_masque);
    if (!a.erreur.empty()) {
        std::fprintf(stderr, "%s\n« --aide » décrit les options.\n", a.erreur.c_str());
        return 2;
    }
    if (a.options.aide) {
        std::fputs(aide, stdout);
        return 0;
    }
    const ListeOuErreur l = construire_liste(a.options);
    if (!l.erreur.empty()) {
        std::fprintf(stderr, "%s\n", texte_affichable(l.erreur).c_str());
        return 2;
    }
    return executer_pages(l.liste, operations(a.options), a.options.silencieux);
}

}  // namespace vellumor::cli
