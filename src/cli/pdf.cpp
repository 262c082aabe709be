#include <unistd.h>

#include <charconv>
#include <cstdio>

#include "cli/page_options.h"
#include "cli/page_run.h"
#include "cli/terminal_progress.h"
#include "ops/pdf/export_pdf.h"
#include "ops/pdf/pdf_constants.h"

namespace vellumor::cli {
namespace {

const std::string& aide() {
    static const std::string texte =
        "Utilisation : vellumor-cli pdf --sortie LIVRE.pdf [--dpi N] [--liste FICHIER.txt]\n"
        "                               [--silencieux] FICHIER... | DOSSIER\n\n"
        "Écrit les pages, dans l'ordre de la liste d'images, en un seul document PDF prêt pour\n"
        "l'impression : une page PNG par page du document, à la taille que donne sa résolution,\n"
        "sans perte (ni rééchantillonnage, ni conversion de couleurs, ni JPEG).\n\n"
        "Options :\n"
        "  --sortie F.pdf    le document à écrire (remplacé s'il existe)\n"
        "  --dpi N           résolution imposée à toutes les pages (" +
        std::to_string(pdf::kDpiMin) + " à " + std::to_string(pdf::kDpiMax) +
        ") ; sans elle,\n"
        "                    celle de chaque fichier, ou " +
        std::to_string(pdf::kDefaultDpi) +
        " dpi s'il n'en donne pas\n"
        "  --liste F.txt     prend aussi les fichiers d'un fichier liste (UTF-8 avec BOM,\n"
        "                    un chemin par ligne, « ; » en tête d'une ligne de commentaire)\n"
        "  --silencieux      n'affiche que les échecs\n"
        "  --aide, --help    affiche cette aide\n\n"
        "Les fichiers du fichier liste viennent dans son ordre, puis les fichiers donnés en\n"
        "arguments dans l'ordre de leur numéro de page (les chiffres qui terminent leur nom) ;\n"
        "un dossier donné en argument vaut ses fichiers .png. Une page illisible fait échouer\n"
        "l'export, qui n'écrit alors aucun document. Ctrl-C l'arrête sans rien écrire.\n\n"
        "Code de sortie : 0 le document est écrit, 1 il ne l'est pas (page illisible, écriture\n"
        "impossible, interruption), 2 erreur d'utilisation.\n";
    return texte;
}

struct OptionsPdf {
    pdf::ParametresPdf parametres;
    OptionsPages pages;
};

// --sortie and --dpi are taken here, the rest by the page commands' reader. A French reason when
// the arguments cannot be used.
std::optional<std::string> lire_options(const std::vector<std::string>& args, OptionsPdf& o) {
    std::vector<std::string> reste;
    bool sortie_donnee = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--") {
            reste.insert(reste.end(), args.begin() + std::ptrdiff_t(i), args.end());
            break;
        }
        if (a != "--sortie" && a != "--dpi") {
            reste.push_back(a);
            continue;
        }
        if (i + 1 >= args.size()) return "L'option " + a + " attend une valeur";
        const std::string& v = args[++i];
        if (a == "--sortie") {
            if (sortie_donnee) return "L'option --sortie n'est acceptée qu'une fois";
            sortie_donnee = true;
            o.parametres.sortie = v;
        } else {
            int dpi = 0;
            const auto [fin, ec] = std::from_chars(v.data(), v.data() + v.size(), dpi);
            if (ec != std::errc() || fin != v.data() + v.size() || v.empty())
                return "Résolution invalide : " + v + " (un nombre entier de points par pouce)";
            o.parametres.dpi = dpi;
        }
    }
    AnalyseOptions a = analyser_options(reste, false);
    if (!a.erreur.empty()) return a.erreur;
    o.pages = std::move(a.options);
    if (o.pages.aide) return std::nullopt;
    if (!sortie_donnee) return "L'option --sortie F.pdf est obligatoire";
    return pdf::valider(o.parametres);
}

}  // namespace

int commande_pdf(const std::vector<std::string>& args) {
    OptionsPdf o;
    if (const auto raison = lire_options(args, o)) {
        std::fprintf(stderr, "%s\n« --aide » décrit les options.\n", raison->c_str());
        return 2;
    }
    if (o.pages.aide) {
        std::fputs(aide().c_str(), stdout);
        return 0;
    }
    const ListeOuErreur l = construire_liste(o.pages);
    if (!l.erreur.empty()) {
        std::fprintf(stderr, "%s\n", l.erreur.c_str());
        return 2;
    }
    std::error_code ec;
    const std::filesystem::path absolu = std::filesystem::absolute(o.parametres.sortie, ec);
    if (!ec) o.parametres.sortie = absolu.lexically_normal();

    GardeSignaux signaux;
    ProgressionTerminal progression(stdout, stderr, std::int64_t(l.liste.size()),
                                    isatty(STDERR_FILENO) != 0, o.pages.silencieux);
    const pdf::ResultatPdf r =
        pdf::exporter_pdf(l.liste, o.parametres, progression, &GardeSignaux::interruption_recue());
    progression.effacer_barre();
    if (r.ecrit) {
        if (!o.pages.silencieux)
            std::printf("%s\n%s %s\n", progression.dernier_entete().c_str(),
                        std::string(pdf::kCompletionText).c_str(),
                        o.parametres.sortie.string().c_str());
        return 0;
    }
    if (r.interrompu) {
        std::fprintf(stderr, "%s\n", std::string(pdf::kInterruptedText).c_str());
        return 1;
    }
    // Unreadable pages already have their failure lines.
    std::fprintf(stderr, "%s\n", std::string(pdf::kErrorInstruction).c_str());
    if (progression.echecs() == 0) std::fprintf(stderr, "%s\n", r.erreur.c_str());
    return 1;
}

}  // namespace vellumor::cli
