#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "batch/originaux.h"
#include "batch/progress.h"
#include "cli/command.h"
#include "cli/options.h"
#include "cli/page_options.h"
#include "cli/page_run.h"
#include "cli/signals.h"
#include "cli/terminal_progress.h"
#include "cli/texte_terminal.h"
#include "common/regular_file.h"
#include "ops/exceptions/cup_file.h"
#include "ops/exceptions/page_exception.h"
#include "ops/reconstitution/execution.h"
#include "ops/reconstitution/format.h"
#include "ops/reconstitution/parameters.h"
#include "ops/reconstitution/placement.h"
#include "ops/reconstitution/textes.h"

namespace vellumor::cli {
namespace {

namespace rc = reconstitution;
using namespace vellumor::exceptions;

const DescriptionCommande kDescription = {
    "reconstituer",
    "[OPTIONS] FICHIER|DOSSIER...",
    "Place chaque page sur une page vierge d'un format d'impression à 600 dpi et l'écrit à la\n"
    "place du fichier source. Les pages sont centrées, sauf pour les offsets donnés.",
    "Les noms de fichier (sans extension) doivent se terminer par le numéro de page ; un dossier\n"
    "donné en argument vaut ses fichiers .png. Ctrl-C arrête le traitement après les pages en\n"
    "cours d'écriture.",
    "toutes les pages sont écrites",
    "une page au moins a échoué, ou la reconstitution a été refusée ou interrompue",
};

const std::vector<std::pair<std::string, int>> kFormats = {
    {"bulletin-nb", rc::kFormatBulletinNB},
    {"bulletin-couleur", rc::kFormatBulletinCouleur},
    {"a4-nb", rc::kFormatA4NB},
    {"a4-gris", rc::kFormatA4Gris},
    {"a4-couleur", rc::kFormatA4Couleur}};

const std::vector<std::pair<std::string, std::int64_t>> kCoins = {
    {"haut-gauche", rc::kCoinHautGauche},
    {"haut-droit", rc::kCoinHautDroit},
    {"bas-gauche", rc::kCoinBasGauche},
    {"bas-droit", rc::kCoinBasDroit}};

struct Options {
    rc::Parametres parametres;
    std::optional<std::filesystem::path> exceptions;
    OptionsPages pages;  // files, list file, --silencieux
    std::optional<std::int64_t> decalage_haut, decalage_reliure;
    std::int64_t coin = rc::kCoinHautGauche;
    bool format_donne = false;
};

std::string noms_formats() {
    std::string t;
    for (const auto& [nom, numero] : kFormats) t += (t.empty() ? "" : ", ") + nom;
    return t;
}

TableOptions table_reconstituer(Options& o) {
    TableOptions t;
    const auto un_seul_format = [&o]() -> std::optional<std::string> {
        if (o.format_donne) return "Un seul format ou une seule page vierge peut être donné";
        o.format_donne = true;
        return std::nullopt;
    };
    std::vector<std::string> mots;
    for (const auto& [nom, numero] : kFormats) mots.push_back(nom);
    t.ajouter({{"--format"},
               "NOM",
               noms_formats() + "\n(ou le numéro " + std::to_string(rc::kFormatBulletinNB) + " à " +
                   std::to_string(rc::kFormatA4Couleur) + ") ; " + kFormats.front().first +
                   " par défaut",
               [&o, un_seul_format, mots](const std::string& v) -> std::optional<std::string> {
                   std::optional<int> format;
                   for (const auto& [nom, numero] : kFormats)
                       if (v == nom) format = numero;
                   const auto n = lire_entier_decimal(v);
                   if (!format && n && *n >= rc::kFormatBulletinNB && *n <= rc::kFormatA4Couleur)
                       format = int(*n);
                   if (!format) return TableOptions::refus_choix("Format inconnu", v, mots);
                   if (auto refus = un_seul_format()) return refus;
                   o.parametres.format = *format;
                   return std::nullopt;
               }});
    t.ajouter({{"--page-vierge"},
               "FICHIER",
               "page vierge prise dans ce fichier PNG (seule sa taille compte)",
               [&o, un_seul_format](const std::string& v) -> std::optional<std::string> {
                   if (auto refus = un_seul_format()) return refus;
                   o.parametres.format = rc::kFormatFichier;
                   o.parametres.page_vierge = v;
                   return std::nullopt;
               }});
    t.entier(rc::kOptionDecalageHaut, "MM", o.decalage_haut, false);
    t.entier(rc::kOptionDecalageReliure, "MM", o.decalage_reliure, false);
    t.choix<std::int64_t>({"--coin"}, "COIN",
                          "haut-gauche (défaut), haut-droit, bas-gauche, bas-droit ;\nhaut-droit "
                          "inverse le bord de reliure des pages paires et impaires",
                          kCoins, "Coin inconnu", o.coin);
    t.drapeau({"--aligner-gauche"}, "toutes les pages reliées à gauche, comme les pages impaires",
              o.parametres.aligner_a_gauche);
    t.chemin({"--exceptions"}, "FICHIER", "fichier .cup des pages d'exception", o.exceptions);
    options_pages(t, o.pages, false);
    return t;
}

// Loads the exception file into a run list. The values count as millimetres whatever unit the file
// declares; a file in pixels is taken with a note saying so.
std::optional<std::string> charger_exceptions(const std::filesystem::path& fichier,
                                              PageExceptionList& liste) {
    if (const OpenResult ouvert = open_regular_file(fichier); !ouvert) {
        if (ouvert.error == OpenError::Missing)
            return "Fichier d'exceptions introuvable : " + fichier.string();
        return "Fichier d'exceptions " + fichier.string() + " refusé : " + ouvert.message;
    }
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
    Arguments a;
    if (const auto fin = lire_arguments(args, kDescription, table_reconstituer(o), a)) return *fin;
    if (o.decalage_haut) {
        o.parametres.decalage_haut = *o.decalage_haut;
        o.parametres.bits |= rc::kBitHaut;
    }
    if (o.decalage_reliure) {
        o.parametres.decalage_reliure = *o.decalage_reliure;
        o.parametres.bits |= rc::kBitReliure;
    }
    o.parametres.bits = (o.parametres.bits & ~rc::kMasqueCoin) | o.coin;
    if (const Verdict v = rc::valider(o.parametres); !v)
        return erreur_usage(kDescription.nom, v.raison());
    for (const std::string& f : a.operandes) o.pages.fichiers.emplace_back(f);
    const ListeOuErreur liste = construire_liste(o.pages);
    if (!liste.erreur.empty()) return erreur_usage(kDescription.nom, liste.erreur);
    // A blank page that is not a file is told now, with its reason, rather than by the workers.
    if (o.parametres.format == rc::kFormatFichier) {
        if (const OpenResult ouvert = open_regular_file(o.parametres.page_vierge);
            ouvert.error == OpenError::NotRegular) {
            std::fprintf(stderr, "Page vierge %s refusée : %s\n",
                         o.parametres.page_vierge.string().c_str(), ouvert.message.c_str());
            return 2;
        }
    }
    PageExceptionList exceptions;
    if (o.exceptions) {
        if (const auto raison = charger_exceptions(*o.exceptions, exceptions)) {
            std::fprintf(stderr, "%s\n", raison->c_str());
            return 2;
        }
    }
    std::vector<std::string> noms;
    for (const EntreeImage& e : liste.liste) noms.push_back(e.Fichier.filename().string());
    const LignesFixes lignes(noms);
    ProgressionTerminal progression(stdout, stderr, std::int64_t(liste.liste.size()),
                                    isatty(STDERR_FILENO) != 0, o.pages.silencieux);
    const GardeSignaux signaux;
    std::optional<Originaux> originaux;
    if (!o.pages.sans_originaux) {
        std::vector<std::filesystem::path> pages;
        for (const EntreeImage& e : liste.liste) pages.push_back(e.Fichier);
        if (const auto refus = Originaux::refus_avant_execution(pages)) {
            std::fprintf(stderr, "%s\n", texte_terminal(*refus).c_str());
            return 1;
        }
    }
    rc::Reconstitution run(liste.liste, o.parametres, exceptions, lignes, progression);
    if (!o.pages.sans_originaux) run.garder_originaux(&originaux.emplace(kOperationReconstitution));
    if (const auto refus = run.demarrer()) {
        std::fprintf(stderr, "%s\n", message_sur_une_ligne(*refus).c_str());
        return 1;
    }
    attendre_fin(run, progression, originaux, std::chrono::milliseconds(100),
                 "Interruption : les pages en cours sont terminées, les suivantes restent "
                 "inchangées");

    const rc::FinReconstitution fin = run.fin();
    const std::vector<std::filesystem::path> ecrites = run.pages_ecrites();
    if (fin == rc::FinReconstitution::Arretee) {
        std::fprintf(
            stderr, "%s\n",
            texte_interruption(progression.traites(), std::int64_t(liste.liste.size())).c_str());
        // Reconstituting a page twice moves it twice: the user needs to know which are done.
        std::fputs(rc::texte_pages_ecrites(ecrites).c_str(), stderr);
    } else if (const auto m = rc::message_de_fin(fin)) {
        if (!o.pages.silencieux) {
            std::printf("%s\n", progression.dernier_entete().c_str());
            std::printf("%s\n", m->texte.substr(1).c_str());
            if (originaux)
                for (const std::filesystem::path& d : originaux->dossiers())
                    std::printf("%s\n", texte_terminal(texte_originaux_gardes(d)).c_str());
        }
    }
    // A page left unwritten (off its format, hard-linked) is not processed either.
    return fin == rc::FinReconstitution::Terminee && progression.echecs() == 0 &&
                   ecrites.size() == liste.liste.size()
               ? 0
               : 1;
}

}  // namespace vellumor::cli
