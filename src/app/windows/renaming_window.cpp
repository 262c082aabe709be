#include "app/windows/renaming_window.h"

#include <QAction>
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
#include "app/themed_button.h"
#include "app/windows/renaming_ids.h"
#include "imagelist/image_list.h"
#include "imagelist/number_test.h"
#include "ops/renaming/disk_rename.h"
#include "ops/renaming/renaming_constants.h"
#include "ops/renaming/sequence.h"
#include "settings/preferences.h"

namespace vellumor::app {
namespace {

using namespace vellumor::renaming;

void colorer(QWidget* w, Couleur texte, Couleur fond) {
    QPalette p = w->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, qcouleur(texte));
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
        p.setColor(role, qcouleur(fond));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QString nom_fichier(const std::filesystem::path& p) {
    return QString::fromStdString(p.filename().string());
}

// The renaming window: the list shrunk to the top of the body, the original and renamed name
// patterns under it, the sources and sequence frames at its right.
class FenetreRenommage : public Panneau {
  public:
    FenetreRenommage(FenetrePrincipale& f, ModeRenommage mode) : Panneau(f), mode_(mode) {
        fond_barre = kBottomBarColour;
        boutons_barre = {kAnnuler, kRenommer, kTesterNumerotation};
    }

  protected:
    void construire() override;
    void ouvert() override;
    void traiter(int numero, TypeEvenement type) override;
    void rendre() override;

  private:
    QLabel* etiquette(int numero, std::string_view texte, int x, int y);
    QLineEdit* champ(int numero, const std::string& texte, const QLabel& voisin, Couleur fond);
    QSpinBox* compteur(int numero, const QLabel& voisin, int largeur, int mini, int maxi);
    QRadioButton* option(int numero, std::string_view texte, int x, int y);
    void construire_motifs(const QRect& liste);
    void construire_cadres_droits(const QRect& liste);
    void appliquer_mode();

    std::optional<std::int64_t> premier_numero_saisi() const;
    std::optional<ParametresRenommage> parametres_saisis() const;
    std::int64_t dernier_numero_suite(std::int64_t premier) const;
    void sur_premier_numero();
    void afficher_dernier_numero();
    void calculer_exemple();
    void renommer();
    void apres_renommage(const ResultatRenommage& r, const std::vector<Renommage>& plan,
                         const std::filesystem::path& liste);
    void proposer_renommage_disque(const ParametresRenommage& p);

    ModeRenommage mode_;
    int hauteur_ligne_ = 20;
};

void FenetreRenommage::construire() {
    QWidget* c = corps();
    QWidget* statut = control(kStatutDossier);
    QWidget* liste = control(kListeFichiers);
    if (!c || !statut || !liste) return;
    statut->setGeometry(30, 10, c->width() - 60, statut->height());
    liste->setGeometry(30, statut->y() + statut->height(), statut->width(),
                       int(std::lround(liste_sauvee_.height() / 2.5)));
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
    champ(kPrefixeOrigine, origine.prefixe, *prefixe_origine, kOriginalFieldFill);
    auto* suffixe_origine = etiquette(kTexteSuffixeOrigine, kCaptionSuffix, prefixe_origine->x(),
                                      prefixe_origine->geometry().bottom() + 1 + 10);
    QLineEdit* fin = champ(kSuffixeOrigine, origine.suffixe, *suffixe_origine, kOriginalFieldFill);
    cadre_origine->setGeometry(liste.x(), l + 10, liste.width(), 90);

    auto* cadre_renomme =
        creer<QGroupBox>(kCadreFichiersRenommes, texte_utf8(kCaptionRenamedFiles));
    const int bas_52 = suffixe_origine->geometry().bottom() + 1;
    cadre_renomme->setGeometry(liste.x(), bas_52 + 25, liste.width(), 90);
    auto* prefixe =
        etiquette(kTextePrefixeRenomme, kCaptionPrefix, prefixe_origine->x(), bas_52 + 50);
    champ(kPrefixeRenomme, origine.prefixe, *prefixe, kRenamedFieldFill);
    auto* suffixe = etiquette(kTexteSuffixeRenomme, kCaptionSuffix, prefixe->x(),
                              prefixe->geometry().bottom() + 1 + 20);
    QLineEdit* suffixe_renomme =
        champ(kSuffixeRenomme, origine.suffixe, *suffixe, kRenamedFieldFill);
    for (int n : {kTextePrefixeOrigine, kTexteSuffixeOrigine})
        colorer(control(n), kOriginalLabelText, kWhite);
    for (int n : {kTextePrefixeRenomme, kTexteSuffixeRenomme})
        colorer(control(n), kRenamedLabelText, kWhite);

    auto* exemple = creer<QLabel>(kExempleNom);
    exemple->setFont(f_.police_liste());
    exemple->setAlignment(Qt::AlignCenter);
    exemple->setGeometry(suffixe->x(), suffixe->geometry().bottom() + 1 + 40,
                         suffixe_renomme->geometry().right() + 1 - suffixe->x(),
                         hauteur_ligne_ + 6);
    colorer(exemple, kWhite, kExampleFill);

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
        option(n, texte, x + 10, y);
        y += pas;
    }
    colorer(control(kPagesSourcesToutes), kBlack, kSourcesBothFill);
    control_as<QRadioButton>(kPagesSourcesToutes)->setChecked(true);
    etiquette(kIndiceMiniOrigine, kCaptionFirstIndex, x + 35, y);
    etiquette(kIndiceMaxiOrigine, kCaptionLastIndex, x + 35, y + pas);

