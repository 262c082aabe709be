#pragma once

#include <QString>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/dialogs.h"
#include "app/main_window.h"
#include "app/resources.h"
#include "ops/numbering/stamp_font.h"

namespace vellumor::app {

// The version times ten: 11 + the largest number N of the backup copies "Vellumor - Copie (N...exe"
// in dossier_copies (a copy whose name goes on with a letter counts 0; no folder, no copy: 11).
int Numero_Version(const QString& dossier_copies);
// Where the developer keeps the backup copies that number the versions.
QString dossier_copies_de_sauvegarde();

// "Traitement des images - version 1.10  --  " + the 11-character build label + "(x64)".
QString titre_programme(int version);

// The user's private temporary folder + "/" (see dossier_temporaire_prive), created when missing;
// empty when it cannot be used safely.
QString Dossier_Temporaire();

// "message\r\nline N": the text of the fatal-error box.
QString texte_erreur_fatale(const QString& message, int ligne);

// The program's life from the fonts to the shutdown. The single-instance check comes first (in
// main); then demarrer() makes the fonts, reads the preferences, makes the shared images, checks
// the stamp font, titles and builds the window.
class Session {
  public:
    // nullptr when the window or its banner cannot be made (the process then ends silently).
    static std::unique_ptr<Session> demarrer(Dialogs& dialogs, const QString& dossier_copies);
    ~Session();

    FenetrePrincipale& fenetre() { return *fenetre_; }
    Ressources& ressources() { return ressources_; }
    // Where the preferences are read at start and written at the end.
    const std::filesystem::path& dossier_preferences() const { return dossier_preferences_; }

    // Runs the event loop until window 1 closes, then shuts down; the process's exit code.
    int executer();
    // Preferences written first; then the workers' pages finish; then the window goes. Once only.
    void arreter();

    static Session* courante();

  private:
    explicit Session(Dialogs& dialogs);
    void lire_preferences();
    void ecrire_preferences();

    Dialogs& dialogs_;
    Ressources ressources_;
    std::filesystem::path dossier_preferences_;
    std::optional<numbering::PoliceTampon> police_tampon_;
    std::unique_ptr<FenetrePrincipale> fenetre_;
    bool arretee_ = false;
    bool preferences_gardees_ = true;  // false when the file found was damaged
};

}  // namespace vellumor::app
