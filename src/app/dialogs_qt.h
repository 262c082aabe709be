#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <memory>

#include "app/dialogs.h"

namespace vellumor::app {

// The dialogs of the desktop, through Qt.
class DialogsQt : public Dialogs {
  public:
    Reponse dialogue_tache(const DialogueTache& d, QWidget* parent) override;
    int boite_simple(const QString& titre, const QString& texte, std::uint32_t style) override;
    QStringList ouvrir_fichiers(const QString& titre, const QString& dossier, const QString& filtre,
                                bool multiple) override;
    QString enregistrer_fichier(const QString& titre, const QString& dossier,
                                const QString& filtre) override;
    void copier_texte(const QString& texte) override;
    QString texte_copie() override;
    bool ouvrir_dossier(const QString& dossier) override;
};

// The box that shows d: text = heading, informativeText = body, detailedText = details.
std::unique_ptr<QMessageBox> construire_boite_tache(const DialogueTache& d, QWidget* parent);
Reponse reponse_de(int bouton_standard);

// The plain box for (titre, texte, style): Yes/No when the low four bits are 4, OK otherwise.
std::unique_ptr<QMessageBox> construire_boite_simple(const QString& titre, const QString& texte,
                                                     std::uint32_t style, QWidget* parent);
int code_de(int bouton_standard);

// Qt's own file dialog (the desktop's would speak the desktop's language), its detail view in the
// program's locale; a save dialog when enregistrer, else an open dialog for one or several files.
std::unique_ptr<QFileDialog> construire_dialogue_fichiers(const QString& titre,
                                                          const QString& dossier,
                                                          const QString& filtre, bool enregistrer,
                                                          bool multiple);

// "Fichiers images|*.png;*.tif" -> "Fichiers images (*.png *.tif)"; a bare "*.txt" stays a pattern.
QString filtre_qt(const QString& filtre);

// Carriage returns of the program's texts become line breaks on screen.
QString texte_affiche(const QString& texte);

}  // namespace vellumor::app
