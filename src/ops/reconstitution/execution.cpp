#include "ops/reconstitution/execution.h"

#include "batch/image.h"
#include "batch/lot_fichiers.h"
#include "batch/originaux.h"
#include "batch/png_io.h"
#include "ops/reconstitution/format.h"
#include "ops/reconstitution/page_vierge.h"
#include "ops/reconstitution/repartition.h"
#include "ops/reconstitution/textes.h"

namespace vellumor::reconstitution {

namespace {

bool finit_par_un_chiffre(const std::filesystem::path& fichier) {
    const std::string stem = fichier.stem().string();
    return !stem.empty() && stem.back() >= '0' && stem.back() <= '9';
}

Lot_Fichiers lot_de(const ListeImages& liste, const std::vector<std::size_t>& positions,
                    std::int64_t evenement) {
    Lot_Fichiers lot;
    lot.Evenement_Fin = evenement;
    for (std::size_t i : positions) lot.Fichiers.push_back({liste[i].Fichier, std::int64_t(i)});
    return lot;
}

}  // namespace

struct Reconstitution::Etat {
    Etat(const ListeImages& l, Parametres p, const exceptions::PageExceptionList& e,
         const ListeLignes& lg, Progression& pr, const std::atomic<int>* f)
        : liste(l),
          parametres(std::move(p)),
          placement(placement_de(parametres)),
          exceptions(e),
          lignes(lg),
          progression(pr),
          format(f) {}

    int format_courant() const { return format ? format->load() : parametres.format; }

    // The body of one worker thread on its record.
    void travailler(Travailleur& t, Ouvrier ouvrier);
    // Draws one file onto the blank page and writes it over its source; false ends the worker.
    bool reconstituer_fichier(Travailleur& t, Ouvrier ouvrier, Image& vierge, std::size_t i);

