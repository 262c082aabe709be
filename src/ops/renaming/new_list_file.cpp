#include "ops/renaming/new_list_file.h"

#include <filesystem>

namespace vellumor::renaming {

Resultat<std::string> ecrire_liste_nouvelle(const DossierRenommage& d, const std::string& voulu,
                                            const std::string& bytes) {
    const auto nom_de_liste = [&voulu](int k) {
        if (k == 1) return voulu;
        const std::filesystem::path p(voulu);
        return p.stem().string() + "-" + std::to_string(k) + p.extension().string();
    };
    // Readable by all as a list, writable by its owner alone: an undo list others may change is
    // refused when it is read back.
    return write_new_file(d.fd(), bytes, 0644, nom_de_liste);
}

}  // namespace vellumor::renaming
