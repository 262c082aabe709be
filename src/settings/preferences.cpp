#include "settings/preferences.h"

#include <map>
#include <vector>

#include "batch/png_io.h"
#include "imagelist/text_file.h"
#include "imagelist/text_utf8.h"

namespace vellumor {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
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
    if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
    std::map<std::string, Groupe> result;
    Groupe* current = nullptr;
    std::map<std::string, bool> seen;
    for (const std::string_view raw : decouper_lignes(bytes)) {
        const std::string_view line = sans_blancs(raw, kBlancs);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string name = cle(sans_blancs(line.substr(1, line.size() - 2), kBlancs));
            current = seen[name] ? nullptr : &result[name];
            seen[name] = true;
            continue;
        }
        const std::size_t equal = line.find('=');
        if (current == nullptr || equal == std::string_view::npos) continue;
        current->try_emplace(cle(sans_blancs(line.substr(0, equal), kBlancs)),
                             std::string(line.substr(equal + 1)));
    }
    return result;
}

struct Lecteur {
    const Groupe& groupe;
    void entier(std::string_view key, std::int64_t& value) const {
        const auto it = groupe.find(cle(key));
        if (it != groupe.end()) value = lire_entier(it->second);
    }
    void texte(std::string_view key, std::string& value) const {
        const auto it = groupe.find(cle(key));
        if (it == groupe.end()) return;
        const std::string_view raw(it->second);
        value = std::string(sans_blancs(raw.substr(0, raw.find('\0')), kBlancs));
    }
};

struct Ecrivain {
    std::string& out;
    void groupe(std::string_view name) {
        if (out.size() > kBom.size() + 2) out += "\r\n";
        out += "[" + std::string(name) + "]\r\n";
    }
    void entier(std::string_view key, std::int64_t value) { texte(key, std::to_string(value)); }
    void texte(std::string_view key, std::string_view value) {
        value = value.substr(0, value.find_first_of("\r\n"));
        out += std::string(key) + " = " + std::string(value) + "\r\n";
    }
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
    if (const auto g = all.find("valeur_detourage"); g != all.end()) {
        const Lecteur r{g->second};
        r.entier("Reconstituer_Img_params", p.Reconstituer_Img_params);
        r.entier("Reconstituer_Img_Decalage", p.Reconstituer_Img_Decalage);
        r.entier("Reconstituer_Img_Decalage_Y", p.Reconstituer_Img_Decalage_Y);
        r.entier("Nettoyer_Img", p.Nettoyer_Img);
        r.entier("Incrementer_de_2_Fichiers_Sources_Renommer",
                 p.Incrementer_de_2_Fichiers_Sources_Renommer);
        r.entier("Utiliser_indices_mini_maxi_a_la_place_liste_fichier_source",
                 p.Utiliser_indices_mini_maxi_a_la_place_liste_fichier_source);
    }
    if (const auto g = all.find("image_vierge"); g != all.end()) {
        const Lecteur r{g->second};
        r.texte("DossierImages", p.DossierImages);
        r.texte("ImgVierge", p.ImgVierge);
        r.entier("Image_Vierge_Format", p.Image_Vierge_Format);
        if (p.Image_Vierge_Format == 0) p.Image_Vierge_Format = 29;
    }
    if (const auto g = all.find("page_numbering"); g != all.end()) {
        const Lecteur r{g->second};
        r.entier("Offset_X__Impression_numero", p.Offset_X__Impression_numero);
        r.entier("Offset_Y__Impression_numero", p.Offset_Y__Impression_numero);
        r.entier("Frame_thickness__Img_numerotation", p.Frame_thickness__Img_numerotation);
        r.entier("Frame_To_Number_spacing__Img_numerotation",
                 p.Frame_To_Number_spacing__Img_numerotation);
        r.entier("Binding_Offset", p.Binding_Offset);
        r.texte("Last_Numbering_Image_List_File", p.Last_Numbering_Image_List_File);
    }
    p.Nettoyer_Img &= 0x7F;
    return p;
}

Preferences lire_preferences(const std::filesystem::path& dossier) {
    if (dossier.empty()) return {};
    const auto bytes = lire_octets(dossier / kNomFichierPreferences);
    if (!bytes) return {};
    Preferences p = analyser_preferences(*bytes);
    if (!image_vierge_valide(p.ImgVierge)) p.ImgVierge.clear();
    return p;
}

std::string contenu_preferences(const Preferences& p) {
    std::string out = std::string(kBom) + "\r\n";
    Ecrivain w{out};
    w.groupe("Valeur_Detourage");
    w.entier("Reconstituer_Img_params", p.Reconstituer_Img_params);
    w.entier("Reconstituer_Img_Decalage", p.Reconstituer_Img_Decalage);
    w.entier("Reconstituer_Img_Decalage_Y", p.Reconstituer_Img_Decalage_Y);
    w.entier("Nettoyer_Img", p.Nettoyer_Img);
    w.entier("Incrementer_de_2_Fichiers_Sources_Renommer",
             p.Incrementer_de_2_Fichiers_Sources_Renommer);
    w.entier("Utiliser_indices_mini_maxi_a_la_place_liste_fichier_source",
             p.Utiliser_indices_mini_maxi_a_la_place_liste_fichier_source);
    w.groupe("Image_Vierge");
    w.texte("DossierImages", p.DossierImages);
    w.texte("ImgVierge", p.ImgVierge);
    w.entier("Image_Vierge_Format", p.Image_Vierge_Format == 0 ? 29 : p.Image_Vierge_Format);
    w.groupe("Page_Numbering");
    w.entier("Offset_X__Impression_numero", p.Offset_X__Impression_numero);
    w.entier("Offset_Y__Impression_numero", p.Offset_Y__Impression_numero);
    w.entier("Frame_thickness__Img_numerotation", p.Frame_thickness__Img_numerotation);
    w.entier("Frame_To_Number_spacing__Img_numerotation",
             p.Frame_To_Number_spacing__Img_numerotation);
    w.entier("Binding_Offset", p.Binding_Offset);
    w.texte("Last_Numbering_Image_List_File", p.Last_Numbering_Image_List_File);
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
