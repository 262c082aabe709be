#include "cli/page_options.h"

#include <memory>
#include <set>
#include <system_error>

#include "batch/originaux.h"
#include "cli/terminal_progress.h"
#include "common/regular_file.h"
#include "imagelist/list_file.h"
#include "ops/cleaning/cleaning_constants.h"

namespace vellumor::cli {
namespace {

std::optional<std::uint32_t> masque_des_motifs(const std::string& s) {
    std::uint32_t masque = 0;
    std::size_t debut = 0;
    while (debut <= s.size()) {
        const std::size_t virgule = std::min(s.find(',', debut), s.size());
        const auto n = lire_entier_decimal(s.substr(debut, virgule - debut));
        if (!n || *n < 1 || *n > cleaning::kPatternCount) return std::nullopt;
        masque |= 1u << (*n - 1);
        debut = virgule + 1;
    }
    return masque;
}

std::string aide_motifs() {
    std::string t = "numéros des motifs à retirer :";
    int numero = 1;
    for (const auto& motif : cleaning::kPatternOptions) {
        std::string_view nom = motif.caption;
        while (!nom.empty() && nom.front() == ' ') nom.remove_prefix(1);
        while (!nom.empty() && nom.back() == ' ') nom.remove_suffix(1);
        t += "\n  " + std::to_string(numero++) + " (valeur " + std::to_string(motif.bit) + ") " +
             std::string(nom);
    }
    return t;
}

}  // namespace

void options_pages(TableOptions& table, OptionsPages& o, bool avec_masque, bool remplace_pages) {
    if (avec_masque) {
        // --masque and --motifs set the same mask: one of them, once.
        auto donne = std::make_shared<bool>(false);
        const auto une_fois = [donne]() -> std::optional<std::string> {
            if (*donne) return "Donner --masque ou --motifs, une seule fois";
            *donne = true;
            return std::nullopt;
        };
        const OptionOperation& m = cleaning::kOptions[0];
        const std::string plage = std::to_string(std::int64_t(m.minimum)) + " à " +
                                  std::to_string(std::int64_t(m.maximum));
        table.ajouter(
            {{std::string(m.nom)},
             "N",
             std::string(m.aide) + "\n(" + plage + ", " + std::to_string(std::int64_t(m.defaut)) +
                 " par défaut ; seuls les sept bits de poids faible comptent)",
             [&o, une_fois, plage](const std::string& v) -> std::optional<std::string> {
                 if (auto refus = une_fois()) return refus;
                 const auto n = lire_entier_decimal(v);
                 if (!n || *n < 0)
                     return "Masque invalide : " + v + " (un entier de " + plage + " est attendu)";
                 o.masque = std::uint32_t(std::uint64_t(*n) & cleaning::kPatternBits);
                 return std::nullopt;
             }});
        table.ajouter({{"--motifs"},
                       "1,2,...",
                       aide_motifs(),
                       [&o, une_fois](const std::string& v) -> std::optional<std::string> {
                           if (auto refus = une_fois()) return refus;
                           const auto masque = masque_des_motifs(v);
                           if (!masque)
                               return "Motifs invalides : " + v + " (des numéros de 1 à " +
                                      std::to_string(cleaning::kPatternCount) +
                                      " séparés par des virgules sont attendus)";
                           o.masque = *masque;
                           return std::nullopt;
                       }});
    }
    table.chemin({"--liste"}, "FICHIER.txt",
                 "traite aussi les fichiers d'un fichier liste (UTF-8 avec BOM,\nun chemin par "
                 "ligne, « ; » en tête d'une ligne de commentaire)",
                 o.liste);
    table.drapeau({"--silencieux"}, "n'affiche que les échecs", o.silencieux);
    if (!remplace_pages) return;
    table.drapeau({"--sans-originaux"},
                  std::string("ne garde pas les fichiers remplacés dans « ") + kDossierOriginaux +
                      " »\n(vellumor-cli restaurer ne pourra pas les remettre)",
                  o.sans_originaux);
}

AnalyseOptions analyser_options(const std::vector<std::string>& args, bool avec_masque) {
    AnalyseOptions a;
    TableOptions table;
    options_pages(table, a.options, avec_masque);
    const Arguments lus = analyser(args, table);
    a.erreur = lus.erreur;
    a.options.aide = lus.aide;
    for (const std::string& f : lus.operandes) a.options.fichiers.emplace_back(f);
    return a;
}

ListeOuErreur construire_liste(const OptionsPages& options) {
    ListeOuErreur r;
    if (options.liste) {
        if (const OpenResult ouvert = open_regular_file(*options.liste);
            ouvert.error == OpenError::NotRegular) {
            r.erreur = "Fichier liste " + options.liste->string() + " refusé : " + ouvert.message;
            return r;
        }
        const LectureListe lecture = lire_fichier_liste(*options.liste);
        if (!lecture.ok) {
            r.erreur = "Fichier liste " + options.liste->string() + " refusé";
            if (lecture.message) r.erreur += " : " + message_sur_une_ligne(*lecture.message);
            return r;
        }
        r.liste = entrees_depuis_liste(lecture.fichiers);
    }
    ListeImages arguments;
    for (const std::filesystem::path& f : developper_dossiers(options.fichiers))
        arguments.push_back(entree_pour(f));
    trier_par_numero(arguments);
    r.liste.insert(r.liste.end(), arguments.begin(), arguments.end());

    std::set<std::filesystem::path> vus;
    for (EntreeImage& e : r.liste) {
        std::error_code ec;
        const std::filesystem::path absolu = std::filesystem::absolute(e.Fichier, ec);
        if (!ec) e.Fichier = absolu.lexically_normal();
        const std::filesystem::path cle = std::filesystem::weakly_canonical(e.Fichier, ec);
        if (!vus.insert(ec ? e.Fichier : cle).second) {
            r.erreur = "Le fichier " + e.Fichier.string() + " est donné plusieurs fois";
            return r;
        }
        if (est_original_garde(e.Fichier)) {
            r.erreur = "Le fichier " + e.Fichier.string() +
                       " est un original gardé : vellumor-cli restaurer le remet en place";
            return r;
        }
    }
    if (r.liste.empty()) r.erreur = "Aucun fichier à traiter";
    return r;
}

}  // namespace vellumor::cli
