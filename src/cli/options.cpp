#include "cli/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <set>
#include <system_error>

#include "batch/originaux.h"

namespace vellumor::cli {
namespace {

const std::vector<std::string> kNomsAide = {"--aide", "--help", "-h"};

std::string texte_plage(const Plage& p) {
    std::string t = std::to_string(p.minimum);
    if (p.maximum == std::numeric_limits<std::int64_t>::max()) return t + " ou plus";
    return t + " à " + std::to_string(p.maximum);
}

std::string noms_et_valeur(const Option& o) {
    std::string t;
    for (const std::string& nom : o.noms) t += (t.empty() ? "" : ", ") + nom;
    return o.valeur.empty() ? t : t + " " + o.valeur;
}

bool est_png(const std::filesystem::path& p) {
    std::string ext = p.extension().string();
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".png";
}

}  // namespace

std::optional<std::int64_t> lire_entier_decimal(const std::string& text) {
    const char* debut = text.data();
    const char* fin = debut + text.size();
    if (debut != fin && *debut == '+') ++debut;
    if (debut == fin || *debut == '+') return std::nullopt;
    std::int64_t v = 0;
    const auto [ptr, ec] = std::from_chars(debut, fin, v);
    if (ec != std::errc() || ptr != fin) return std::nullopt;
    return v;
}

TableOptions& TableOptions::ajouter(Option option) {
    options_.push_back(std::move(option));
    return *this;
}

TableOptions& TableOptions::drapeau(std::vector<std::string> noms, std::string aide, bool& cible) {
    return ajouter({std::move(noms), "", std::move(aide), [&cible](const std::string&) {
                        cible = true;
                        return std::optional<std::string>();
                    }});
}

TableOptions& TableOptions::texte(std::vector<std::string> noms, std::string valeur,
                                  std::string aide, std::optional<std::string>& cible) {
    return ajouter(
        {std::move(noms), std::move(valeur), std::move(aide), [&cible](const std::string& v) {
             cible = v;
             return std::optional<std::string>();
         }});
}

TableOptions& TableOptions::chemin(std::vector<std::string> noms, std::string valeur,
                                   std::string aide, std::optional<std::filesystem::path>& cible) {
    return ajouter(
        {std::move(noms), std::move(valeur), std::move(aide), [&cible](const std::string& v) {
             cible = std::filesystem::path(v);
             return std::optional<std::string>();
         }});
}

TableOptions& TableOptions::entier(std::vector<std::string> noms, std::string valeur,
                                   std::string aide, const Plage& plage,
                                   std::optional<std::int64_t>& cible,
                                   std::optional<std::int64_t> defaut, bool verifier) {
    aide += " (" + texte_plage(plage) +
            (defaut ? ", " + std::to_string(*defaut) + " par défaut" : std::string()) + ")";
    const std::string nom = noms.front();
    return ajouter(
        {std::move(noms), std::move(valeur), std::move(aide),
         [plage, nom, verifier, &cible](const std::string& v) -> std::optional<std::string> {
             const auto n = lire_entier_decimal(v);
             if (!n || (verifier && (*n < plage.minimum || *n > plage.maximum)))
                 return "L'option " + nom + " attend un nombre entier" +
                        (plage.unite.empty() ? "" : " de " + plage.unite) + " de " +
                        texte_plage(plage) + " : « " + v + " »";
             cible = *n;
             return std::nullopt;
         }});
}

TableOptions& TableOptions::entier(const OptionOperation& o, std::string valeur,
                                   std::optional<std::int64_t>& cible, bool avec_defaut,
                                   bool verifier) {
    const Plage plage{std::int64_t(o.minimum), std::int64_t(o.maximum), std::string(o.unite)};
    const std::optional<std::int64_t> defaut =
        avec_defaut ? std::optional<std::int64_t>(std::int64_t(o.defaut)) : std::nullopt;
    return entier({std::string(o.nom)}, std::move(valeur), std::string(o.aide), plage, cible,
                  defaut, verifier);
}

const Option* TableOptions::trouver(const std::string& nom) const {
    for (const Option& o : options_)
        if (std::find(o.noms.begin(), o.noms.end(), nom) != o.noms.end()) return &o;
    return nullptr;
}

std::string TableOptions::refus_choix(const std::string& quoi, const std::string& valeur,
                                      const std::vector<std::string>& mots) {
    std::string liste;
    for (std::size_t i = 0; i < mots.size(); ++i)
        liste += (i == 0 ? "" : i + 1 == mots.size() ? " ou " : ", ") + mots[i];
    return quoi + " : « " + valeur + " » (" + liste + ")";
}

Arguments analyser(const std::vector<std::string>& args, const TableOptions& table) {
    Arguments a;
    std::set<const Option*> donnees;
    bool fin_options = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (fin_options || arg.empty() || arg[0] != '-' || arg == "-") {
            a.operandes.push_back(arg);
            continue;
        }
        if (arg == "--") {
            fin_options = true;
            continue;
        }
        if (std::find(kNomsAide.begin(), kNomsAide.end(), arg) != kNomsAide.end()) {
            a.aide = true;
            continue;
        }
        const Option* o = table.trouver(arg);
        if (!o) {
            a.erreur = "Option inconnue : " + arg;
            return a;
        }
        std::string valeur;
        if (!o->valeur.empty()) {
            if (i + 1 >= args.size()) {
                a.erreur = "L'option " + arg + " attend une valeur";
                return a;
            }
            if (!donnees.insert(o).second) {
                a.erreur = "L'option " + arg + " n'est acceptée qu'une fois";
                return a;
            }
            valeur = args[++i];
        }
        if (auto refus = o->lire(valeur)) {
            a.erreur = *refus;
            return a;
        }
    }
    return a;
}

