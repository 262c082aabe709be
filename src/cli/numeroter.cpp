#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/system_error.h"
#include "cli/command.h"
#include "cli/page_options.h"
#include "cli/page_run.h"
#include "cli/signals.h"
#include "cli/terminal_progress.h"
#include "ops/numbering/numbering_worker.h"
#include "ops/numbering/stamp_files.h"
#include "settings/temp_folder.h"

namespace vellumor::cli {

using namespace vellumor::numbering;

namespace {

const char* const kAide =
    "Utilisation : vellumor-cli numeroter --debut N [OPTIONS] [--liste LISTE.txt] [FICHIER...]\n"
    "\n"
    "Colle le numéro de page sur chaque image, de N (première image de la liste) à\n"
    "N + nombre d'images - 1, et écrit les pages numérotées « Img__<numéro>.png » dans le\n"
    "dossier temporaire ; les fichiers sources ne sont pas modifiés. Les images de --liste\n"
    "gardent l'ordre du fichier liste, les autres sont triées par leur numéro de fin de nom.\n"
    "\n"
    "Options :\n"
    "  --debut N            premier numéro de page (obligatoire, 0 à 999999999)\n"
    "  --position P         bas-droite (défaut), bas-centre, haut-droite, haut-centre ; à\n"
    "                       droite : les fichiers de numéro pair ont le numéro à gauche\n"
    "  --modele M           rectangle-blanc (défaut, cadre noir), rectangle-noir, disque,\n"
    "                       anneau\n"
    "  --offset-x PIXELS    distance au bord de la page, côté (50 à 600, défaut 50)\n"
    "  --offset-y PIXELS    distance au bord haut ou bas (50 à 600, défaut 50)\n"
    "  --epaisseur PIXELS   épaisseur du cadre (5 à 150, défaut 5)\n"
    "  --espacement PIXELS  espace entre le cadre et le numéro (5 à 200, défaut 5)\n"
    "  --reliure PIXELS     offset de reliure des pages paires (30 à 500, défaut 30)\n"
    "  --dossier DOSSIER    dossier des pages numérotées (défaut : dossier temporaire de\n"
    "                       l'utilisateur, $XDG_RUNTIME_DIR/Vellumor ou /tmp/Vellumor-<uid>) ;\n"
    "                       --temp est un autre nom de cette option\n"
    "  --liste LISTE.txt    fichier liste des images (UTF-8 avec BOM ou UTF-16LE)\n"
    "  --silencieux         n'affiche que les erreurs\n"
    "\n"
    "Code de sortie : 0 toutes les pages écrites, 1 une page au moins en échec, 2 erreur\n"
    "d'utilisation.\n";

struct OptionsNumeroter {
    OptionsPages pages;
    std::optional<std::int64_t> debut;
    PositionNumero position = PositionNumero::BasDroite;
    ModeleNumero modele = ModeleNumero::RectangleBlanc;
    ParametresNumerotation parametres;
    std::filesystem::path dossier;
    std::string erreur;
};

std::optional<std::int64_t> naturel(const std::string& s) {
    std::int64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || s[0] == '-' || ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return v;
}

template <typename T>
std::optional<T> choix(const std::string& v, std::initializer_list<std::pair<const char*, T>> l) {
    for (const auto& [name, value] : l)
        if (v == name) return value;
    return std::nullopt;
}

OptionsNumeroter analyser(const std::vector<std::string>& args) {
    OptionsNumeroter o;
    std::vector<std::string> rest;  // what the page commands' reader takes: files, --liste ...
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::int64_t ParametresNumerotation::*distance = nullptr;
        if (arg == "--offset-x") distance = &ParametresNumerotation::offset_x;
        if (arg == "--offset-y") distance = &ParametresNumerotation::offset_y;
        if (arg == "--epaisseur") distance = &ParametresNumerotation::epaisseur;
        if (arg == "--espacement") distance = &ParametresNumerotation::espacement;
        if (arg == "--reliure") distance = &ParametresNumerotation::reliure;
        const bool takes_value = distance || arg == "--debut" || arg == "--position" ||
                                 arg == "--modele" || arg == "--dossier" || arg == "--temp";
        if (arg == "--") {
            rest.insert(rest.end(), args.begin() + std::ptrdiff_t(i), args.end());
            break;
        }
        if (!takes_value) {
            rest.push_back(arg);
            if (arg == "--liste" && i + 1 < args.size()) rest.push_back(args[++i]);
            continue;
        }
        if (i + 1 >= args.size()) {
            o.erreur = "L'option " + arg + " attend une valeur";
            return o;
        }
        const std::string& v = args[++i];
        if (distance || arg == "--debut") {
            const auto n = naturel(v);
            if (!n) {
                o.erreur = "Valeur invalide pour " + arg + " : « " + v +
                           " » (un nombre entier positif est attendu)";
                return o;
            }
            if (distance)
                o.parametres.*distance = *n;
            else
                o.debut = *n;
        } else if (arg == "--position") {
            const auto p = choix<PositionNumero>(v, {{"bas-droite", PositionNumero::BasDroite},
                                                     {"bas-centre", PositionNumero::BasCentre},
                                                     {"haut-droite", PositionNumero::HautDroite},
                                                     {"haut-centre", PositionNumero::HautCentre}});
            if (!p) {
                o.erreur = "Position inconnue : « " + v +
                           " » (bas-droite, bas-centre, haut-droite ou haut-centre)";
                return o;
            }
            o.position = *p;
        } else if (arg == "--modele") {
            const auto m =
                choix<ModeleNumero>(v, {{"disque", ModeleNumero::Disque},
                                        {"rectangle-noir", ModeleNumero::RectangleNoir},
                                        {"rectangle-blanc", ModeleNumero::RectangleBlanc},
                                        {"anneau", ModeleNumero::Anneau}});
            if (!m) {
                o.erreur = "Modèle inconnu : « " + v +
                           " » (disque, rectangle-noir, rectangle-blanc ou anneau)";
                return o;
            }
            o.modele = *m;
        } else {
            o.dossier = v;
        }
    }
    const AnalyseOptions pages = analyser_options(rest, false);
    o.pages = pages.options;
    o.erreur = pages.erreur;
    if (o.erreur.empty())
        if (auto refus = valider(o.parametres)) o.erreur = *refus;
    return o;
}

void afficher(const std::vector<Message>& messages) {
    for (const Message& m : messages)
        std::fprintf(stderr, "%s\n", message_sur_une_ligne(m).c_str());
}

}  // namespace

