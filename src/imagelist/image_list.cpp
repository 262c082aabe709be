#include "imagelist/image_list.h"

#include <algorithm>
#include <limits>

namespace vellumor {

std::int64_t Numero_Fin_Nom(std::string_view name) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t value = 0;
    std::int64_t power = 1;
    bool saturated = false;
    std::size_t i = name.size();
    while (i > 0 && name[i - 1] >= '0' && name[i - 1] <= '9') {
        const int digit = name[i - 1] - '0';
        if (!saturated && digit != 0) {
            if (power > kMax / digit || value > kMax - digit * power)
                saturated = true;
            else
                value += digit * power;
        }
        if (power > kMax / 10) {
            // Further digits can only add: a non-zero one overflows.
            power = kMax;
            for (std::size_t j = i - 1; j > 0 && name[j - 1] >= '0' && name[j - 1] <= '9'; --j)
                if (name[j - 1] != '0') saturated = true;
            while (i > 0 && name[i - 1] >= '0' && name[i - 1] <= '9') --i;
            break;
        }
        power *= 10;
        --i;
    }
    if (saturated) value = kMax;
    if (i > 0 && name[i - 1] == '-' && i < name.size()) return -value;
    return value;
}

EntreeImage entree_pour(const std::filesystem::path& path) {
    return {path, Numero_Fin_Nom(path.stem().string())};
}

void trier_par_numero(ListeImages& list) {
    std::stable_sort(list.begin(), list.end(),
                     [](const EntreeImage& a, const EntreeImage& b) { return a.Numero < b.Numero; });
}

ListeImages& GLB_Fichiers_Images() {
    static ListeImages list;
    return list;
}

}  // namespace vellumor
