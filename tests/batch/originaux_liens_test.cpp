#include <gtest/gtest.h>

#include "batch/originaux.h"
#include "common/safe_replace.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

namespace fs = std::filesystem;

// A page hard-linked to a kept original of an earlier run killed before its end is the program's
// own link: the page is still replaced, and the original stays as it was. Any other link is not.
TEST(OriginauxLiens, APageLinkedToAKeptOriginalIsReplacedNoteOrNot) {
    struct Cas {
        const char* quoi;
        bool notee;          // the killed run noted the keep in its journal
        bool lien_etranger;  // the second name is outside the kept runs
        ReplaceStatus attendu;
    } const cas[] = {
        {"kept and noted", true, false, ReplaceStatus::Replaced},
        {"kept, killed before the note", false, false, ReplaceStatus::Replaced},
        {"linked by someone else", false, true, ReplaceStatus::HardLinked},
    };
    for (const Cas& c : cas) {
        test::TempDir dir;
        test::write_bytes(dir / "p.png", "ancienne");
        const fs::path run = dir / kDossierOriginaux / "2026-01-01 00-00-00 Nettoyage";
        fs::create_directories(run);
        test::write_bytes(run / kJournalOriginaux,
                          entete_journal(kOperationNettoyage, "2026-01-01 00-00-00", 1) +
                              (c.notee ? ligne_garde("p.png") : ""));
        fs::create_hard_link(dir / "p.png", c.lien_etranger ? dir / "autre" : run / "p.png");

        Originaux o(kOperationNettoyage);
        const ReplaceResult r = replace_file(
            dir / "p.png", [](OutputFile& out) { return out.write("nouvelle"); },
            o.options(identity_of(dir / "p.png")));
        EXPECT_EQ(r.status, c.attendu) << c.quoi << ": " << r.message;
        const bool remplacee = c.attendu == ReplaceStatus::Replaced;
        EXPECT_EQ(test::read_bytes(dir / "p.png"), remplacee ? "nouvelle" : "ancienne") << c.quoi;
        EXPECT_EQ(test::read_bytes(c.lien_etranger ? dir / "autre" : run / "p.png"), "ancienne")
            << c.quoi;
    }
}

}  // namespace
}  // namespace vellumor
