#include "imagelist/list_file.h"

#include <gtest/gtest.h>

#include "common/text_utf8.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

using test::read_bytes;
using test::TempDir;
using test::write_bytes;

const std::string kBom = "\xEF\xBB\xBF";

LectureListe lire(const TempDir& dir, const std::string& bytes) {
    write_bytes(dir / "liste.txt", bytes);
    return lire_fichier_liste(dir / "liste.txt");
}

Message avertissement(const std::string& instruction) {
    return {Message::Kind::BoiteMessage, instruction, "", "", kIconeAvertissement};
}

TEST(ListFileReader, KeepsFileOrderAndSkipsBlankAndCommentLines) {
    TempDir dir;
    const auto r = lire(dir, kBom +
                                 "  /p/page_12.png  \r\n\r\n   \n; commentaire\r  ;x\n"
                                 "/p/page_3.png\r/p/page 1.png\t");
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.message);
    // Only spaces are trimmed: the tab stays part of the path.
    const std::vector<std::filesystem::path> expected = {"/p/page_12.png", "/p/page_3.png",
                                                         "/p/page 1.png\t"};
    EXPECT_EQ(r.fichiers, expected);
    const ListeImages entries = entrees_depuis_liste(r.fichiers);
    EXPECT_EQ(entries[0].Numero, 12);
    EXPECT_EQ(entries[1].Numero, 3);
}

TEST(ListFileReader, AcceptsAFileHoldingOnlyTheMark) {
    TempDir dir;
    const auto r = lire(dir, kBom);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.fichiers.empty());
}

TEST(ListFileReader, RefusesEverythingButUtf8WithMarkAndUtf16WithoutMark) {
    TempDir dir;
    const Message bom = avertissement(" Le fichier n'est pas au format UTF8 avec BOM");
    for (const std::string& bytes :
         {std::string("/p/a.png\r\n"), std::string("\xFF\xFE/\0p\0", 6),
          std::string("\xFE\xFF\0/\0p", 6), std::string(),
          // Zero bytes without a mark but not UTF-16LE: an odd byte count, a lone surrogate, a NUL
          // character.
          std::string("/\0p\0a", 5),
          std::string("/\0\x00\xDC"
                      "a\0",
                      6),
          std::string("/\0\0\0a\0", 6), std::string("/\0\x3D\xD8", 4),
          // NUL bytes and malformed UTF-8 behind a correct mark.
          kBom + std::string("/p/a\0.png\r\n", 11), kBom + "/p/\xC3(.png\r\n",
          kBom + "/p/\xED\xA0\x80.png", kBom + "/p/\xC0\xAF.png"}) {
        const auto r = lire(dir, bytes);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.fichiers.empty());
        EXPECT_EQ(r.message, bom);
    }
}

TEST(ListFileReader, MissingAndUnreadableFiles) {
    TempDir dir;
    EXPECT_EQ(lire_fichier_liste(dir / "absent.txt").message,
              avertissement(" Aucun fichier Liste sélectionné"));
    EXPECT_EQ(message_aucun_fichier_liste(), avertissement(" Aucun fichier Liste sélectionné"));
    EXPECT_EQ(lire_fichier_liste(dir.path()).message,
              avertissement(" Fichier Liste des images non trouvé ou déjà ouvert"));
}

