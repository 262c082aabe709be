#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/message.h"

namespace vellumor {

// The rows of the file list as the workers read them (row text: the file name with its extension).
// The GUI fills it from its list before a run, the CLI from its file list. Read under the run's
// mutex only; it must not change while a run lasts.
class ListeLignes {
  public:
    virtual ~ListeLignes() = default;
    virtual std::int64_t nombre_lignes() const = 0;
    // Text of row 0 <= ligne < nombre_lignes().
    virtual std::string texte_ligne(std::int64_t ligne) const = 0;
};

// Rows held as plain strings.
class LignesFixes : public ListeLignes {
  public:
    explicit LignesFixes(std::vector<std::string> textes) : textes_(std::move(textes)) {}
    std::int64_t nombre_lignes() const override { return std::int64_t(textes_.size()); }
    std::string texte_ligne(std::int64_t ligne) const override { return textes_[ligne]; }

  private:
    std::vector<std::string> textes_;
};

// How a file ended, for the front's per-file report.
enum class IssueFichier { Ecrit, NonEcrit, Echec };

// The line that tells the user about a file that was not written: "Échec : FICHIER : raison" or
// "Non écrit : FICHIER : raison"; empty for a written file. The command line prints it, the window
// shows it over the file's row and in the run's completion box.
inline std::string ligne_issue(const std::filesystem::path& fichier, IssueFichier issue,
                               const std::string& raison) {
    if (issue == IssueFichier::Ecrit) return {};
    return (issue == IssueFichier::Echec ? "Échec : " : "Non écrit : ") + fichier.string() + " : " +
           raison;
}

// How a run's workers report. Called from the worker threads: row, header and count reports are
// made under the run's mutex, in the order the run makes them; an implementation must not call back
// into the run. The GUI posts each call to its main thread; the CLI draws on stderr; tests record.
class Progression {
  public:
    virtual ~Progression() = default;
    // Sets the icon of a row (0 <= ligne < row count), repaints the list and scrolls the row into
    // view.
    virtual void icone_ligne(std::int64_t ligne, int icone) = 0;
    // Sets the text of a column of a row (numbering writes the new name in column 2).
    virtual void texte_ligne(std::int64_t ligne, int colonne, const std::string& texte) {
        (void)ligne, (void)colonne, (void)texte;
    }
    // Sets the title of the list's first column.
    virtual void texte_entete(const std::string& texte) = 0;
    // A worker posts its record's done event; it is the worker's last report.
    virtual void evenement_fin(std::int64_t evenement) = 0;
    // A worker begins a file (before loading it).
    virtual void fichier_commence(const std::filesystem::path& fichier) { (void)fichier; }
    // A worker is done with a file: written, left unwritten (with the reason) or failed (with the
    // reason, a French line for the user).
    virtual void fichier_fini(const std::filesystem::path& fichier, IssueFichier issue,
                              const std::string& raison) = 0;
    // What the operation tells about a file it is done with, just before fichier_fini (the row
    // of the file, or -1): the GUI puts it in the row's tooltip, the CLI prints it.
    virtual void note_fichier(const std::filesystem::path& fichier, std::int64_t ligne,
                              const std::string& note) {
        (void)fichier, (void)ligne, (void)note;
    }
    // A message box that a worker shows (the GUI shows it, the CLI prints it).
    virtual void message(const Message& m) = 0;
};

}  // namespace vellumor
