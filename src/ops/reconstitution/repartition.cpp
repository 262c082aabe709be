#include "ops/reconstitution/repartition.h"

namespace vellumor::reconstitution {

namespace {

constexpr const char* kSuiteRefus = "\n\nL'opération de reconstitution d'images n'aura pas lieu";

Message avertissement_nom(std::string texte) {
    Message m;
    m.instruction = " Erreur de nom de fichier ";
    m.texte = std::move(texte);
    m.style = kIconeAvertissement;
    return m;
}

}  // namespace

RepartitionNoms repartir_par_dernier_chiffre(const ListeImages& liste) {
    RepartitionNoms r;
    for (std::size_t i = 0; i < liste.size(); ++i) {
        const EntreeImage& e = liste[i];
        const std::string stem = e.Fichier.stem().string();
        const char last = stem.empty() ? '\0' : stem.back();
        if (last >= '0' && last <= '9') {
            ((last - '0') % 2 == 0 ? r.paires : r.impaires).push_back(i);
        } else {
            r.refuses.push_back(e.Fichier.filename().string());
        }
    }
    return r;
}

std::optional<Message> message_noms_refuses(const std::vector<std::string>& refuses) {
    if (refuses.empty()) return std::nullopt;
    std::string noms = refuses.front();
    for (std::size_t i = 1; i < refuses.size(); ++i) noms += " , \r" + refuses[i];
    if (refuses.size() == 1)
        return avertissement_nom("Le fichier " + noms + "\rne se termine pas par un numéro" +
                                 kSuiteRefus);
    return avertissement_nom("Les fichiers " + noms + "\rne se terminent pas par un numéro" +
                             kSuiteRefus);
}

Message message_nom_sans_numero(const std::string& nom_fichier) {
    return avertissement_nom("Le fichier " + nom_fichier + "  ne se termine pas par un numéro" +
                             kSuiteRefus);
}

}  // namespace vellumor::reconstitution
