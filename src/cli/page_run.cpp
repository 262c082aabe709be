#include "cli/page_run.h"

#include <unistd.h>

#include <cstdio>

#include "batch/originaux.h"
#include "cli/signals.h"
#include "cli/terminal_progress.h"
#include "cli/texte_terminal.h"
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
                        const OperationPages& op, bool silencieux, bool garder_originaux) {
    if (interruption_demandee().load()) {  // received before this step began: no page is touched
        std::fprintf(stderr, "%s\n", texte_interruption(0, std::int64_t(liste.size())).c_str());
        return false;
    }
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
    std::optional<Originaux> originaux;
    if (garder_originaux && op.originaux) {
        std::vector<std::filesystem::path> pages;
        for (const EntreeImage& e : liste) pages.push_back(e.Fichier);
        // Replacing the pages without keeping them, when keeping was asked, is not an option.
        if (const auto refus = Originaux::refus_avant_execution(pages)) {
            std::fprintf(stderr, "%s\n", texte_terminal(*refus).c_str());
            return false;
        }
        p.originaux = &originaux.emplace(op.originaux);
    }
    ExecutionLot run(std::move(*r.lots), p);
    if (const Verdict v = run.demarrer(op.travail); !v) {
        std::fprintf(stderr, "%s\n", v.raison().c_str());
        return false;
    }
    attendre_fin(run, progression, originaux, std::chrono::milliseconds(50),
                 "Interruption : les pages en cours d'écriture sont terminées, les suivantes ne "
                 "sont pas traitées");
    if (interruption_demandee().load()) {
        // Not the completion text: the run did not finish.
        std::fprintf(stderr, "%s\n",
                     texte_interruption(progression.traites(), std::int64_t(liste.size())).c_str());
    } else if (!silencieux) {
        std::printf("%s\n%s\n", progression.dernier_entete().c_str(), op.texte_fin.c_str());
        if (originaux)
            for (const std::filesystem::path& d : originaux->dossiers())
                std::printf("%s\n", texte_terminal(texte_originaux_gardes(d)).c_str());
        std::fflush(stdout);
    }
    // A page left unwritten for a reason of its own (hard links) is not counted: not processed.
    return progression.echecs() == 0 && run.compteur() == std::int64_t(liste.size());
}

}  // namespace

std::string texte_interruption(std::int64_t traites, std::int64_t total) {
    return "Traitement interrompu : " + std::to_string(traites) + " fichier" +
           (traites > 1 ? "s" : "") + " traité" + (traites > 1 ? "s" : "") + " sur " +
           std::to_string(total);
}

int executer_pages(const ListeImages& liste, const std::vector<OperationPages>& operations,
                   bool silencieux, bool garder_originaux) {
    GardeSignaux signaux;
    const LignesFixes lignes(noms_des_lignes(liste));
    bool tout = true;
    for (std::size_t i = 0; i < operations.size(); ++i) {
        const OperationPages& op = operations[i];
        if (operations.size() > 1 && !silencieux) {
            std::printf("Étape %zu sur %zu : %s\n", i + 1, operations.size(), op.etape.c_str());
            std::fflush(stdout);
        }
        tout = executer_operation(liste, lignes, op, silencieux, garder_originaux) && tout;
        if (interruption_demandee().load()) return 1;
    }
    return tout ? 0 : 1;
}

int commande_pages(const std::vector<std::string>& args, const DescriptionCommande& d,
                   bool avec_masque, const FabriqueOperations& operations, bool remplace_pages,
                   const std::function<void(TableOptions&)>& autres_options) {
    OptionsPages o;
    TableOptions table;
    options_pages(table, o, avec_masque, remplace_pages);
    if (autres_options) autres_options(table);
    Arguments a;
    if (const auto fin = lire_arguments(args, d, table, a)) return *fin;
    for (const std::string& f : a.operandes) o.fichiers.emplace_back(f);
    const ListeOuErreur l = construire_liste(o);
    if (!l.erreur.empty()) return erreur_usage(d.nom, l.erreur);
    return executer_pages(l.liste, operations(o), o.silencieux, !o.sans_originaux);
}

}  // namespace vellumor::cli
