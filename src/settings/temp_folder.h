#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vellumor {

// The user's own temporary folder from the environment: xdg_runtime + "/Vellumor" when
// xdg_runtime names an existing folder by an absolute path, else tmpdir ("/tmp" when empty or
// relative) + "/Vellumor-" + uid. No separator at the end, so that a link there is seen as a link.
std::filesystem::path dossier_temporaire_depuis(std::string_view xdg_runtime,
                                                std::string_view tmpdir, unsigned uid);

// A private folder ready for use, or the French message that says why it cannot be used.
struct DossierPrive {
    std::filesystem::path chemin;
    std::string erreur;
    explicit operator bool() const { return erreur.empty(); }
};

// Creates folder (one level, mode 0700) when missing. An existing one is used only when it is a
// real folder, not a link, owned by this user and closed to group and others: anyone else could
// otherwise plant links in it that the user's runs would write through.
DossierPrive preparer_dossier_prive(const std::filesystem::path& folder);

// The temporary folder of this user, from XDG_RUNTIME_DIR, TMPDIR and the user id, prepared.
DossierPrive dossier_temporaire_prive();

// A run's own work folder inside a private folder: a fresh name made by the system (mode 0700),
// removed with everything in it when the object goes. Work folders left by runs that were killed
// (their process is gone) are removed when a new one is made.
class DossierTravail {
  public:
    // prefix starts the folder's name ("numerotation" gives "numerotation-<pid>-XXXXXX").
    DossierTravail(const std::filesystem::path& parent, std::string_view prefix);
    ~DossierTravail();
    DossierTravail(const DossierTravail&) = delete;
    DossierTravail& operator=(const DossierTravail&) = delete;

    // Empty when the folder could not be made; erreur() then says why.
    const std::filesystem::path& chemin() const { return chemin_; }
    const std::string& erreur() const { return erreur_; }

  private:
    std::filesystem::path chemin_;
    std::string erreur_;
};

}  // namespace vellumor
