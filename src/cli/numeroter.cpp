#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/options.h"
#include "cli/page_operations.h"
#include "cli/page_options.h"
#include "cli/page_run.h"
#include "cli/signals.h"
#include "cli/terminal_progress.h"
#include "common/system_error.h"
#include "ops/numbering/numbering_worker.h"
#include "ops/numbering/stamp_files.h"
#include "settings/temp_folder.h"

namespace vellumor::cli {

using namespace vellumor::numbering;

namespace {

struct OptionsNumeroter {
    OptionsPages pages;
    std::optional<std::int64_t> debut;
    PositionNumero position = PositionNumero::BasDroite;
    ModeleNumero modele = ModeleNumero::RectangleBlanc;
    ParametresNumerotation parametres;
    std::optional<std::filesystem::path> dossier;
    // The five distances as read, before they are put into parametres.
    std::optional<std::int64_t> distances[std::size(kPlagesNumerotation)];
};

const DescriptionCommande kDescription = {
    "numeroter",
    "--debut N [OPTIONS] [--liste LISTE.txt] [FICHIER|DOSSIER...]",
    "Colle le numéro de page sur chaque image, de N (première image de la liste) à\n"
    "N + nombre d'images - 1, et écrit les pages numérotées « Img__<numéro>.png » dans le\n"
    "dossier temporaire ; les fichiers sources ne sont pas modifiés. Les images de --liste\n"
    "gardent l'ordre du fichier liste, les autres sont triées par leur numéro de fin de nom ;\n"
    "un dossier donné en argument vaut ses fichiers .png.",
    "",
    "toutes les pages sont écrites",
    "une page au moins est en échec, ou le traitement a été interrompu",
};

TableOptions table_numeroter(OptionsNumeroter& o) {
    TableOptions t;
    // Beyond 9 digits the request is refused with the window's message, by refus_demande.
    t.entier({"--debut"}, "N", "premier numéro de page, obligatoire (0 à 999999999)", Plage{},
             o.debut);
    t.choix<PositionNumero>({"--position"}, "P",
                            "bas-droite (défaut), bas-centre, haut-droite, haut-centre ; à\n"
                            "droite : les fichiers de numéro pair ont le numéro à gauche",
                            {{"bas-droite", PositionNumero::BasDroite},
                             {"bas-centre", PositionNumero::BasCentre},
                             {"haut-droite", PositionNumero::HautDroite},
                             {"haut-centre", PositionNumero::HautCentre}},
                            "Position inconnue", o.position);
    t.choix<ModeleNumero>({"--modele"}, "M",
                          "rectangle-blanc (défaut, cadre noir), rectangle-noir, disque,\nanneau",
                          {{"disque", ModeleNumero::Disque},
                           {"rectangle-noir", ModeleNumero::RectangleNoir},
                           {"rectangle-blanc", ModeleNumero::RectangleBlanc},
                           {"anneau", ModeleNumero::Anneau}},
                          "Modèle inconnu", o.modele);
    // The ranges are the numbering window's; the operation's own validation refuses a value out of
    // them, naming the window's field.
    for (std::size_t i = 0; i < std::size(numbering::kOptions); ++i)
        t.entier(numbering::kOptions[i], "PIXELS", o.distances[i], true, false);
    t.chemin({"--dossier", "--temp"}, "DOSSIER",
             "dossier des pages numérotées (défaut : dossier temporaire de\nl'utilisateur, "
             "$XDG_RUNTIME_DIR/Vellumor ou /tmp/Vellumor-<uid>)",
             o.dossier);
    options_pages(t, o.pages, false, false);
    return t;
}

void afficher(const std::vector<Message>& messages) {
    for (const Message& m : messages)
        std::fprintf(stderr, "%s\n", message_sur_une_ligne(m).c_str());
}

}  // namespace

int commande_numeroter(const std::vector<std::string>& args) {
    OptionsNumeroter o;
    Arguments a;
    if (const auto fin = lire_arguments(args, kDescription, table_numeroter(o), a)) return *fin;
    for (std::size_t i = 0; i < std::size(kPlagesNumerotation); ++i)
        if (o.distances[i]) o.parametres.*kPlagesNumerotation[i].champ = *o.distances[i];
    if (const Verdict v = valider(o.parametres); !v)
        return erreur_usage(kDescription.nom, v.raison());
    for (const std::string& f : a.operandes) o.pages.fichiers.emplace_back(f);
    const ListeOuErreur l = construire_liste(o.pages);
    if (!l.erreur.empty()) return erreur_usage(kDescription.nom, l.erreur);
    if (auto refus = refus_demande(o.debut, l.liste.size())) {
        const std::string raison = !refus->texte.empty() ? refus->texte
                                   : o.debut ? "un numéro de début 0 demande au moins deux images"
                                             : "--debut N manque";
        refus->texte.clear();
        std::fprintf(stderr, "%s (%s)\n", message_sur_une_ligne(*refus).c_str(), raison.c_str());
        return 2;
    }
    // From the first folder made to the work folder's removal, a signal ends the run cleanly.
    const GardeSignaux signaux;
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
    r.dossier = o.dossier.value_or(temporaire.chemin);
    r.dossier_travail = travail.chemin();
    std::error_code ec;
    std::filesystem::create_directories(r.dossier, ec);
    if (!std::filesystem::is_directory(r.dossier)) {
        std::fprintf(stderr, "Le dossier des pages numérotées « %s » n'a pas pu être créé (%s)\n",
                     texte_affichable(r.dossier.string()).c_str(),
                     ec ? raison_systeme(ec.value()).c_str() : "ce n'est pas un dossier");
        return 1;
    }
    ResultatTampons tampons;
    {
        const std::optional<PoliceTampon> police = PoliceTampon::charger();
        DemandeTampons d{r.debut, r.fin, o.modele, int(o.parametres.epaisseur),
                         int(o.parametres.espacement)};
        d.arret = &interruption_demandee();
        tampons = construire_tampons(police ? &*police : nullptr, d, r.dossier_travail);
    }
    liberer_caches_polices();  // the stamps are files now; nothing draws text any more
    afficher(tampons.messages);
    if (tampons.abandon) return 1;
    r.taille_tampons = tampons.taille_empaquetee();

    OperationPages operation = operation_pages(numbering::kDescription,
                                               [r](Travailleur& t) { travail_numerotation(t, r); });
    operation.etape.clear();
    const int status = executer_pages(l.liste, {operation}, o.pages.silencieux);
    terminer_numerotation(r);
    if (!o.pages.silencieux)
        std::printf("Pages numérotées dans %s\n", texte_affichable(r.dossier.string()).c_str());
    return status == 0 && tampons.messages.empty() ? 0 : 1;
}

}  // namespace vellumor::cli
