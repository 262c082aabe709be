// A 3000 x 4000 grey page reconstituted on the A4 grey format against the floor of saving the
// 4961 x 7016 result at its depth: a page of a running worker is one draw and one save over its
// source (then the blank page is painted white again), which should stay within 1.2 x that floor.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "batch/image.h"
#include "batch/png_io.h"
#include "batch/progress.h"
#include "ops/reconstitution/execution.h"
#include "ops/reconstitution/format.h"
#include "ops/reconstitution/page_vierge.h"
#include "ops/reconstitution/placement.h"

namespace rc = vellumor::reconstitution;
using vellumor::Image;

namespace {

double secondes_depuis(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Grey text-like lines: words of dark strokes with soft edges on a white page.
Image page_grise(int w, int h) {
    Image page = *Image::create(w, h, 24, vellumor::kWhite);
    std::mt19937 alea(7);
    for (int y = 300; y + 60 < h - 300; y += 90) {
        for (int x = 250; x < w - 400;) {
            const int mot = 60 + int(alea() % 240);
            for (int c = x; c < std::min(x + mot, w - 250); c += 14) {
                const auto g = std::uint8_t(alea() % 90);
                page.fill_box(c, y, 8, 50, vellumor::couleur(g, g, g));
                page.fill_box(c + 8, y, 2, 50, vellumor::couleur(160, 160, 160));
            }
            x += mot + 40;
        }
    }
    return page;
}

class Muette : public vellumor::Progression {
  public:
    void icone_ligne(std::int64_t, int) override {}
    void texte_entete(const std::string&) override {}
    void evenement_fin(std::int64_t) override {}
    void fichier_fini(const std::filesystem::path&, vellumor::IssueFichier issue,
                      const std::string& raison) override {
        if (issue != vellumor::IssueFichier::Ecrit) std::fprintf(stderr, "%s\n", raison.c_str());
    }
    void message(const vellumor::Message& m) override {
        std::fprintf(stderr, "%s\n", m.instruction.c_str());
    }
};

// Time of a run over copies of the original named page_2, page_4 ... (all on one worker).
double duree_run(const std::filesystem::path& dossier, const std::filesystem::path& original,
                 int pages) {
    vellumor::ListeImages liste;
    std::vector<std::string> noms;
    for (int i = 1; i <= pages; ++i) {
        const std::string nom = "page_" + std::to_string(2 * i) + ".png";
        std::filesystem::copy_file(original, dossier / nom,
                                   std::filesystem::copy_options::overwrite_existing);
        liste.push_back(vellumor::entree_pour(dossier / nom));
        noms.push_back(nom);
    }
    const vellumor::LignesFixes lignes(noms);
    const vellumor::exceptions::PageExceptionList aucune;
    Muette muette;
    rc::Parametres p;
    p.format = rc::kFormatA4Gris;
    const auto t0 = std::chrono::steady_clock::now();
    rc::Reconstitution run(liste, p, aucune, lignes, muette);
    if (run.demarrer()) return -1;
    run.attendre();
    if (run.fin() != rc::FinReconstitution::Terminee) return -1;
    return secondes_depuis(t0);
}

}  // namespace

int main() {
    const auto dossier = std::filesystem::temp_directory_path() / "vellumor_bench_reconstitution";
    std::filesystem::create_directories(dossier);
    const Image source = page_grise(3000, 4000);
    const auto original = dossier / "original.png";
    if (!vellumor::save_png(source, original, 8)) return 1;

    const int profondeur = rc::profondeur_sauvegarde(rc::kFormatA4Gris);
    constexpr int kPages = 4;
    double plancher = 1e9, chargement = 1e9, un = 1e9, plusieurs = 1e9;
    for (int essai = 0; essai < 2; ++essai) {
        auto t0 = std::chrono::steady_clock::now();
        const vellumor::LoadResult lu = vellumor::load_png(original);
        chargement = std::min(chargement, secondes_depuis(t0));
        if (!lu) return 1;

        Image resultat = *rc::construire_page_vierge(rc::kFormatA4Gris, {});
        resultat.draw(*lu.image, (rc::kA4Largeur - 3000) / 2, (rc::kA4Hauteur - 4000) / 2);
        t0 = std::chrono::steady_clock::now();
        if (!vellumor::save_png(resultat, dossier / "plancher.png", profondeur)) return 1;
        plancher = std::min(plancher, secondes_depuis(t0));

        un = std::min(un, duree_run(dossier, original, 1));
        plusieurs = std::min(plusieurs, duree_run(dossier, original, kPages));
    }
    std::filesystem::remove_all(dossier);
    if (un < 0 || plusieurs < 0) return 1;
    // A page of a running worker: the blank page and the threads are already there.
    const double par_page = (plusieurs - un) / (kPages - 1);
    const double etape = par_page - chargement;  // draw, save over the source, white again
    const double rapport = etape / plancher;
    std::printf(
        "reconstitution 3000x4000 gris -> A4 gris, par page : %.3f s dont lecture %.3f s\n"
        "  dessin + enregistrement sur la source + blanchiment : %.3f s ; plancher "
        "(enregistrement 4961x7016 à %d bits) %.3f s ; rapport %.2f (objectif <= 1.20) %s\n"
        "  page complète / (lecture + enregistrement) : %.2f ; run d'un seul fichier "
        "(page vierge et fils compris) : %.3f s\n",
        par_page, chargement, etape, profondeur, plancher, rapport,
        rapport <= 1.2 ? "OK" : "TROP LENT", par_page / (chargement + plancher), un);
    return rapport <= 1.2 ? 0 : 1;
}
