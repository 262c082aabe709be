#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "imagelist/image_list.h"

namespace vellumor::renaming {

// The name pattern of an original file: the name without extension less its trailing run of digits
// and "-" (page_012 -> page_, scan-7 -> scan, 0001 -> empty), and "." + extension (empty for a name
// without extension).
struct ModeleOrigine {
    std::string prefixe;
    std::string suffixe;
};
ModeleOrigine modele_origine(const std::filesystem::path& fichier);

// Main window buttons 11 (renaming) and 4 (file-number test), and the banner titles they set.
inline constexpr const char* kLegendeBoutonRenommage = "Renommer  les  fichiers";
inline constexpr const char* kTitreBandeauRenommage = "Renommage des fichiers";
inline constexpr const char* kLegendeBoutonTest = "Tester numéros des fichiers";
inline constexpr const char* kTitreBandeauTest = "Tester les numéros des images";

// Range of the first number of a sequence.
inline constexpr std::int64_t kPremierMini = -1000000;
inline constexpr std::int64_t kPremierMaxi = 1000000;
inline constexpr int kChiffresMaxi = 30;

// The count of decimal digits of |n| (1 for 0).
int nombre_chiffres(std::int64_t n);

// The number of the last of count files: premier + count - 1 with step 1, premier + 2 count - 2
// with step 2, held at the bounds of std::int64_t.
std::int64_t dernier_numero_sequence(std::int64_t premier, std::size_t count, int pas);

// The renamed-file pattern: prefix, first number, step (1 or 2), digit count, suffix.
struct ParametresRenommage {
    std::string prefixe;
    std::string suffixe;
    std::int64_t premier = 0;
    int pas = 1;
    int chiffres = 1;
};

// The pattern a list starts with: the first file's stem, suffix and number, step 1, and the digits
// of the last number. An empty list gives an empty pattern numbered from 0.
ParametresRenommage parametres_par_defaut(const ListeImages& list);

// Nothing when the first file's number (the first number a sequence takes unless one is given) is
// within kPremierMini to kPremierMaxi, else the French reason, naming that file.
std::optional<std::string> refus_premier_par_defaut(const ListeImages& list);

// Nothing when the pattern suits a list of count files, else the French reason: first number out of
// -1000000 to 1000000, step other than 1 or 2, digit count below the digits of the last number or
// above 30.
std::optional<std::string> valider(const ParametresRenommage& p, std::size_t count);

// The new name of the k-th file (from 0), n = premier + k x pas: prefix, "-" when n < 0, the digits
// of |n| padded on the left with "0" to the digit count (or its leftmost digit-count digits when
// longer), suffix; n is held at the bounds of std::int64_t. page_ / 7 / 3 / .png ->
// page_007.png; -7 -> page_-007.png.
std::string nouveau_nom(const ParametresRenommage& p, std::size_t k);

}  // namespace vellumor::renaming
