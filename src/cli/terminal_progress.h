#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

#include "batch/progress.h"

namespace vellumor::cli {

// A message on one line: title, main instruction and text without their edge blanks, joined by
// " : ", line breaks made blanks, other control characters escaped (see texte_affichable).
std::string message_sur_une_ligne(const Message& m);

// text with every control character (C0, DEL, and C1 in UTF-8) written "\xNN" ("\x1B" ...) and
// backslashes doubled, so that a file name cannot move the cursor, clear the screen or hide
// part of a line on the terminal.
std::string texte_affichable(std::string_view text);

// "reste 42 s", "reste 3 min 05 s", "reste 1 h 02 min": the estimate shown in the progress bar.
std::string texte_temps_restant(double secondes);

// A run's reports on a terminal: a progress bar on err (processed count, current file, time left)
// when barre is set, one line on err per file that failed, one line on out per file left unwritten
// (unless silencieux), and the messages of the workers on err (an error box followed by a
// failed file's line is left out, so that each failed file has one line). Keeps the last header
// text.
class ProgressionTerminal : public Progression {
  public:
    ProgressionTerminal(std::FILE* out, std::FILE* err, std::int64_t total, bool barre,
                        bool silencieux);

    void icone_ligne(std::int64_t, int) override {}
    void texte_entete(const std::string& texte) override;
    void evenement_fin(std::int64_t) override {}
    void fichier_commence(const std::filesystem::path& fichier) override;
    void fichier_fini(const std::filesystem::path& fichier, IssueFichier issue,
                      const std::string& raison) override;
    // Prints "FICHIER : note" on stdout, unless silent.
    void note_fichier(const std::filesystem::path& fichier, std::int64_t ligne,
                      const std::string& note) override;
    void message(const Message& m) override;

    // Removes the bar so that the lines printed next stand on their own.
    void effacer_barre();
    std::string dernier_entete() const;
    std::int64_t echecs() const;
    // Files done, written or left unwritten by the operation's rule; failures are not counted.
    std::int64_t traites() const;

  private:
    void dessiner();                  // with garde_ held
    void montrer_boite_en_attente();  // with garde_ held

    std::FILE* out_;
    std::FILE* err_;
    std::int64_t total_;
    bool barre_;
    bool silencieux_;
    std::chrono::steady_clock::time_point debut_ = std::chrono::steady_clock::now();
    mutable std::mutex garde_;
    std::int64_t finis_ = 0;
    std::int64_t echecs_ = 0;
    std::string courant_;
    std::string entete_;
    bool barre_visible_ = false;
    // An error box is held until the next report: a failure line that follows replaces it.
    std::string boite_en_attente_;
};

}  // namespace vellumor::cli
