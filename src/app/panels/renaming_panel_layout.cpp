#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolBar>
#include <QTreeWidget>
#include <cmath>

#include "app/colours.h"
#include "app/controls.h"
#include "app/image_selection.h"
#include "app/list_helpers.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/panels/disk_renaming.h"
#include "app/panels/folder_button.h"
#include "app/panels/renaming_ids.h"
#include "app/panels/renaming_panel_impl.h"
#include "app/themed_button.h"
#include "imagelist/image_list.h"
#include "imagelist/number_test.h"
#include "ops/renaming/disk_rename.h"
#include "ops/renaming/renaming_constants.h"
#include "ops/renaming/sequence.h"
#include "settings/preferences.h"

namespace vellumor::app {

using namespace vellumor::renaming;

void colorer_controle(QWidget* w, Couleur texte, Couleur fond) {
    QPalette p = w->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, qcouleur(texte));
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        p.setColor(role, qcouleur(fond));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void FenetreRenommage::construire() {
    if (!placer_liste(int(std::lround(liste_sauvee_.height() / 2.5)))) return;
    QWidget* liste = control(kListeFichiers);
    hauteur_ligne_ =
        taille_ou_defaut(mesurer_texte(&f_.police_liste(), texte_utf8(kCaptionPrefix))).height();
    construire_motifs(liste->geometry());
    construire_cadres_droits(liste->geometry());  // the list was narrowed by the patterns

    const ListeImages& images = GLB_Fichiers_Images();
    const std::pair<int, QString> indices[] = {
        {kIndiceMiniOrigine,
         texte_utf8(kCaptionFirstIndex) + QString::number(images.front().Numero)},
        {kIndiceMaxiOrigine,
         texte_utf8(kCaptionLastIndex) + QString::number(images.back().Numero)}};
    for (const auto& [n, texte] : indices) {
        definir_texte_controle(n, texte);
        if (QWidget* w = control(n))
            w->resize(taille_ou_defaut(mesurer_texte(&f_.police_liste(), texte)).width(),
                      w->height());
    }
    if (auto* premier = control_as<QSpinBox>(kIndiceMini))
        premier->setValue(int(images.front().Numero));
    afficher_dernier_numero();
    if (auto* chiffres = control_as<QSpinBox>(kNombreChiffres)) {
        const auto premier = premier_numero_saisi();
        chiffres->setValue(nombre_chiffres(dernier_numero_suite(premier.value_or(0))));
    }
    appliquer_mode();
}

// From the list's bottom edge: the original pattern in frame 79, the renamed one in frame 80 and
// the example under them; then 18 and the list end where the fields end.
void FenetreRenommage::construire_motifs(const QRect& liste) {
    const int l = liste.y() + liste.height();
    const ModeleOrigine origine = modele_origine(GLB_Fichiers_Images().front().Fichier);
    auto* cadre_origine =
        creer<QGroupBox>(kCadreFichiersOrigine, texte_utf8(kCaptionOriginalFiles));
    auto* prefixe_origine = etiquette(kTextePrefixeOrigine, kCaptionPrefix, liste.x() + 20, l + 35);
    champ(kPrefixeOrigine, origine.prefixe, *prefixe_origine, kFondChampOrigine);
    auto* suffixe_origine = etiquette(kTexteSuffixeOrigine, kCaptionSuffix, prefixe_origine->x(),
                                      prefixe_origine->geometry().bottom() + 1 + 10);
    QLineEdit* fin = champ(kSuffixeOrigine, origine.suffixe, *suffixe_origine, kFondChampOrigine);
    cadre_origine->setGeometry(liste.x(), l + 10, liste.width(), 90);

    auto* cadre_renomme =
        creer<QGroupBox>(kCadreFichiersRenommes, texte_utf8(kCaptionRenamedFiles));
    const int bas_52 = suffixe_origine->geometry().bottom() + 1;
    cadre_renomme->setGeometry(liste.x(), bas_52 + 25, liste.width(), 90);
    auto* prefixe =
        etiquette(kTextePrefixeRenomme, kCaptionPrefix, prefixe_origine->x(), bas_52 + 50);
    champ(kPrefixeRenomme, origine.prefixe, *prefixe, kFondChampRenomme);
    auto* suffixe = etiquette(kTexteSuffixeRenomme, kCaptionSuffix, prefixe->x(),
                              prefixe->geometry().bottom() + 1 + 20);
    QLineEdit* suffixe_renomme =
        champ(kSuffixeRenomme, origine.suffixe, *suffixe, kFondChampRenomme);
    for (int n : {kTextePrefixeOrigine, kTexteSuffixeOrigine})
        colorer_controle(control(n), kTexteEtiquetteOrigine, kWhite);
    for (int n : {kTextePrefixeRenomme, kTexteSuffixeRenomme})
        colorer_controle(control(n), kTexteEtiquetteRenommee, kWhite);

    auto* exemple = creer<QLabel>(kExempleNom);
    exemple->setFont(f_.police_liste());
    exemple->setAlignment(Qt::AlignCenter);
    exemple->setGeometry(suffixe->x(), suffixe->geometry().bottom() + 1 + 40,
                         suffixe_renomme->geometry().right() + 1 - suffixe->x(),
                         hauteur_ligne_ + 6);
    colorer_controle(exemple, kWhite, kFondExemple);

    const int droite = fin->geometry().right() + 1;
    for (QWidget* w : {control(kStatutDossier), control(kListeFichiers),
                       static_cast<QWidget*>(cadre_origine), static_cast<QWidget*>(cadre_renomme)})
        if (w) w->resize(droite - w->x(), w->height());
}

// Frame 81 (sources, the original numbers) and frame 82 (the sequence) right of the list.
void FenetreRenommage::construire_cadres_droits(const QRect& liste) {
    QWidget* statut = control(kStatutDossier);
    const int x = liste.right() + 1 + 20;
    const int largeur = corps()->width() - (liste.right() + 1) - 40;
    const int hauteur = (corps()->height() - 2 * statut->y()) / 2 - 45;
    auto* sources = creer<QGroupBox>(kCadreFichiersSources, texte_utf8(kCaptionSourceFiles));
    sources->setGeometry(x, statut->y() + 10, largeur, hauteur);
    auto* suite = creer<QGroupBox>(kCadrePagesRenommees, texte_utf8(kCaptionRenamedFiles));
    suite->setGeometry(x, sources->geometry().bottom() + 1 + 15, largeur, hauteur + 35);

    const int pas = hauteur_ligne_ + 8;
    int y = sources->y() + 25;
    for (auto [n, texte] : {std::pair{kPagesSourcesToutes, kCaptionSourcesBoth},
                            std::pair{kPagesSourcesPaires, kCaptionSourcesEven},
                            std::pair{kPagesSourcesImpaires, kCaptionSourcesOdd}}) {
        option(n, texte, x + 10, y, sources_);
        y += pas;
    }
    colorer_controle(control(kPagesSourcesToutes), kBlack, kFondSourcesPairesImpaires);
    control_as<QRadioButton>(kPagesSourcesToutes)->setChecked(true);
    etiquette(kIndiceMiniOrigine, kCaptionFirstIndex, x + 35, y);
    etiquette(kIndiceMaxiOrigine, kCaptionLastIndex, x + 35, y + pas);

    y = suite->y() + 25;
    option(kIncrementUn, kCaptionStepOne, x + 10, y, pas_suite_);
    option(kIncrementDeux, kCaptionStepTwo, x + 10, y + pas, pas_suite_);
    const bool deux = GLB_Preferences().Incrementer_de_2_Fichiers_Sources_Renommer == 1;
    control_as<QRadioButton>(deux ? kIncrementDeux : kIncrementUn)->setChecked(true);
    y += 2 * pas;
    const QLabel* texte_premier = etiquette(kTexteIndiceMini, kCaptionFirstNumber, x + 35, y);
    compteur(kIndiceMini, *texte_premier, 90, int(kPremierMini), int(kPremierMaxi));
    const QLabel* texte_dernier = etiquette(kTexteIndiceMaxi, kCaptionLastIndex, x + 35, y + pas);
    QLabel* dernier = etiquette(kIndiceMaxi, kNoLastNumber, texte_dernier->geometry().right() + 1,
                                texte_dernier->y());
    dernier->resize(120, dernier->height());
    const QLabel* texte_chiffres =
        etiquette(kTexteNombreChiffres, kCaptionDigitCount, x + 35, y + 2 * pas);
    compteur(kNombreChiffres, *texte_chiffres, 60, 1, kChiffresMaxi);

    const QLabel* dossier =
        etiquette(kTexteDossierSauvegarde, kCaptionSaveFolder, x + 35, y + 3 * pas + 10);
    const FenetreBoutonDossier fenetre2 = creer_fenetre_bouton_dossier(
        corps(), f_.ressources(), kBarreDossierSauvegarde,
        {dossier->geometry().right() + 1 + 10, dossier->y() + dossier->height() / 2 - 20});
    enregistrer_fenetre(kFenetreDossierSauvegarde, fenetre2.fenetre);  // its button does nothing
}

QLabel* FenetreRenommage::etiquette(int numero, std::string_view texte, int x, int y) {
    auto* l = creer<QLabel>(numero, texte_utf8(texte));
    l->setFont(f_.police_liste());
    const QSize taille = taille_ou_defaut(mesurer_texte(&f_.police_liste(), l->text()));
    l->setGeometry(x, y, taille.width(), taille.height());
    l->show();
    return l;
}

QLineEdit* FenetreRenommage::champ(int numero, const std::string& texte, const QLabel& voisin,
                                   Couleur fond) {
    auto* e = creer<QLineEdit>(numero, QString::fromStdString(texte));
    e->setFont(f_.police_liste());
    e->setFrame(false);
    e->setTextMargins(10, 0, 10, 0);
    e->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    e->setGeometry(voisin.geometry().right() + 1, voisin.y(), 260, voisin.height());
    colorer_controle(e, kWhite, fond);
    connect(e, &QLineEdit::textChanged, &f_,
            [this, numero] { f_.traiter_controle(numero, TypeEvenement::Changement); });
    e->show();
    return e;
}

QSpinBox* FenetreRenommage::compteur(int numero, const QLabel& voisin, int largeur, int mini,
                                     int maxi) {
    auto* s = creer<QSpinBox>(numero);
    s->setFont(f_.police_liste());
    s->setRange(mini, maxi);
    s->setGeometry(voisin.geometry().right() + 1 + 5, voisin.y() + (voisin.height() - 20) / 2,
                   largeur, 20);
    // A new value, and a field cleared by the user (which the spin box itself does not report).
    const auto changement = [this, numero] {
        f_.traiter_controle(numero, TypeEvenement::Changement);
    };
    connect(s, &QSpinBox::textChanged, &f_, changement);
    if (auto* texte = s->findChild<QLineEdit*>())
        connect(texte, &QLineEdit::textChanged, &f_, changement);
    s->show();
    return s;
}

QRadioButton* FenetreRenommage::option(int numero, std::string_view texte, int x, int y,
                                       QButtonGroup& groupe) {
    auto* o = creer<QRadioButton>(numero, texte_utf8(texte));
    groupe.addButton(o);
    o->setFont(f_.police_liste());
    const QSize taille = taille_ou_defaut(mesurer_texte(&f_.police_liste(), o->text()));
    o->setGeometry(x, y, taille.width() + 30, taille.height());
    relayer_clics(o, numero);
    o->show();
    return o;
}

// Test mode offers the test alone: the sequence and the new names can be seen but not changed.
void FenetreRenommage::appliquer_mode() {
    for (int n = kPremierControleRenommage; n <= kDernierControleRenommage; ++n) montrer(n, true);
    const bool test = mode_ == ModeRenommage::Test;
    if (QWidget* w = fenetre(kFenetreDossierSauvegarde)) w->setEnabled(!test);
    if (QWidget* b = barre_outils(kBarreDossierSauvegarde)) b->setEnabled(!test);
    if (!test) return;
    for (int n : {kTexteIndiceMini, kIndiceMini, kCadreFichiersOrigine, kCadrePagesRenommees})
        activer(n, false);
    for (int n : {kExempleNom, kRenommer}) montrer(n, false);
    for (int n = kTexteSuffixeOrigine; n <= kSuffixeRenomme; ++n) activer(n, false);
    for (int n : {kTexteDossierSauvegarde, kIncrementUn, kIncrementDeux}) activer(n, false);
}

}  // namespace vellumor::app
