#pragma once

#include <deque>
#include <vector>

#include "app/dialogs.h"

namespace vellumor::app::test {

// Dialogs that answer from queues and keep a record of every call, in order.
class DialogsScriptes : public Dialogs {
  public:
    struct Appel {
        enum class Genre { Tache, Simple, Ouvrir, Enregistrer, Copie, Dossier };
        Genre genre;
        DialogueTache tache;  // Tache only
        QString titre;        // Simple, Ouvrir, Enregistrer
        QString texte;        // Simple, Copie; the folder for Ouvrir, Enregistrer, Dossier
        QString filtre;
        std::uint32_t style = 0;
        bool multiple = false;
    };

    std::vector<Appel> appels;
    std::deque<Reponse> reponses_tache;       // default: Ok
    std::deque<int> reponses_simples;         // default: Yes for a Yes/No box, OK otherwise
    std::deque<QStringList> choix_fichiers;   // default: cancelled
    std::deque<QString> noms_enregistrement;  // default: cancelled
    QString presse_papiers;

    // The calls of one kind, in order.
    std::vector<Appel> de_genre(Appel::Genre g) const;

    Reponse dialogue_tache(const DialogueTache& d, QWidget* parent) override;
    int boite_simple(const QString& titre, const QString& texte, std::uint32_t style) override;
    QStringList ouvrir_fichiers(const QString& titre, const QString& dossier, const QString& filtre,
                                bool multiple) override;
    QString enregistrer_fichier(const QString& titre, const QString& dossier,
                                const QString& filtre) override;
    void copier_texte(const QString& texte) override;
    QString texte_copie() override { return presse_papiers; }
    bool ouvrir_dossier(const QString& dossier) override;
    bool dossier_ouvert = true;  // whether a file explorer opens the folder
};

}  // namespace vellumor::app::test
