#pragma once

// The numbering window's class and tables, shared by its layout (numbering_panel_layout.cpp) and
// its events (numbering_panel.cpp).
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
#include "app/panels/numbering_ids.h"
#include "app/panels/panel.h"
#include "app/panels/window_batch_run.h"
#include "app/paths.h"
#include "app/startup.h"
#include "app/themed_button.h"
#include "app/window_progress.h"
#include "imagelist/image_list.h"
#include "imagelist/repartition_parite.h"
#include "ops/numbering/numbering_constants.h"
#include "ops/numbering/numbering_worker.h"
#include "ops/numbering/parameters.h"
#include "ops/numbering/stamp_files.h"
#include "settings/preferences.h"
#include "settings/temp_folder.h"

namespace vellumor::app {
namespace numerotation {

using namespace vellumor::numbering;

inline constexpr Couleur kFondBarreNumerotation = 0xF6AED8;
inline constexpr const char* kTitreDossierNonOuvert =
    " Le dossier temporaire n'a pas pu être ouvert";
inline constexpr Couleur kTexteBorne = 0x0000FF;  // red
inline constexpr Couleur kTexteNormal = 0x000000;
inline constexpr int kHauteurBouton = 40;
inline constexpr int kLargeurChamp = 50;
inline constexpr int kCoteOption = 20;
inline constexpr int kXTexteChargerImages = 550;
inline constexpr int kMargeTitre = 20;
inline constexpr int kPremiereRangee = 45;  // parameters and samples, below the list's bottom
inline constexpr int kEcartRangees = 35;    // a frame is at least its caption and this much wide

struct Position {
    int controle;
    const char* legende;
    PositionNumero position;
};
inline constexpr Position kPositions[] = {
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
inline constexpr Modele kModeles[] = {
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
inline constexpr Parametre kParametres[] = {
    {kTexteOffsetX, kOffsetX, &Preferences::Offset_X__Impression_numero},
    {kTexteOffsetY, kOffsetY, &Preferences::Offset_Y__Impression_numero},
    {kTexteEpaisseurCadre, kEpaisseurCadre, &Preferences::Frame_thickness__Img_numerotation},
    {kTexteEspacement, kEspacement, &Preferences::Frame_To_Number_spacing__Img_numerotation},
    {kTexteOffsetReliure, kOffsetReliureNumero, &Preferences::Binding_Offset},
};
static_assert(std::size(kParametres) == std::size(kPlagesNumerotation));

inline ParametresNumerotation parametres_des_preferences() {
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

inline void colorer_texte(QSpinBox* s, Couleur c) {
    QLineEdit* e = s->findChild<QLineEdit*>();
    QWidget* cible = e ? static_cast<QWidget*>(e) : s;
    QPalette p = cible->palette();
    p.setColor(QPalette::Text, qcouleur(c));
    cible->setPalette(p);
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
    void ouvrir_dossier_temporaire();
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

}  // namespace numerotation
}  // namespace vellumor::app
