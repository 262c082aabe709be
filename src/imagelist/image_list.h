#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace vellumor {

// One page of the image list: its absolute path and the page number read from its name.
struct EntreeImage {
    std::filesystem::path Fichier;
    std::int64_t Numero = 0;
};

using ListeImages = std::vector<EntreeImage>;

// The page number that ends a name without extension: its trailing decimal digits (0 when there are
// none), negative when a "-" stands just before them. "page_12" -> 12, "page-12" -> -12,
// "page12b" -> 0, "0012" -> 12. A run of digits too long for 64 bits saturates at the largest value.
std::int64_t Numero_Fin_Nom(std::string_view name_without_extension);

// An entry for path, numbered by the trailing number of its file name without extension.
EntreeImage entree_pour(const std::filesystem::path& path);

// Sorts by Numero ascending; entries with equal numbers keep their relative order.
void trier_par_numero(ListeImages& list);

// The process-wide image list shown in the main window's file list, row i being entry i.
ListeImages& GLB_Fichiers_Images();

}  // namespace vellumor
