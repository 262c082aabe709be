#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/options.h"
#include "cli/signals.h"
#include "cli/texte_terminal.h"
#include "common/message_text.h"
#include "imagelist/selection.h"
#include "ops/renaming/disk_rename.h"

namespace vellumor::cli {

using namespace vellumor::renaming;

namespace {

const DescriptionCommande kDescription = {
    "renommer",
    "[OPTIONS] [FICHIER|DOSSIER...] [--appliquer]\n"
    "              vellumor-cli renommer --annuler renommage-annuler.txt",
    "Affiche le nouveau nom de chaque fichier dans la suite numérotée : préfixe, numéro sur N\n"
    "chiffres, suffixe. Par défaut : le préfixe, le suffixe et le numéro du premier fichier, le\n"
    "pas 1 et les chiffres du dernier numéro. Rien n'est renommé sans --appliquer ; avec, les\n"
    "fichiers sont renommés sans rien écraser, après que la liste d'annulation\n"
    "renommage-annuler.txt (ou renommage-annuler-2.txt ... si elle existe déjà) a été écrite à\n"
    "côté du premier fichier ; --annuler rend leurs anciens noms aux fichiers, même après une\n"
    "interruption, et peut être relancé sans risque. Ctrl-C pendant le renommage termine le\n"
    "fichier en cours puis rend leurs noms à tous les fichiers (ou achève le renommage quand\n"
    "tous ont déjà quitté leur ancien nom).",
    "Les fichiers donnés sont triés par numéro (un dossier vaut ses fichiers .png) ; une liste\n"
    "garde son ordre. Donner soit --liste, soit des fichiers.",
    "réussi",
    "refusé",
};

struct OptionsRenommer {
    std::optional<std::string> prefix, suffix;
    std::optional<std::filesystem::path> list_file, undo_list;
    std::optional<std::int64_t> first, step, digits;
    bool apply = false;
};

TableOptions table_renommer(OptionsRenommer& o) {
    TableOptions t;
    t.texte({"--prefixe"}, "P", "texte avant le numéro", o.prefix);
    t.texte({"--suffixe"}, "S", "texte après le numéro, extension comprise", o.suffix);
    t.entier({"--premier"}, "N", "numéro du premier fichier", {kPremierMini, kPremierMaxi, ""},
             o.first);
    t.entier({"--pas"}, "1|2", "écart entre deux numéros", {1, 2, ""}, o.step, 1);
    t.entier({"--chiffres"}, "N", "chiffres du numéro, complété de zéros à gauche",
             {1, kChiffresMaxi, ""}, o.digits);
    t.chemin({"--liste"}, "FICHIER.txt", "fichier liste des images (UTF-8 avec BOM)", o.list_file);
    t.drapeau({"--appliquer"}, "renomme les fichiers", o.apply);
    t.chemin({"--annuler"}, "LISTE",
             "rend leurs anciens noms aux fichiers d'une liste d'annulation ;\ns'emploie seule",
             o.undo_list);
    return t;
}

int annuler(const std::string& undo_list) {
    // An interruption does not stop an undo half-way: it goes to its end.
    const GardeSignaux signaux;
    const ResultatRenommage r = annuler_renommage(undo_list);
    if (!r.ok) {
        std::fprintf(stderr, "%s\n", texte_terminal(r.message).c_str());
        return 1;
    }
    std::printf("%zu fichier(s) ont repris leur nom d'origine\n", r.renommes);
    return 0;
}

}  // namespace

int commande_renommer(const std::vector<std::string>& args) {
    OptionsRenommer o;
    Arguments a;
    if (const auto fin = lire_arguments(args, kDescription, table_renommer(o), a)) return *fin;
    if (o.undo_list) {
        if (args.size() != 2)
            return erreur_usage(kDescription.nom,
                                "--annuler s'emploie seul, avec la liste d'annulation");
        return annuler(o.undo_list->string());
    }
    if (o.list_file && !a.operandes.empty())
        return erreur_usage(kDescription.nom, "Donner soit --liste, soit des fichiers");
    const std::vector<std::filesystem::path> files =
        developper_dossiers({a.operandes.begin(), a.operandes.end()});
    const ListeCommande chosen = liste_de_commande(o.list_file, files);
    if (chosen.refus) {
        std::fputs(message_en_texte(*chosen.refus).c_str(), stderr);
        return 1;
    }
    const ListeImages& list = chosen.liste;
    if (list.empty()) return erreur_usage(kDescription.nom, "Aucun fichier à renommer");
    // A name that is no file would be shown renamed, then refused by --appliquer: refused now.
    for (const EntreeImage& e : list) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(e.Fichier, ec)) {
            std::fprintf(stderr, "Le fichier « %s » n'existe pas\n",
                         texte_terminal(e.Fichier.string()).c_str());
            return 1;
        }
    }

    ParametresRenommage p = parametres_par_defaut(list);
    if (o.prefix) p.prefixe = *o.prefix;
    if (o.suffix) p.suffixe = *o.suffix;
    if (o.first) {
        p.premier = *o.first;
    } else if (const auto refus = refus_premier_par_defaut(list)) {
        return erreur_usage(kDescription.nom, texte_terminal(*refus) + " avec --premier");
    }
    if (o.step) p.pas = int(*o.step);
    p.chiffres = int(nombre_chiffres(dernier_numero_sequence(p.premier, list.size(), p.pas)));
    if (o.digits) p.chiffres = int(*o.digits);
    if (const auto error = valider(p, list.size())) return erreur_usage(kDescription.nom, *error);

    std::vector<std::filesystem::path> sources;
    for (const auto& e : list) sources.push_back(e.Fichier);
    const std::vector<Renommage> plan = plan_renommage(sources, p);
    for (const auto& r : plan)
        std::printf("%s -> %s\n", texte_terminal(r.source.filename().string()).c_str(),
                    texte_terminal(r.cible.filename().string()).c_str());
    // The names first, then whatever the renaming says: stdout and stderr may be one terminal.
    std::fflush(stdout);
    if (!o.apply) return 0;

    const auto undo = sources.front().parent_path() / kNomListeAnnulation;
    ResultatRenommage r;
    {
        // SIGINT, SIGTERM and SIGHUP let the rename under way finish; the renaming is then undone
        // or, once every file has left its old name, completed.
        const GardeSignaux signaux;
        r = appliquer_renommage(plan, undo, &interruption_demandee());
    }
    if (!r.ok) {
        if (r.interrompu || !r.liste.empty())
            std::fprintf(stderr, "%s\n", texte_terminal(r.message).c_str());
        else
            std::fprintf(stderr, "Renommage refusé, aucun fichier renommé : %s\n",
                         texte_terminal(r.message).c_str());
        return 1;
    }
    std::printf(
        "%zu fichier(s) renommé(s)\nListe d'annulation : %s\n", r.renommes,
        r.renommes ? texte_terminal(r.liste.string()).c_str() : "aucune (aucun nom ne change)");
    return 0;
}

}  // namespace vellumor::cli
