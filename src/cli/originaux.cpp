#include "batch/originaux.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/texte_terminal.h"
#include "common/file_io.h"

namespace vellumor::cli {
namespace {

const DescriptionCommande kRestaurer = {
    "restaurer",
    "[DOSSIER]",
    "Remet les pages de DOSSIER (le dossier courant sans argument) telles qu'elles étaient avant\n"
    "la dernière opération qui les a remplacées (nettoyage, détourage, reconstitution), à partir\n"
    "des originaux gardés dans « Originaux Vellumor ». Appelée de nouveau, remonte d'une "
    "opération.\nUne page modifiée depuis l'opération n'est pas restaurée ; une restauration\n"
    "interrompue se reprend en relançant la commande.",
    kTexteExecutionsGardees,
    "toutes les pages de la dernière opération sont remises",
    "une page au moins n'a pas été remise, ou aucun original n'est gardé",
};

const DescriptionCommande kOriginaux = {
    "originaux",
    "[OPTIONS] [DOSSIER]",
    "Liste les opérations dont les originaux sont gardés dans « Originaux Vellumor » pour les\n"
    "pages de DOSSIER (le dossier courant sans argument), de la plus ancienne à la plus récente :\n"
    "opération, date, nombre de pages et dossier.",
    kTexteExecutionsGardees,
    "liste affichée, ou originaux supprimés",
    "les originaux n'ont pas pu être supprimés",
};

std::string texte_pages(std::size_t n) {
    return std::to_string(n) + (n > 1 ? " pages" : " page");
}

// The folder operand, or the current folder; nothing after a usage error (status in fin).
std::optional<std::filesystem::path> dossier_de(const Arguments& a, const DescriptionCommande& d,
                                                int& fin) {
    if (a.operandes.size() > 1) {
        fin = erreur_usage(d.nom, "Un seul dossier à la fois");
        return std::nullopt;
    }
    const std::filesystem::path dossier = a.operandes.empty() ? "." : a.operandes[0];
    std::error_code ec;
    if (!std::filesystem::is_directory(dossier, ec)) {
        fin = erreur_usage(d.nom, entre_guillemets(dossier) + " n'est pas un dossier");
        return std::nullopt;
    }
    return std::filesystem::absolute(dossier, ec).lexically_normal();
}

}  // namespace

int commande_restaurer(const std::vector<std::string>& args) {
    TableOptions table;
    Arguments a;
    if (const auto fin = lire_arguments(args, kRestaurer, table, a)) return *fin;
    int fin = 0;
    const auto dossier = dossier_de(a, kRestaurer, fin);
    if (!dossier) return fin;
    const Restauration r = restaurer_derniere(*dossier);
    if (r.aucune) {
        std::fprintf(stderr, "Aucun original gardé pour les pages de %s\n",
                     texte_terminal(dossier->string()).c_str());
        return 1;
    }
    for (const std::string& refus : r.refus)
        std::fprintf(stderr, "%s\n", texte_terminal(refus).c_str());
    if (r.execution.dossier.empty()) return 1;
    std::printf("%s du %s : %s remise%s en place sur %zu\n",
                texte_terminal(r.execution.operation).c_str(),
                texte_terminal(date_lisible(r.execution.date)).c_str(),
                texte_pages(std::size_t(r.restaurees)).c_str(), r.restaurees > 1 ? "s" : "",
                r.execution.pages.size());
    if (!r.refus.empty())
        std::printf(
            "Relancez « vellumor-cli restaurer » une fois la cause levée : les pages "
            "remises en place le restent.\n");
    return r.refus.empty() ? 0 : 1;
}

int commande_originaux(const std::vector<std::string>& args) {
    bool purger = false;
    TableOptions table;
    table.drapeau({"--purger"}, "supprime tous les originaux gardés pour ces pages", purger);
    Arguments a;
    if (const auto fin = lire_arguments(args, kOriginaux, table, a)) return *fin;
    int fin = 0;
    const auto dossier = dossier_de(a, kOriginaux, fin);
    if (!dossier) return fin;
    if (purger) {
        const Resultat<int> n = purger_originaux(*dossier);
        if (!n) {
            std::fprintf(stderr, "%s\n", texte_terminal(n.raison()).c_str());
            return 1;
        }
        std::printf("%d opération%s supprimée%s\n", *n, *n > 1 ? "s" : "", *n > 1 ? "s" : "");
        return 0;
    }
    const Inventaire inv = inventaire_originaux(*dossier);
    for (const std::string& refus : inv.refus)
        std::fprintf(stderr, "%s : ces originaux ne sont pas utilisés\n",
                     texte_terminal(refus).c_str());
    if (inv.executions.empty())
        std::printf("Aucun original gardé pour les pages de %s\n",
                    texte_terminal(dossier->string()).c_str());
    for (const ExecutionGardee& e : inv.executions)
        std::printf(
            "%s du %s : %s (%s)%s\n", texte_terminal(e.operation).c_str(),
            texte_terminal(date_lisible(e.date)).c_str(), texte_pages(e.pages.size()).c_str(),
            texte_terminal(e.dossier.filename().string()).c_str(), e.en_cours ? " : en cours" : "");
    if (!inv.executions.empty()) std::printf("%s\n", kTexteExecutionsGardees);
    return inv.refus.empty() ? 0 : 1;
}

}  // namespace vellumor::cli
