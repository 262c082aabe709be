#include <unistd.h>

#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "batch/progress.h"
#include "cli/command.h"
#include "cli/page_options.h"
#include "cli/terminal_progress.h"
#include "ops/exceptions/cup_file.h"
#include "ops/exceptions/page_exception.h"
#include "ops/reconstitution/execution.h"
#include "ops/reconstitution/format.h"
#include "ops/reconstitution/parametres.h"
#include "ops/reconstitution/placement.h"

namespace vellumor::cli {
namespace {

namespace rc = reconstitution;

constexpr const char* kAide =
    "Utilisation : vellumor-cli reconstituer [OPTIONS] [FICHIER...]\n\n"
    "Place chaque page sur une page vierge d'un format d'impression à 600 dpi et l'écrit à la\n"
    "place du fichier source. Les pages sont centrées, sauf pour les offsets donnés.\n\n"
    "  --format NOM           bulletin-nb (défaut), bulletin-couleur, a4-nb, a4-gris, a4-couleur\n"
    "                         (ou le numéro 29 à 33)\n"
    "  --page-vierge FICHIER  page vierge prise dans ce fichier PNG (seule sa taille compte)\n"
    "  --offset-haut MM       distance du bord supérieur, en millimètres (-1000 à 1000)\n"
    "  --offset-reliure MM    distance du bord de reliure, en millimètres (-1000 à 1000)\n"
    "  --coin COIN            haut-gauche (défaut), haut-droit, bas-gauche, bas-droit ;\n"
    "                         haut-droit inverse le bord de reliure des pages paires et impaires\n"
    "  --aligner-gauche       toutes les pages reliées à gauche, comme les pages impaires\n"
    "  --exceptions FICHIER   fichier .cup des pages d'exception\n"
    "  --liste FICHIER        fichier liste d'images (.txt, UTF-8 avec BOM ou UTF-16LE)\n"
    "  --silencieux           n'affiche que les échecs\n"
    "  --aide                 affiche cette aide\n\n"
    "Les noms de fichier (sans extension) doivent se terminer par le numéro de page.\n";

struct NomFormat {
    const char* nom;
    int format;
};
constexpr NomFormat kFormats[] = {{"bulletin-nb", rc::kFormatBulletinNB},
                                  {"bulletin-couleur", rc::kFormatBulletinCouleur},
                                  {"a4-nb", rc::kFormatA4NB},
                                  {"a4-gris", rc::kFormatA4Gris},
                                  {"a4-couleur", rc::kFormatA4Couleur}};

struct NomCoin {
    const char* nom;
    std::int64_t coin;
};
constexpr NomCoin kCoins[] = {{"haut-gauche", rc::kCoinHautGauche},
                              {"haut-droit", rc::kCoinHautDroit},
                              {"bas-gauche", rc::kCoinBasGauche},
                              {"bas-droit", rc::kCoinBasDroit}};

struct Options {
    rc::Parametres parametres;
    std::filesystem::path exceptions;
    OptionsPages pages;  // files, list file, --silencieux
};

std::optional<std::int64_t> entier(const std::string& texte) {
    std::int64_t v = 0;
    const char* fin = texte.data() + texte.size();
    const char* debut = texte.data() + (texte.size() > 1 && texte[0] == '+' ? 1 : 0);
    const auto [ptr, ec] = std::from_chars(debut, fin, v);
    if (ec != std::errc() || ptr != fin || debut == fin) return std::nullopt;
    return v;
}

std::optional<int> format_nomme(const std::string& texte) {
    for (const auto& f : kFormats)
        if (texte == f.nom) return f.format;
    const auto n = entier(texte);
    if (n && *n >= rc::kFormatBulletinNB && *n <= rc::kFormatA4Couleur) return int(*n);
    return std::nullopt;
}

// Reads the arguments into options; a French reason when they cannot be used.
std::optional<std::string> lire_options(const std::vector<std::string>& args, Options& o) {
    bool format_donne = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto valeur = [&]() -> const std::string* {
            return i + 1 < args.size() ? &args[++i] : nullptr;
        };
        if (a == "--aide" || a == "--help" || a == "-h") {
            o.pages.aide = true;
        } else if (a == "--silencieux") {
            o.pages.silencieux = true;
        } else if (a == "--aligner-gauche") {
            o.parametres.aligner_a_gauche = true;
        } else if (a == "--format" || a == "--page-vierge" || a == "--offset-haut" ||
                   a == "--offset-reliure" || a == "--coin" || a == "--exceptions" ||
                   a == "--liste") {
            const std::string* v = valeur();
            if (!v) return "L'option " + a + " attend une valeur";
            if (a == "--format") {
                const auto f = format_nomme(*v);
                if (!f)
                    return "Format inconnu : « " + *v +
                           " » (bulletin-nb, bulletin-couleur, a4-nb, a4-gris ou a4-couleur)";
                if (format_donne) return "Un seul format ou une seule page vierge peut être donné";
                o.parametres.format = *f;
                format_donne = true;
            } else if (a == "--page-vierge") {
                if (format_donne) return "Un seul format ou une seule page vierge peut être donné";
                o.parametres.format = rc::kFormatFichier;
                o.parametres.page_vierge = *v;
                format_donne = true;
            } else if (a == "--offset-haut" || a == "--offset-reliure") {
                const auto n = entier(*v);
                if (!n || *n < rc::kDecalageMin || *n > rc::kDecalageMax)
                    return "L'option " + a +
                           " attend un nombre entier de millimètres de -1000 à 1000 : « " + *v +
                           " »";
                if (a == "--offset-haut") {
                    o.parametres.decalage_haut = *n;
                    o.parametres.bits |= rc::kBitHaut;
                } else {
                    o.parametres.decalage_reliure = *n;
                    o.parametres.bits |= rc::kBitReliure;
                }
            } else if (a == "--coin") {
                const NomCoin* trouve = nullptr;
                for (const auto& c : kCoins)
                    if (*v == c.nom) trouve = &c;
                if (!trouve)
                    return "Coin inconnu : « " + *v +
                           " » (haut-gauche, haut-droit, bas-gauche ou bas-droit)";
                o.parametres.bits = (o.parametres.bits & ~rc::kMasqueCoin) | trouve->coin;
            } else if (a == "--exceptions") {
                o.exceptions = *v;
            } else {
                if (o.pages.liste) return "Un seul fichier liste peut être donné";
                o.pages.liste = std::filesystem::path(*v);
            }
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-' && a != "--") {
            return "Option inconnue : " + a;
        } else if (a == "--") {
            for (++i; i < args.size(); ++i) o.pages.fichiers.push_back(args[i]);
        } else {
            o.pages.fichiers.push_back(a);
        }
    }
    if (auto raison = rc::valider(o.parametres)) return raison;
    return std::nullopt;
}

volatile std::sig_atomic_t interruption = 0;
extern "C" void sur_interruption(int) {
    interruption = 1;
}

// Loads the exception file into a run list. The values count as millimetres whatever unit the file
// declares; a file in pixels is taken with a note saying so.
std::optional<std::string> charger_exceptions(const std::filesystem::path& fichier,
                                              PageExceptionList& liste) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fichier, ec))
        return "Fichier d'exceptions introuvable : " + fichier.string();
    PageExceptionTable table;
    const ChargementCup c = charger_fichier_cup(
        fichier, kUniteMillimetres, [](const Message&) { return true; }, table);
    if (!c.charge) {
        std::string raison = "Fichier d'exceptions " + fichier.string() + " refusé";
        if (c.message) raison += " : " + message_sur_une_ligne(*c.message);
        return raison;
    }
    if (c.basculer_unite)
        std::fprintf(stderr,
                     "Remarque : les valeurs de %s sont déclarées en pixels ; la reconstitution "
                     "les prend en millimètres.\n",
                     fichier.string().c_str());
    liste = reconstruire_liste(table);
    return std::nullopt;
}

}  // namespace

