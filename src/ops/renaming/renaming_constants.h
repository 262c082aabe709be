#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// What the renaming window shows: captions and texts. The window is also opened in
// file-number test mode, where only the test is offered. Texts are UTF-8 and keep their blanks.
namespace vellumor::renaming {

inline constexpr std::string_view kFileDialogTitle = "Sélectionner les fichiers à renommer";

inline constexpr std::string_view kCaptionOriginalFiles = "Fichiers d'origine";
inline constexpr std::string_view kCaptionRenamedFiles = "Fichiers renommés";
inline constexpr std::string_view kCaptionSourceFiles = "Fichiers sources";
inline constexpr std::string_view kCaptionPrefix = "Préfixe du fichier (avant numéro) ";
inline constexpr std::string_view kCaptionSuffix = "Suffixe du fichier (après numéro) ";
inline constexpr std::string_view kCaptionSourcesBoth =
    " Utiliser les pages source paires/impaires";
inline constexpr std::string_view kCaptionSourcesEven =
    " utiliser uniquement les pages source paires";
inline constexpr std::string_view kCaptionSourcesOdd =
    " utiliser uniquement les pages source impaires";
inline constexpr std::string_view kCaptionFirstIndex = "Indice mini du numéro de fichier : ";
inline constexpr std::string_view kCaptionLastIndex = "Indice maxi du numéro de fichier : ";
inline constexpr std::string_view kCaptionStepOne = " Créer les pages en suivant (incrément de 1)";
inline constexpr std::string_view kCaptionStepTwo = " Créer une page sur deux (incrément de 2)";
inline constexpr std::string_view kCaptionFirstNumber = "Indice mini du numéro de fichier ";
inline constexpr std::string_view kCaptionDigitCount = "Nb de chiffres du numéro de fichier";
inline constexpr std::string_view kCaptionSaveFolder = "Modifier le dossier de sauvegarde";
inline constexpr std::string_view kNoLastNumber = " aucun";
inline constexpr std::string_view kExampleLead = "  ";  // before the example name

inline constexpr std::string_view kSourceFirstTitle = " Premier fichier source";
inline constexpr std::string_view kSourceLastTitle = " Dernier fichier source";
inline constexpr std::string_view kNoValueText = "Impossible d'obtenir la valeur";

// The renaming on disk offered after "Renommer"'s test and checks.
inline constexpr std::string_view kRenameQuestion = " Renommer les fichiers sur le disque";
inline constexpr std::string_view kRenameDone = " Fichiers renommés";
inline constexpr std::string_view kRenameFailed = " Renommage impossible";
inline constexpr std::size_t kRenameExamples = 3;  // "old -> new" lines shown in the question

inline std::string texte_question_renommage(std::size_t fichiers) {
    if (fichiers == 1) return "Le fichier de la liste va être renommé sur le disque :";
    return "Les " + std::to_string(fichiers) +
           " fichiers de la liste vont être renommés sur le disque :";
}

inline std::string texte_renommage_fait(std::size_t renommes) {
    return std::to_string(renommes) +
           (renommes == 1 ? " fichier renommé." : " fichiers renommés.") +
           " Ouvrir le dossier de la liste d'annulation ?";
}

}  // namespace vellumor::renaming
