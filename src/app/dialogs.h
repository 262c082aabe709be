#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>

namespace vellumor::app {

// The banner colour of a message's shield icon.
enum class Bouclier { Rouge, Jaune, Vert, Bleu };

// A message as the task dialog shows it: heading, body and expandable details.
struct DialogueTache {
    QString titre;
    QString instruction;
    QString corps;
    QString details;
    Bouclier icone = Bouclier::Bleu;
    bool oui_non = false;
    bool operator==(const DialogueTache&) const = default;
};

enum class Reponse { Ok, Oui, Non, Annuler, Echec };

// Plain message box button codes.
inline constexpr int kCodeOk = 1;
inline constexpr int kCodeAnnuler = 2;
inline constexpr int kCodeOui = 6;
inline constexpr int kCodeNon = 7;

// Everything the program asks of the user's desktop: messages, file dialogs, the clipboard and the
// file explorer. The program uses the Qt implementation; tests script the answers.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    virtual Reponse dialogue_tache(const DialogueTache& d, QWidget* parent) = 0;
    // A plain box; style as the message flags take it. Returns kCodeOk, kCodeOui or kCodeNon.
    virtual int boite_simple(const QString& titre, const QString& texte, std::uint32_t style) = 0;
    // Filters are written "Fichiers images|*.png" (description|patterns separated by ";"). Returns
    // the chosen paths in the dialog's order, empty when cancelled.
    virtual QStringList ouvrir_fichiers(const QString& titre, const QString& dossier,
                                        const QString& filtre, bool multiple) = 0;
    // The chosen path, empty when cancelled.
    virtual QString enregistrer_fichier(const QString& titre, const QString& dossier,
                                        const QString& filtre) = 0;
    virtual void copier_texte(const QString& texte) = 0;
    virtual QString texte_copie() = 0;
    // False when no file explorer could be started.
    virtual bool ouvrir_dossier(const QString& dossier) = 0;
};

}  // namespace vellumor::app
