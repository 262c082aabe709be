#include "batch/batch_run.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <new>
#include <stdexcept>
#include <system_error>

#include "batch/originaux.h"

namespace vellumor {
namespace {

bool memes_noms(const std::string& a, const std::string& b, bool sans_casse) {
    if (!sans_casse) return a == b;
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) == std::tolower(y);
    });
}

}  // namespace

Progression& Travailleur::progression() {
    return *run_.p_.progression;
}

Originaux* Travailleur::originaux() const {
    return run_.p_.originaux;
}

VerrouExecution Travailleur::verrou() {
    return VerrouExecution(run_, run_.mutex_);
}

void Travailleur::verifier(const VerrouExecution& v) const {
    if (v.run_ != &run_) throw std::logic_error("verrou d'une autre exécution");
}

std::int64_t Travailleur::ligne_du_fichier(const VerrouExecution& v, std::size_t i,
                                           bool sans_casse) const {
    verifier(v);
    if (i >= lot_.Fichiers.size()) return -1;
    const FichierLot& f = lot_.Fichiers[i];
    const std::string nom = f.Fichier.filename().string();
    const ListeLignes& lignes = *run_.p_.lignes;
    const std::int64_t n = lignes.nombre_lignes();
    if (f.Ligne >= 0 && f.Ligne < n && memes_noms(lignes.texte_ligne(f.Ligne), nom, sans_casse))
        return f.Ligne;
    for (std::int64_t r = 0; r < n; ++r)
        if (memes_noms(lignes.texte_ligne(r), nom, sans_casse)) return r;
    return -1;
}

void Travailleur::debuter_entete(const VerrouExecution& v) {
    verifier(v);
    lignes_depart_ = run_.p_.lignes->nombre_lignes();
    progression().texte_entete(
        run_.p_.texte_entete(run_.p_.nombre_fichiers, run_.compteur_, lignes_depart_));
}

std::int64_t Travailleur::compter_fichier(const VerrouExecution& v) {
    verifier(v);
    const std::int64_t k = run_.compteur_ + 1;
    progression().texte_entete(run_.p_.texte_entete(run_.p_.nombre_fichiers, k, lignes_depart_));
    run_.compteur_ = k;
    return k;
}

void Travailleur::icone(const VerrouExecution& v, std::int64_t ligne, int icone) {
    verifier(v);
    if (ligne >= 0) progression().icone_ligne(ligne, icone);
}

bool Travailleur::arret_demande() const {
    return run_.arret_.load();
}

void Travailleur::poster_fin() {
    if (fin_postee_) return;
    fin_postee_ = true;
    progression().evenement_fin(lot_.Evenement_Fin);
}

ExecutionLot::ExecutionLot(PaireLots lots, ParametresExecution p)
    : lots_(std::move(lots)), p_(std::move(p)), mutex_(Mutex_Creer()) {}

ExecutionLot::~ExecutionLot() {
    attendre();
    Mutex_Liberer(mutex_);
}

void ExecutionLot::executer(Travailleur& t, const Travail& travail) {
    bool echoue = false;
    std::string panne;
    try {
        travail(t);
    } catch (const std::exception& e) {
        echoue = true;
        try {
            panne = e.what();
        } catch (...) {
        }
    } catch (...) {
        echoue = true;
    }
    if (echoue) {
        // Reporting may fail too (no memory left): the thread still ends, and the done event is
        // still tried, so that the front does not wait for ever.
        try {
            Message m;
            m.kind = Message::Kind::Simple;
            m.titre = "Erreur";
            m.texte = "Le traitement s'est arrêté sur une erreur : " +
                      (panne.empty() ? std::string("erreur inconnue") : panne);
            p_.progression->message(m);
        } catch (...) {
        }
        try {
            t.poster_fin();
        } catch (...) {
        }
    }
    std::lock_guard g(fin_garde_);
    ++fins_;
    fin_signal_.notify_all();
}

Verdict ExecutionLot::demarrer(Travail travail) {
    if (demarre_) return Echec{"Le traitement est déjà lancé"};
    demarre_ = true;
    compteur_ = 0;
    try {
        Mutex_Enregistrer(mutex_, 0);
    } catch (const std::bad_alloc&) {
        // Unregistered, the mutex still guards the run: VerrouMutex locks it all the same.
    }
    // Both threads share one copy of travail, which lives as long as the run.
    auto partage = std::make_shared<Travail>(std::move(travail));
    try {
        fil_pair_ = std::thread([this, partage] { executer(pair_, *partage); });
    } catch (const std::system_error&) {
        return Echec{kFilsNonDemarres};
    }
    try {
        fil_impair_ = std::thread([this, partage] { executer(impair_, *partage); });
    } catch (const std::system_error&) {
        arreter();
        fil_pair_.join();
        return Echec{kFilsNonDemarres};
    }
    return Reussite{};
}