TEST(ListFileReader, DuplicatesIgnoreLetterCaseAndDropTheList) {
    TempDir dir;
    auto r = lire(dir, kBom + "/p/Écran_1.png\r\n/p/b.png\r\n/P/éCRAN_1.PNG\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.fichiers.empty());
    EXPECT_EQ(r.message, (Message{Message::Kind::Simple, "", "1 doublon détecté",
                                  "Erreur de doublons de la liste 1", 0}));

    r = lire(dir, kBom + "/p/a.png\n/p/a.png\n/p/a.png\n");
    EXPECT_EQ(r.message, (Message{Message::Kind::Simple, "", "2 doublons détectés",
                                  "Erreur de doublons de la liste 2", 0}));
    r = lire(dir, kBom + "/p/a.png\n/p/b.png\n/p/a.png\n/p/B.png\n");
    EXPECT_EQ(r.message->texte, "2 doublons détectés");
}

TEST(ListFileReader, Utf16WithoutMarkFollowsTheSameLineRules) {
    TempDir dir;
    auto r =
        lire(dir, utf8_vers_utf16le("  /p/page_2.png \r\n; note\r\n\r\n/p/\xF0\x9F\x98\x80_1.png"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.fichiers,
              (std::vector<std::filesystem::path>{"/p/page_2.png", "/p/\xF0\x9F\x98\x80_1.png"}));
    r = lire(dir, utf8_vers_utf16le("/p/A.png\r\n/p/a.PNG\r\n"));
    EXPECT_EQ(r.message->titre, "Erreur de doublons de la liste 1");
    EXPECT_TRUE(r.fichiers.empty());
}

// A line longer than a path can be refuses the list, in either encoding, without being kept; up to
// the bound it is read whole.
TEST(ListFileReader, HugeLinesRefuseTheListWithoutBeingKept) {
    TempDir dir;
    const auto ligne = [](std::size_t octets) {
        return "/p/" + std::string(octets - 9, 'x') + "_7.png";
    };
    const std::string refus =
        " Fichier Liste refusé : ligne trop longue (ligne 2, plus de 4096 octets)";
    const struct {
        std::string octets;
        std::size_t fichiers;  // 0: refused
        std::string message;
    } cas[] = {
        {kBom + "/p/a.png\r\n" + ligne(4096) + "\r\n", 2, ""},
        {kBom + "/p/a.png\r\n" + ligne(4097) + "\r\n/p/b.png", 0, refus},
        {kBom + "/p/a.png\n" + ligne(3 << 20), 0, refus},
        {utf8_vers_utf16le("/p/a.png\r\n" + ligne(4096)), 2, ""},
        {utf8_vers_utf16le("/p/a.png\r\n" + ligne(4097) + "\r\n"), 0, refus},
        // Without a zero byte it is no UTF-16 list, however long its line.
        {"/p/a.png\r\n" + ligne(9000), 0, " Le fichier n'est pas au format UTF8 avec BOM"},
    };
    for (const auto& c : cas) {
        const auto r = lire(dir, c.octets);
        EXPECT_EQ(r.ok, c.fichiers > 0) << c.octets.size();
        EXPECT_EQ(r.fichiers.size(), c.fichiers) << c.octets.size();
        if (c.fichiers > 0) {
            EXPECT_EQ(r.fichiers[1].string().size(), 4096u);
        } else {
            EXPECT_EQ(r.message, avertissement(c.message)) << c.octets.size();
        }
    }
}

TEST(ListFileSaveName, NameRules) {
    const auto chemin = [](std::string_view chosen) { return nom_sauvegarde_liste(chosen).chemin; };
    EXPECT_EQ(chemin("/d/pages"), "/d/pages.txt");
    EXPECT_EQ(chemin("/d/pages."), "/d/pages.txt");
    EXPECT_EQ(chemin("/d/pages..."), "/d/pages.txt");
    EXPECT_EQ(chemin("/d/pages.doc"), "/d/pages.txt");
    EXPECT_EQ(chemin("/d/pages.TXT"), "/d/pages.TXT");
    EXPECT_EQ(chemin("/d/pages.Txt."), "/d/pages.Txt");
    EXPECT_EQ(chemin("/d.x/pages"), "/d.x/pages.txt");
    EXPECT_EQ(chemin("/d/a.b.doc"), "/d/a.b.txt");
    EXPECT_EQ(chemin("pages"), "pages.txt");

    const Message interdits{Message::Kind::Simple, "",
                            "Le fichier comporte des caractères interdits!\rLa liste ne sera pas "
                            "enregistrée!",
                            "Info", kIconeInformation};
    for (const std::string_view bad : {"/d/a:b.txt", "/d/a?.txt", "/d/a*", "/d/\"a\"", "/d/a<b>",
                                       "/d/a|b", "/d/a\tb", "/d/", "", "/d/...", "c:\\d\\"}) {
        const auto r = nom_sauvegarde_liste(bad);
        EXPECT_EQ(r.refus, interdits) << bad;
        EXPECT_TRUE(r.chemin.empty());
    }
    // The name part starts after a backslash too; the folder part may hold any character.
    EXPECT_EQ(chemin("/d:x/a\\pages.doc"), "/d:x/a\\pages.txt");
}

TEST(ListFileWriter, WritesUtf16WithoutMarkAndReportsTheFile) {
    TempDir dir;
    const std::string chosen = (dir / "liste.doc").string();
    const std::string target = (dir / "liste.txt").string();
    write_bytes(target, "ancien contenu plus long que le nouveau, à remplacer entièrement");
    const Message m = enregistrer_fichier_liste(chosen, {"/p/é_1.png", "/p/b"});
    EXPECT_EQ(m, (Message{Message::Kind::Simple, "", "Le fichier\r\r" + target + "\r  a été créé",
                          "Info", kIconeInformation}));
    EXPECT_EQ(read_bytes(target), std::string("/\0p\0/\0\xE9\0_\0001\0.\0p\0n\0g\0\r\0\n\0"
                                              "/\0p\0/\0b\0\r\0\n\0",
                                              36));
    // A saved list loads back as it was saved.
    const LectureListe relue = lire_fichier_liste(target);
    ASSERT_TRUE(relue.ok);
    EXPECT_EQ(relue.fichiers, (std::vector<std::filesystem::path>{"/p/é_1.png", "/p/b"}));

    const Message failed =
        enregistrer_fichier_liste((dir / "absent" / "liste").string(), {"/p/a.png"});
    EXPECT_EQ(failed, (Message{Message::Kind::Simple, "",
                               "Impossible de créer le fichier\rLa liste ne sera pas enregistrée!",
                               "Erreur", kIconeInformation}));
    EXPECT_EQ(contenu_liste_sauvegardee({}), "");
    // A character beyond the basic plane takes a surrogate pair.
    EXPECT_EQ(contenu_liste_sauvegardee({"\xF0\x9F\x98\x80"}),
              std::string("\x3D\xD8\x00\xDE\r\0\n\0", 8));
}

TEST(ListFileWriter, FixedSaveMessages) {
    EXPECT_EQ(question_chemin_complet(),
              (Message{Message::Kind::Simple, "", "Enregistrer le chemin complet ?",
                       "Mode de sauvegarde", kIconeQuestion | kBoutonsOuiNon}));
    EXPECT_EQ(message_liste_non_enregistree(),
              (Message{Message::Kind::Simple, "", "La liste ne sera pas enregistrée!", "Info",
                       kIconeInformation}));
}

}  // namespace
}  // namespace vellumor
