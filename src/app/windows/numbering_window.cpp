#include "app/windows/numbering_window.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <atomic>
#include <iterator>
#include <thread>

#include "app/button_colours.h"
#include "app/colours.h"
#include "app/controls.h"
#include "app/events.h"
#include "app/icons.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/list_loading.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/panels/panel.h"
#include "app/panels/window_batch_run.h"
#include "app/paths.h"
#include "app/startup.h"
#include "app/themed_button.h"
#include "app/window_progress.h"
#include "app/windows/numbering_ids.h"
#include "imagelist/image_list.h"
#include "imagelist/repartition_parite.h"
#include "ops/numbering/numbering_constants.h"
#include "ops/numbering/numbering_worker.h"
#include "ops/numbering/parameters.h"
#include "ops/numbering/stamp_files.h"
#include "settings/preferences.h"
#include "settings/temp_folder.h"

namespace vellumor::app {
namespace {

using namespace vellumor::numbering;

constexpr Couleur kFondBarreNumerotation = 0xF6AED8;
constexpr Couleur kTexteBorne = 0x0000FF;  // red
constexpr Couleur kTexteNormal = 0x000000;
constexpr int kHauteurBouton = 40;
constexpr int kLargeurChamp = 50;
constexpr int kCoteOption = 20;
constexpr int kCoteFenetreOutil = 40;
constexpr int kCoteIconeOutil = 32;
constexpr int kXTexteChargerImages = 550;
constexpr int kMargeTitre = 20;
constexpr int kPremiereRangee = 45;  // parameters and samples, below the list's bottom
constexpr int kEcartRangees = 35;    // a frame is at least its caption and this much wide

struct Position {
    int controle;
    const char* legende;
    PositionNumero position;
};
constexpr Position kPositions[] = {
    {kBasADroite, kLegendeBasDroite, PositionNumero::BasDroite},
    {kBasAuCentre, kLegendeBasCentre, PositionNumero::BasCentre},
    {kHautADroite, kLegendeHautDroite, PositionNumero::HautDroite},
    {kHautAuCentre, kLegendeHautCentre, PositionNumero::HautCentre},
};

// A stamp model: its option, its sample picture and the images of the sample, normal and greyed.
struct Modele {
    int option;
    int echantillon;
    int image;
    int image_grisee;
    ModeleNumero modele;
};
// In the grid's order: disc top left, black rectangle top right, ring bottom left, white
// rectangle bottom right.
constexpr Modele kModeles[] = {
    {kModeleDisque, kEchantillonDisque, kImageDisque, kImageDisqueGrisee, ModeleNumero::Disque},
    {kModeleRectangleNoir, kEchantillonRectangleNoir, kImageRectangleNoir,
     kImageRectangleNoirGrisee, ModeleNumero::RectangleNoir},
    {kModeleAnneau, kEchantillonAnneau, kImageAnneau, kImageAnneauGrisee, ModeleNumero::Anneau},
    {kModeleRectangleBlanc, kEchantillonRectangleBlanc, kImageRectangleBlanc,
     kImageRectangleBlancGrisee, ModeleNumero::RectangleBlanc},
};

// A parameter: its label, its spin box and the preference it keeps; captions and ranges come
// from the numbering parameters, in the same order.
struct Parametre {
    int texte;
    int champ;
    std::int64_t Preferences::*valeur;
};
constexpr Parametre kParametres[] = {
    {kTexteOffsetX, kOffsetX, &Preferences::Offset_X__Impression_numero},
    {kTexteOffsetY, kOffsetY, &Preferences::Offset_Y__Impression_numero},
    {kTexteEpaisseurCadre, kEpaisseurCadre, &Preferences::Frame_thickness__Img_numerotation},
    {kTexteEspacement, kEspacement, &Preferences::Frame_To_Number_spacing__Img_numerotation},
    {kTexteOffsetReliure, kOffsetReliureNumero, &Preferences::Binding_Offset},
};
static_assert(std::size(kParametres) == std::size(kPlagesNumerotation));

ParametresNumerotation parametres_des_preferences() {
    ParametresNumerotation p;
    for (std::size_t i = 0; i < std::size(kParametres); ++i)
        p.*kPlagesNumerotation[i].champ = GLB_Preferences().*kParametres[i].valeur;
    return p;
}

// A spin box whose text is read only; its arrows (and arrow keys) say which way they went.
class ChampParametre : public QSpinBox {
  public:
    using QSpinBox::QSpinBox;
    std::function<void(bool haut)> fleche;
    void stepBy(int pas) override {
        QSpinBox::stepBy(pas);
        if (fleche) fleche(pas > 0);
    }
};

void colorer_texte(QSpinBox* s, Couleur c) {
    QLineEdit* e = s->findChild<QLineEdit*>();
    QWidget* cible = e ? static_cast<QWidget*>(e) : s;
    QPalette p = cible->palette();
    p.setColor(QPalette::Text, qcouleur(c));
    cible->setPalette(p);
}

void colorer_barre(Couleur fond) {
    if (QWidget* barre = control(kBarreBas)) {
        QPalette p = barre->palette();
        p.setColor(QPalette::Window, qcouleur(fond));
        barre->setPalette(p);
    }
}

// A numbering run: the stamps are built on a thread of their own, so that the window stays
// responsive and the list header shows how far they are; then the two workers number the pages.
class RunNumerotation : public Run, private RunListener {
  public:
    RunNumerotation(FenetrePrincipale& f, ReglagesNumerotation r, ModeleNumero modele,
                    PaireLots lots)
        : f_(f),
          reglages_(std::move(r)),
          modele_(modele),
          lots_(std::move(lots)),
          entete_(texte_nombre_fichiers(std::int64_t(GLB_Fichiers_Images().size()))),
          progression_(f) {
        reglages_.dossier_travail = travail_;
    }
    ~RunNumerotation() override {
        arret_ = true;
        if (fil_.joinable()) fil_.join();
    }