bool ExecutionLot::attendre_pour(std::chrono::milliseconds d) {
    std::unique_lock g(fin_garde_);
    const int attendus = (fil_pair_.joinable() ? 1 : 0) + (fil_impair_.joinable() ? 1 : 0);
    return fin_signal_.wait_for(g, d, [&] { return fins_ >= attendus; });
}

void ExecutionLot::attendre() {
    if (fil_pair_.joinable()) fil_pair_.join();
    if (fil_impair_.joinable()) fil_impair_.join();
}

namespace {

ResultatPage echec(std::string raison) {
    return {kIconeEchec, IssueFichier::Echec, std::move(raison), false};
}

// Load, start drawing, icon 3 and the step of one file; the caller sets the final icon.
ResultatPage traiter_fichier(Travailleur& t, const EtapeFichier& etape,
                             const std::filesystem::path& source, std::int64_t ligne) {
    try {
        LoadResult charge = etape.charger(source);
        if (!charge)
            return echec(charge.message.empty() ? "Impossible de charger l'image" : charge.message);
        std::optional<DrawingTarget> cible;
        cible.emplace(*charge.image);
        if (!cible->active()) return echec("Impossible de dessiner sur l'image");
        {
            auto v = t.verrou();
            t.icone(v, ligne, kIconeEnCours);
        }
        PageEnCours page(*charge.image, source, t, cible, charge.identity);
        return etape.traiter(page);
    } catch (const std::bad_alloc&) {
        return echec("Mémoire insuffisante pour traiter l'image");
    }
}

}  // namespace

ResultatPage enregistrer_page(const Image& image, const std::filesystem::path& destination,
                              int profondeur, const ReplaceOptions& options) {
    const SaveResult r = save_png_over_file(image, destination, profondeur, options);
    if (r) return {};
    if (r.status == ReplaceStatus::HardLinked)
        return {kIconeEchec, IssueFichier::NonEcrit, r.message, false};
    if (r.status == ReplaceStatus::Changed) return echec(r.message);
    return echec("Impossible d'écrire " + destination.filename().string() +
                 (r.message.empty() ? std::string() : " : " + r.message));
}

ResultatPage enregistrer_sur_source(const PageEnCours& page, int profondeur) {
    Originaux* originaux = page.travailleur.originaux();
    if (!originaux) {
        ReplaceOptions options;
        options.expected = page.identite_source;
        return enregistrer_page(page.image, page.source, profondeur, options);
    }
    ResultatPage r = enregistrer_page(page.image, page.source, profondeur,
                                      originaux->options(page.identite_source));
    if (r.issue == IssueFichier::Ecrit) originaux->noter_resultat(page.source);
    return r;
}

void travail_standard(Travailleur& t, const EtapeFichier& etape) {
    Lot_Fichiers& lot = t.lot();
    Progression& progression = t.progression();
    {
        auto v = t.verrou();
        if (lot.Fichiers.empty()) {
            t.poster_fin();
            return;
        }
        if (!etape.erreur_premiere_ligne.empty() && t.ligne_du_fichier(v, 0) < 0) {
            Message m;
            m.kind = Message::Kind::Simple;
            m.titre = "Erreur";
            m.texte = etape.erreur_premiere_ligne;
            progression.message(m);
        }
        t.debuter_entete(v);
    }
    for (std::size_t i = 0; i < lot.Fichiers.size() && !t.arret_demande(); ++i) {
        const std::filesystem::path& source = lot.Fichiers[i].Fichier;
        std::int64_t ligne;
        {
            auto v = t.verrou();
            lot.Fichier_Courant = i;
            ligne = t.ligne_du_fichier(v, i);
            if (ligne >= 0) lot.First_ListIndex = ligne;
            progression.fichier_commence(source);
        }
        const ResultatPage r = traiter_fichier(t, etape, source, ligne);
        auto v = t.verrou();
        t.icone(v, ligne, r.icone);
        if (r.compte) t.compter_fichier(v);
        if (!r.note.empty()) progression.note_fichier(source, ligne, r.note);
        progression.fichier_fini(source, r.issue, r.raison);
    }
    t.poster_fin();
}

}  // namespace vellumor
