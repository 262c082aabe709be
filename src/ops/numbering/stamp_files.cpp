#include "ops/numbering/stamp_files.h"

#include <algorithm>
#include <charconv>

#include "batch/png_io.h"
#include "ops/numbering/work_png.h"

namespace vellumor::numbering {
namespace {

Message message_abandon() {
    return {Message::Kind::BoiteMessage, " GetVectorTextDimensions a retourné -1",
            "  ARIAL taille 110", "", kIconeErreur};
}

Message message_rognage_impossible() {
    return {Message::Kind::Simple, "", "StartDrawing  a échoué  procedure Detoure_Images_Numero()",
            "Erreur", kIconeErreur};
}

Message message_tampon_non_cree() {
    return {Message::Kind::BoiteMessage,
            " Impossible de créer l'image de numérotation de la page - ligne 1722",
            "  Opération annulée!", "", kIconeErreur};
}

Message message_dessin_tampon(ModeleNumero modele) {
    int ligne = 1852;
    switch (modele) {
        case ModeleNumero::Anneau:
            ligne = 1766;
            break;
        case ModeleNumero::Disque:
            ligne = 1821;
            break;
        case ModeleNumero::RectangleNoir:
            ligne = 1889;
            break;
        case ModeleNumero::RectangleBlanc:
            break;
    }
    return {Message::Kind::BoiteMessage, " StartDrawing a échouée ligne " + std::to_string(ligne),
            "  Image de base!", "", kIconeErreur};
}

Message message_ecriture(const std::string& name, const std::string& reason) {
    return {Message::Kind::Simple, "",
            "Le fichier de travail « " + name + " » n'a pas pu être écrit.\r\n" + reason, "Erreur",
            kIconeErreur};
}

std::int64_t valeur_texte(std::string_view texte) {
    std::int64_t v = 0;
    std::from_chars(texte.data(), texte.data() + texte.size(), v);
    return v;
}

void supprimer(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
}

// Step B: makes the stamps one number at a time.
struct EtapeB {
    const DemandeTampons& d;
    Rognage mw_mh;
    const std::filesystem::path& folder;
    std::vector<Message>& messages;
    bool forme_ecrite = false;

    // The round shape is the same for every number of a run: it is drawn and cut once, on the
    // first number (after that number's own cut has been read, since both may be
    // "Num___Det_0.png"), and every stamp starts from the cut shape read back from its file.
    std::optional<Image> base_ronde() {
        const auto shape_file = folder / nom_nombre_detoure(0);
        if (!forme_ecrite) {
            const int T = d.epaisseur + d.espacement;
            auto shape = forme_ronde(d.modele, diametre_tampon(mw_mh.largeur, mw_mh.hauteur, T),
                                     d.epaisseur);
            if (!shape) {
                messages.push_back(message_tampon_non_cree());
                return std::nullopt;
            }
            forme_ecrite = rogner_vers_fichier(*shape, kBlack, "", folder, messages).largeur > 0;
        }
        LoadResult loaded = load_png(shape_file);
        return loaded ? std::move(loaded.image) : Image{};
    }

