#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "ops/cleaning/cleaning_constants.h"
#include "ops/colourising/colourising_constants.h"
#include "ops/cropping/cropping_constants.h"
#include "ops/import/import.h"
#include "ops/numbering/parameters.h"
#include "ops/pdf/export_pdf.h"
#include "ops/pdf/pdf_constants.h"
#include "ops/reconstitution/parameters.h"
#include "ops/straightening/straightening.h"
#include "ops/straightening/straightening_constants.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

struct Operation {
    const char* commande;  // the command whose help lists the options
    const DescriptionOperation& d;
};

const Operation kOperations[] = {
    {"nettoyer", cleaning::kDescription},     {"detourer", cropping::kDescription},
    {"coloriser", colourising::kDescription}, {"redresser", straightening::kDescription},
    {"numeroter", numbering::kDescription},   {"reconstituer", reconstitution::kDescription},
    {"importer", importation::kDescription},  {"pdf", pdf::kDescription},
};

TEST(Descriptions, EachRunPostsEventsAndNamesRecordsNoOtherRunUses) {
    std::set<std::int64_t> evenements;
    std::set<std::string_view> fiches;
    for (const Operation& o : kOperations) {
        if (o.d.evenement_fin_paire == 0) continue;  // not a run of two workers
        for (std::int64_t e :
             {o.d.evenement_fin_paire, o.d.evenement_fin_impaire, o.d.evenement_controle})
            EXPECT_TRUE(evenements.insert(e).second) << o.commande << " " << e;
        for (std::string_view f : {o.d.fiche_paire, o.d.fiche_impaire})
            EXPECT_TRUE(!f.empty() && fiches.insert(f).second) << o.commande << " " << f;
        EXPECT_FALSE(o.d.texte_fin.empty()) << o.commande;
    }
    EXPECT_EQ(evenements.size(), 6u * 3u);
}

TEST(Descriptions, EachOptionsDefaultIsInItsRangeAndTheHelpListsIt) {
    test::TempDir tmp;
    for (const Operation& o : kOperations) {
        const test::SortieCli aide =
            test::lancer_cli(std::string(o.commande) + " --aide", tmp.path());
        EXPECT_EQ(aide.status, 0) << o.commande;
        for (const OptionOperation& option : o.d.options) {
            EXPECT_LE(option.minimum, option.defaut) << option.nom;
            EXPECT_LE(option.defaut, option.maximum) << option.nom;
            EXPECT_NE(aide.texte.find("  " + std::string(option.nom) + " "), std::string::npos)
                << o.commande << " " << option.nom;
        }
    }
}

// What an operation's own validation says of an option's value: true when it accepts it.
struct Validation {
    const OptionOperation& option;
    double pas;  // the smallest step beyond a bound
    std::function<bool(double)> accepte;
};

bool accepte_numerotation(std::size_t i, double v) {
    numbering::ParametresNumerotation p;
    p.*numbering::kPlagesNumerotation[i].champ = std::int64_t(v);
    return numbering::valider(p).ok();
}

TEST(Descriptions, TheValidationAcceptsAnOptionsRangeAndRefusesBeyondIt) {
    namespace rc = reconstitution;
    const Validation validations[] = {
        {straightening::kOptions[0], 0.01,
         [](double v) { return straightening::valider({v}).ok(); }},
        {rc::kOptionDecalageHaut, 1,
         [](double v) {
             rc::Parametres p;
             p.decalage_haut = std::int64_t(v);
             return rc::valider(p).ok();
         }},
        {rc::kOptionDecalageReliure, 1,
         [](double v) {
             rc::Parametres p;
             p.decalage_reliure = std::int64_t(v);
             return rc::valider(p).ok();
         }},
        {numbering::kOptions[0], 1, [](double v) { return accepte_numerotation(0, v); }},
        {numbering::kOptions[2], 1, [](double v) { return accepte_numerotation(2, v); }},
        {numbering::kOptions[4], 1, [](double v) { return accepte_numerotation(4, v); }},
        {importation::kOptionPremier, 1,
         [](double v) {
             return importation::valider({"d", std::int64_t(v), "page_", std::nullopt}).ok();
         }},
        {importation::kOptionDpi, 1,
         [](double v) {
             return importation::valider({"d", 1, "page_", v}).ok();
         }},
        {pdf::kOptions[0], 1,
         [](double v) {
             return pdf::valider({"x.pdf", int(v)}).ok();
         }},
    };
    for (const Validation& v : validations) {
        const OptionOperation& o = v.option;
        EXPECT_TRUE(v.accepte(o.minimum) && v.accepte(o.defaut) && v.accepte(o.maximum)) << o.nom;
        EXPECT_FALSE(v.accepte(o.minimum - v.pas)) << o.nom;
        EXPECT_FALSE(v.accepte(o.maximum + v.pas)) << o.nom;
    }
}

}  // namespace
}  // namespace vellumor