    y = suite->y() + 25;
    option(kIncrementUn, kCaptionStepOne, x + 10, y);
    option(kIncrementDeux, kCaptionStepTwo, x + 10, y + pas);
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
    auto* fenetre2 = new QWidget(corps());  // owned by the body, removed in rendre()
    enregistrer_fenetre(kFenetreDossierSauvegarde, fenetre2);
    colorer(fenetre2, kBlack, kWhite);
    fenetre2->setGeometry(dossier->geometry().right() + 1 + 10,
                          dossier->y() + dossier->height() / 2 - 20, 40, 40);
    auto* outils = new QToolBar(fenetre2);  // owned by window 2
    enregistrer_barre_outils(kBarreDossierSauvegarde, outils);
    outils->setIconSize(QSize(32, 32));
    outils->setGeometry(0, 0, 40, 40);
    if (const QImage* image = f_.ressources().image(kImageDossier))
        outils->addAction(QIcon(QPixmap::fromImage(*image)), QString());  // its click does nothing
    fenetre2->show();
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
    colorer(e, kWhite, fond);
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

QRadioButton* FenetreRenommage::option(int numero, std::string_view texte, int x, int y) {
    auto* o = creer<QRadioButton>(numero, texte_utf8(texte));
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
    for (int n = kPremierControleOperation; n <= kDernierControleOperation; ++n)
        if (n >= kPremierControleRenommage) montrer(n, true);
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

void FenetreRenommage::ouvert() {
    f_.update();
    executer_test_numeros(f_);
    QMetaObject::invokeMethod(
        &f_, [&f = f_] { f.traiter_controle(kIndiceMini, TypeEvenement::Changement); },
        Qt::QueuedConnection);
}

void FenetreRenommage::rendre() {
    if (QWidget* w = fenetre(kFenetreDossierSauvegarde)) {
        w->hide();
        w->deleteLater();
    }
}

std::optional<std::int64_t> FenetreRenommage::premier_numero_saisi() const {
    auto* s = control_as<QSpinBox>(kIndiceMini);
    if (!s || s->cleanText().isEmpty()) return std::nullopt;
    return s->value();
}

std::int64_t FenetreRenommage::dernier_numero_suite(std::int64_t premier) const {
    const QTreeWidget* l = f_.liste();
    const std::size_t lignes = l ? std::size_t(l->topLevelItemCount()) : 0;
    const int pas = GLB_Preferences().Incrementer_de_2_Fichiers_Sources_Renommer == 1 ? 2 : 1;
    return dernier_numero_sequence(premier, lignes, pas);
}

void FenetreRenommage::afficher_dernier_numero() {
    auto* label = control_as<QLabel>(kIndiceMaxi);
    if (!label) return;
    const auto premier = premier_numero_saisi();
    label->setText(premier ? QStringLiteral(" ") + QString::number(dernier_numero_suite(*premier))
                           : texte_utf8(kNoLastNumber));
    colorer(label, premier ? kLastNumberText : kNoLastNumberText, kWhite);
}

void FenetreRenommage::sur_premier_numero() {
    const auto premier = premier_numero_saisi();
    auto* chiffres = control_as<QSpinBox>(kNombreChiffres);
    if (!chiffres) return;
    afficher_dernier_numero();
    // Test mode keeps the sequence as it was built: it cannot be changed there.
    if (mode_ == ModeRenommage::Renommage)
        for (int n : {kIncrementUn, kIncrementDeux, kNombreChiffres, kRenommer})
            activer(n, premier.has_value());
    if (!premier) {
        definir_texte_controle(kExempleNom, QString());
        if (auto* texte = chiffres->findChild<QLineEdit*>()) texte->clear();
        return;
    }
    const int minimum = nombre_chiffres(dernier_numero_suite(*premier));
    chiffres->setMinimum(minimum);
    chiffres->setValue(minimum);
    if (auto* texte = chiffres->findChild<QLineEdit*>()) texte->setText(QString::number(minimum));
    calculer_exemple();
}

void FenetreRenommage::calculer_exemple() {
    const auto p = parametres_saisis();
    definir_texte_controle(
        kExempleNom,
        p ? texte_utf8(kExampleLead) + QString::fromStdString(nouveau_nom(*p, 0)) : QString());
}

// The pattern the fields and spin boxes show; nothing while the first number is not available.
std::optional<ParametresRenommage> FenetreRenommage::parametres_saisis() const {
    const auto premier = premier_numero_saisi();
    if (!premier) return std::nullopt;
    ParametresRenommage p;
    p.prefixe = texte_controle(kPrefixeRenomme).toStdString();
    p.suffixe = texte_controle(kSuffixeRenomme).toStdString();
    p.premier = *premier;
    p.pas = GLB_Preferences().Incrementer_de_2_Fichiers_Sources_Renommer == 1 ? 2 : 1;
    const QSpinBox* chiffres = control_as<QSpinBox>(kNombreChiffres);
    p.chiffres = chiffres && !chiffres->cleanText().isEmpty() ? chiffres->value() : 0;
    return p;
}

void FenetreRenommage::traiter(int numero, TypeEvenement type) {
    switch (numero) {
        case kIndiceMini:
            sur_premier_numero();
            return;
        case kIncrementUn:
        case kIncrementDeux:
            GLB_Preferences().Incrementer_de_2_Fichiers_Sources_Renommer =
                numero == kIncrementDeux ? 1 : 0;
            afficher_dernier_numero();
            return;
        case kNombreChiffres:
        case kPrefixeOrigine:
        case kSuffixeOrigine:
        case kPrefixeRenomme:
        case kSuffixeRenomme:
            if (type == TypeEvenement::Changement) calculer_exemple();
            return;
        case kTesterNumerotation:
            executer_test_numeros(f_);
            return;
        case kRenommer:
            renommer();
            return;
        default:
            Panneau::traiter(numero, type);
    }
}

void FenetreRenommage::renommer() {
    const bool bon = executer_test_numeros(f_);
    const ListeImages& images = GLB_Fichiers_Images();
    const QString titre = f_.windowTitle();
    if (!premier_numero(images)) {
        Boite_Message(f_.dialogs(), texte_utf8(kSourceFirstTitle), texte_utf8(kNoValueText),
                      kIconeAvertissement, &f_, titre);
        return;
    }
    if (!dernier_numero(images)) {
        Boite_Message(f_.dialogs(), texte_utf8(kSourceLastTitle), texte_utf8(kNoValueText),
                      kIconeAvertissement, &f_, titre);
        return;
    }
    if (!bon || mode_ == ModeRenommage::Test) return;
    const auto p = parametres_saisis();
    if (!p) return;
    if (const auto raison = valider(*p, images.size())) {
        Boite_Message(f_.dialogs(), texte_utf8(kRenameFailed),
                      QStringLiteral("\n") + QString::fromStdString(*raison), kIconeErreur, &f_);
        return;
    }
    std::vector<std::filesystem::path> fichiers;
    for (const EntreeImage& e : images) fichiers.push_back(e.Fichier);
    const std::vector<Renommage> plan = plan_renommage(fichiers, *p);
    QString texte = QStringLiteral("\n") + texte_utf8(texte_question_renommage(plan.size()));
    for (std::size_t k = 0; k < plan.size() && k < kRenameExamples; ++k)
        texte += QStringLiteral("\r") + nom_fichier(plan[k].source) + QStringLiteral(" -> ") +
                 nom_fichier(plan[k].cible);
    if (plan.size() > kRenameExamples) texte += QStringLiteral("\r…");
    if (Boite_Message(f_.dialogs(), texte_utf8(kRenameQuestion), texte,
                      kIconeQuestion | kBoutonsOuiNon, &f_) != kCodeOui)
        return;
    const std::filesystem::path liste =
        plan.front().source.parent_path() / std::string(kNomListeAnnulation);
    apres_renommage(appliquer_renommage(plan, liste), plan, liste);
}

// The list takes the new names; the user may open the folder of the undo list.
void FenetreRenommage::apres_renommage(const ResultatRenommage& r,
                                       const std::vector<Renommage>& plan,
                                       const std::filesystem::path& liste) {
    if (!r.ok) {
        Boite_Message(f_.dialogs(), texte_utf8(kRenameFailed),
                      QStringLiteral("\n") + QString::fromStdString(r.message), kIconeErreur, &f_);
        return;
    }
    ListeImages& images = GLB_Fichiers_Images();
    QTreeWidget* lignes = f_.liste();
    for (std::size_t k = 0; k < plan.size() && k < images.size(); ++k) {
        images[k].Fichier = plan[k].cible;
        images[k].Numero = Numero_Fin_Nom(plan[k].cible.stem().string());
        if (lignes && int(k) < lignes->topLevelItemCount())
            lignes->topLevelItem(int(k))->setText(0, nom_fichier(plan[k].cible));
    }
    const QString dossier = QString::fromStdString(liste.parent_path().string());
    if (Boite_Message(f_.dialogs(), texte_utf8(kRenameDone),
                      QStringLiteral("\n") + texte_utf8(texte_renommage_fait(r.renommes)) +
                          QStringLiteral("\r") + QString::fromStdString(liste.string()),
                      kIconeQuestion | kBoutonsOuiNon, &f_) == kCodeOui)
        f_.dialogs().ouvrir_dossier(dossier);
}

}  // namespace

bool executer_test_numeros(FenetrePrincipale& f) {
    const ResultatTestNumeros r = tester_numeros(GLB_Fichiers_Images(), fichier_existe);
    const auto copier = [&] {
        if (r.presse_papier) f.dialogs().copier_texte(QString::fromStdString(*r.presse_papier));
    };
    // Missing files are on the clipboard before their box says so; duplicates after theirs.
    const bool copie_d_abord = r.message && r.message->kind == Message::Kind::Simple;
    if (copie_d_abord) copier();
    if (r.message) afficher_message(f.dialogs(), *r.message, &f);
    if (!copie_d_abord) copier();
    return !r.message;
}

IssuePanneau Lancer_Renommage(FenetrePrincipale& f, ModeRenommage mode) {
    colorer_barre_bas(kBottomBarColour);
    montrer(kQuitter, false);
    montrer(kAnnuler, true);
    montrer(kRenommer, true);
    remplacer_liste(f, texte_utf8(kFileDialogTitle));
    if (GLB_Fichiers_Images().empty()) {
        colorer_barre_bas(kFondBarreBasAccueil);
        montrer(kAnnuler, false);
        montrer(kRenommer, false);
        montrer(kQuitter, true);
        activer_selon_liste(f);
        return IssuePanneau::Quitte;
    }
    FenetreRenommage fenetre(f, mode);
    return fenetre.executer();
}

}  // namespace vellumor::app
