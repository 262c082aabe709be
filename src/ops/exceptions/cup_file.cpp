#include "ops/exceptions/cup_file.h"

#include <algorithm>

#include "common/text_file.h"
#include "common/text_utf8.h"

namespace vellumor::exceptions {
namespace {

constexpr const char* kTitreCharger = "Charger les pages d'exception";
constexpr const char* kTitreEnregistrer = "Enregistrer les pages d'exception";
constexpr const char* kTexteEntete =
    "la 1ère ligne du fichier n'est pas au format correct\rLa lecture est est impossible \n \r ";

Message boite(std::string instruction, std::string texte, std::string titre, std::uint32_t style) {
    return {Message::Kind::BoiteMessage, std::move(instruction), std::move(texte), std::move(titre),
            style};
}

Message non_enregistre(std::string texte) {
    return boite("Aucun fichier enregistré", std::move(texte), kTitreEnregistrer,
                 kIconeAvertissement);
}

LectureCup refus(Message message) {
    LectureCup result;
    result.erreur = std::move(message);
    return result;
}

std::string champ_entete(std::string_view field) {
    return en_minuscules(sans_blancs(field));
}

}  // namespace

std::optional<Message> verifier_dossier_sauvegarde(const std::filesystem::path& dossier) {
    std::error_code ec;
    if (!dossier.empty() && std::filesystem::is_directory(dossier, ec)) return std::nullopt;
    return boite(" Erreur sur le dossier de sauvegarde",
                 "Impossible de trouver le dossier de sauvegarde\r La variable n'est pas "
                 "initialisée !\n \r ",
                 "", kIconeErreur);
}

Message message_lecture_impossible() {
    return boite("Aucun fichier chargé", "Impossible de lire le fichier\rErreur système\r ",
                 kTitreCharger, kIconeAvertissement);
}

namespace {

// A .cup file read a line at a time, so that memory follows the pages kept, not the file: the
// header, then page lines up to the first line that is not one.
class AnalyseCup {
  public:
    bool ligne(std::string_view line) {
        if (!entete_lue_) {
            entete_lue_ = true;
            return entete(line);
        }
        if (std::count(line.begin(), line.end(), ';') != 2) return false;
        const auto f = decouper_champs(line, ';');
        result_.lignes.push_back(
            {std::string(f[0]),
             PageException{lire_nombre(f[0]), lire_nombre(f[2]), lire_nombre(f[1])}});
        return true;
    }
    LectureCup fin() {
        if (!entete_lue_) entete("");
        return std::move(result_);
    }

  private:
    bool entete(std::string_view line) {
        const std::string header = en_minuscules(line);
        if (std::count(header.begin(), header.end(), ';') != 3) {
            result_.erreur =
                boite(" Erreur 1 - sur le fichier de page", kTexteEntete, "", kIconeErreur);
            return false;
        }
        const auto fields = decouper_champs(header, ';');
        const std::string unit = champ_entete(fields[3]);
        if (champ_entete(fields[0]) != "page" || champ_entete(fields[1]) != "marge supérieure" ||
            champ_entete(fields[2]) != "marge intérieure" ||
            (unit != "données en millimètres" && unit != "données en pixels")) {
            result_.erreur =
                boite(" Erreur 2 - sur le fichier de page", kTexteEntete, "", kIconeErreur);
            return false;
        }
        result_.unite = unit == "données en pixels" ? kUnitePixels : kUniteMillimetres;
        return true;
    }