    ListeImages liste;
    Parametres parametres;
    Placement placement;
    const exceptions::PageExceptionList& exceptions;
    const ListeLignes& lignes;
    Progression& progression;
    const std::atomic<int>* format;
    Originaux* originaux = nullptr;
    std::optional<ExecutionLot> execution;
    std::atomic<bool> page_vierge_impossible{false};
    std::atomic<bool> arret{false};
    bool refusee = false;
    std::vector<std::filesystem::path> pages_ecrites;  // guarded by the run's mutex
};

void Reconstitution::Etat::travailler(Travailleur& t, Ouvrier ouvrier) {
    {
        auto v = t.verrou();
        t.debuter_entete(v);
        if (liste.size() != 1) t.progression().texte_entete(texte_nombre_fichiers(liste.size()));
    }
    if (t.lot().Fichiers.empty()) {
        t.poster_fin();
        return;
    }
    std::optional<Image> vierge = construire_page_vierge(format_courant(), parametres.page_vierge);
    if (!vierge) {
        page_vierge_impossible = true;
        auto v = t.verrou();
        if (t.lignes_depart() > 0) t.icone(v, 0, kIconeEchec);
        t.progression().message(message_page_vierge(ouvrier == Ouvrier::LieAGauche));
        return;  // the run is reset without its done events
    }
    for (std::size_t i = 0; i < t.lot().Fichiers.size(); ++i) {
        if (t.arret_demande()) break;
        if (!reconstituer_fichier(t, ouvrier, *vierge, i)) break;
    }
    t.poster_fin();
}

bool Reconstitution::Etat::reconstituer_fichier(Travailleur& t, Ouvrier ouvrier, Image& vierge,
                                                std::size_t i) {
    Lot_Fichiers& lot = t.lot();
    const std::filesystem::path& source = lot.Fichiers[i].Fichier;
    std::int64_t ligne;
    {
        // The record and the reports are shared with the other worker and the front: under the
        // run's mutex, as in every other operation.
        auto v = t.verrou();
        lot.Fichier_Courant = i;
        ligne = t.ligne_du_fichier(v, i, true);
        if (ligne >= 0) lot.First_ListIndex = ligne;
        t.progression().fichier_commence(source);
    }
    const auto echec = [&](const std::string& raison) {
        auto v = t.verrou();
        t.icone(v, ligne, kIconeEchec);
        t.progression().fichier_fini(source, IssueFichier::Echec, raison);
    };

    // The source stays locked until its result is written: another Vellumor run leaves it alone.
    const LoadResult page = load_png_locked(source);
    if (!page) {
        echec(page.message.empty() ? "Impossible de charger l'image" : page.message);
        return true;
    }
    std::optional<DrawingTarget> cible(std::in_place, vierge);
    if (!cible->active()) {
        echec("Impossible de dessiner sur la page vierge");
        return true;
    }
    {
        auto v = t.verrou();
        t.icone(v, ligne, kIconeEnCours);
    }
    std::optional<DecalagesPage> exception;
    if (!exceptions.empty()) {
        if (!finit_par_un_chiffre(source)) {
            {
                auto v = t.verrou();
                t.progression().message(message_nom_sans_numero(source.filename().string()));
            }
            echec("Le nom du fichier ne se termine pas par un numéro");
            return false;
        }
        const exceptions::PageException* trouvee =
            trouver_exception(exceptions, entree_pour(source).Numero);
        if (trouvee) exception = DecalagesPage{trouvee->OffsetX, trouvee->OffsetY};
    }
    const Position pos =
        position_page(placement, ouvrier, {vierge.width(), vierge.height()}, page.image->width(),
                      page.image->height(), exception, exceptions.empty());
    if (!tombe_sur_la_page(pos, page.image->width(), page.image->height(), vierge.width(),
                           vierge.height())) {
        // Writing it would give an all-white page over the source.
        auto v = t.verrou();
        t.icone(v, ligne, kIconeEchec);
        t.progression().fichier_fini(source, IssueFichier::NonEcrit, kTexteHorsFormat);
        return true;
    }
    cible->image().draw(*page.image, pos.x, pos.y);
    cible.reset();

    // Through a temporary file: a failed save leaves the source as it was, marked and not counted.
    ReplaceOptions options;
    options.expected = page.identity;
    if (t.originaux()) options = t.originaux()->options(page.identity);
    const ResultatPage enregistre =
        enregistrer_page(vierge, source, profondeur_sauvegarde(format_courant()), options);
    if (t.originaux() && enregistre.issue == IssueFichier::Ecrit)
        t.originaux()->noter_resultat(source);
    if (i + 1 < t.lot().Fichiers.size()) blanchir(vierge);
    auto v = t.verrou();
    t.icone(v, ligne, enregistre.icone);
    if (enregistre.compte) t.compter_fichier(v);
    if (enregistre.issue == IssueFichier::Ecrit) pages_ecrites.push_back(source);
    t.progression().fichier_fini(source, enregistre.issue, enregistre.raison);
    return true;
}

Reconstitution::Reconstitution(const ListeImages& liste, Parametres parametres,
                               const exceptions::PageExceptionList& exceptions,
                               const ListeLignes& lignes, Progression& progression,
                               const std::atomic<int>* format)
    : etat_(std::make_unique<Etat>(liste, std::move(parametres), exceptions, lignes, progression,
                                   format)) {}

Reconstitution::~Reconstitution() {
    attendre();
}

void Reconstitution::garder_originaux(Originaux* originaux) {
    etat_->originaux = originaux;
}

std::optional<Message> Reconstitution::demarrer() {
    Etat& e = *etat_;
    const RepartitionNoms r = repartir_par_dernier_chiffre(e.liste);
    if (auto refus = message_noms_refuses(r.refuses)) {
        e.refusee = true;
        return refus;
    }
    PaireLots lots{lot_de(e.liste, r.paires, kDescription.evenement_fin_paire),
                   lot_de(e.liste, r.impaires, kDescription.evenement_fin_impaire)};
    ParametresExecution p;
    p.lignes = &e.lignes;
    p.progression = &e.progression;
    p.nombre_fichiers = std::int64_t(e.liste.size());
    p.originaux = e.originaux;
    p.texte_entete = [](std::int64_t n, std::int64_t k, std::int64_t m) {
        return entete_progression(base_entete(std::size_t(n)), k, std::size_t(m));
    };
    e.execution.emplace(std::move(lots), std::move(p));
    const Ouvrier ouvrier_pair =
        e.parametres.aligner_a_gauche ? Ouvrier::LieAGauche : Ouvrier::LieADroite;
    const Verdict demarre = e.execution->demarrer([&e, ouvrier_pair](Travailleur& t) {
        e.travailler(t, t.est_pair() ? ouvrier_pair : Ouvrier::LieAGauche);
    });
    if (!demarre) {
        e.execution.reset();
        Message m;
        m.kind = Message::Kind::Simple;
        m.titre = "Erreur";
        m.texte = "Impossible de démarrer les traitements de reconstitution";
        return m;
    }
    return std::nullopt;
}

void Reconstitution::arreter() {
    etat_->arret = true;
    if (etat_->execution) etat_->execution->arreter();
}

bool Reconstitution::attendre_pour(std::chrono::milliseconds d) {
    return !etat_->execution || etat_->execution->attendre_pour(d);
}

void Reconstitution::attendre() {
    if (etat_->execution) etat_->execution->attendre();
}

std::vector<std::filesystem::path> Reconstitution::pages_ecrites() const {
    const Etat& e = *etat_;
    if (!e.execution) return {};
    VerrouMutex v(e.execution->mutex());
    return e.pages_ecrites;
}

FinReconstitution Reconstitution::fin() const {
    const Etat& e = *etat_;
    if (e.refusee) return FinReconstitution::Refusee;
    if (e.page_vierge_impossible) return FinReconstitution::PageVierge;
    if (e.arret) return FinReconstitution::Arretee;
    return FinReconstitution::Terminee;
}

std::optional<Message> message_de_fin(FinReconstitution fin) {
    if (fin == FinReconstitution::Arretee) return message_fin(true);
    if (fin == FinReconstitution::Terminee) return message_fin(false);
    return std::nullopt;
}

}  // namespace vellumor::reconstitution
