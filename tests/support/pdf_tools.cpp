#include "support/pdf_tools.h"

#include <cstdio>
#include <sstream>

namespace vellumor::test {
namespace {

std::string entre_guillemets(const std::filesystem::path& p) {
    return "'" + p.string() + "'";
}

}  // namespace

std::string sortie_commande(const std::string& commande) {
    std::string texte;
    std::FILE* f = ::popen((commande + " 2>&1").c_str(), "r");
    if (!f) return texte;
    char tampon[4096];
    for (std::size_t n; (n = std::fread(tampon, 1, sizeof tampon, f)) > 0;) texte.append(tampon, n);
    ::pclose(f);
    return texte;
}

std::vector<std::pair<double, double>> tailles_pages_pdf(const std::filesystem::path& pdf) {
    std::istringstream in(sortie_commande("pdfinfo -f 1 -l 99999 " + entre_guillemets(pdf)));
    std::vector<std::pair<double, double>> tailles;
    for (std::string ligne; std::getline(in, ligne);) {
        double w = 0, h = 0;
        int page = 0;
        if (std::sscanf(ligne.c_str(), "Page %d size: %lf x %lf", &page, &w, &h) == 3)
            tailles.emplace_back(w, h);
    }
    return tailles;
}

std::vector<std::pair<std::string, int>> images_pdf(const std::filesystem::path& pdf) {
    std::istringstream in(sortie_commande("pdfimages -list " + entre_guillemets(pdf)));
    std::vector<std::pair<std::string, int>> images;
    std::string ligne;
    std::getline(in, ligne);  // the two heading lines
    std::getline(in, ligne);
    while (std::getline(in, ligne)) {
        std::istringstream mots(ligne);
        std::string page, num, type, largeur, hauteur, couleur, comp;
        int bpc = 0;
        if (mots >> page >> num >> type >> largeur >> hauteur >> couleur >> comp >> bpc)
            images.emplace_back(couleur, bpc);
    }
    return images;
}

bool pdf_sans_erreur(const std::filesystem::path& pdf) {
    return sortie_commande("qpdf --check " + entre_guillemets(pdf))
               .find("No syntax or stream encoding errors") != std::string::npos;
}

}  // namespace vellumor::test