    bool entete_lue_ = false;
    LectureCup result_;
};

// The file read, or nothing when it cannot be. A line over the bound refuses the file.
std::optional<LectureCup> lire_cup(const std::filesystem::path& path) {
    AnalyseCup analyse;
    const LignesDuFichier lu =
        pour_chaque_ligne_du_fichier(path, [&](std::string_view l) { return analyse.ligne(l); });
    if (lu.erreur) return std::nullopt;
    if (lu.ligne_trop_longue)
        return refus(boite("Aucun fichier chargé",
                           "Le fichier a une ligne trop longue (ligne " +
                               std::to_string(lu.ligne_trop_longue) + ")\r ",
                           kTitreCharger, kIconeAvertissement));
    return analyse.fin();
}

}  // namespace

LectureCup lire_fichier_cup(const std::filesystem::path& path) {
    std::optional<LectureCup> read = lire_cup(path);
    return read ? std::move(*read) : refus(message_lecture_impossible());
}

LectureCup analyser_contenu_cup(std::string_view bytes) {
    AnalyseCup analyse;
    pour_chaque_ligne(bytes, [&](std::string_view l) { return analyse.ligne(l); });
    return analyse.fin();
}

std::optional<Message> question_unites(std::string_view unite_fichier,
                                       std::string_view unite_panneau) {
    if (unite_fichier == unite_panneau) return std::nullopt;
    Message question{Message::Kind::Simple, "", "", "Unités différentes!",
                     kIconeAvertissement | kBoutonsOuiNon};
    if (unite_fichier == kUniteMillimetres)
        question.texte =
            "Les données utilisées sont en pixels\rCelles du fichier à charger sont en "
            "millimètres\rModifier la sélection en millimètres ?";
    else
        question.texte =
            "Les données utilisées sont en millimètres\rCelles du fichier à charger sont en "
            "pixels\rModifier la sélection en pixels ?";
    return question;
}

ChargementCup charger_fichier_cup(const std::filesystem::path& path, std::string_view unite_panneau,
                                  const std::function<bool(const Message&)>& repondre_oui,
                                  PageExceptionTable& table) {
    ChargementCup result;
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(path, ec)) return result;
    const std::optional<LectureCup> lu = lire_cup(path);
    if (!lu) {
        result.message = message_lecture_impossible();
        return result;
    }
    table.vider();
    const LectureCup& read = *lu;
    if (read.erreur) {
        result.message = read.erreur;
        return result;
    }
    if (const auto question = question_unites(read.unite, unite_panneau)) {
        if (!repondre_oui(*question)) return result;
        result.basculer_unite = true;
    }
    for (const auto& line : read.lignes) table.definir(line.cle, line.exception);
    result.charge = true;
    return result;
}

std::optional<std::filesystem::path> nom_fichier_cup(const std::filesystem::path& dossier,
                                                     std::string_view chosen) {
    const std::size_t separator = chosen.find_last_of("/\\");
    std::string name(separator == std::string_view::npos ? chosen : chosen.substr(separator + 1));
    if (name.empty()) return std::nullopt;
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        name += ".cup";
    else if (en_minuscules(std::string_view(name).substr(dot + 1)) != "cup")
        name = name.substr(0, dot + 1) + "cup";
    return dossier / name;
}

std::string contenu_fichier_cup(const PageExceptionList& list, std::string_view unite) {
    std::string text(unite == kUniteMillimetres ? kEnteteMillimetres : kEntetePixels);
    text += "\r\n";
    for (const auto& e : list)
        text += std::to_string(e.Page) + ";" + std::to_string(e.OffsetY) + ";" +
                std::to_string(e.OffsetX) + "\r\n";
    return text;
}

Message message_aucun_fichier_cup_enregistre() {
    return non_enregistre("");
}

std::optional<Message> enregistrer_fichier_cup(
    const std::filesystem::path& dossier, std::string_view chosen, const PageExceptionList& list,
    std::string_view unite, const std::function<bool(const Message&)>& confirmer_ecrasement) {
    if (auto error = verifier_dossier_sauvegarde(dossier)) return error;
    if (list.empty()) return non_enregistre("La liste des pages est vide\r \r ");
    const auto target = nom_fichier_cup(dossier, chosen);
    if (!target) return message_aucun_fichier_cup_enregistre();
    std::error_code ec;
    if (std::filesystem::exists(*target, ec)) {
        const Message question{Message::Kind::Simple, "", "Le fichier existe déjà\rL'écraser ?",
                               "Information", kIconeAvertissement | kBoutonsOuiNon};
        if (!confirmer_ecrasement(question)) return std::nullopt;
    }
    if (!ecrire_octets_remplacant(*target, contenu_fichier_cup(list, unite)))
        return non_enregistre("Impossible de créer le fichier\rErreur système\r ");
    if (!std::filesystem::is_regular_file(*target, ec))
        return non_enregistre("Impossible d'écrire dans le fichier\rErreur système\r ");
    return boite("Fichier enregistré",
                 "Le fichier \r" + target->string() + "\r a été enregistré avec succès",
                 kTitreEnregistrer, kIconeInformation);
}

}  // namespace vellumor::exceptions
