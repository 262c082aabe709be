#include "ops/reconstitution/textes.h"

namespace vellumor::reconstitution {

Message message_fin(bool arretee) {
    Message m;
    m.instruction = " Info";
    m.texte =
        "\n" + std::string(arretee ? std::string_view(kTexteArretees) : kDescription.texte_fin);
    m.style = kIconeInformation;
    return m;
}

Message message_page_vierge(bool lie_a_gauche) {
    Message m;
    m.instruction = lie_a_gauche ? " Le fichier de l'image vierge n'est pas défini 456"
                                 : " Le fichier de l'image vierge n'est pas défini 123";
    m.titre = " Sélection de l'image vierge ";
    m.style = kIconeErreur;
    return m;
}

std::string base_entete(std::size_t nombre_fichiers) {
    const std::string base =
        nombre_fichiers == 1 ? " 1 fichier" : " " + std::to_string(nombre_fichiers) + " fichiers";
    return base + " : ";
}

std::string entete_progression(const std::string& base, std::int64_t traites, std::size_t lignes) {
    return base + " (Fichiers traités : " + std::to_string(traites) + "/" + std::to_string(lignes) +
           ")";
}

std::string texte_pages_ecrites(const std::vector<std::filesystem::path>& pages) {
    if (pages.empty()) return "Aucune page n'a été écrite.\n";
    std::string texte =
        pages.size() == 1
            ? std::string("1 page a été écrite, ne la reconstituez pas de nouveau :\n")
            : std::to_string(pages.size()) +
                  " pages ont été écrites, ne les reconstituez pas de nouveau :\n";
    for (const std::filesystem::path& p : pages) texte += "  " + p.string() + "\n";
    return texte;
}

}  // namespace vellumor::reconstitution
