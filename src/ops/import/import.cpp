#include "ops/import/import.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <initializer_list>
#include <system_error>

#include "batch/png_io.h"
#include "common/file_io.h"
#include "common/regular_file.h"
#include "ops/import/scan_reader.h"

namespace vellumor::importation {
namespace {

bool nom_pris(const std::filesystem::path& page) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(page, ec));
}

bool est_extension(const std::string& extension, std::initializer_list<const char*> noms) {
    for (const char* n : noms)
        if (extension.size() == std::strlen(n) &&
            std::equal(extension.begin(), extension.end(), n, [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == b;
            }))
            return true;
    return false;
}

std::string deja_la(const std::filesystem::path& page) {
    return "La page " + entre_guillemets(page) + " existe déjà : elle n'est pas remplacée.";
}

// The pages written so far, removed again when the import fails.
struct PagesEcrites {
    std::vector<std::filesystem::path> pages;
    std::vector<std::optional<FileIdentity>> identites;
    bool garder = false;
    ~PagesEcrites() {
        if (garder) return;
        for (std::size_t i = 0; i < pages.size(); ++i)
            if (identites[i] && identity_of(pages[i]) == identites[i]) {
                std::error_code ec;
                std::filesystem::remove(pages[i], ec);
            }
    }
};

}  // namespace

Verdict valider(const Parametres& p) {
    if (p.dossier.empty()) return Echec{"Le dossier des pages importées n'est pas donné"};
    if (p.premier < kOptionPremier.minimum || p.premier > kPremierMaximum)
        return Echec{"Le premier numéro doit être compris entre " +
                     std::to_string(std::int64_t(kOptionPremier.minimum)) + " et " +
                     std::to_string(kPremierMaximum)};
    for (const unsigned char c : p.prefixe)
        if (c == '/' || c < 0x20 || c == 0x7F)
            return Echec{"Le préfixe ne peut contenir ni « / » ni caractère de contrôle"};
    if (p.dpi && !(*p.dpi >= kDpiMinimum && *p.dpi <= kDpiMaximum))
        return Echec{"La résolution doit être comprise entre " + std::to_string(int(kDpiMinimum)) +
                     " et " + std::to_string(int(kDpiMaximum)) + " dpi"};
    return Reussite{};
}

std::string nom_page(const std::string& prefixe, std::int64_t numero, int chiffres) {
    std::string n = std::to_string(numero);
    if (int(n.size()) < chiffres) n.insert(0, std::size_t(chiffres) - n.size(), '0');
    return prefixe + n + ".png";
}

int chiffres_pour(std::int64_t premier, std::int64_t nombre) {
    const int dernier = int(std::to_string(premier + std::max<std::int64_t>(nombre, 1) - 1).size());
    return std::max(kChiffresMinimum, dernier);
}

Parametres parametres_depuis_nom(const std::filesystem::path& premiere_page) {
    Parametres p;
    p.dossier = premiere_page.parent_path();
    std::string nom = premiere_page.filename().string();
    if (nom.size() > 4 && est_extension(nom.substr(nom.size() - 4), {".png"}))
        nom.resize(nom.size() - 4);
    std::size_t debut = nom.size();
    while (debut > 0 && nom.size() - debut < 9 &&
           std::isdigit(static_cast<unsigned char>(nom[debut - 1])))
        --debut;
    p.prefixe = nom.substr(0, debut);
    if (debut < nom.size()) p.premier = std::stoll(nom.substr(debut));
    return p;
}

bool est_nom_de_scan(const std::filesystem::path& fichier) {
    return est_extension(fichier.extension().string(),
                         {".tif", ".tiff", ".jpg", ".jpeg", ".pnm", ".pbm", ".pgm", ".ppm"});
}

Resultat<std::vector<std::filesystem::path>> importer(
    const std::vector<std::filesystem::path>& scans, const Parametres& p,
    const std::function<bool(int, int)>& fait) {
    if (Verdict v = valider(p); !v) return Echec{v.raison()};
    if (scans.empty()) return Echec{"Aucun scan à importer"};
    // Every scan checked and counted before anything is written; their bytes are not kept, so
    // that a long list does not hold every file in memory.
    std::vector<int> pages_par_scan;
    for (const std::filesystem::path& s : scans) {
        const Resultat<Scan> o = ouvrir_scan(s);
        if (!o) return Echec{o.raison()};
        pages_par_scan.push_back(o->pages);
    }
    std::int64_t total = 0;
    for (const int n : pages_par_scan) total += n;
    if (p.premier + total - 1 > kPremierMaximum)
        return Echec{"Trop de pages pour numéroter à partir de " + std::to_string(p.premier)};
    const int chiffres = chiffres_pour(p.premier, total);
    for (std::int64_t k = 0; k < total; ++k)
        if (const auto page = p.dossier / nom_page(p.prefixe, p.premier + k, chiffres);
            nom_pris(page))
            return Echec{deja_la(page)};
    std::error_code ec;
    std::filesystem::create_directories(p.dossier, ec);
    if (!std::filesystem::is_directory(p.dossier, ec))
        return Echec{"Le dossier " + entre_guillemets(p.dossier) + " ne peut pas être créé."};

    PagesEcrites ecrites;
    std::int64_t numero = p.premier;
    for (std::size_t i = 0; i < scans.size(); ++i) {
        const Resultat<Scan> o = ouvrir_scan(scans[i]);
        if (!o) return Echec{o.raison()};
        if (o->pages != pages_par_scan[i])
            return Echec{"Le fichier " + entre_guillemets(scans[i]) +
                         " a changé pendant l'importation."};
        for (int n = 0; n < o->pages; ++n, ++numero) {
            Resultat<Image> page = lire_page(*o, n, p.dpi.value_or(kDpiDefaut));
            if (!page) return Echec{page.raison()};
            if (p.dpi) page->set_resolution(resolution_from_dpi(*p.dpi));
            const std::filesystem::path nom = p.dossier / nom_page(p.prefixe, numero, chiffres);
            ReplaceOptions options;
            // Checked again just before the rename: a page that appeared meanwhile is kept.
            options.before_rename = [](const std::filesystem::path& cible, std::string& erreur) {
                if (!nom_pris(cible)) return true;
                erreur = deja_la(cible);
                return false;
            };
            options.never_replace = true;
            const SaveResult s = save_png_over_file(*page, nom, 0, options);
            if (!s)
                return Echec{s.message.empty() ? "Impossible d'écrire " + entre_guillemets(nom)
                                               : s.message};
            ecrites.pages.push_back(nom);
            ecrites.identites.push_back(identity_of(nom));
            if (fait && !fait(int(ecrites.pages.size()), int(total)))
                return Echec{"Importation interrompue : aucune page n'est gardée."};
        }
    }
    ecrites.garder = true;
    return ecrites.pages;
}

}  // namespace vellumor::importation