std::string texte_aide(const DescriptionCommande& d, const TableOptions& table) {
    const Option aide{kNomsAide, "", "affiche cette aide", nullptr};
    std::vector<const Option*> options;
    for (const Option& o : table.options()) options.push_back(&o);
    options.push_back(&aide);
    std::size_t colonne = 0;
    for (const Option* o : options) colonne = std::max(colonne, noms_et_valeur(*o).size());
    colonne += 4;

    std::string t = "Utilisation : vellumor-cli " + d.nom + " " + d.usage + "\n\n" + d.description +
                    "\n\nOptions :\n";
    for (const Option* o : options) {
        const std::string tete = "  " + noms_et_valeur(*o);
        // Column counts characters, not bytes: the names are ASCII.
        t += tete + std::string(colonne - tete.size() + 2, ' ');
        for (char c : o->aide)
            t += c == '\n' ? "\n" + std::string(colonne + 2, ' ') : std::string(1, c);
        t += "\n";
    }
    if (!d.remarques.empty()) t += "\n" + d.remarques + "\n";
    t += "\nCodes de sortie :\n  0  " + d.sortie_0 + "\n  1  " + d.sortie_1 +
         "\n  2  erreur d'utilisation (option inconnue ou refusée, aucun fichier)\n";
    return t;
}

int erreur_usage(const std::string& nom, const std::string& erreur) {
    std::fprintf(stderr, "%s\n« vellumor-cli %s --aide » décrit les options.\n", erreur.c_str(),
                 nom.c_str());
    return 2;
}

std::optional<int> lire_arguments(const std::vector<std::string>& args,
                                  const DescriptionCommande& d, const TableOptions& table,
                                  Arguments& a) {
    a = analyser(args, table);
    if (!a.erreur.empty()) return erreur_usage(d.nom, a.erreur);
    if (a.aide) {
        std::fputs(texte_aide(d, table).c_str(), stdout);
        return 0;
    }
    return std::nullopt;
}

std::vector<std::filesystem::path> developper_dossiers(
    const std::vector<std::filesystem::path>& paths) {
    std::vector<std::filesystem::path> fichiers;
    for (const std::filesystem::path& f : paths) {
        std::error_code ec;
        // A folder named like a page is an error the user must see, not a folder to search.
        if (!std::filesystem::is_directory(f, ec) || est_png(f)) {
            fichiers.push_back(f);
            continue;
        }
        std::vector<std::filesystem::path> pages;
        for (const auto& e : std::filesystem::directory_iterator(f, ec))
            if (e.is_regular_file(ec) && est_png(e.path()) && !est_original_garde(e.path()))
                pages.push_back(e.path());
        // Directory order is the file system's; sorted, the result is the same everywhere.
        std::sort(pages.begin(), pages.end());
        fichiers.insert(fichiers.end(), pages.begin(), pages.end());
    }
    return fichiers;
}

}  // namespace vellumor::cli
