#include "common/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "common/folder_io.h"
#include "common/system_error.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

namespace fs = std::filesystem;

FileHandle ouvrir(const fs::path& dossier) {
    Resultat<FileHandle> f = open_folder(dossier);
    EXPECT_TRUE(f) << (f ? "" : f.raison());
    return f ? std::move(*f) : FileHandle();
}

TEST(FileIo, WriteAllOnAFullDiskFailsWithTheDisksReason) {
    FileHandle f(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(f.is_open());
    const Verdict v = write_all(f.get(), std::string(100000, 'x'));
    ASSERT_FALSE(v);
    EXPECT_EQ(v.raison(), raison_systeme(ENOSPC));
}

TEST(FileIo, ReadAllStopsAtItsLimit) {
    test::TempDir dir;
    test::write_bytes(dir / "f", std::string(70000, 'a'));
    struct Cas {
        std::size_t limite;
        bool lu;
    } const cas[] = {{70000, true}, {69999, false}, {0, false}, {1 << 20, true}};
    for (const Cas& c : cas) {
        const OpenedName f = open_no_follow(ouvrir(dir.path()).get(), "f", false);
        const Resultat<std::string> r = read_all(f.handle.get(), c.limite);
        EXPECT_EQ(r.ok(), c.lu) << c.limite;
        EXPECT_EQ(r ? r->size() : 0u, c.lu ? 70000u : 0u);
        EXPECT_EQ(r ? "" : r.raison(), c.lu ? "" : raison_systeme(EFBIG));
    }
}

TEST(FileIo, OpenNoFollowRefusesLinksAndTellsWhatTheNameIs) {
    test::TempDir dir;
    test::write_bytes(dir / "page.png", "p");
    fs::create_directory(dir / "sous");
    fs::create_symlink(dir / "page.png", dir / "lien.png");
    fs::create_directory_symlink(dir / "sous", dir / "lien_dossier");
    const FileHandle d = ouvrir(dir.path());
    struct Cas {
        const char* nom;
        bool dossier, ouvert, existe;
        FileKind genre;
    } const cas[] = {
        {"page.png", false, true, true, FileKind::Regular},
        {"sous", true, true, true, FileKind::Folder},
        {"lien.png", false, false, true, FileKind::Link},
        {"lien_dossier", true, false, true, FileKind::Link},
        {"page.png", true, false, true, FileKind::Regular},  // a file where a folder is asked
        {"absent", false, false, false, FileKind::Other},
    };
    for (const Cas& c : cas) {
        const OpenedName o = open_no_follow(d.get(), c.nom, c.dossier);
        EXPECT_EQ(bool(o), c.ouvert) << c.nom;
        EXPECT_EQ(o.exists, c.existe) << c.nom;
        EXPECT_EQ(o.status.kind, c.genre) << c.nom;
        EXPECT_EQ(o.status.own, c.existe) << c.nom;
    }
    EXPECT_EQ(open_no_follow(d.get(), "absent", false).error, ENOENT);
}

TEST(FileIo, RenamesAndNewFilesNeverReplaceAFile) {
    test::TempDir dir;
    test::write_bytes(dir / "a", "A");
    test::write_bytes(dir / "b", "B");
    const FileHandle d = ouvrir(dir.path());
    EXPECT_FALSE(rename_name_without_replacing(d.get(), "a", "b"));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(rename_without_replacing(dir / "a", dir / "b"));
    EXPECT_FALSE(create_file(d.get(), "b", 0600));
    EXPECT_EQ(test::read_bytes(dir / "b"), "B");
    EXPECT_TRUE(rename_name_without_replacing(d.get(), "a", "c"));
    EXPECT_TRUE(rename_without_replacing(dir / "c", dir / "a"));
    EXPECT_EQ(test::read_bytes(dir / "a"), "A");

    // A new file takes the first free name, whole.
    test::write_bytes(dir / "liste.txt", "ancienne");
    const auto nom = [](int k) {
        return k == 1 ? "liste.txt" : "liste-" + std::to_string(k) + ".txt";
    };
    const Resultat<std::string> donne = write_new_file(d.get(), "nouvelle", 0644, nom);
    ASSERT_TRUE(donne) << donne.raison();
    EXPECT_EQ(*donne, "liste-2.txt");
    EXPECT_EQ(test::read_bytes(dir / "liste.txt"), "ancienne");
    EXPECT_EQ(test::read_bytes(dir / "liste-2.txt"), "nouvelle");
}

TEST(FileIo, CopiesLocksAndRemovesAFolderWithItsFiles) {
    test::TempDir dir;
    test::write_bytes(dir / "original", std::string(3 << 20, 'o'));
    fs::permissions(dir / "original", fs::perms(0640));
    fs::create_directory(dir / "run");
    test::write_bytes(dir / "run" / "x", "x");
    const FileHandle d = ouvrir(dir.path());
    {
        const OpenedName de = open_no_follow(d.get(), "original", false);
        Resultat<FileHandle> vers = create_file(d.get(), "copie", 0600);
        ASSERT_TRUE(vers);
        ASSERT_TRUE(copy_file_into(de.handle.get(), vers->get()));
        EXPECT_EQ(test::read_bytes(dir / "copie"), test::read_bytes(dir / "original"));
        EXPECT_EQ(fs::status(dir / "copie").permissions(), fs::perms(0640));

        EXPECT_TRUE(lock_now(de.handle.get()));
        const OpenedName autre = open_no_follow(d.get(), "original", false);
        EXPECT_FALSE(is_unlocked(autre.handle.get()));
        EXPECT_FALSE(lock_now(autre.handle.get()));
    }
    const OpenedName libre = open_no_follow(d.get(), "original", false);
    EXPECT_TRUE(is_unlocked(libre.handle.get()));

    EXPECT_FALSE(remove_file(dir / "run"));  // a folder is never removed as a file
    EXPECT_TRUE(remove_folder_and_files(d.get(), "run"));
    EXPECT_FALSE(fs::exists(dir / "run"));
    EXPECT_TRUE(remove_folder_and_files(d.get(), "run"));  // already gone
}

}  // namespace
}  // namespace vellumor
