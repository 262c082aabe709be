#include "settings/preferences.h"

#include <map>
#include <variant>
#include <vector>

#include "batch/png_io.h"
#include "common/text_file.h"
#include "common/text_utf8.h"

namespace vellumor {
namespace {

constexpr std::string_view kBlancs = " \t";

// Both groups and keys are compared without regard to ASCII case.
std::string cle(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

using Groupe = std::map<std::string, std::string>;

// Each group's raw values by key; the first group and the first key of a name count.
std::map<std::string, Groupe> groupes(std::string_view bytes) {
    if (bytes.starts_with(kMarqueUtf8)) bytes.remove_prefix(kMarqueUtf8.size());
    std::map<std::string, Groupe> result;
    Groupe* current = nullptr;
    std::map<std::string, bool> seen;
    pour_chaque_ligne(bytes, [&](std::string_view raw) {
        const std::string_view line = sans_blancs(raw, kBlancs);
        if (line.empty() || line.front() == ';') return true;
        if (line.front() == '[' && line.back() == ']') {
            const std::string name = cle(sans_blancs(line.substr(1, line.size() - 2), kBlancs));
            current = seen[name] ? nullptr : &result[name];
            seen[name] = true;
            return true;
        }
        const std::size_t equal = line.find('=');
        if (current == nullptr || equal == std::string_view::npos) return true;
        current->try_emplace(cle(sans_blancs(line.substr(0, equal), kBlancs)),
                             std::string(line.substr(equal + 1)));
        return true;
    });
    return result;
}

// Every key in file order, with the member that holds it.
struct Cle {
    const char* groupe;
    const char* nom;
    std::variant<std::int64_t Preferences::*, std::string Preferences::*> membre;
};

const Cle kCles[] = {
    {"Valeur_Detourage", "Reconstituer_Img_params", &Preferences::Reconstituer_Img_params},
    {"Valeur_Detourage", "Reconstituer_Img_Decalage", &Preferences::Reconstituer_Img_Decalage},
    {"Valeur_Detourage", "Reconstituer_Img_Decalage_Y", &Preferences::Reconstituer_Img_Decalage_Y},
    {"Valeur_Detourage", "Nettoyer_Img", &Preferences::Nettoyer_Img},
    {"Valeur_Detourage", "Incrementer_de_2_Fichiers_Sources_Renommer",
     &Preferences::Incrementer_de_2_Fichiers_Sources_Renommer},
    {"Valeur_Detourage", "Utiliser_indices_mini_maxi_a_la_place_liste_fichier_source",
     &Preferences::Utiliser_indices_mini_maxi_a_la_place_liste_fichier_source},
    {"Image_Vierge", "DossierImages", &Preferences::DossierImages},
    {"Image_Vierge", "ImgVierge", &Preferences::ImgVierge},
    {"Image_Vierge", "Image_Vierge_Format", &Preferences::Image_Vierge_Format},
    {"Page_Numbering", "Offset_X__Impression_numero", &Preferences::Offset_X__Impression_numero},
    {"Page_Numbering", "Offset_Y__Impression_numero", &Preferences::Offset_Y__Impression_numero},
    {"Page_Numbering", "Frame_thickness__Img_numerotation",
     &Preferences::Frame_thickness__Img_numerotation},
    {"Page_Numbering", "Frame_To_Number_spacing__Img_numerotation",
     &Preferences::Frame_To_Number_spacing__Img_numerotation},
    {"Page_Numbering", "Binding_Offset", &Preferences::Binding_Offset},
    {"Page_Numbering", "Last_Numbering_Image_List_File",
     &Preferences::Last_Numbering_Image_List_File},
};

bool image_vierge_valide(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec) && load_png(path);
}

Message erreur(std::string texte, std::uint32_t style) {
    return {Message::Kind::Simple, "", std::move(texte), "Erreur", style};
}

}  // namespace

Preferences analyser_preferences(std::string_view bytes) {
    Preferences p;
    const auto all = groupes(bytes);
    for (const Cle& k : kCles) {
        const auto g = all.find(cle(k.groupe));
        if (g == all.end()) continue;
        const auto v = g->second.find(cle(k.nom));
        if (v == g->second.end()) continue;
        const std::string_view raw(v->second);
        if (const auto* entier = std::get_if<std::int64_t Preferences::*>(&k.membre))
            p.*(*entier) = lire_entier(raw);
        else
            p.*std::get<std::string Preferences::*>(k.membre) =
                std::string(sans_blancs(raw.substr(0, raw.find('\0')), kBlancs));
    }
    if (p.Image_Vierge_Format == 0) p.Image_Vierge_Format = 29;
    p.Nettoyer_Img &= 0x7F;
    return p;
}

std::optional<Message> preferences_endommagees(const std::filesystem::path& dossier) {
    if (dossier.empty()) return std::nullopt;
    const auto file = dossier / kNomFichierPreferences;
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size <= kTailleMaxiPreferences) return std::nullopt;
    return Message{Message::Kind::Simple, "",
                   "Le fichier des préférences « " + file.string() +
                       " » est endommagé (il dépasse 1 Mo) : les réglages par défaut sont "
                       "utilisés.\rLe fichier est laissé tel quel et ne sera pas modifié ; "
                       "supprimez-le pour que les réglages soient de nouveau enregistrés.",
                   "Préférences", kIconeAvertissement};
}

