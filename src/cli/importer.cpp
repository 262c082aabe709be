#include <charconv>
#include <cstdio>

#include "cli/command.h"
#include "cli/options.h"
#include "ops/import/import.h"
#include "ops/import/import_constants.h"

namespace vellumor::cli {

int commande_importer(const std::vector<std::string>& args) {
    static const DescriptionCommande d = {
        "importer",
        "--dossier DOSSIER [OPTIONS] SCAN...",
        "Écrit les pages des scans TIFF (plusieurs pages et CCITT G4 compris), JPEG, PNM et PNG\n"
        "en pages PNG numérotées dans DOSSIER : PRÉFIXE, numéro complété de zéros, « .png »,\n"
        "dans l'ordre des scans donnés, un TIFF de plusieurs pages page par page. Chaque page\n"
        "garde sa profondeur sans perte (1 bit reste 1 bit, gris 8 bits, couleur 24 bits) et la\n"
        "résolution de son scan (600 dpi à défaut). Les scans ne sont jamais modifiés, une page\n"
        "qui existe n'est jamais remplacée.",
        "Tous les scans sont vérifiés et tous les noms de pages doivent être libres avant la\n"
        "première page écrite ; une page qui ne peut pas être écrite retire celles déjà écrites.",
        "toutes les pages sont écrites",
        "un scan est refusé ou une page n'a pas pu être écrite : aucune page n'est écrite"};
    importation::Parametres p;
    std::optional<std::filesystem::path> dossier;
    std::optional<std::string> prefixe;
    std::optional<std::int64_t> premier, dpi;
    bool silencieux = false;
    TableOptions table;
    table.chemin({"--dossier"}, "DOSSIER", "dossier des pages importées (créé au besoin)", dossier);
    table.entier(importation::kOptionPremier, "N", premier);
    table.texte(
        {"--prefixe"}, "P",
        "début du nom des pages (« " + std::string(importation::kPrefixeDefaut) + " » par défaut)",
        prefixe);
    const OptionOperation& o_dpi = importation::kOptionDpi;
    table.entier(
        {std::string(o_dpi.nom)}, "N",
        std::string(o_dpi.aide) + " (sinon celle du scan, " + std::to_string(int(o_dpi.defaut)) +
            " dpi à défaut)",
        Plage{std::int64_t(o_dpi.minimum), std::int64_t(o_dpi.maximum), std::string(o_dpi.unite)},
        dpi);
    table.drapeau({"--silencieux"}, "n'affiche que les échecs", silencieux);
    Arguments a;
    if (const auto fin = lire_arguments(args, d, table, a)) return *fin;
    if (!dossier) return erreur_usage(d.nom, "Le dossier des pages (--dossier) n'est pas donné");
    if (a.operandes.empty()) return erreur_usage(d.nom, "Aucun scan à importer");
    p.dossier = *dossier;
    if (premier) p.premier = *premier;
    if (prefixe) p.prefixe = *prefixe;
    if (dpi) p.dpi = double(*dpi);
    if (const Verdict v = importation::valider(p); !v) return erreur_usage(d.nom, v.raison());
    const std::vector<std::filesystem::path> scans(a.operandes.begin(), a.operandes.end());
    const Resultat<std::vector<std::filesystem::path>> r = importation::importer(scans, p);
    if (!r) {
        std::fprintf(stderr, "%s\n", r.raison().c_str());
        return 1;
    }
    if (!silencieux) {
        const std::vector<std::filesystem::path>& pages = *r;
        for (const std::filesystem::path& page : pages) std::printf("%s\n", page.c_str());
        std::printf("%zu page%s importée%s dans « %s »\n", pages.size(),
                    pages.size() > 1 ? "s" : "", pages.size() > 1 ? "s" : "", p.dossier.c_str());
    }
    return 0;
}

}  // namespace vellumor::cli
