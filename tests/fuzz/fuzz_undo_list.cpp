// Feeds arbitrary bytes to the undo-list reader of the renaming. Every entry read must name two
// files of the list's own folder, each old and each new name once, and the list written again from
// the entries must read back to the same entries.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "ops/renaming/undo_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace r = vellumor::renaming;
    const std::string_view texte(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path dossier = "/pages";
    const auto lues = r::lire_liste_annulation(texte, dossier);
    if (!lues) return 0;
    std::set<std::filesystem::path> anciens, nouveaux;
    for (const r::EntreeAnnulation& e : *lues) {
        FUZZ_CHECK(e.renommage.source.parent_path() == dossier);
        FUZZ_CHECK(e.renommage.cible.parent_path() == dossier);
        FUZZ_CHECK(anciens.insert(e.renommage.source).second);
        FUZZ_CHECK(nouveaux.insert(e.renommage.cible).second);
        FUZZ_CHECK(e.temporaire.find('/') == std::string::npos);
    }
    const auto relues = r::lire_liste_annulation(r::contenu_liste_annulation(*lues), dossier);
    FUZZ_CHECK(relues && relues->size() == lues->size());
    for (std::size_t i = 0; i < lues->size(); ++i)
        FUZZ_CHECK((*relues)[i].renommage.source == (*lues)[i].renommage.source &&
                   (*relues)[i].renommage.cible == (*lues)[i].renommage.cible &&
                   (*relues)[i].inode == (*lues)[i].inode);
    return 0;
}
