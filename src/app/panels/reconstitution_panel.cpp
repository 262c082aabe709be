#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <QTreeWidget>
#include <atomic>
#include <filesystem>

#include "app/champ_numerique.h"
#include "app/colours.h"
#include "app/controls.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/panels/launchers.h"
#include "app/static_colours.h"
#include "app/themed_button.h"
#include "app/window_progress.h"
#include "app/windows/exceptions_window.h"
#include "app/windows/reconstitution_ids.h"
#include "batch/png_io.h"
#include "imagelist/image_list.h"
#include "ops/exceptions/page_exception.h"
#include "ops/reconstitution/execution.h"
#include "ops/reconstitution/reconstitution_constants.h"
#include "ops/reconstitution/repartition.h"
#include "ops/reconstitution/textes.h"
#include "settings/preferences.h"

namespace vellumor::app {
namespace {

namespace rc = vellumor::reconstitution;

constexpr Couleur kFondBarreReconstitution = 0xB0ECBC;
constexpr int kLargeurSpin = 60, kHauteurSpin = 20;
constexpr int kCoteFenetreParcourir = 40, kCoteIcone = 32;
constexpr int kHauteurCadre = 135;

Preferences& prefs() {
    return GLB_Preferences();
}

void colorer_barre(Couleur fond) {
    if (QWidget* barre = control(kBarreBas)) {
        QPalette p = barre->palette();
        p.setColor(QPalette::Window, qcouleur(fond));
        barre->setPalette(p);
    }
}

// One reconstitution run over window 1's list: both workers report through the window; a worker
// that cannot build its blank page ends the run without its done event, which the run tells its
// panel as an abandon once both workers have ended.
class RunReconstitution : public Run {
  public:
    RunReconstitution(FenetrePrincipale& f, rc::Parametres p,
                      std::shared_ptr<const std::atomic<int>> format)
        : f_(f),
          format_(std::move(format)),
          exceptions_(exceptions::GLB_Exceptions_Liste()),
          lignes_(lignes_de_la_liste(f)),
          progression_(f),
          core_(GLB_Fichiers_Images(), std::move(p), exceptions_, lignes_, progression_,
                format_.get()) {}
    ~RunReconstitution() override {
        core_.arreter();
        core_.attendre();
        for (int n : kEvenements) f_.sur_evenement(int(n), {});
    }

    bool start() override {
        for (std::int64_t n : kEvenements) f_.sur_evenement(int(n), [this, n] { on_event(n); });
        if (auto refus = core_.demarrer()) {
            for (std::int64_t n : kEvenements) f_.sur_evenement(int(n), {});
            afficher_message(f_.dialogs(), *refus, &f_);
            return false;
        }
        return true;
    }
    void request_stop() override { core_.arreter(); }
    void wait() override { core_.attendre(); }

  private:
    static constexpr std::int64_t kAbandon = rc::kEvenementVerification + 0x100;
    static constexpr std::int64_t kEvenements[] = {rc::kEvenementFinPaire, rc::kEvenementFinImPaire,
                                                   rc::kEvenementVerification, kAbandon};

    // The window's reports, and a worker's blank-page failure counted as its end.
    class Progression : public ProgressionFenetre {
      public:
        using ProgressionFenetre::ProgressionFenetre;
        void message(const Message& m) override {
            ProgressionFenetre::message(m);
            if (m == rc::message_page_vierge(true) || m == rc::message_page_vierge(false))
                evenement_fin(kAbandon);
        }
    };

    void on_event(std::int64_t n) {
        if (n == kAbandon) abandon_ = true;
        if (n != rc::kEvenementVerification) {
            ++fins_;
            f_.poster(int(rc::kEvenementVerification));
        } else if (fins_ == 2) {
            fins_ = 0;
            if (abandon_)
                report_abandoned();
            else
                report_workers_done();
        }
    }

