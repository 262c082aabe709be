#include "app/panels/folder_button.h"
#include "app/panels/reconstitution_panel_impl.h"

namespace vellumor::app {
namespace reconstitution_panneau {

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
    if (!c || !placer_liste(liste_sauvee_.height() / 2 - 40)) return;
    c->setUpdatesEnabled(false);
    QWidget* liste = control(kListeFichiers);
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
    const FenetreBoutonDossier w = creer_fenetre_bouton_dossier(
        corps(), f_.ressources(), kBarreImageVierge, {a_cote_de.right() + 1 + 20, a_cote_de.y()});
    parcourir_ = w.fenetre;
    connect(w.bouton, &QAction::triggered, this, [this] { choisir_image_vierge(); });
}

}  // namespace reconstitution_panneau
}  // namespace vellumor::app