    // The finished stamp of number, or nullopt after adding its message.
    std::optional<Image> composer(const Image& number) {
        std::optional<Image> stamp;
        if (modele_rond(d.modele)) {
            stamp = base_ronde();
        } else {
            stamp = fond_rectangle(d.modele, mw_mh.largeur, mw_mh.hauteur, d.epaisseur,
                                   d.espacement, number.pixel_depth());
            if (!stamp) messages.push_back(message_tampon_non_cree());
        }
        if (!stamp) return std::nullopt;
        DrawingTarget target(*stamp);
        if (!target.active()) {
            messages.push_back(message_dessin_tampon(d.modele));
            return std::nullopt;
        }
        coller_au_centre(*stamp, number);
        return stamp;
    }
};

}  // namespace

std::string nom_nombre_detoure(std::int64_t n) {
    return "Num___Det_" + std::to_string(n) + ".png";
}
std::string nom_tampon(std::int64_t n) {
    return "Num___" + std::to_string(n) + ".png";
}

Rognage rogner_vers_fichier(const Image& picture, Couleur encre, std::string_view texte,
                            const std::filesystem::path& folder, std::vector<Message>& messages) {
    Rognage record;
    if (picture.empty()) {
        messages.push_back(message_rognage_impossible());
        return record;
    }
    const std::string name = nom_nombre_detoure(valeur_texte(texte));
    Image cut = rogner_a_l_encre(picture, encre, record);
    if (cut.empty()) {
        messages.push_back(message_ecriture(name, "L'image ne contient aucun tracé."));
        return record;
    }
    if (SaveResult saved = ecrire_png_travail(cut, folder / name); !saved) {
        messages.push_back(message_ecriture(name, saved.message));
        return {};
    }
    return record;
}

ResultatTampons construire_tampons(const PoliceTampon* police, const DemandeTampons& d,
                                   const std::filesystem::path& folder) {
    ResultatTampons result;
    auto abandon = [&](Message m) {
        result.abandon = true;
        result.messages.insert(result.messages.begin(), std::move(m));
        return result;
    };
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder))
        return abandon({Message::Kind::BoiteMessage, " Le dossier temporaire n'a pas pu être créé",
                        folder.string(), "", kIconeErreur});
    if (police == nullptr) return abandon(message_abandon());

    const auto arret_demande = [&d] { return d.arret != nullptr && d.arret->load(); };
    const auto interrompre = [&] {
        for (std::int64_t n = d.debut; n <= d.fin; ++n) supprimer(folder / nom_nombre_detoure(n));
        supprimer(folder / nom_nombre_detoure(0));
        supprimer_tampons(d.debut, d.fin, folder);
        result.messages.clear();
        return abandon(
            {Message::Kind::Simple, "", kTexteInterruptionTampons, "Erreur", kIconeErreur});
    };
    const Couleur encre = couleurs_modele(d.modele).encre;
    const std::int64_t nombres = d.fin - d.debut + 1;
    const auto avancer = [&](std::int64_t faits) {
        if (d.avancement) d.avancement(faits, 2 * nombres);
    };
    for (std::int64_t n = d.debut; n <= d.fin; ++n) {
        if (arret_demande()) return interrompre();
        const std::string text = std::to_string(n);
        auto canvas = dessiner_nombre(*police, text, d.modele);
        if (!canvas) {
            for (std::int64_t k = d.debut; k < n; ++k) supprimer(folder / nom_nombre_detoure(k));
            return abandon(message_abandon());
        }
        const Rognage r = rogner_vers_fichier(*canvas, encre, text, folder, result.messages);
        result.plus_grand.largeur = std::max(result.plus_grand.largeur, r.largeur);
        result.plus_grand.hauteur = std::max(result.plus_grand.hauteur, r.hauteur);
        avancer(n - d.debut + 1);
    }

    EtapeB etape{d, result.plus_grand, folder, result.messages};
    for (std::int64_t n = d.debut; n <= d.fin; ++n) {
        if (arret_demande()) return interrompre();
        LoadResult number = load_png(folder / nom_nombre_detoure(n));
        if (!number) break;
        auto stamp = etape.composer(*number.image);
        if (!stamp) continue;
        if (SaveResult saved = ecrire_png_travail(*stamp, folder / nom_tampon(n)); !saved)
            result.messages.push_back(message_ecriture(nom_tampon(n), saved.message));
        avancer(nombres + n - d.debut + 1);
    }

    for (std::int64_t n = d.debut; n <= d.fin; ++n) supprimer(folder / nom_nombre_detoure(n));
    if (modele_rond(d.modele)) supprimer(folder / nom_nombre_detoure(0));
    return result;
}

void supprimer_tampons(std::int64_t debut, std::int64_t fin, const std::filesystem::path& folder) {
    for (std::int64_t n = debut; n <= fin; ++n) supprimer(folder / nom_tampon(n));
}

}  // namespace vellumor::numbering
