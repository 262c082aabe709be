#include "app/list_helpers.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>
#include <iterator>

#include "app/banner.h"
#include "app/controls.h"
#include "app/main_window.h"
#include "app/main_window_ids.h"
#include "app/message_box.h"
#include "app/paths.h"
#include "batch/lot_fichiers.h"
#include "batch/png_header.h"
#include "imagelist/image_list.h"

namespace vellumor::app {
namespace {

template <class Liste>
bool parmi(int n, const Liste& liste) {
    return std::find(std::begin(liste), std::end(liste), n) != std::end(liste);
}

int lignes(FenetrePrincipale& f) {
    return f.liste() ? f.liste()->topLevelItemCount() : 0;
}

QIcon icone(FenetrePrincipale& f, int image) {
    const QImage* i = f.ressources().image(image);
    return i ? QIcon(QPixmap::fromImage(*i)) : QIcon();
}

}  // namespace

QString titre_colonne_fichiers(std::size_t nombre) {
    return QString::fromStdString(texte_nombre_fichiers(static_cast<std::int64_t>(nombre)));
}

void effacer_liste(FenetrePrincipale& f) {
    GLB_Fichiers_Images().clear();
    if (QTreeWidget* l = f.liste()) {
        l->clear();
        l->headerItem()->setText(0, QString::fromUtf8(kTitreColonneVide));
    }
    definir_texte_controle(kStatutDossier, QString::fromUtf8(kDossierVide));
    activer(kEffacerListe, false);
    activer(kEnregistrerListe, false);
}

void definir_icone_ligne(FenetrePrincipale& f, int ligne, int image) {
    QTreeWidget* l = f.liste();
    if (!l || ligne < 0 || ligne >= l->topLevelItemCount()) return;
    QTreeWidgetItem* item = l->topLevelItem(ligne);
    item->setIcon(0, icone(f, image));
    item->setData(0, Qt::UserRole, image);
}

void reinitialiser_icones(FenetrePrincipale& f) {
    const int n = lignes(f);
    for (int i = 0; i < n; ++i) definir_icone_ligne(f, i, kIconeNeutre);
    activer(kEnregistrerListe, n > 0);
    activer(kEffacerListe, n > 0);
}

void masquer_boutons_geres(FenetrePrincipale& f) {
    for (int n : f.GLB_Boutons()) montrer(n, false);
}

void restaurer_etat_principal(FenetrePrincipale& f) {
    Dessiner_Bandeau(f.ressources(), QString::fromUtf8(kTitreAccueil));
    for (int n : f.GLB_Boutons()) montrer(n, !parmi(n, kGeresCachesAuRetour));
    for (int b : kBarresOutilsLibereesAuRetour)
        if (QWidget* w = barre_outils(b)) w->deleteLater();
    for (int w : kFenetresOutilsFermeesAuRetour)
        if (QWidget* fen = fenetre(w)) fen->close();
}

void activer_selon_liste(FenetrePrincipale& f) {
    const bool lignes_presentes = lignes(f) > 0;
    const int de_la_liste[] = {kEnregistrerListe, kEffacerListe};
    for (int n : f.GLB_Boutons())
        if (!parmi(n, kGeresLaissesEnEtat)) activer(n, lignes_presentes || !parmi(n, de_la_liste));
    if (!lignes_presentes) {
        for (int n : de_la_liste) activer(n, false);
        for (int n : kGeresLaissesEnEtat) activer(n, false);
    }
}

void desactiver_boutons_geres(FenetrePrincipale& f) {
    for (int n : f.GLB_Boutons()) activer(n, false);
}

void ajuster_colonne_0(FenetrePrincipale& f, int largeur) {
    QTreeWidget* l = f.liste();
    if (!l) return;
    l->resizeColumnToContents(0);  // as wide as the header or the widest row
    if (largeur > l->columnWidth(0)) l->setColumnWidth(0, largeur);
}

void remplir_lignes(FenetrePrincipale& f) {
    QTreeWidget* l = f.liste();
    if (!l) return;
    for (const EntreeImage& e : GLB_Fichiers_Images()) {
        auto* item = new QTreeWidgetItem(l);  // owned by the list
        item->setText(kColonneFichier, qtexte(e.Fichier.filename()));
        item->setIcon(kColonneFichier, icone(f, kIconeNeutre));
        item->setData(kColonneFichier, Qt::UserRole, kIconeNeutre);
        item->setText(kColonneBits, QString::fromStdString(texte_bits_couleurs(e.Fichier)));
    }
}

int ligne_du_fichier(const std::filesystem::path& fichier) {
    const ListeImages& liste = GLB_Fichiers_Images();
    for (std::size_t i = 0; i < liste.size(); ++i)
        if (liste[i].Fichier == fichier) return static_cast<int>(i);
    return -1;
}

namespace {

// A row's reason and note are kept apart from its tooltip, which shows both.
constexpr int kRoleRaison = Qt::UserRole + 1;
constexpr int kRoleNote = Qt::UserRole + 2;

void definir_texte_bulle(FenetrePrincipale& f, int ligne, int role, const QString& texte) {
    QTreeWidget* l = f.liste();
    if (!l || ligne < 0 || ligne >= l->topLevelItemCount()) return;
    QTreeWidgetItem* item = l->topLevelItem(ligne);
    item->setData(kColonneFichier, role, texte);
    QStringList bulle;
    for (const int r : {kRoleNote, kRoleRaison})
        if (const QString t = item->data(kColonneFichier, r).toString(); !t.isEmpty()) bulle << t;
    for (int colonne : {kColonneFichier, kColonneBits})
        item->setToolTip(colonne, bulle.join(QLatin1Char('\n')));
}

}  // namespace

void definir_raison_ligne(FenetrePrincipale& f, int ligne, const QString& raison) {
    definir_texte_bulle(f, ligne, kRoleRaison, raison);
}

void definir_note_ligne(FenetrePrincipale& f, int ligne, const QString& note) {
    definir_texte_bulle(f, ligne, kRoleNote, note);
}

QString raisons_des_lignes(FenetrePrincipale& f) {
    QStringList raisons;
    for (int i = 0; i < lignes(f); ++i) {
        const QString r = f.liste()->topLevelItem(i)->data(kColonneFichier, kRoleRaison).toString();
        if (!r.isEmpty()) raisons << r;
    }
    return raisons.join(QLatin1Char('\n'));
}

int annoncer_fin(FenetrePrincipale& f, std::string_view texte_fin) {
    for (int i = 0; i < lignes(f); ++i) {
        QTreeWidgetItem* item = f.liste()->topLevelItem(i);
        if (!item->toolTip(kColonneFichier).isEmpty()) {
            f.liste()->scrollToItem(item, QAbstractItemView::PositionAtCenter);
            break;
        }
    }
    return boite_fin(f.dialogs(), texte_fin, &f, raisons_des_lignes(f));
}

void effacer_raisons(FenetrePrincipale& f) {
    for (int i = 0; i < lignes(f); ++i) {
        definir_raison_ligne(f, i, QString());
        definir_note_ligne(f, i, QString());
    }
}

}  // namespace vellumor::app
