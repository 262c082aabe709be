#include "imagelist/list_file.h"

#include <string>
#include <unordered_set>

#include "common/text_file.h"
#include "common/text_utf8.h"

namespace vellumor {
namespace {


Message avertissement(std::string instruction) {
    return {Message::Kind::BoiteMessage, std::move(instruction), "", "", kIconeAvertissement};
}

LectureListe refus(Message message) {
    LectureListe result;
    result.message = std::move(message);
    return result;
}

Message info(std::string titre, std::string texte) {
    return {Message::Kind::Simple, "", std::move(texte), std::move(titre), kIconeInformation};
}

bool caractere_interdit(unsigned char c) {
    return c < 32 || std::string_view("\"*/:<>?\\|").find(char(c)) != std::string_view::npos;
}

}  // namespace

Message message_aucun_fichier_liste() {
    return avertissement(" Aucun fichier Liste sélectionné");
}

LectureListe lire_fichier_liste(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return refus(message_aucun_fichier_liste());
    // A relative path names a file beside the list, wherever the program runs from.
    std::filesystem::path base = std::filesystem::absolute(path, ec).parent_path();
    if (ec) base = path.parent_path();
    LectureListe result;
    std::unordered_set<std::string> keys;
    const auto garder = [&](std::string_view raw) {
        const std::string_view line = sans_blancs(raw);
        if (line.empty() || line.front() == ';') return;
        std::filesystem::path file{std::string(line)};
        if (file.is_relative()) file = base / file;
        keys.insert(en_minuscules(file.string()));
        result.fichiers.push_back(std::move(file));
    };
    const Message introuvable =
        avertissement(" Fichier Liste des images non trouvé ou déjà ouvert");
    const Message pas_utf8 = avertissement(" Le fichier n'est pas au format UTF8 avec BOM");
    const std::optional<std::string> debut = debut_du_fichier(path, kMarqueUtf8.size());
    if (!debut) return refus(introuvable);
    // Read a line at a time: memory follows the paths kept, not the size of the file.
    LignesDuFichier lu;
    bool valide = true;
    if (debut->starts_with(kMarqueUtf8)) {
        bool first = true;
        // NUL bytes and malformed sequences mean it is not UTF-8 text, whatever its mark.
        lu = pour_chaque_ligne_du_fichier(path, [&](std::string_view raw) {
            if (first) raw.remove_prefix(kMarqueUtf8.size());
            first = false;
            if (raw.find('\0') != std::string_view::npos || !utf8_valide(raw))
                return valide = false;
            garder(raw);
            return true;
        });
    } else {
        // Without the UTF-8 mark: UTF-16LE as the list saving writes it, recognised by its zero
        // bytes (UTF-8 text holds none); a UTF-16 mark or a NUL character refuses it.
        valide = !debut->starts_with("\xFF\xFE") && !debut->starts_with("\xFE\xFF");
        if (valide)
            lu = pour_chaque_ligne_du_fichier(
                path,
                [&](std::string_view raw) {
                    const std::optional<std::string> text = utf16le_vers_utf8(raw);
                    if (!text || text->find('\0') != std::string::npos) return valide = false;
                    garder(*text);
                    return true;
                },
                Codage::Utf16le);
        valide = valide && lu.octet_nul;
    }
    if (lu.erreur) return refus(introuvable);
    if (!valide) return refus(pas_utf8);
    if (lu.ligne_trop_longue)
        return refus(avertissement(" Fichier Liste refusé : ligne trop longue (ligne " +
                                   std::to_string(lu.ligne_trop_longue) + ", plus de " +
                                   std::to_string(kLongueurLigneMaxi) + " octets)"));

    const std::size_t doublons = result.fichiers.size() - keys.size();
    if (doublons == 0) {
        result.ok = true;
        return result;
    }
    Message message{Message::Kind::Simple, "", "", "", 0};
    if (doublons == 1) {
        message.titre = "Erreur de doublons de la liste 1";
        message.texte = "1 doublon détecté";
    } else {
        message.titre = "Erreur de doublons de la liste 2";
        message.texte = std::to_string(doublons) + " doublons détectés";
    }
    return refus(std::move(message));
}

ListeImages entrees_depuis_liste(const std::vector<std::filesystem::path>& fichiers) {
    ListeImages list;
    list.reserve(fichiers.size());
    for (const auto& f : fichiers) list.push_back(entree_pour(f));
    return list;
}

Message question_chemin_complet() {
    return {Message::Kind::Simple, "", "Enregistrer le chemin complet ?", "Mode de sauvegarde",
            kIconeQuestion | kBoutonsOuiNon};
}

Message message_liste_non_enregistree() {
    return info("Info", "La liste ne sera pas enregistrée!");
}

NomSauvegardeListe nom_sauvegarde_liste(std::string_view chosen) {
    const Message interdits =
        info("Info",
             "Le fichier comporte des caractères interdits!\rLa liste ne sera pas "
             "enregistrée!");
    const std::size_t separator = chosen.find_last_of("/\\");
    const std::size_t name_start = separator == std::string_view::npos ? 0 : separator + 1;
    const std::string_view name = chosen.substr(name_start);
    if (name.empty()) return {"", interdits};
    for (const char c : name)
        if (caractere_interdit(static_cast<unsigned char>(c))) return {"", interdits};

    std::string path(chosen);
    while (path.size() > name_start && path.back() == '.') path.pop_back();
    if (path.size() == name_start) return {"", interdits};
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < name_start) return {path + ".txt", std::nullopt};
    if (en_minuscules(std::string_view(path).substr(dot + 1)) != "txt")
        path = path.substr(0, dot) + ".txt";
    return {path, std::nullopt};
}

std::string contenu_liste_sauvegardee(const std::vector<std::filesystem::path>& fichiers) {
    std::string bytes;
    for (const auto& f : fichiers) bytes += utf8_vers_utf16le(f.string() + "\r\n");
    return bytes;
}

Message enregistrer_fichier_liste(std::string_view chosen,
                                  const std::vector<std::filesystem::path>& fichiers) {
    const NomSauvegardeListe name = nom_sauvegarde_liste(chosen);
    if (name.refus) return *name.refus;
    if (!ecrire_octets_remplacant(name.chemin, contenu_liste_sauvegardee(fichiers)))
        return info("Erreur", "Impossible de créer le fichier\rLa liste ne sera pas enregistrée!");
    std::error_code ec;
    if (std::filesystem::is_regular_file(name.chemin, ec))
        return info("Info", "Le fichier\r\r" + name.chemin + "\r  a été créé");
    return info("Info", "Le fichier\r\r" + name.chemin + "\r  n'a pas été créé");
}

}  // namespace vellumor
