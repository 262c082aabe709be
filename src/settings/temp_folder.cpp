#include "settings/temp_folder.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>

#include "common/folder_io.h"
#include "common/system_error.h"

namespace vellumor {
namespace {

namespace fs = std::filesystem;

std::string sans_separateur_final(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return std::string(path);
}

bool dossier_existant(std::string_view path) {
    if (!path.starts_with('/')) return false;
    const std::optional<FileStatus> st = status_of(std::string(path));
    return st && st->kind == FileKind::Folder;
}

// The pid in a work folder's name prefix-<pid>-XXXXXX, or 0.
long pid_du_nom(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() <= prefix.size() + 1 || name[prefix.size()] != '-')
        return 0;
    name.remove_prefix(prefix.size() + 1);
    long pid = 0;
    const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), pid);
    return ec == std::errc() && end != name.data() + name.size() && *end == '-' ? pid : 0;
}

void supprimer_dossiers_abandonnes(const fs::path& parent, std::string_view prefix) {
    std::error_code ec;
    for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
        const long pid = pid_du_nom(it->path().filename().string(), prefix);
        if (pid > 0 && process_is_gone(pid)) {
            std::error_code ignored;
            fs::remove_all(it->path(), ignored);
        }
    }
}

}  // namespace

fs::path dossier_temporaire_depuis(std::string_view xdg_runtime, std::string_view tmpdir,
                                   unsigned uid) {
    if (!xdg_runtime.empty() && dossier_existant(xdg_runtime))
        return sans_separateur_final(xdg_runtime) + "/Vellumor";
    const std::string base = tmpdir.starts_with('/') ? sans_separateur_final(tmpdir) : "/tmp";
    return (base == "/" ? "" : base) + "/Vellumor-" + std::to_string(uid);
}

DossierPrive preparer_dossier_prive(const fs::path& folder) {
    const auto refus = [&folder](const std::string& why) {
        return DossierPrive{folder, "Le dossier temporaire « " + folder.string() +
                                        " » ne peut pas être utilisé : " + why + "."};
    };
    if (const Verdict fait = make_folder(folder, 0700); !fait && errno != EEXIST)
        return refus(fait.raison());
    const std::optional<FileStatus> st = status_no_follow(folder);
    if (!st) return refus(raison_systeme(errno));
    if (st->kind == FileKind::Link) return refus("c'est un lien symbolique et non un dossier");
    if (st->kind != FileKind::Folder) return refus("ce n'est pas un dossier");
    if (!st->own) return refus("il appartient à un autre utilisateur");
    if ((st->permissions & 077) != 0)
        return refus("d'autres utilisateurs y ont accès (il doit être réservé à son propriétaire)");
    return {folder, ""};
}

DossierPrive dossier_temporaire_prive() {
    const auto env = [](const char* name) -> std::string_view {
        const char* value = std::getenv(name);
        return value ? value : "";
    };
    return preparer_dossier_prive(
        dossier_temporaire_depuis(env("XDG_RUNTIME_DIR"), env("TMPDIR"), user_id()));
}

DossierTravail::DossierTravail(const fs::path& parent, std::string_view prefix) {
    supprimer_dossiers_abandonnes(parent, prefix);
    Resultat<fs::path> fait = make_unique_folder(
        (parent / (std::string(prefix) + "-" + std::to_string(process_id()) + "-XXXXXX")).string());
    if (!fait) {
        erreur_ = "Le dossier de travail n'a pas pu être créé dans « " + parent.string() +
                  " » : " + fait.raison() + ".";
        return;
    }
    chemin_ = std::move(*fait);
}

DossierTravail::~DossierTravail() {
    if (chemin_.empty()) return;
    std::error_code ec;
    fs::remove_all(chemin_, ec);
}

}  // namespace vellumor
