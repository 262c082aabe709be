#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/signals.h"
#include "cli/terminal_progress.h"
#include "common/message_text.h"
#include "imagelist/selection.h"
#include "ops/renaming/disk_rename.h"

namespace vellumor::cli {
namespace {

constexpr const char* kAideRenommer =
    "Utilisation : vellumor-cli renommer [--prefixe P] [--suffixe S] [--premier N] [--pas 1|2]\n"
    "                 [--chiffres N] [--liste FICHIER.txt] [FICHIER...] [--appliquer]\n"
    "              vellumor-cli renommer --annuler renommage-annuler.txt\n\n"
    "Affiche le nouveau nom de chaque fichier dans la suite numérotée : préfixe, numéro sur N\n"
    "chiffres, suffixe. Par défaut : le préfixe, le suffixe et le numéro du premier fichier, le\n"
    "pas 1 et les chiffres du dernier numéro. Rien n'est renommé sans --appliquer ; avec, les\n"
    "fichiers sont renommés sans rien écraser, après que la liste d'annulation\n"
    "renommage-annuler.txt (ou renommage-annuler-2.txt ... si elle existe déjà) a été écrite à\n"
    "côté du premier fichier ; --annuler rend leurs anciens noms aux fichiers, même après une\n"
    "interruption, et peut être relancé sans risque. Ctrl-C pendant le renommage termine le\n"
    "fichier en cours puis rend leurs noms à tous les fichiers (ou achève le renommage quand\n"
    "tous ont déjà quitté leur ancien nom).\n"
    "Code de sortie : 0 réussi, 1 refusé, 2 erreur d'utilisation.\n";

int usage(const std::string& what) {
    std::fprintf(stderr, "%s\n\n%s", what.c_str(), kAideRenommer);
    return 2;
}

std::optional<long long> entier(const std::string& text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int annuler(const std::string& undo_list) {
    // An interruption does not stop an undo half-way: it goes to its end.
    const GardeSignaux signaux;
    const ResultatRenommage r = annuler_renommage(undo_list);
    if (!r.ok) {
        std::fprintf(stderr, "%s\n", texte_affichable(r.message).c_str());
        return 1;
    }
    std::printf("%zu fichier(s) ont repris leur nom d'origine\n", r.renommes);
    return 0;
}

}  // namespace

int run_renommer(const std::vector<std::string>& args) {
    std::optional<std::string> prefix, suffix, undo_list;
    std::optional<std::filesystem::path> list_file;
    std::optional<long long> first, step, digits;
    bool apply = false;
    std::vector<std::filesystem::path> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--aide" || a == "-h") {
            std::fputs(kAideRenommer, stdout);
            return 0;
        } else if (a == "--appliquer") {
            apply = true;
        } else if (a == "--prefixe" && has_value) {
            prefix = args[++i];
        } else if (a == "--suffixe" && has_value) {
            suffix = args[++i];
        } else if (a == "--liste" && has_value) {
            list_file = args[++i];
        } else if (a == "--annuler" && has_value) {
            undo_list = args[++i];
        } else if ((a == "--premier" || a == "--pas" || a == "--chiffres") && has_value) {
            const auto value = entier(args[++i]);
            if (!value) return usage("Nombre attendu après " + a + " : " + args[i]);
            (a == "--premier" ? first : a == "--pas" ? step : digits) = value;
        } else if (a.starts_with("--")) {
            return usage("Option inconnue ou incomplète : " + a);
        } else {
            files.emplace_back(a);
        }
    }
    if (undo_list) {
        if (args.size() != 2) return usage("--annuler s'emploie seul, avec la liste d'annulation");
        return annuler(*undo_list);
    }
    if (list_file && !files.empty()) return usage("Donner soit --liste, soit des fichiers");

    const ListeCommande chosen = liste_de_commande(list_file, files);
    if (chosen.refus) {
        std::fputs(message_en_texte(*chosen.refus).c_str(), stderr);
        return 1;
    }
    const ListeImages& list = chosen.liste;
    if (list.empty()) return usage("Aucun fichier à renommer");

    ParametresRenommage p = parametres_par_defaut(list);
    if (prefix) p.prefixe = *prefix;
    if (suffix) p.suffixe = *suffix;
    if (first) p.premier = *first;
    if (step) p.pas = int(*step == 1 || *step == 2 ? *step : 0);
    p.chiffres = int(nombre_chiffres(dernier_numero_sequence(p.premier, list.size(), p.pas)));
    if (digits) p.chiffres = int(std::clamp<long long>(*digits, -1, kChiffresMaxi + 1));
    if (const auto error = valider(p, list.size())) return usage(*error);

    std::vector<std::filesystem::path> sources;
    for (const auto& e : list) sources.push_back(e.Fichier);
    const std::vector<Renommage> plan = plan_renommage(sources, p);
    for (const auto& r : plan)
        std::printf("%s -> %s\n", texte_affichable(r.source.filename().string()).c_str(),
                    texte_affichable(r.cible.filename().string()).c_str());
    if (!apply) return 0;

    const auto undo = sources.front().parent_path() / kNomListeAnnulation;
    ResultatRenommage r;
    {
        // SIGINT, SIGTERM and SIGHUP let the rename under way finish; the renaming is then undone
        // or, once every file has left its old name, completed.
        const GardeSignaux signaux;
        r = appliquer_renommage(plan, undo, &interruption());
    }
    if (!r.ok) {
        if (r.interrompu || !r.liste.empty())
            std::fprintf(stderr, "%s\n", texte_affichable(r.message).c_str());
        else
            std::fprintf(stderr, "Renommage refusé, aucun fichier renommé : %s\n",
                         texte_affichable(r.message).c_str());
        return 1;
    }
    std::printf(
        "%zu fichier(s) renommé(s)\nListe d'annulation : %s\n", r.renommes,
        r.renommes ? texte_affichable(r.liste.string()).c_str() : "aucune (aucun nom ne change)");
    return 0;
}

}  // namespace vellumor::cli
