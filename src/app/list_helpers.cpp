#include "app/list_helpers.h"

#include <QHeaderView>
#include <QLabel>
#include <QToolBar>
#include <QTreeWidget>
#include <algorithm>
#include <initializer_list>

#include "app/banner.h"
#include "app/controls.h"
#include "app/main_window.h"
#include "app/paths.h"
#include "batch/lot_fichiers.h"
#include "imagelist/image_list.h"

namespace vellumor::app {
namespace {

bool parmi(int n, std::initializer_list<int> liste) {
    return std::find(liste.begin(), liste.end(), n) != liste.end();
}

int lignes(FenetrePrincipale& f) {
    return f.liste() ? f.liste()->topLevelItemCount() : 0;
}

QIcon icone(FenetrePrincipale& f, int image) {
    const QImage* i = f.ressources().image(image);
    return i ? QIcon(QPixmap::fromImage(*i)) : QIcon();
}

void activer_element_barre(int barre, int item) {
    auto* outils = qobject_cast<QToolBar*>(barre_outils(barre));
    if (!outils) return;
    for (QAction* a : outils->actions())
        if (a->data().isValid() && a->data().toInt() == item) a->setEnabled(true);
}

}  // namespace

QString titre_colonne_fichiers(std::size_t nombre) {
    return QString::fromStdString(texte_nombre_fichiers(static_cast<std::int64_t>(nombre)));
}

void effacer_liste(FenetrePrincipale& f) {
    GLB_Fichiers_Images().clear();
    if (QTreeWidget* l = f.liste()) {
        l->clear();
        l->headerItem()->setText(0, QStringLiteral("Nombre de fichiers : "));
    }
    definir_texte_controle(18, QStringLiteral("  Dossier : "));
    activer(13, false);
    activer(12, false);
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
    activer(12, n > 0);
    activer(13, n > 0);
}

void masquer_boutons_geres(FenetrePrincipale& f) {
    for (int n : f.GLB_Boutons()) montrer(n, false);
}

void restaurer_etat_principal(FenetrePrincipale& f) {
    Dessiner_Bandeau(f.ressources(), QString::fromUtf8(kTitreAccueil));
    for (int n : f.GLB_Boutons()) montrer(n, n != 79 && n != 80);
    for (int b : {0, 1})
        if (QWidget* w = barre_outils(b)) w->deleteLater();
    for (int w : {4, 5})
        if (QWidget* fen = fenetre(w)) fen->close();
}

void activer_selon_liste(FenetrePrincipale& f) {
    const bool lignes_presentes = lignes(f) > 0;
    for (int n : f.GLB_Boutons())
        if (!parmi(n, {65, 66, 73, 74})) activer(n, lignes_presentes || !parmi(n, {12, 13}));
    if (!lignes_presentes)
        for (int n : {12, 13, 65, 66, 73, 74}) activer(n, false);
}

void desactiver_boutons_geres(FenetrePrincipale& f) {
    for (int n : f.GLB_Boutons()) activer(n, false);
}

void restaurer_geometrie_liste(FenetrePrincipale& f) {
    if (QWidget* statut = control(18)) statut->setGeometry(f.geometrie_statut_sauvee);
    if (QWidget* liste = control(17)) liste->setGeometry(f.geometrie_liste_sauvee);
}

void mettre_a_jour_numero_fin(FenetrePrincipale& f) {
    const QString debut = texte_controle(107).trimmed();
    const int n = lignes(f);
    long long fin = 0;
    if (!debut.isEmpty() && n > 0) {
        bool ok = false;
        const long long valeur = debut.toLongLong(&ok);
        if (ok) fin = std::max(0LL, valeur + n - 1);
    }
    definir_texte_controle(109, QString::number(fin));
}

void reinitialiser_controles_numerotation(FenetrePrincipale& f) {
    for (int n : {104, 111, 112, 113, 114}) {
        activer(n, true);
        if (QWidget* w = control(n)) w->update();
    }
    activer(107, true);
    activer(109, true);
    for (int n : {106, 108}) definir_valeur_affichage(n, 1);
    for (int n : {117, 122, 125, 124, 123}) activer(n, true);
    const std::pair<int, int> images[] = {{118, 512}, {121, 256}, {119, 64}, {120, 128}};
    for (const auto& [controle, image] : images) {
        auto* label = control_as<QLabel>(controle);
        const QImage* i = f.ressources().image(image);
        if (label && i) label->setPixmap(QPixmap::fromImage(*i));
    }
    for (int n : {127, 129, 131, 133, 135, 137, 138}) definir_valeur_affichage(n, 1);
    for (int n : {128, 130, 132, 134, 136}) activer(n, true);
    for (int w : {4, 5})
        if (QWidget* fen = fenetre(w)) fen->setEnabled(true);
    activer_element_barre(0, 0);
    activer_element_barre(1, 1);
    activer(101, true);
    activer(102, true);
    f.repaint();
}

void ajuster_colonne_0(FenetrePrincipale& f) {
    // As wide as the header or the widest row, whichever is wider.
    if (QTreeWidget* l = f.liste()) l->resizeColumnToContents(0);
}

void remplir_lignes(FenetrePrincipale& f) {
    QTreeWidget* l = f.liste();
    if (!l) return;
    for (const EntreeImage& e : GLB_Fichiers_Images()) {
        auto* item = new QTreeWidgetItem(l);  // owned by the list
        item->setText(0, qtexte(e.Fichier.filename()));
        item->setIcon(0, icone(f, kIconeNeutre));
        item->setData(0, Qt::UserRole, kIconeNeutre);
    }
}

}  // namespace vellumor::app
