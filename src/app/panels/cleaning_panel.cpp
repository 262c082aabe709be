#include <QCheckBox>
#include <QGroupBox>

#include "app/controls.h"
#include "app/main_window_ids.h"
#include "app/panels/cleaning_ids.h"
#include "app/panels/launchers.h"
#include "app/themed_button.h"
#include "batch/originaux.h"
#include "ops/chain/chain_worker.h"
#include "ops/cleaning/cleaning_constants.h"
#include "ops/cleaning/cleaning_worker.h"
#include "ops/colourising/colourising_constants.h"
#include "settings/preferences.h"

namespace vellumor::app {
namespace {

using namespace vellumor::cleaning;

// The shared mask of the speck patterns, kept with the preferences.
std::int64_t& Masque_Nettoyage() {
    return GLB_Preferences().Nettoyer_Img;
}

// The cleaning run, or the chain's one pass over each page (cleaned, cropped and colourised), which
// ends on the colourising's completion message.
DescriptionLot description(bool chaine) {
    DescriptionLot d = decrire_lot(kDescription, kDepartNettoyage);
    d.fond_barre = kFondBarreNettoyage;
    d.efface_liste_vide = true;
    d.travail = [] { return travail_nettoyage(std::uint32_t(Masque_Nettoyage() & kPatternBits)); };
    if (!chaine) return d;
    d.texte_fin = colourising::kDescription.texte_fin;
    d.originaux = kOperationChaine;
    d.travail = [] {
        return chain::travail_chaine(std::uint32_t(Masque_Nettoyage() & kPatternBits));
    };
    return d;
}

// The cleaning panel: the list narrowed to two thirds of the body, the options frame beside it
// with one box per speck pattern, ticked from the mask; the run waits for " Nettoyer les images ".
class PanneauNettoyage : public PanneauLot {
  public:
    PanneauNettoyage(FenetrePrincipale& f, bool enchaine, bool chaine = false)
        : PanneauLot(f, description(chaine), enchaine) {}

  protected:
    void disposer() override;
    void activer_options(bool actif) override {
        for (int n : kCasesMotifs) activer(n, actif);
        activer(kCadreOptionsNettoyage, actif);
    }
    void traiter(int numero, TypeEvenement type) override;

  private:
    void construire_cadre(const QRect& liste);
};

void PanneauNettoyage::disposer() {
    QWidget* corps = this->corps();
    if (!corps || !placer_liste(liste_sauvee_.height() + 40, corps->width() / 3 * 2)) return;
    QWidget* statut = control(kStatutDossier);
    QWidget* liste = control(kListeFichiers);
    construire_cadre(liste->geometry());
    if ((Masque_Nettoyage() & kPatternBits) == 0) Masque_Nettoyage() |= kIsolatedPixel;
    for (std::size_t i = 0; i < kCasesMotifs.size(); ++i)
        if (auto* b = control_as<QCheckBox>(kCasesMotifs[i]))
            b->setChecked(Masque_Nettoyage() & kPatternOptions[i].bit);
    liste->resize(liste->width(), liste->height() - 15);
    statut->resize(corps->width() - 2 * statut->x(), statut->height());
}

void PanneauNettoyage::construire_cadre(const QRect& liste) {
    const int largeur_corps = corps()->width();
    const QFont& police = f_.police_liste();
    auto* cadre = creer<QGroupBox>(kCadreOptionsNettoyage, texte_utf8(kOptionsFrameCaption));
    cadre->setFont(police);
    const int x = liste.x() + liste.width() + liste.x();
    const int y = liste.y() + 51;
    cadre->setGeometry(x, y, largeur_corps - liste.width() - 3 * liste.x(), 0);
    cadre->show();
    int y_boite = -1;
    QRect derniere;
    for (std::size_t i = 0; i < kCasesMotifs.size(); ++i) {
        const QString legende = texte_utf8(kPatternOptions[i].caption);
        const Mesure m = mesurer_texte(&police, legende);
        const QSize taille = m.ok ? QSize(m.largeur + 30, m.hauteur) : QSize(200, 25);
        if (y_boite < 0) y_boite = y + taille.height() + 25;
        auto* boite = creer<QCheckBox>(kCasesMotifs[i], legende);
        boite->setFont(police);
        boite->setGeometry(x + 30, y_boite, taille.width(), taille.height());
        relayer_clics(boite, kCasesMotifs[i]);
        boite->show();
        boite->raise();
        derniere = boite->geometry();
        y_boite += taille.height() + 15;
    }
    cadre->resize(cadre->width(), derniere.y() + derniere.height() - y + 25);
}

void PanneauNettoyage::traiter(int numero, TypeEvenement type) {
    PanneauLot::traiter(numero, type);
    for (std::size_t i = 0; i < kCasesMotifs.size(); ++i) {
        if (kCasesMotifs[i] != numero) continue;
        auto* boite = control_as<QCheckBox>(numero);
        if (!boite) return;
        if (boite->isChecked())
            Masque_Nettoyage() |= kPatternOptions[i].bit;
        else
            Masque_Nettoyage() &= ~std::int64_t(kPatternOptions[i].bit);
    }
}

}  // namespace

IssuePanneau lancer_nettoyage(FenetrePrincipale& f, bool enchaine) {
    PanneauNettoyage panneau(f, enchaine);
    return panneau.executer();
}

IssuePanneau lancer_chaine(FenetrePrincipale& f) {
    PanneauNettoyage panneau(f, false, true);
    return panneau.executer();
}

}  // namespace vellumor::app