int commande_numeroter(const std::vector<std::string>& args) {
    const OptionsNumeroter o = analyser(args);
    if (!o.erreur.empty()) {
        std::fprintf(stderr, "%s\n« vellumor-cli numeroter --aide » décrit les options.\n",
                     o.erreur.c_str());
        return 2;
    }
    if (o.pages.aide) {
        std::fputs(kAide, stdout);
        return 0;
    }
    const ListeOuErreur l = construire_liste(o.pages);
    if (!l.erreur.empty()) {
        std::fprintf(stderr, "%s\n", texte_affichable(l.erreur).c_str());
        return 2;
    }
    if (auto refus = refus_demande(o.debut, l.liste.size())) {
        const std::string raison = !refus->texte.empty() ? refus->texte
                                   : o.debut ? "un numéro de début 0 demande au moins deux images"
                                             : "--debut N manque";
        refus->texte.clear();
        std::fprintf(stderr, "%s (%s)\n", message_sur_une_ligne(*refus).c_str(), raison.c_str());
        return 2;
    }
    // Stamps and other work files live in a folder of this run only, inside the user's private
    // temporary folder: another user cannot plant links there, and a second run cannot delete
    // this one's stamps.
    const DossierPrive temporaire = dossier_temporaire_prive();
    if (!temporaire) {
        std::fprintf(stderr, "%s\n", texte_affichable(temporaire.erreur).c_str());
        return 1;
    }
    const DossierTravail travail(temporaire.chemin, "numerotation");
    if (travail.chemin().empty()) {
        std::fprintf(stderr, "%s\n", texte_affichable(travail.erreur()).c_str());
        return 1;
    }

    ReglagesNumerotation r;
    r.debut = *o.debut;
    r.fin = *o.debut + std::int64_t(l.liste.size()) - 1;
    r.position = o.position;
    r.parametres = o.parametres;
    r.dossier = o.dossier.empty() ? temporaire.chemin : o.dossier;
    std::error_code ec;
    std::filesystem::create_directories(r.dossier, ec);
    if (!std::filesystem::is_directory(r.dossier)) {
        std::fprintf(stderr, "Le dossier des pages numérotées « %s » n'a pas pu être créé (%s)\n",
                     texte_affichable(r.dossier.string()).c_str(),
                     ec ? raison_systeme(ec.value()).c_str() : "ce n'est pas un dossier");
        return 1;
    }
    r.dossier_travail = travail.chemin();
    ResultatTampons tampons;
    {
        const GardeSignaux signaux;
        const std::optional<PoliceTampon> police = PoliceTampon::charger();
        tampons = construire_tampons(police ? &*police : nullptr,
                                     {r.debut, r.fin, o.modele, int(o.parametres.epaisseur),
                                      int(o.parametres.espacement), &interruption()},
                                     r.dossier_travail);
    }
    liberer_caches_polices();  // the stamps are files now; nothing draws text any more
    afficher(tampons.messages);
    if (tampons.abandon) return 1;
    r.taille_tampons = tampons.taille_empaquetee();

    const OperationPages operation{constantes_numerotation(),
                                   [r](Travailleur& t) { travail_numerotation(t, r); },
                                   kTexteFinNumerotation};
    const int status = executer_pages(l.liste, {operation}, o.pages.silencieux);
    terminer_numerotation(r);
    if (!o.pages.silencieux)
        std::printf("Pages numérotées dans %s\n", texte_affichable(r.dossier.string()).c_str());
    return status == 0 && tampons.messages.empty() ? 0 : 1;
}

}  // namespace vellumor::cli
