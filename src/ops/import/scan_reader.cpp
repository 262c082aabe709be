#include "ops/import/scan_reader.h"

#include <leptonica/allheaders.h>

#include <cstdio>
#include <memory>

#include "batch/png_io.h"
#include "common/file_io.h"
#include "common/regular_file.h"
#include "common/text_file.h"
#include "ops/import/import_constants.h"
#include "ops/leptonica/pix.h"

namespace vellumor::importation {
namespace {

std::string nom_page(const Scan& scan, int n) {
    return scan.pages > 1
               ? "La page " + std::to_string(n + 1) + " de " + entre_guillemets(scan.fichier)
               : "La page de " + entre_guillemets(scan.fichier);
}

const l_uint8* donnees(const Scan& scan) {
    return reinterpret_cast<const l_uint8*>(scan.octets.data());
}

struct FermeFichier {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

int pages_tiff(const Scan& scan) {
    std::unique_ptr<std::FILE, FermeFichier> f(
        fopenReadFromMemory(donnees(scan), scan.octets.size()));
    l_int32 n = 0;
    if (!f || tiffGetCount(f.get(), &n) != 0) return 0;
    return n;
}

// The sides of page n, checked against the limits.
Verdict verifier_page(const Scan& scan, int n) {
    l_int32 w = 0, h = 0, bps = 0, spp = 0, res = 0, cmap = 0, format = 0;
    const bool lu = scan.format == FormatScan::Tiff
                        ? readHeaderMemTiff(donnees(scan), scan.octets.size(), n, &w, &h, &bps,
                                            &spp, &res, &cmap, &format) == 0
                        : pixReadHeaderMem(donnees(scan), scan.octets.size(), &format, &w, &h, &bps,
                                           &spp, &cmap) == 0;
    if (!lu || w < 1 || h < 1)
        return Echec{nom_page(scan, n) + " est illisible (fichier tronqué ou abîmé)."};
    if (w > kMaxSide || h > kMaxSide || std::uint64_t(w) * std::uint64_t(h) * 3 > kOctetsPageMax)
        return Echec{nom_page(scan, n) + " est trop grande (" + std::to_string(w) + " x " +
                     std::to_string(h) + " pixels ; " + std::to_string(kMaxSide) +
                     " pixels de côté au plus)."};
    return Reussite{};
}

}  // namespace

Resultat<Scan> ouvrir_scan(const std::filesystem::path& fichier) {
    leptonica::preparer();
    if (OpenResult ouvert = open_regular_file(fichier); !ouvert) return Echec{ouvert.message};
    std::optional<std::string> octets = lire_octets(fichier, kOctetsFichierMax);
    if (!octets)
        return Echec{"Le fichier " + entre_guillemets(fichier) +
                     " ne peut pas être lu ou dépasse " + std::to_string(kOctetsFichierMax >> 20) +
                     " Mo."};
    Scan scan;
    scan.fichier = fichier;
    scan.octets = std::move(*octets);
    l_int32 format = IFF_UNKNOWN;
    if (scan.octets.size() < 12 || findFileFormatBuffer(donnees(scan), &format) != 0)
        format = IFF_UNKNOWN;
    if (L_FORMAT_IS_TIFF(format))
        scan.format = FormatScan::Tiff;
    else if (format == IFF_JFIF_JPEG)
        scan.format = FormatScan::Jpeg;
    else if (format == IFF_PNM)
        scan.format = FormatScan::Pnm;
    else if (format == IFF_PNG)
        scan.format = FormatScan::Png;
    else
        return Echec{"Le fichier " + entre_guillemets(fichier) +
                     " n'est pas un scan TIFF, JPEG, PNM ou PNG."};
    scan.pages = scan.format == FormatScan::Tiff ? pages_tiff(scan) : 1;
    if (scan.pages < 1)
        return Echec{"Le fichier " + entre_guillemets(fichier) +
                     " est un TIFF illisible (fichier tronqué ou abîmé)."};
    for (int n = 0; n < scan.pages; ++n)
        if (Verdict v = verifier_page(scan, n); !v) return Echec{v.raison()};
    return scan;
}

Resultat<Image> lire_page(const Scan& scan, int n, double dpi_defaut) {
    std::optional<Image> image;
    if (scan.format == FormatScan::Png) {
        // Our own reader keeps what a page's PNG holds: its palette depth, alpha and pHYs.
        LoadResult l = load_png(scan.fichier);
        if (!l) return Echec{nom_page(scan, n) + " ne peut pas être décodée : " + l.message};
        if (l.image->file_depth() == 16) l.image->set_file_depth(8);
        image = std::move(l.image);
    } else {
        const leptonica::PixPtr pix(scan.format == FormatScan::Tiff
                                        ? pixReadMemTiff(donnees(scan), scan.octets.size(), n)
                                        : pixReadMem(donnees(scan), scan.octets.size()));
        if (pix) image = leptonica::image_depuis_pix(pix.get());
        if (!image)
            return Echec{nom_page(scan, n) +
                         " ne peut pas être décodée (fichier tronqué ou abîmé, ou mémoire "
                         "insuffisante)."};
    }
    if (!image->resolution() || image->resolution()->x_per_metre == 0 ||
        image->resolution()->y_per_metre == 0)
        image->set_resolution(resolution_from_dpi(dpi_defaut));
    return std::move(*image);
}

}  // namespace vellumor::importation