Preferences lire_preferences(const std::filesystem::path& dossier) {
    if (dossier.empty()) return {};
    const auto bytes = lire_octets(dossier / kNomFichierPreferences, kTailleMaxiPreferences);
    if (!bytes) return {};
    Preferences p = analyser_preferences(*bytes);
    if (!image_vierge_valide(p.ImgVierge)) p.ImgVierge.clear();
    return p;
}

std::string contenu_preferences(const Preferences& p) {
    std::string out = std::string(kMarqueUtf8) + "\r\n";
    std::string_view group;
    for (const Cle& k : kCles) {
        if (k.groupe != group) {
            if (!group.empty()) out += "\r\n";
            group = k.groupe;
            out += "[" + std::string(group) + "]\r\n";
        }
        std::string value;
        if (const auto* entier = std::get_if<std::int64_t Preferences::*>(&k.membre)) {
            std::int64_t v = p.*(*entier);
            if (*entier == &Preferences::Image_Vierge_Format && v == 0) v = 29;
            value = std::to_string(v);
        } else {
            // A line break would start a new key: the value stops before it.
            const std::string& text = p.*std::get<std::string Preferences::*>(k.membre);
            value = text.substr(0, text.find_first_of("\r\n"));
        }
        out += std::string(k.nom) + " = " + value + "\r\n";
    }
    return out;
}

std::optional<Message> ecrire_preferences(const std::filesystem::path& dossier,
                                          const Preferences& preferences) {
    if (dossier.empty())
        return erreur("Impossible de trouver le dossier des préférences", kIconeErreur);
    std::error_code ec;
    if (!std::filesystem::is_directory(dossier, ec))
        std::filesystem::create_directories(dossier, ec);
    if (!std::filesystem::is_directory(dossier, ec))
        return erreur("Impossible de créer le dossier des préférences", kIconeErreur);
    if (!ecrire_octets_remplacant(dossier / kNomFichierPreferences,
                                  contenu_preferences(preferences)))
        return erreur("Impossible de créer le fichier des préférences", 0);
    return std::nullopt;
}

std::int64_t format_image_vierge(Preferences& p, std::int64_t format) {
    if (format != -1) p.Image_Vierge_Format = format;
    return p.Image_Vierge_Format;
}

std::int64_t format_image_vierge(Preferences& p, const std::array<bool, 6>& selection) {
    for (std::size_t i = 0; i < selection.size(); ++i)
        if (selection[i]) return p.Image_Vierge_Format = 29 + std::int64_t(i);
    if (p.Image_Vierge_Format < 29 || p.Image_Vierge_Format > 34) p.Image_Vierge_Format = 29;
    return p.Image_Vierge_Format;
}

Preferences& GLB_Preferences() {
    static Preferences preferences;
    return preferences;
}

}  // namespace vellumor
