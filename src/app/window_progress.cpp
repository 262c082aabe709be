#include "app/window_progress.h"

#include <QHeaderView>
#include <QMetaObject>
#include <QTreeWidget>
#include <algorithm>

#include "app/events.h"
#include "app/list_helpers.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "batch/png_header.h"

namespace vellumor::app {
namespace {

// Runs action on the main thread, after the reports posted before it.
template <class Action>
void plus_tard(FenetrePrincipale& f, Action action) {
    QMetaObject::invokeMethod(&f, std::move(action), Qt::QueuedConnection);
}

}  // namespace

ProgressionFenetre::ProgressionFenetre(FenetrePrincipale& f) : fenetre_(f) {
    effacer_raisons(f);
}

void ProgressionFenetre::icone_ligne(std::int64_t ligne, int icone) {
    FenetrePrincipale& f = fenetre_;
    plus_tard(f, [&f, ligne, icone] {
        definir_icone_ligne(f, static_cast<int>(ligne), icone);
        QTreeWidget* l = f.liste();
        if (l && ligne >= 0 && ligne < l->topLevelItemCount())
            l->scrollToItem(l->topLevelItem(static_cast<int>(ligne)));
    });
}

void ProgressionFenetre::texte_ligne(std::int64_t ligne, int colonne, const std::string& texte) {
    FenetrePrincipale& f = fenetre_;
    plus_tard(f, [&f, ligne, colonne, t = QString::fromStdString(texte)] {
        QTreeWidget* l = f.liste();
        if (l && ligne >= 0 && ligne < l->topLevelItemCount() && colonne < l->columnCount())
            l->topLevelItem(static_cast<int>(ligne))->setText(colonne, t);
    });
}

void ProgressionFenetre::texte_entete(const std::string& texte) {
    FenetrePrincipale& f = fenetre_;
    plus_tard(f, [&f, t = QString::fromStdString(texte)] {
        QTreeWidget* l = f.liste();
        if (!l) return;
        l->headerItem()->setText(0, t);
        // The progress text grows as files are counted: the column grows with it.
        l->setColumnWidth(0, std::max(l->columnWidth(0), l->header()->sectionSizeHint(0)));
    });
}

void ProgressionFenetre::evenement_fin(std::int64_t evenement) {
    poster_evenement(&fenetre_, static_cast<int>(evenement));
}

void ProgressionFenetre::fichier_fini(const std::filesystem::path& fichier, IssueFichier issue,
                                      const std::string& raison) {
    FenetrePrincipale& f = fenetre_;
    const QString ligne = QString::fromStdString(ligne_issue(fichier, issue, raison));
    // The header of the page just written is read here, on the worker's thread.
    const QString bits = issue == IssueFichier::Ecrit
                             ? QString::fromStdString(texte_bits_couleurs(fichier))
                             : QString();
    plus_tard(f, [&f, fichier, ligne, bits] {
        const int rang = ligne_du_fichier(fichier);
        definir_raison_ligne(f, rang, ligne);
        QTreeWidget* l = f.liste();
        if (!bits.isEmpty() && l && rang >= 0 && rang < l->topLevelItemCount())
            l->topLevelItem(rang)->setText(kColonneBits, bits);
    });
}

void ProgressionFenetre::note_fichier(const std::filesystem::path& fichier, std::int64_t,
                                      const std::string& note) {
    FenetrePrincipale& f = fenetre_;
    plus_tard(f, [&f, fichier, n = QString::fromStdString(note)] {
        definir_note_ligne(f, ligne_du_fichier(fichier), n);
    });
}

void ProgressionFenetre::message(const Message& m) {
    FenetrePrincipale& f = fenetre_;
    plus_tard(f, [&f, m] { afficher_message(f.dialogs(), m, &f); });
}

LignesFixes lignes_de_la_liste(FenetrePrincipale& f) {
    std::vector<std::string> textes;
    if (QTreeWidget* l = f.liste())
        for (int i = 0; i < l->topLevelItemCount(); ++i)
            textes.push_back(l->topLevelItem(i)->text(0).toStdString());
    return LignesFixes(std::move(textes));
}

}  // namespace vellumor::app
