#pragma once

#include <string_view>

#include "ops/description.h"

// What the PDF export shows and writes: menu entry, save dialog, messages, document information
// and the resolution rules. Texts are UTF-8 and keep their leading and trailing blanks.
namespace vellumor::pdf {

inline constexpr std::string_view kSaveDialogTitle = "Exporter les pages en PDF";
// The save dialog shows it as "Document PDF (*.pdf)".
inline constexpr std::string_view kSaveFilter = "Document PDF|*.pdf";
inline constexpr std::string_view kExtension = ".pdf";
inline constexpr std::string_view kDoneTitle = " Info";
inline constexpr std::string_view kErrorInstruction = "Le document PDF n'a pas été écrit.";
inline constexpr std::string_view kEmptyListText = "La liste ne contient aucune page.";
inline constexpr std::string_view kInterruptedText = "Export interrompu : aucun document écrit";

inline constexpr std::string_view kProducer = "Vellumor";

// A page without a physical resolution is taken at this one; another may be imposed on every page.
inline constexpr int kDefaultDpi = 600;
inline constexpr int kDpiMin = 50;
inline constexpr int kDpiMax = 4800;

inline constexpr OptionOperation kOptions[] = {
    {"--dpi", kDpiMin, kDpiMax, kDefaultDpi, "dpi", "résolution imposée à toutes les pages"},
};

// The export runs on one thread: no events nor records.
inline constexpr DescriptionOperation kDescription{
    .titre_boite_erreur = " Export PDF",
    .texte_fin = "Le document PDF est écrit :",
    .legende_bouton = "Exporter en PDF pour l'impression…",
    .options = kOptions,
};

// PDF readers take page sides from 3 to 14,400 points; a longer side is written in larger user
// units (/UserUnit, PDF 1.6), a shorter one refused.
inline constexpr double kCoteMinPoints = 3;
inline constexpr double kCoteMaxPoints = 14400;

}  // namespace vellumor::pdf
