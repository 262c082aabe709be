#include <unistd.h>

#include <cstdio>
#include <limits>

#include "cli/options.h"
#include "cli/page_options.h"
#include "cli/page_run.h"
#include "cli/terminal_progress.h"
#include "ops/pdf/export_pdf.h"
#include "ops/pdf/pdf_constants.h"

namespace vellumor::cli {
namespace {

const DescriptionCommande kDescription = {
    "pdf",
    "--sortie LIVRE.pdf [OPTIONS] FICHIER...|DOSSIER",
    "Écrit les pages, dans l'ordre de la liste d'images, en un seul document PDF prêt pour\n"
    "l'impression : une page PNG par page du document, à la taille que donne sa résolution,\n"
    "sans perte (ni rééchantillonnage, ni conversion de couleurs, ni JPEG).",
    "Les fichiers du fichier liste viennent dans son ordre, puis les fichiers donnés en\n"
    "arguments dans l'ordre de leur numéro de page (les chiffres qui terminent leur nom) ;\n"
    "un dossier donné en argument vaut ses fichiers .png. Une page illisible fait échouer\n"
    "l'export, qui n'écrit alors aucun document. Ctrl-C l'arrête sans rien écrire.",
    "le document est écrit",
    "il ne l'est pas (page illisible, écriture impossible, interruption)",
};

struct OptionsPdf {
    pdf::ParametresPdf parametres;
    OptionsPages pages;
    std::optional<std::filesystem::path> sortie;
};

TableOptions table_pdf(OptionsPdf& o) {
    TableOptions t;
    t.chemin({"--sortie"}, "F.pdf", "le document à écrire (remplacé s'il existe)", o.sortie);
    // The export's own validation judges the range, in its words.
    const OptionOperation& dpi = pdf::kOptions[0];
    t.ajouter(
        {{std::string(dpi.nom)},
         "N",
         std::string(dpi.aide) + " (" + std::to_string(int(dpi.minimum)) + " à " +
             std::to_string(int(dpi.maximum)) + ") ; sans elle,\ncelle de chaque fichier, ou " +
             std::to_string(int(dpi.defaut)) + " " + std::string(dpi.unite) +
             " s'il n'en donne pas",
         [&o](const std::string& v) -> std::optional<std::string> {
             const auto n = lire_entier_decimal(v);
             if (!n || *n < std::numeric_limits<int>::min() || *n > std::numeric_limits<int>::max())
                 return "Résolution invalide : " + v + " (un nombre entier de points par pouce)";
             o.parametres.dpi = int(*n);
             return std::nullopt;
         }});
    options_pages(t, o.pages, false, false);
    return t;
}

}  // namespace

int commande_pdf(const std::vector<std::string>& args) {
    OptionsPdf o;
    Arguments a;
    if (const auto fin = lire_arguments(args, kDescription, table_pdf(o), a)) return *fin;
    if (!o.sortie) return erreur_usage(kDescription.nom, "L'option --sortie F.pdf est obligatoire");
    o.parametres.sortie = *o.sortie;
    if (const Verdict v = pdf::valider(o.parametres); !v)
        return erreur_usage(kDescription.nom, v.raison());
    for (const std::string& f : a.operandes) o.pages.fichiers.emplace_back(f);
    const ListeOuErreur l = construire_liste(o.pages);
    if (!l.erreur.empty()) return erreur_usage(kDescription.nom, l.erreur);
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
                        std::string(pdf::kDescription.texte_fin).c_str(),
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
