// Feeds arbitrary bytes to the list-file reader, then the listed names to the trailing-number rule,
// the save-name rules and the UTF-16LE writer. An accepted file's paths must be trimmed, non-empty,
// free of line ends and without duplicates.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "imagelist/list_file.h"
#include "memory_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vellumor::fuzz::MemoryFile input;
    input.assign(data, size);
    const vellumor::LectureListe read = vellumor::lire_fichier_liste(input.path());
    FUZZ_CHECK(read.ok != read.message.has_value());
    if (!read.ok) {
        FUZZ_CHECK(read.fichiers.empty());
    } else {
        for (const auto& f : read.fichiers) {
            const std::string s = f.string();
            FUZZ_CHECK(!s.empty() && s.front() != ' ' && s.back() != ' ' && s.front() != ';');
            FUZZ_CHECK(s.find_first_of("\r\n") == std::string::npos);
        }
        const vellumor::ListeImages entries = vellumor::entrees_depuis_liste(read.fichiers);
        FUZZ_CHECK(entries.size() == read.fichiers.size());
        const std::string saved = vellumor::contenu_liste_sauvegardee(read.fichiers);
        FUZZ_CHECK(saved.size() % 2 == 0 && saved.size() >= 4 * read.fichiers.size());
    }

    // The same bytes taken as a name typed into the save dialog.
    const std::string_view typed(reinterpret_cast<const char*>(data), size);
    const vellumor::NomSauvegardeListe name = vellumor::nom_sauvegarde_liste(typed);
    if (!name.refus) {
        const std::string& chemin = name.chemin;
        FUZZ_CHECK(chemin.size() >= 4 && chemin[chemin.size() - 4] == '.');
        for (std::size_t i = chemin.size() - 3; i < chemin.size(); ++i)
            FUZZ_CHECK(std::tolower(static_cast<unsigned char>(chemin[i])) ==
                       "txt"[i + 3 - chemin.size()]);
    }
    vellumor::Numero_Fin_Nom(typed);
    return 0;
}