    bool start() override;
    void request_stop() override {
        arret_ = true;
        if (pages_) pages_->request_stop();
    }
    void wait() override {
        if (fil_.joinable()) fil_.join();
        if (pages_) pages_->wait();
    }

  private:
    void construire_tampons_();
    void tampons_construits(ResultatTampons t);
    void workers_reported() override { report_workers_done(); }
    void run_abandoned() override { report_abandoned(); }

    FenetrePrincipale& f_;
    ReglagesNumerotation reglages_;
    ModeleNumero modele_;
    PaireLots lots_;
    std::string entete_;  // " 12 fichiers", before the progress of the stamps
    ProgressionFenetre progression_;
    std::atomic<bool> arret_{false};
    QObject contexte_;  // the stamps' end reaches the main thread only while the run lives
    // The stamps live in a folder of this run only, removed with it.
    DossierTravail dossier_travail_{reglages_.dossier, "numerotation"};
    std::filesystem::path travail_ = dossier_travail_.chemin();
    std::unique_ptr<WindowBatchRun> pages_;
    std::thread fil_;
};

bool RunNumerotation::start() {
    try {
        fil_ = std::thread([this] { construire_tampons_(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void RunNumerotation::construire_tampons_() {
    DemandeTampons d{reglages_.debut, reglages_.fin, modele_, int(reglages_.parametres.epaisseur),
                     int(reglages_.parametres.espacement)};
    int montre = -1;
    d.avancement = [&](std::int64_t faits, std::int64_t total) {
        const int pourcent = int(faits * 100 / total);
        if (pourcent == montre) return;
        montre = pourcent;
        progression_.texte_entete(entete_ + kTextePreparationTampons + std::to_string(pourcent) +
                                  " %)");
    };
    const std::optional<PoliceTampon> police = PoliceTampon::charger();
    ResultatTampons t = construire_tampons(police ? &*police : nullptr, d, travail_);
    QMetaObject::invokeMethod(
        &contexte_, [this, t = std::move(t)]() mutable { tampons_construits(std::move(t)); },
        Qt::QueuedConnection);
}

void RunNumerotation::tampons_construits(ResultatTampons t) {
    if (fil_.joinable()) fil_.join();
    for (const Message& m : t.messages) afficher_message(f_.dialogs(), m, &f_);
    if (t.abandon || arret_) {
        supprimer_tampons(reglages_.debut, reglages_.fin, travail_);
        report_abandoned();
        return;
    }
    reglages_.taille_tampons = t.taille_empaquetee();
    pages_ = std::make_unique<WindowBatchRun>(
        f_, std::move(lots_), kVerifierFinNumerotation,
        [r = reglages_](Travailleur& w) { travail_numerotation(w, r); });
    pages_->listen(this);
    if (!pages_->start()) {
        Boite_Message(f_.dialogs(),
                      QStringLiteral("Impossible de démarrer les deux fils de traitement"),
                      QString(), kIconeErreur, &f_);
        report_abandoned();
    }
}

// The numbering window: it takes over window 1's body below a lowered file list, with its own
// three buttons in the bottom bar. Its options and parameters are kept until a run ends.
class FenetreNumerotation : public Panneau {
  public:
    explicit FenetreNumerotation(FenetrePrincipale& f) : Panneau(f) {
        fond_barre = kFondBarreNumerotation;
        boutons_barre = {};
        police_ = f.police_liste();
        police_.setFamily(QStringLiteral("Arial"));
    }

  protected:
    void construire() override;
    void ouvert() override;
    void traiter(int numero, TypeEvenement type) override;
    void rendre() override;
    void execution_terminee() override;
    void execution_abandonnee() override { activer_fenetre(true); }

  private:
    int ligne_texte() const { return QFontMetrics(police_).height(); }
    int largeur_texte(const char* texte) const {
        return taille_ou_defaut(mesurer_texte(&police_, QString::fromUtf8(texte))).width();
    }
    void construire_boutons();
    QRect construire_positions(int B, int hauteur);
    QRect construire_debut_fin(const QRect& precedent, int B, int hauteur);
    QRect construire_modeles(const QRect& precedent, int B, int hauteur);
    QRect construire_parametres(const QRect& precedent, int B, int hauteur);
    void construire_chargements(int y);
    QWidget* fenetre_outil(int fenetre, int barre, int item, const QRect& a_cote_de);
    QLabel* texte(int numero, const char* legende, int x, int y);
    QGroupBox* cadre(int numero, const char* legende, const QRect& zone);

    void ajouter_troisieme_colonne();
    void mettre_a_jour_fin();
    void changement_parametre(std::size_t i, TypeEvenement type);
    void menu(int item);
    void choisir_images();
    void numeroter();
    void activer_fenetre(bool actif);
    std::optional<std::int64_t> debut() const;

    // The list's text size in Arial's widths, so that the four frames fit side by side whatever
    // the desktop's default face.
    QFont police_;
    QButtonGroup* positions_ = nullptr;
    QButtonGroup* modeles_ = nullptr;
    ReglagesNumerotation reglages_;
};

QLabel* FenetreNumerotation::texte(int numero, const char* legende, int x, int y) {
    auto* l = creer<QLabel>(numero, QString::fromUtf8(legende));
    l->setFont(police_);
    l->setGeometry(x, y, largeur_texte(legende) + 2, ligne_texte());
    definir_valeur_affichage(numero, 1);
    l->show();
    return l;
}

QGroupBox* FenetreNumerotation::cadre(int numero, const char* legende, const QRect& zone) {
    auto* c = creer<QGroupBox>(numero, QString::fromUtf8(legende));
    c->setFont(police_);
    c->setGeometry(zone);
    c->lower();
    c->show();
    return c;
}

void FenetreNumerotation::construire() {
    QWidget* statut = control(kStatutDossier);
    QWidget* liste = control(kListeFichiers);
    if (!statut || !liste) return;
    statut->setGeometry(30, statut->y(), corps()->width() - 60, statut->height());
    liste->setGeometry(30, statut->y() + statut->height(), statut->width(),
                       liste_sauvee_.height() / 2 - 40);
    construire_boutons();
    const int B = liste->y() + liste->height();
    // Ten text lines, or what the last parameter row needs when the text is tall.
    const int h = ligne_texte();
    const int hauteur = std::max(10 * h + 10, kPremiereRangee + 4 * kEcartRangees + h + 8 - 15);
    const QRect p = construire_positions(B, hauteur);
    const QRect d = construire_debut_fin(p, B, hauteur);
    const QRect m = construire_modeles(d, B, hauteur);
    construire_parametres(m, B, hauteur);
    construire_chargements(p.y() + p.height() + 27);
    if (auto* s = control_as<QLineEdit>(kDebut)) s->setFocus();
}

// "Annuler" where window 1's own stands, "Numéroter les pages images" 20 pixels to its left,
// "Ouvrir le dossier temporaire" at the left end of the bar.
void FenetreNumerotation::construire_boutons() {
    QWidget* barre = control(kBarreBas);
    QWidget* annuler = control(kAnnuler);
    if (!barre || !annuler) return;
    const QFont& police = *f_.ressources().police(kPoliceBoutons);
    auto bouton = [&](int n, const char* legende, int x_droite, int x_gauche) {
        const QString l = QString::fromUtf8(legende);
        const int largeur = taille_ou_defaut(mesurer_texte(&police, l)).width() + 40;
        const int x = x_gauche >= 0 ? x_gauche : x_droite - largeur;
        BoutonTheme* b =
            Creer_Bouton(n, x, annuler->y(), largeur, kHauteurBouton, l, barre, police);
        adopter(n, b);
        colorer_bouton(n);
        relayer_clics(b, n);
        b->show();
        return b->geometry();
    };
    const QRect a = bouton(kAnnulerNumerotation, kLegendeAnnuler, -1, annuler->x());
    bouton(kNumeroterImages, kLegendeNumeroter, a.x() - 20, -1);
    bouton(kOuvrirDossierTemporaire, kLegendeDossierTemporaire, -1, 10);
}

QRect FenetreNumerotation::construire_positions(int B, int hauteur) {
    const int h = ligne_texte();
    const char* legende = kLegendeCadrePositions;
    const QRect zone(30, B + 15, largeur_texte(legende) + 75, hauteur);
    cadre(kCadrePosition, legende, zone);
    positions_ = new QButtonGroup(this);  // owned by the window
    int y = B + 60;
    for (const Position& p : kPositions) {
        auto* o = creer<QRadioButton>(p.controle, QString::fromUtf8(p.legende));
        o->setFont(police_);
        o->setGeometry(65, y, largeur_texte(p.legende) + 30, h + 4);
        positions_->addButton(o);
        relayer_clics(o, p.controle);
        o->show();
        y += 30;
    }
    control_as<QRadioButton>(kBasADroite)->setChecked(true);
    return zone;
}

// "Début" and "Fin", each field 20 pixels right of its label; "Fin" one text line and 30 pixels
// below "Début".
QRect FenetreNumerotation::construire_debut_fin(const QRect& precedent, int B, int hauteur) {
    const int h = ligne_texte();
    const char* legende = kLegendeCadreDebutFin;
    const int x = precedent.right() + 1 + 30;
    const int largeur_textes = std::max(largeur_texte(kLegendeDebut), largeur_texte(kLegendeFin));
    const int largeur = std::max(largeur_texte(legende) + kMargeTitre,
                                 35 + largeur_textes + 20 + kLargeurChamp + 35);
    const QRect zone(x, B + 15, largeur, hauteur);
    cadre(kCadreDebutFin, legende, zone);
    const int x_champ = x + 35 + largeur_textes + 20;
    auto champ = [&](int n, int y, bool lecture_seule) {
        auto* e = creer<QLineEdit>(n);
        e->setFont(police_);
        e->setGeometry(x_champ, y - 4, kLargeurChamp, h + 8);
        e->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
        // Début has at most 9 digits; Fin (read only) may show one more.
        if (!lecture_seule) e->setMaxLength(kChiffresDebutMaxi);
        e->setReadOnly(lecture_seule);
        e->show();
        return e;
    };
    texte(kTexteDebut, kLegendeDebut, x + 35, B + 60);
    QLineEdit* d = champ(kDebut, B + 60, false);
    connect(d, &QLineEdit::textChanged, &f_,
            [this] { f_.traiter_controle(kDebut, TypeEvenement::Changement); });
    texte(kTexteFin, kLegendeFin, x + 35, B + 60 + h + 30);
    champ(kFin, B + 60 + 48, true);
    return zone;
}

// The samples in a 2 x 2 grid 30 pixels inside the frame, each with its option centred under it; a
// rectangle is centred vertically against the round sample beside it.
QRect FenetreNumerotation::construire_modeles(const QRect& precedent, int B, int hauteur) {
    const char* legende = kLegendeCadreModeles;
    const int x = precedent.right() + 1 + 30;
    constexpr int kLargeurEchantillon = 50, kHauteurRond = 45, kEcart = 30;
    const int largeur =
        std::max(largeur_texte(legende) + kMargeTitre, 30 + 2 * kLargeurEchantillon + kEcart + 30);
    const QRect zone(x, B + 15, largeur, hauteur);
    cadre(kCadreModeles, legende, zone);
    modeles_ = new QButtonGroup(this);  // owned by the window
    const int hauteur_cellule = kHauteurRond + 4 + kCoteOption + 8;
    for (std::size_t i = 0; i < std::size(kModeles); ++i) {
        const Modele& m = kModeles[i];
        f_.ressources().definir_image(m.image, dessiner_echantillon(m.modele, false));
        f_.ressources().definir_image(m.image_grisee, dessiner_echantillon(m.modele, true));
        const QImage& image = *f_.ressources().image(m.image);
        const int xc = x + 30 + int(i % 2) * (kLargeurEchantillon + kEcart);
        const int yc = B + kPremiereRangee + int(i / 2) * hauteur_cellule;
        auto* e = creer<QLabel>(m.echantillon);
        e->setPixmap(QPixmap::fromImage(image));
        e->setGeometry(xc, yc + (kHauteurRond - image.height()) / 2, image.width(), image.height());
        e->show();
        auto* o = creer<QRadioButton>(m.option);
        o->setGeometry(xc + (kLargeurEchantillon - kCoteOption) / 2, yc + kHauteurRond + 4,
                       kCoteOption, kCoteOption);
        modeles_->addButton(o);
        relayer_clics(o, m.option);
        o->show();
    }
    control_as<QRadioButton>(kModeleRectangleBlanc)->setChecked(true);
    return zone;
}

// Five labels 35 pixels inside the frame, 35 pixels apart, and their spin boxes aligned 20 pixels
// right of the widest label.
QRect FenetreNumerotation::construire_parametres(const QRect& precedent, int B, int hauteur) {
    const char* legende = kLegendeCadreParametres;
    const int x = precedent.right() + 1 + 30;
    int large = 0;
    for (const PlageParametre& p : kPlagesNumerotation)
        large = std::max(large, largeur_texte(p.legende));
    const int x_champ = x + 35 + large + 20;
    const int largeur =
        std::max(largeur_texte(legende) + kMargeTitre, x_champ + kLargeurChamp + 25 - x);
    const QRect zone(x, B + 15, largeur, hauteur);
    cadre(kCadreParametres, legende, zone);
    const int h = ligne_texte();
    for (std::size_t i = 0; i < std::size(kParametres); ++i) {
        const PlageParametre& plage = kPlagesNumerotation[i];
        const Parametre& p = kParametres[i];
        const int y = B + kPremiereRangee + kEcartRangees * int(i);
        texte(p.texte, plage.legende, x + 35, y);
        auto* s = creer<ChampParametre>(p.champ);
        s->setFont(police_);
        s->setRange(int(plage.minimum), int(plage.maximum));
        s->setValue(int(std::clamp(GLB_Preferences().*p.valeur, plage.minimum, plage.maximum)));
        GLB_Preferences().*p.valeur = s->value();
        s->findChild<QLineEdit*>()->setReadOnly(true);
        s->setGeometry(x_champ, y - 4, kLargeurChamp, h + 8);
        changement_parametre(i, TypeEvenement::Changement);
        connect(s, &QSpinBox::valueChanged, &f_,
                [this, n = p.champ] { f_.traiter_controle(n, TypeEvenement::Changement); });
        s->fleche = [this, n = p.champ](bool haut) {
            f_.traiter_controle(n, haut ? TypeEvenement::FlecheHaut : TypeEvenement::FlecheBas);
        };
        f_.sur_evenement(kRedessinerPremierChamp + int(i), [n = p.champ] {
            if (QWidget* w = control(n)) {
                w->setUpdatesEnabled(true);
                w->update();
                w->repaint();
            }
        });
        s->show();
    }
    return zone;
}

// A 40 x 40 white window without border 10 pixels right of its label, holding a tool bar of one
// 32 x 32 button with the folder picture.
QWidget* FenetreNumerotation::fenetre_outil(int numero_fenetre, int numero_barre, int item,
                                            const QRect& a_cote_de) {
    auto* w = new QWidget(corps());  // owned by the body
    enregistrer_fenetre(numero_fenetre, w);
    w->setGeometry(a_cote_de.right() + 1 + 10, a_cote_de.center().y() - kCoteFenetreOutil / 2,
                   kCoteFenetreOutil, kCoteFenetreOutil);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, Qt::white);
    w->setPalette(p);
    w->setAutoFillBackground(true);
    auto* barre = new QToolBar(w);  // owned by its window
    enregistrer_barre_outils(numero_barre, barre);
    barre->setIconSize(QSize(kCoteIconeOutil, kCoteIconeOutil));
    barre->setGeometry(0, 0, kCoteFenetreOutil, kCoteFenetreOutil);
    const QImage* dossier = f_.ressources().image(kImageDossier);
    QAction* a =
        barre->addAction(dossier ? QIcon(QPixmap::fromImage(*dossier)) : QIcon(), QString());
    a->setData(item);
    connect(a, &QAction::triggered, this, [this, item] { menu(item); });
    w->show();
    return w;
}

void FenetreNumerotation::construire_chargements(int y) {
    const QLabel* liste = texte(kTexteChargerListe, kLegendeChargerListe, 40, y);
    fenetre_outil(kFenetreChargerListe, kBarreChargerListe, kItemChargerListe, liste->geometry());
    const QLabel* images =
        texte(kTexteChargerImages, kLegendeChargerImages, kXTexteChargerImages, y);
    fenetre_outil(kFenetreChargerImages, kBarreChargerImages, kItemChargerImages,
                  images->geometry());
}

void FenetreNumerotation::ouvert() {
    ajouter_troisieme_colonne();
    mettre_a_jour_fin();
}

std::optional<std::int64_t> FenetreNumerotation::debut() const {
    const QString t = texte_controle(kDebut).trimmed();
    if (t.isEmpty()) return std::nullopt;
    return t.toLongLong();  // digits only: a text that is no number reads as 0
}

void FenetreNumerotation::mettre_a_jour_fin() {
    definir_texte_controle(kFin,
                           QString::number(fin_affichee(debut(), GLB_Fichiers_Images().size())));
}

// With rows and only its first two columns, the list gets "Nouveau nom de fichier", where the
// workers write each page's new name; every column then fits its header and its rows, and the
// first one takes what the others leave, so that the progress text shows whole.
void FenetreNumerotation::ajouter_troisieme_colonne() {
    QTreeWidget* l = f_.liste();
    if (!l) return;
    const int barre = l->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (l->topLevelItemCount() == 0) {
        ajuster_colonne_0(f_);
        l->setColumnWidth(0, l->columnWidth(0) - barre);
        return;
    }
    if (l->columnCount() != 2) return;
    l->setColumnCount(3);
    l->headerItem()->setText(2, QString::fromUtf8(kColonneNouveauNom));
    for (int c = 0; c < 3; ++c) l->resizeColumnToContents(c);
    const int reste = l->viewport()->width() - l->columnWidth(1) - l->columnWidth(2);
    l->setColumnWidth(0, std::max(l->columnWidth(0) + 20, reste));
}

void FenetreNumerotation::traiter(int numero, TypeEvenement type) {
    if (numero == kAnnulerNumerotation) {
        if (!en_cours()) quitter();
    } else if (numero == kQuitter) {
        f_.close();
    } else if (numero == kNumeroterImages) {
        if (!en_cours()) numeroter();
    } else if (numero == kOuvrirDossierTemporaire) {
        f_.dialogs().ouvrir_dossier(Dossier_Temporaire());
    } else if (numero == kDebut) {
        mettre_a_jour_fin();
    } else {
        for (std::size_t i = 0; i < std::size(kParametres); ++i)
            if (kParametres[i].champ == numero) changement_parametre(i, type);
    }
}

// A change keeps the value at once and shows it in red at either bound; an arrow sends the focus
// to the file list and repaints the spin box once its new value is drawn.
void FenetreNumerotation::changement_parametre(std::size_t i, TypeEvenement type) {
    auto* s = control_as<QSpinBox>(kParametres[i].champ);
    if (!s) return;
    if (type == TypeEvenement::Changement) {
        const PlageParametre& plage = kPlagesNumerotation[i];
        GLB_Preferences().*kParametres[i].valeur = s->value();
        const bool borne = s->value() == plage.minimum || s->value() == plage.maximum;
        colorer_texte(s, borne ? kTexteBorne : kTexteNormal);
    } else if (type == TypeEvenement::FlecheHaut || type == TypeEvenement::FlecheBas) {
        s->setUpdatesEnabled(false);
        if (QWidget* l = control(kListeFichiers)) l->setFocus();
        f_.poster(kRedessinerPremierChamp + int(i));
    }
}

void FenetreNumerotation::menu(int item) {
    if (en_cours()) return;
    if (item == kItemChargerListe) charger_fichier_liste(f_);
    if (item == kItemChargerImages) choisir_images();
    if (f_.liste() && f_.liste()->topLevelItemCount() > 0) ajouter_troisieme_colonne();
    mettre_a_jour_fin();
}

// Without images after the selection the window gives up its bottom bar to "Quitter"; it takes
// it back once images are chosen, so that it can number them and be left.
void FenetreNumerotation::choisir_images() {
    const QString titre = QString::fromUtf8(kTitreSelection);
    remplacer_liste(f_, GLB_Fichiers_Images().empty() ? titre : titre + QLatin1Char(' '));
    const bool vide = GLB_Fichiers_Images().empty();
    colorer_barre(vide ? kFondBarreBasAccueil : kFondBarreNumerotation);
    montrer(kAnnulerNumerotation, !vide);
    montrer(kNumeroterImages, !vide);
    montrer(kQuitter, vide);
    if (!vide) {
        ajuster_colonne_0(f_);
        return;
    }
    QWidget* effacer = control(kEffacerListe);
    if (effacer) effacer->setUpdatesEnabled(false);
    activer_selon_liste(f_);
    if (effacer) {
        effacer->setUpdatesEnabled(true);
        effacer->repaint();
    }
}

void FenetreNumerotation::numeroter() {
    activer_fenetre(false);
    const std::size_t n = GLB_Fichiers_Images().size();
    if (n == 0) {
        activer_fenetre(true);
        afficher_message(f_.dialogs(), *refus_demande(debut(), n), &f_);
        return;
    }
    reinitialiser_icones(f_);
    ajouter_troisieme_colonne();
    mettre_a_jour_fin();
    if (auto refus = refus_demande(debut(), n)) {
        activer_fenetre(true);
        afficher_message(f_.dialogs(), *refus, &f_);
        return;
    }
    Repartition r = repartir_par_parite(GLB_Fichiers_Images(), constantes_numerotation());
    if (!r.lots) {
        activer_fenetre(true);
        afficher_message(f_.dialogs(), *r.message, &f_);
        return;
    }
    reglages_ = {};
    reglages_.debut = *debut();
    reglages_.fin = reglages_.debut + std::int64_t(n) - 1;
    reglages_.position = kPositions[0].position;
    for (const Position& p : kPositions)
        if (auto* o = control_as<QRadioButton>(p.controle); o && o->isChecked())
            reglages_.position = p.position;
    ModeleNumero modele = ModeleNumero::RectangleBlanc;
    for (const Modele& m : kModeles)
        if (auto* o = control_as<QRadioButton>(m.option); o && o->isChecked()) modele = m.modele;
    reglages_.parametres = parametres_des_preferences();
    const DossierPrive temporaire = dossier_temporaire_prive();
    if (!temporaire) {
        activer_fenetre(true);
        Boite_Message(f_.dialogs(),
                      QStringLiteral(" Le dossier temporaire ne peut pas être utilisé"),
                      QString::fromStdString(temporaire.erreur), kIconeErreur, &f_);
        return;
    }
    reglages_.dossier = temporaire.chemin;
    if (!lancer(std::make_unique<RunNumerotation>(f_, reglages_, modele, std::move(*r.lots)))) {
        activer_fenetre(true);
        Boite_Message(f_.dialogs(),
                      QStringLiteral("Impossible de démarrer les deux fils de traitement"),
                      QString(), kIconeErreur, &f_);
    }
}

void FenetreNumerotation::execution_terminee() {
    afficher_message(f_.dialogs(), terminer_numerotation(reglages_), &f_);
    activer_fenetre(true);
}

// While a request is checked and a run lasts, only "Ouvrir le dossier temporaire" stays usable:
// the labels turn grey and the samples show their greyed pictures.
void FenetreNumerotation::activer_fenetre(bool actif) {
    for (int n : {kCadrePosition, kCadreDebutFin, kDebut, kFin, kCadreModeles, kCadreParametres,
                  kAnnulerNumerotation, kNumeroterImages})
        activer(n, actif);
    for (const Position& p : kPositions) activer(p.controle, actif);
    for (const Parametre& p : kParametres) {
        activer(p.champ, actif);
        definir_valeur_affichage(p.texte, actif ? 1 : 2);
    }
    for (int n : {kTexteDebut, kTexteFin, kTexteChargerListe, kTexteChargerImages})
        definir_valeur_affichage(n, actif ? 1 : 2);
    for (const Modele& m : kModeles) {
        activer(m.option, actif);
        auto* e = control_as<QLabel>(m.echantillon);
        const QImage* image = f_.ressources().image(actif ? m.image : m.image_grisee);
        if (e && image) e->setPixmap(QPixmap::fromImage(*image));
    }
    for (int w : {kFenetreChargerListe, kFenetreChargerImages})
        if (QWidget* fen = fenetre(w)) fen->setEnabled(actif);
    for (int b : {kBarreChargerListe, kBarreChargerImages})
        if (auto* barre = qobject_cast<QToolBar*>(barre_outils(b)))
            for (QAction* a : barre->actions()) a->setEnabled(actif);
    if (actif) f_.repaint();
}

// The third column goes, column 1 fills what column 0 leaves; the tool-bar windows and the
// samples' pictures go with the window.
void FenetreNumerotation::rendre() {
    if (QTreeWidget* l = f_.liste();
        l && l->columnCount() > 2 &&
        l->headerItem()->text(2) == QString::fromUtf8(kColonneNouveauNom)) {
        l->setColumnCount(2);
        l->setColumnWidth(1, l->viewport()->width() - l->columnWidth(0));
    }
    for (int w : {kFenetreChargerListe, kFenetreChargerImages})
        if (QWidget* fen = fenetre(w)) fen->deleteLater();
    for (std::size_t i = 0; i < std::size(kParametres); ++i)
        f_.sur_evenement(kRedessinerPremierChamp + int(i), {});
    activer_selon_liste(f_);
}

}  // namespace

void Ouvrir_Numerotation(FenetrePrincipale& f) {
    FenetreNumerotation fenetre(f);
    fenetre.executer();
}

}  // namespace vellumor::app
