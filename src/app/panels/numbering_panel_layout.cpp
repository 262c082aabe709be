#include "app/panels/folder_button.h"
#include "app/panels/numbering_panel_impl.h"

namespace vellumor::app {
namespace numerotation {

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
    if (!statut || !liste || !placer_liste(liste_sauvee_.height() / 2 - 40, 0, statut->y())) return;
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
            creer_bouton(n, x, annuler->y(), largeur, kHauteurBouton, l, barre, police);
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
    const FenetreBoutonDossier w = creer_fenetre_bouton_dossier(
        corps(), f_.ressources(), numero_barre,
        {a_cote_de.right() + 1 + 10, a_cote_de.center().y() - kCoteFenetreBoutonDossier / 2});
    enregistrer_fenetre(numero_fenetre, w.fenetre);
    w.bouton->setData(item);
    connect(w.bouton, &QAction::triggered, this, [this, item] { menu(item); });
    return w.fenetre;
}

void FenetreNumerotation::construire_chargements(int y) {
    const QLabel* liste = texte(kTexteChargerListe, kLegendeChargerListe, 40, y);
    fenetre_outil(kFenetreChargerListe, kBarreChargerListe, kItemChargerListe, liste->geometry());
    const QLabel* images =
        texte(kTexteChargerImages, kLegendeChargerImages, kXTexteChargerImages, y);
    fenetre_outil(kFenetreChargerImages, kBarreChargerImages, kItemChargerImages,
                  images->geometry());
}

}  // namespace numerotation
}  // namespace vellumor::app