int commande_reconstituer(const std::vector<std::string>& args) {
    Options o;
    if (const auto raison = lire_options(args, o)) {
        std::fprintf(stderr, "%s\n« vellumor-cli reconstituer --aide » décrit les options.\n",
                     raison->c_str());
        return 2;
    }
    if (o.pages.aide) {
        std::fputs(kAide, stdout);
        return 0;
    }
    const ListeOuErreur liste = construire_liste(o.pages);
    if (!liste.erreur.empty()) {
        std::fprintf(stderr, "%s\n", liste.erreur.c_str());
        return 2;
    }
    PageExceptionList exceptions;
    if (!o.exceptions.empty()) {
        if (const auto raison = charger_exceptions(o.exceptions, exceptions)) {
            std::fprintf(stderr, "%s\n", raison->c_str());
            return 2;
        }
    }
    std::vector<std::string> noms;
    for (const EntreeImage& e : liste.liste) noms.push_back(e.Fichier.filename().string());
    const LignesFixes lignes(noms);
    ProgressionTerminal progression(stdout, stderr, std::int64_t(liste.liste.size()),
                                    isatty(STDERR_FILENO) != 0, o.pages.silencieux);
    interruption = 0;
    const auto ancien_int = std::signal(SIGINT, sur_interruption);
    const auto ancien_term = std::signal(SIGTERM, sur_interruption);
    rc::Reconstitution run(liste.liste, o.parametres, exceptions, lignes, progression);
    if (const auto refus = run.demarrer()) {
        std::fprintf(stderr, "%s\n", message_sur_une_ligne(*refus).c_str());
        std::signal(SIGINT, ancien_int);
        std::signal(SIGTERM, ancien_term);
        return 1;
    }
    bool annonce = false;
    while (!run.attendre_pour(std::chrono::milliseconds(100))) {
        if (interruption && !annonce) {
            run.arreter();
            annonce = true;
            progression.effacer_barre();
            std::fprintf(stderr,
                         "Interruption : les pages en cours sont terminées, les suivantes "
                         "restent inchangées\n");
        }
    }
    run.attendre();
    std::signal(SIGINT, ancien_int);
    std::signal(SIGTERM, ancien_term);
    progression.effacer_barre();

    const rc::FinReconstitution fin = run.fin();
    if (const auto m = rc::message_de_fin(fin)) {
        if (!o.pages.silencieux) {
            std::printf("%s\n", progression.dernier_entete().c_str());
            std::printf("%s\n", m->texte.substr(1).c_str());
        }
    }
    return fin == rc::FinReconstitution::Terminee && progression.echecs() == 0 ? 0 : 1;
}

}  // namespace vellumor::cli
