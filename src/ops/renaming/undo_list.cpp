#include "ops/renaming/undo_list.h"

#include <charconv>
#include <set>

#include "common/text_utf8.h"

namespace vellumor::renaming {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kEntete =
    "; Annulation d'un renommage : vellumor-cli renommer --annuler FICHIER";
constexpr std::string_view kOrigine = "; nom d'origine : ";
constexpr std::string_view kTemporaire = "; nom temporaire : ";
constexpr std::string_view kIdentite = "; fichier : ";

struct Identite {
    std::uint64_t peripherique = 0, inode = 0;
};

std::optional<Identite> lire_identite(std::string_view text) {
    Identite id;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, id.peripherique);
    if (ec != std::errc() || p == end || *p != ' ') return std::nullopt;
    auto [q, ec2] = std::from_chars(p + 1, end, id.inode);
    if (ec2 != std::errc() || q != end) return std::nullopt;
    return id;
}

bool nom_simple(std::string_view name) {
    return !name.empty() && name.size() <= 255 && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos;
}

// The plain name a line gives: the name itself, or an absolute path in dossier; empty otherwise.
std::string nom_dans(std::string_view texte, const fs::path& dossier) {
    if (texte.starts_with("./") && nom_simple(texte.substr(2))) return std::string(texte.substr(2));
    if (nom_simple(texte)) return std::string(texte);
    const fs::path p = fs::path(std::string(texte)).lexically_normal();
    const std::string nom = p.filename().string();
    return p.is_absolute() && p.parent_path() == dossier && nom_simple(nom) ? nom : std::string();
}

}  // namespace

std::string contenu_liste_annulation(const std::vector<EntreeAnnulation>& entrees) {
    std::string text = std::string(kMarqueUtf8) + std::string(kEntete) + "\r\n";
    for (const auto& e : entrees) {
        text += std::string(kOrigine) + e.renommage.source.filename().string() + "\r\n";
        if (!e.temporaire.empty()) text += std::string(kTemporaire) + e.temporaire + "\r\n";
        if (e.inode != 0)
            text += std::string(kIdentite) + std::to_string(e.peripherique) + " " +
                    std::to_string(e.inode) + "\r\n";
        // A new name that would read as a comment or a blank line is written "./name".
        const std::string cible = e.renommage.cible.filename().string();
        const bool masque = cible.front() == ';' || sans_blancs(cible).empty();
        text += (masque ? "./" + cible : cible) + "\r\n";
    }
    return text;
}

std::optional<std::vector<EntreeAnnulation>> lire_liste_annulation(std::string_view text,
                                                                   const fs::path& dossier_donne) {
    const fs::path dossier = dossier_donne.lexically_normal();
    if (!text.starts_with(kMarqueUtf8) || text.find('\0') != std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(kMarqueUtf8.size());
    std::vector<EntreeAnnulation> entrees;
    std::optional<std::string> origin, temp;
    std::optional<Identite> id;
    std::set<std::string> olds, news;
    bool refus = false;
    pour_chaque_ligne(text, [&](std::string_view line) {
        if (line.size() > kLigneMaxAnnulation) return !(refus = true);
        if (line.starts_with(kOrigine)) {
            if (origin) return !(refus = true);
            origin = nom_dans(line.substr(kOrigine.size()), dossier);
            if (origin->empty()) return !(refus = true);
        } else if (line.starts_with(kTemporaire)) {
            temp = std::string(line.substr(kTemporaire.size()));
            if (!origin || !nom_simple(*temp)) return !(refus = true);
        } else if (line.starts_with(kIdentite)) {
            id = lire_identite(line.substr(kIdentite.size()));
            if (!origin || !id) return !(refus = true);
        } else if (!sans_blancs(line).empty() && line.front() != ';') {
            const std::string current = nom_dans(line, dossier);
            if (!origin || current.empty() || !olds.insert(*origin).second ||
                !news.insert(current).second)
                return !(refus = true);
            EntreeAnnulation e{{dossier / *origin, dossier / current}, temp.value_or("")};
            if (id) e.peripherique = id->peripherique, e.inode = id->inode;
            entrees.push_back(std::move(e));
            origin.reset(), temp.reset(), id.reset();
        }
        return true;
    });
    if (refus || origin) return std::nullopt;
    return entrees;
}

}  // namespace vellumor::renaming
