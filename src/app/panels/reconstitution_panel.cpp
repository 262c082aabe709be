#include "app/panels/reconstitution_panel_impl.h"

namespace vellumor::app {
namespace reconstitution_panneau {
namespace {

constexpr std::size_t kNomsVisibles = 5;

// The refusal of names that end without a number, with its sentence and its first names in the
// visible text: the box would otherwise show its heading alone, the names folded in the details.
Message refus_visible(Message m, const std::vector<std::string>& refuses) {
    const auto fin_details = m.texte.find('\n');
    const std::string details = m.texte.substr(0, fin_details);
    std::string corps = "L'opération de reconstitution d'images n'aura pas lieu\r\r";
    corps += refuses.size() == 1
                 ? "Ce fichier ne se termine pas par un numéro :"
                 : std::to_string(refuses.size()) + " fichiers ne se terminent pas par un numéro :";
    for (std::size_t i = 0; i < refuses.size() && i < kNomsVisibles; ++i)
        corps += "\r" + refuses[i];
    if (refuses.size() > kNomsVisibles) corps += "\r…";
    m.texte = details + "\n" + corps;
    return m;
}

}  // namespace

void PanneauReconstitution::ouvert() {
    definir_reconstitution_en_cours(false);
    activer(kReconstituer, true);
    activer(kAjouterExceptions, true);
    activer(kSupprimerExceptions, false);
    activer(kAnnuler, true);
}

void PanneauReconstitution::rendre() {
    prefs().Reconstituer_Img_Decalage = control_as<QSpinBox>(kOffsetReliure)
                                            ? control_as<QSpinBox>(kOffsetReliure)->value()
                                            : prefs().Reconstituer_Img_Decalage;
    format_courant();
    if (parcourir_) {
        parcourir_->hide();
        parcourir_->deleteLater();
    }
    if (formats_) formats_->deleteLater();
    formats_ = nullptr;
    definir_reconstitution_en_cours(false);
    for (int n = kPremierBoutonReconstitution; n <= kDernierBoutonReconstitution; ++n)
        montrer(n, false);
}

// The first selected format option (stored); with none, the stored one or 29.
int PanneauReconstitution::format_courant() {
    std::array<bool, 6> selection{};
    for (int i = 0; i < 6; ++i) {
        auto* o = control_as<QRadioButton>(kPremierFormat + i);
        selection[std::size_t(i)] = o && o->isChecked();
    }
    const int format = int(format_image_vierge(prefs(), selection));
    format_->store(format);
    return format;
}

void PanneauReconstitution::afficher_nom_image_vierge() {
    const std::filesystem::path fichier = std::filesystem::path(prefs().ImgVierge);
    std::error_code e;
    if (!prefs().ImgVierge.empty() && !std::filesystem::is_regular_file(fichier, e))
        prefs().ImgVierge.clear();
    definir_texte_controle(
        kNomImageVierge,
        QString::fromStdString(prefs().ImgVierge.empty() ? std::string()
                                                         : fichier.filename().string()));
}

void PanneauReconstitution::choisir_image_vierge() {
    const QStringList choix = f_.dialogs().ouvrir_fichiers(
        texte_utf8(kTitreFichierImageVierge), QString::fromStdString(prefs().DossierImages),
        texte_utf8(kFiltreImages), false);
    prefs().ImgVierge.clear();
    if (!choix.isEmpty()) {
        const std::string chemin = choix.first().toStdString();
        std::error_code e;
        if (std::filesystem::is_regular_file(std::filesystem::path(chemin), e)) {
            if (load_png(std::filesystem::path(chemin)))
                prefs().ImgVierge = chemin;
            else
                Boite_Message(f_.dialogs(), texte_utf8(kPngInvalide), QString(),
                              kIconeAvertissement, &f_);
        }
    }
    afficher_nom_image_vierge();
}

void PanneauReconstitution::case_offset(int boite, int spin, std::int64_t bit) {
    auto* b = control_as<QCheckBox>(boite);
    if (!b) return;
    if (b->isChecked())
        prefs().Reconstituer_Img_params |= bit;
    else
        prefs().Reconstituer_Img_params &= ~bit;
    activer(spin, b->isChecked());
}

// The box holds a typed value to -1000..1000 and tidies its text; the panel keeps the value.
void PanneauReconstitution::changement_decalage(int numero) {
    if (auto* s = control_as<QSpinBox>(numero))
        (numero == kOffsetSuperieur ? prefs().Reconstituer_Img_Decalage_Y
                                    : prefs().Reconstituer_Img_Decalage) = s->value();
}

void PanneauReconstitution::traiter(int numero, TypeEvenement type) {
    switch (numero) {
        case kUtiliserOffsetSuperieur:
            case_offset(numero, kOffsetSuperieur, rc::kBitHaut);
            return;
        case kUtiliserOffsetReliure:
            case_offset(numero, kOffsetReliure, rc::kBitReliure);
            return;
        case kOffsetSuperieur:
        case kOffsetReliure:
            changement_decalage(numero);
            return;
        case kReconstituer:
            if (!en_cours()) demarrer();
            return;
        case kAjouterExceptions:
            if (!en_cours()) ouvrir_exceptions(f_);
            return;
        case kSupprimerExceptions:
            exceptions::GLB_Exceptions_Table().vider();
            exceptions::GLB_Exceptions_Liste().clear();
            activer(kSupprimerExceptions, false);
            return;
        case kAnnuler:
            if (en_cours()) {
                activer(kAnnuler, false);
                activer(kAjouterExceptions, false);
                activer(kSupprimerExceptions, false);
                arret_ = true;
                arreter_execution();
            } else {
                terminer(false);
                quitter();
            }
            return;
        case kQuitter:
            if (!en_cours()) quitter();
            return;
        default:
            break;
    }
    if (numero >= kCoinPairHautGauche && numero <= kCoinPairBasDroit) {
        const std::int64_t coin = std::int64_t(1) << (numero - kCoinPairHautGauche);
        prefs().Reconstituer_Img_params =
            (prefs().Reconstituer_Img_params & ~rc::kMasqueCoin) | coin;
        coins_depuis_bits();
    } else if (numero >= kPremierFormat && numero <= kDernierFormat) {
        format_courant();
    }
    (void)type;
}

void PanneauReconstitution::activer_parametres(bool actif) {
    for (int n : {kCadrePagesPaires, kCadrePagesImpaires, kTexteFormat, kUtiliserOffsetReliure,
                  kUtiliserOffsetSuperieur, kAlignerAGauche, kUnite})
        activer(n, actif);
    const auto coche = [](int n) {
        auto* b = control_as<QCheckBox>(n);
        return b && b->isChecked();
    };
    activer(kOffsetReliure, actif && coche(kUtiliserOffsetReliure));
    activer(kOffsetSuperieur, actif && coche(kUtiliserOffsetSuperieur));
    if (QWidget* b = barre_outils(kBarreImageVierge)) b->setEnabled(actif);
}

void PanneauReconstitution::demarrer() {
    if (GLB_Fichiers_Images().empty()) {
        selectionner_images(f_, texte_utf8(kTitreSelectionReconstitution));
        ajuster_premiere_colonne();
        if (GLB_Fichiers_Images().empty()) {
            activer_selon_liste(f_);
            return;
        }
    } else {
        reinitialiser_icones(f_);
    }
    montrer(kAnnuler, true);
    montrer(kQuitter, false);
    activer(kReconstituer, false);
    activer(kAjouterExceptions, false);
    activer(kSupprimerExceptions, false);  // the run list must not change while it is searched
    definir_reconstitution_en_cours(true);
    activer_parametres(false);
    activer(kCorps, false);
    desactiver_boutons_geres(f_);
    effacer_raisons(f_);  // a run stopped before it starts reports no earlier run's failures
    arret_ = false;

    const std::vector<std::string> refuses =
        rc::repartir_par_dernier_chiffre(GLB_Fichiers_Images()).refuses;
    if (auto refus = rc::message_noms_refuses(refuses)) {
        afficher_message(f_.dialogs(), refus_visible(*refus, refuses), &f_);
        terminer(false);
        return;
    }
    if (format_courant() == rc::kFormatFichier && !page_vierge_prete()) {
        arret_ = true;
        terminer(true);
        return;
    }
    rc::Parametres p;
    p.format = format_courant();
    p.page_vierge = std::filesystem::path(prefs().ImgVierge);
    p.bits = prefs().Reconstituer_Img_params;
    const auto valeur = [](int n) {
        auto* s = control_as<QSpinBox>(n);
        return s ? std::int64_t(s->value()) : 0;
    };
    p.decalage_reliure = valeur(kOffsetReliure);
    p.decalage_haut = valeur(kOffsetSuperieur);
    auto* gauche = control_as<QCheckBox>(kAlignerAGauche);
    p.aligner_a_gauche = gauche && gauche->isChecked();
    if (!lancer(std::make_unique<ExecutionReconstitution>(f_, std::move(p), format_)))
        terminer(false);
}

// Format 34 needs a blank-page file that loads; the user may choose one now.
bool PanneauReconstitution::page_vierge_prete() {
    for (;;) {
        const std::filesystem::path fichier = std::filesystem::path(prefs().ImgVierge);
        std::error_code e;
        if (!prefs().ImgVierge.empty() && std::filesystem::is_regular_file(fichier, e))
            return bool(load_png(fichier));
        const int reponse = Boite_Message(
            f_.dialogs(), texte_utf8(kImageViergeNonDefinie), texte_utf8(kVoulezVousLaDefinir),
            kIconeErreur | kBoutonsOuiNon, &f_, texte_utf8(kTitreSelectionImageVierge));
        if (reponse != kCodeOui) return false;
        choisir_image_vierge();
    }
}

// A run ended (with its message when it went through its files or was stopped), was refused, or
// was never launched: the panel is idle again and stays open.
void PanneauReconstitution::terminer(bool avec_message) {
    colorer_barre_bas(kFondBarreBasAccueil);
    if (avec_message)
        annoncer_fin(f_, std::string(arret_ ? rc::kTexteArretees : rc::kDescription.texte_fin) +
                             texte_fin_originaux(originaux_gardes_).toStdString());
    definir_reconstitution_en_cours(false);
    activer(kCorps, true);
    activer_selon_liste(f_);
    activer_parametres(true);
    activer(kReconstituer, true);
    activer(kAjouterExceptions, true);
    activer(kSupprimerExceptions, !exceptions::GLB_Exceptions_Liste().empty());
    activer(kAnnuler, true);
    montrer(kAnnuler, false);
    montrer(kQuitter, true);
    activer(kQuitter, true);
}

}  // namespace reconstitution_panneau

IssuePanneau lancer_reconstitution(FenetrePrincipale& f) {
    using namespace reconstitution_panneau;
    colorer_barre_bas(kFondBarreReconstitution);
    for (int n : {kReconstituer, kAjouterExceptions, kSupprimerExceptions, kAnnuler})
        montrer(n, true);
    montrer(kQuitter, false);
    for (int n : {kReconstituer, kAjouterExceptions, kSupprimerExceptions, kAnnuler})
        activer(n, false);
    remplacer_liste(f, texte_utf8(kTitreSelectionReconstitution));
    if (GLB_Fichiers_Images().empty()) {
        colorer_barre_bas(kFondBarreBasAccueil);
        for (int n : {kReconstituer, kAjouterExceptions, kSupprimerExceptions, kAnnuler})
            montrer(n, false);
        montrer(kQuitter, true);
        activer_selon_liste(f);
        for (int n : {kReconstituer, kAjouterExceptions, kAnnuler}) activer(n, true);
        return IssuePanneau::Quitte;
    }
    reconstitution_panneau::PanneauReconstitution panneau(f);
    return panneau.executer();
}

}  // namespace vellumor::app