    FenetrePrincipale& f_;
    std::shared_ptr<const std::atomic<int>> format_;
    exceptions::PageExceptionList exceptions_;  // the run list as it stood at the launch
    LignesFixes lignes_;
    Progression progression_;
    int fins_ = 0;
    bool abandon_ = false;
    rc::Reconstitution core_;  // declared last: its threads end before the rest goes
};

// The reconstitution panel: the list shrunk to half its height, the offsets, the unit, the
// blank-page formats and the blank-page file below it; 37 launches, 38 and 39 handle the page
// exceptions, 60 stops a run or leaves.
class PanneauReconstitution : public Panneau {
  public:
    explicit PanneauReconstitution(FenetrePrincipale& f) : Panneau(f) {
        fond_barre = kFondBarreReconstitution;
        boutons_barre = {kReconstituer, kAjouterExceptions, kSupprimerExceptions, kAnnuler};
    }

  protected:
    void construire() override;
    void ouvert() override;
    void traiter(int numero, TypeEvenement type) override;
    void rendre() override;
    void execution_terminee() override { terminer(true); }
    void execution_abandonnee() override { terminer(false); }

  private:
    QSize taille_texte(const char* texte, const QFont& police) const {
        const QSize t = taille_ou_defaut(mesurer_texte(&police, texte_utf8(texte)));
        return {t.width() + 30, t.height()};
    }
    template <class W>
    W* legende(int numero, const char* texte, const QPoint& ou, const QFont& police);
    QSpinBox* champ(int numero, std::int64_t valeur);
    void construire_cadres(const QRect& sous);
    void construire_formats(const QRect& texte);
    void fenetre_parcourir(const QRect& a_cote_de);
    void coins_depuis_bits();

    int format_courant();
    void choisir_image_vierge();
    void afficher_nom_image_vierge();
    void case_offset(int boite, int spin, std::int64_t bit);
    void changement_decalage(int numero);
    void lancer_reconstitution();
    bool page_vierge_prete();
    void activer_parametres(bool actif);
    void terminer(bool avec_message);

