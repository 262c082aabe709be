#include "ops/reconstitution/page_vierge.h"

#include "batch/png_io.h"
#include "ops/reconstitution/format.h"

namespace vellumor::reconstitution {

std::optional<Image> construire_page_vierge(int format, const std::filesystem::path& fichier) {
    std::optional<Image> page;
    if (const auto taille = taille_format(format)) {
        page = Image::create(taille->largeur, taille->hauteur, 24, kWhite);
    } else if (format == kFormatFichier && !fichier.empty()) {
        LoadResult chargee = load_png(fichier);
        if (chargee) {
            page = std::move(chargee.image);
            blanchir(*page);
        }
    }
    if (page) page->set_resolution(resolution_from_dpi(kResolutionPages));
    return page;
}

void blanchir(Image& page) {
    page.fill_box(0, 0, page.width(), page.height(), kWhite);
}

}  // namespace vellumor::reconstitution