    QButtonGroup* formats_ = nullptr;
    QPointer<QWidget> parcourir_;
    std::shared_ptr<std::atomic<int>> format_ = std::make_shared<std::atomic<int>>(29);
    bool arret_ = false;
};

template <class W>
W* PanneauReconstitution::legende(int numero, const char* texte, const QPoint& ou,
                                  const QFont& police) {
    auto* w = creer<W>(numero, texte_utf8(texte));
    w->setFont(police);
    w->setGeometry(QRect(ou, taille_texte(texte, police)));
    appliquer_couleur_statique(w);
    if constexpr (std::is_base_of_v<QAbstractButton, W>) relayer_clics(w, numero);
    w->show();
    return w;
}

QSpinBox* PanneauReconstitution::champ(int numero, std::int64_t valeur) {
    auto* s = creer<ChampNumerique>(numero, int(rc::kDecalageMin), int(rc::kDecalageMax));
    s->setValue(int(rc::borner_decalage(valeur)));
    connect(s, &QSpinBox::valueChanged, &f_,
            [this, numero] { f_.traiter_controle(numero, TypeEvenement::Changement); });
    s->show();
    return s;
}

void PanneauReconstitution::construire() {
    QWidget* c = corps();
    QWidget* statut = control(kStatutDossier);
    QWidget* liste = control(kListeFichiers);
    if (!c || !statut || !liste) return;
    c->setUpdatesEnabled(false);
    const int largeur = c->width();
    statut->setGeometry(30, 10, largeur - 60, statut->height());
    liste->setGeometry(30, statut->y() + statut->height(), statut->width(),
                       liste_sauvee_.height() / 2 - 40);
    const QRect l = liste->geometry();
    const QFont& police = f_.police_liste();
    const std::int64_t bits = prefs().Reconstituer_Img_params;

    auto* haut = legende<QCheckBox>(kUtiliserOffsetSuperieur, kLegendeOffsetSuperieur,
                                    {l.x() + 20, l.bottom() + 1 + 10}, police);
    haut->setChecked(bits & rc::kBitHaut);
    auto* reliure = legende<QCheckBox>(kUtiliserOffsetReliure, kLegendeOffsetReliure,
                                       {haut->x(), haut->geometry().bottom() + 1 + 10}, police);
    reliure->setChecked(bits & rc::kBitReliure);
    QSpinBox* s26 = champ(kOffsetReliure, prefs().Reconstituer_Img_Decalage);
    s26->setGeometry(reliure->geometry().right() + 1 + 5, reliure->y() - 1, kLargeurSpin,
                     kHauteurSpin);
    QSpinBox* s27 = champ(kOffsetSuperieur, prefs().Reconstituer_Img_Decalage_Y);
    s27->setGeometry(s26->x(), haut->y() - 1, kLargeurSpin, kHauteurSpin);
    s26->setEnabled(reliure->isChecked());
    s27->setEnabled(haut->isChecked());

    auto* unite = creer<QComboBox>(kUnite);
    for (const char* u : kUnites) unite->addItem(texte_utf8(u));
    unite->setCurrentIndex(0);
    unite->setGeometry(s27->geometry().right() + 1 + 30, s27->y() + 10, 100, 25);
    unite->show();

    legende<QCheckBox>(kAlignerAGauche, kLegendeAlignerAGauche,
                       {reliure->x(), reliure->geometry().bottom() + 1 + 10}, police);
    construire_cadres(reliure->geometry());

    auto* texte = legende<QLabel>(kTexteFormat, kLegendeTexteFormat,
                                  {reliure->x(), reliure->geometry().bottom() + 1 + 65},
                                  f_.police_liste_soulignee());
    construire_formats(texte->geometry());
    c->setUpdatesEnabled(true);
}

void PanneauReconstitution::construire_cadres(const QRect& sous) {
    const QRect l = control(kListeFichiers)->geometry();
    const QFont& police = f_.police_liste();
    const int marge = l.x() + 10;
    const int largeur = (corps()->width() - 3 * marge) / 2;
    const int y = sous.bottom() + 1 + 15;
    const int cadres[] = {kCadrePagesPaires, kCadrePagesImpaires};
    const char* legendes[] = {kLegendeCadrePaires, kLegendeCadreImpaires};
    const int options[] = {kCoinPairHautGauche, kCoinImpairHautGauche};
    for (int i = 0; i < 2; ++i) {
        auto* cadre = creer<QGroupBox>(cadres[i], texte_utf8(legendes[i]));
        cadre->setFont(police);
        cadre->setGeometry(marge + i * (largeur + marge), y, largeur, kHauteurCadre);
        appliquer_couleur_statique(cadre);
        auto* groupe = new QButtonGroup(cadre);  // owned by its frame
        for (int k = 0; k < 4; ++k) {
            const QPoint ou(cadre->x() + 15, y + 25 + 21 * k);
            auto* option = creer<QRadioButton>(options[i] + k, QString());
            option->setGeometry(ou.x(), ou.y(), 20, 20);
            groupe->addButton(option);
            relayer_clics(option, options[i] + k);
            legende<QLabel>(options[i] + 4 + k, kLegendesCoins[k], {ou.x() + 25, ou.y()}, police);
        }
    }
    coins_depuis_bits();
    for (int n = kCoinPairHautGauche; n <= kTexteCoinImpairBasDroit; ++n) {
        activer(n, false);
        montrer(n, false);
    }
    montrer(kCadrePagesPaires, false);
    montrer(kCadrePagesImpaires, false);
}

// The even and odd corner options from the low 4 bits of the bit word.
void PanneauReconstitution::coins_depuis_bits() {
    const std::int64_t coin = prefs().Reconstituer_Img_params & rc::kMasqueCoin;
    int pair = kCoinPairHautGauche, impair = kCoinImpairHautDroit;
    if (coin == 2) pair = kCoinPairHautDroit, impair = kCoinImpairHautGauche;
    if (coin == 4) pair = kCoinPairBasGauche, impair = kCoinImpairBasGauche;
    if (coin == 8) pair = kCoinPairBasDroit, impair = 0;
    if (auto* o = control_as<QRadioButton>(pair)) o->setChecked(true);
    if (auto* o = control_as<QRadioButton>(impair)) o->setChecked(true);
}

void PanneauReconstitution::construire_formats(const QRect& texte) {
    const QFont& police = f_.police_liste();
    formats_ = new QButtonGroup(corps());  // owned by the body; the options go with the panel
    QRect r[6];
    const auto option = [&](int i, QPoint ou) {
        auto* o = legende<QRadioButton>(kPremierFormat + i, kLegendesFormats[i], ou, police);
        formats_->addButton(o);
        r[i] = o->geometry();
    };
    option(0, {texte.x() + 20, texte.bottom() + 1 + 10});
    option(1, {r[0].x(), r[0].bottom() + 1 + 7});
    option(2, {r[0].x(), r[1].bottom() + 1 + 7});
    option(3, {r[1].right() + 1 + 30, r[0].y()});
    option(4, {r[3].x(), r[1].y()});
    option(5, {r[0].x(), r[4].bottom() + 1 + 40});
    const int format = rc::format_lu(int(prefs().Image_Vierge_Format));
    control_as<QRadioButton>(format)->setChecked(true);
    format_courant();
    fenetre_parcourir(r[5]);
    auto* nom = creer<QLabel>(kNomImageVierge, QString());
    nom->setFont(police);
    nom->setGeometry(r[5].right() + 1 + 80, r[5].y() + 20, 400, r[5].height());
    appliquer_couleur_statique(nom);
    nom->show();
    afficher_nom_image_vierge();
}

// A 40 x 40 white window without border holding tool bar 99: one button with the folder picture.
void PanneauReconstitution::fenetre_parcourir(const QRect& a_cote_de) {
    auto* w = new QWidget(corps());  // owned by the body, removed when the panel is left
    parcourir_ = w;
    w->setGeometry(a_cote_de.right() + 1 + 20, a_cote_de.y(), kCoteFenetreParcourir,
                   kCoteFenetreParcourir);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, Qt::white);
    w->setPalette(p);
    w->setAutoFillBackground(true);
    auto* barre = new QToolBar(w);  // owned by its window
    enregistrer_barre_outils(kBarreImageVierge, barre);
    barre->setIconSize(QSize(kCoteIcone, kCoteIcone));
    barre->setGeometry(0, 0, kCoteFenetreParcourir, kCoteFenetreParcourir);
    const QImage* dossier = f_.ressources().image(kImageDossier);
    QAction* a =
        barre->addAction(dossier ? QIcon(QPixmap::fromImage(*dossier)) : QIcon(), QString());
    connect(a, &QAction::triggered, this, [this] { choisir_image_vierge(); });
    w->show();
}

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
            if (!en_cours()) lancer_reconstitution();
            return;
        case kAjouterExceptions:
            if (!en_cours()) Ouvrir_Exceptions(f_);
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

void PanneauReconstitution::lancer_reconstitution() {
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
    arret_ = false;

    if (auto refus = rc::message_noms_refuses(
            rc::repartir_par_dernier_chiffre(GLB_Fichiers_Images()).refuses)) {
        afficher_message(f_.dialogs(), *refus, &f_);
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
    if (!lancer(std::make_unique<RunReconstitution>(f_, std::move(p), format_))) terminer(false);
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
    colorer_barre(kFondBarreBasAccueil);
    if (avec_message)
        Boite_Message(
            f_.dialogs(), QStringLiteral(" Info"),
            QStringLiteral("\n") + texte_utf8(arret_ ? rc::kTexteArretees : rc::kTexteTerminees),
            kIconeInformation, &f_);
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

}  // namespace

IssuePanneau Lancer_Reconstitution(FenetrePrincipale& f) {
    colorer_barre(kFondBarreReconstitution);
    for (int n : {kReconstituer, kAjouterExceptions, kSupprimerExceptions, kAnnuler})
        montrer(n, true);
    montrer(kQuitter, false);
    for (int n : {kReconstituer, kAjouterExceptions, kSupprimerExceptions, kAnnuler})
        activer(n, false);
    remplacer_liste(f, texte_utf8(kTitreSelectionReconstitution));
    if (GLB_Fichiers_Images().empty()) {
        colorer_barre(kFondBarreBasAccueil);
        for (int n : {kReconstituer, kAjouterExceptions, kSupprimerExceptions, kAnnuler})
            montrer(n, false);
        montrer(kQuitter, true);
        activer_selon_liste(f);
        for (int n : {kReconstituer, kAjouterExceptions, kAnnuler}) activer(n, true);
        return IssuePanneau::Quitte;
    }
    PanneauReconstitution panneau(f);
    return panneau.executer();
}

}  // namespace vellumor::app
