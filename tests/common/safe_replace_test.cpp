#include "common/safe_replace.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <stdexcept>

#include "support/temp_dir.h"

namespace vellumor {
namespace {

std::size_t entries(const std::filesystem::path& folder) {
    return std::size_t(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// The one entry of folder other than except.
std::filesystem::path other_entry(const std::filesystem::path& folder,
                                  const std::filesystem::path& except) {
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path() != except) return e.path();
    return {};
}

TEST(SafeReplace, WritesThroughAHiddenTemporaryBesideTheTarget) {
    test::TempDir dir;
    test::write_bytes(dir / "page.png", "old");
    std::filesystem::path seen;
    std::string error;
    const bool ok = replace_file_safely(
        dir / "page.png",
        [&](OutputFile& out) {
            seen = other_entry(dir.path(), dir / "page.png");
            EXPECT_EQ(test::read_bytes(dir / "page.png"), "old");
            return out.write("new");
        },
        &error);
    EXPECT_TRUE(ok) << error;
    EXPECT_EQ(test::read_bytes(dir / "page.png"), "new");
    EXPECT_EQ(seen.parent_path(), dir.path());
    EXPECT_TRUE(is_safe_replace_temporary(seen));
    EXPECT_EQ(seen.filename().string()[0], '.');
    EXPECT_NE(seen.extension(), ".png");
    EXPECT_FALSE(std::filesystem::exists(seen));
    EXPECT_EQ(entries(dir.path()), 1u);

    EXPECT_TRUE(
        replace_file_safely(dir / "fresh.png", [](OutputFile& out) { return out.write("made"); }));
    EXPECT_EQ(test::read_bytes(dir / "fresh.png"), "made");
}

TEST(SafeReplace, AnyFailureRemovesTheTemporaryAndLeavesTheTarget) {
    test::TempDir dir;
    test::write_bytes(dir / "page.png", "precious");
    std::string error;
    EXPECT_FALSE(replace_file_safely(
        dir / "page.png",
        [](OutputFile& out) {
            out.write("half");
            return false;
        },
        &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(replace_file_safely(dir / "page.png", [](OutputFile& out) {
        out.write("half");
        throw std::runtime_error("interrupted");
        return true;
    }));
    // A folder in the way of the rename.
    std::filesystem::create_directory(dir / "folder.png");
    EXPECT_FALSE(
        replace_file_safely(dir / "folder.png", [](OutputFile& out) { return out.write("x"); }));
    EXPECT_FALSE(replace_file_safely(
        dir / "no" / "such" / "folder.png", [](OutputFile&) { return true; }, &error));
    EXPECT_EQ(test::read_bytes(dir / "page.png"), "precious");
    EXPECT_EQ(entries(dir.path()), 2u);
}

TEST(SafeReplace, KeepsTheModeAndRefusesLinks) {
    test::TempDir dir;
    test::write_bytes(dir / "page.png", "old");
    ::chmod((dir / "page.png").c_str(), 0640);
    std::filesystem::create_symlink("page.png", dir / "link.png");
    const ReplaceResult r = replace_file_with(dir / "link.png", "new");
    EXPECT_FALSE(r);
    EXPECT_NE(r.message.find("est un lien symbolique : rien n'est écrit"), std::string::npos)
        << r.message;
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.png"));
    EXPECT_EQ(test::read_bytes(dir / "page.png"), "old");
    ASSERT_TRUE(replace_file_with(dir / "page.png", "new"));
    EXPECT_EQ(test::read_bytes(dir / "page.png"), "new");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "page.png").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir.path()), 2u);
}

bool write_new(OutputFile& out) {
    return out.write("new");
}

TEST(SafeReplace, TheTemporaryIsPrivateThenTakesOwnerModeAndAttributesBeforeAnyByte) {
    test::TempDir dir;
    const auto page = dir / "page.png";
    test::write_bytes(page, "old");
    ASSERT_EQ(::chmod(page.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(page.c_str(), 65534, 65534), 0);
    }
    const bool xattrs = ::setxattr(page.c_str(), "user.vellumor.note", "à garder", 10, 0) == 0;
    struct stat st {};
    const ReplaceResult r = replace_file(page, [&](OutputFile& out) {
        const auto temp = other_entry(dir.path(), page);
        EXPECT_EQ(::stat(temp.c_str(), &st), 0);
        EXPECT_EQ(st.st_size, 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        if (root) {
            EXPECT_EQ(st.st_uid, 65534u);
        }
        if (xattrs) {
            EXPECT_EQ(::getxattr(temp.c_str(), "user.vellumor.note", nullptr, 0), 10);
        }
        return write_new(out);
    });
    ASSERT_TRUE(r) << r.message;
    ASSERT_EQ(::stat(page.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_gid, 65534u);
    }
    char value[16] = {};
    if (xattrs) {
        EXPECT_EQ(::getxattr(page.c_str(), "user.vellumor.note", value, sizeof value), 10);
    }
    EXPECT_STREQ(value, xattrs ? "à garder" : "");
}

TEST(SafeReplace, AHardLinkedOrChangedTargetIsLeftAsItIs) {
    test::TempDir dir;
    const auto page = dir / "page.png";
    test::write_bytes(page, "old");
    std::filesystem::create_hard_link(page, dir / "copie.png");
    ReplaceResult r = replace_file(page, write_new);
    EXPECT_EQ(r.status, ReplaceStatus::HardLinked);
    EXPECT_NE(r.message.find("liens physiques"), std::string::npos) << r.message;
    EXPECT_EQ(std::filesystem::hard_link_count(page), 2u);
    std::filesystem::remove(dir / "copie.png");

    ReplaceOptions options;
    options.expected = identity_of(page);
    bool hook_called = false;
    options.before_rename = [&](const std::filesystem::path& target, std::string&) {
        hook_called = true;
        EXPECT_EQ(test::read_bytes(target), "old");
        return true;
    };
    test::write_bytes(page, "changed meanwhile");
    r = replace_file(page, write_new, options);
    EXPECT_EQ(r.status, ReplaceStatus::Changed);
    EXPECT_FALSE(hook_called);
    EXPECT_EQ(test::read_bytes(page), "changed meanwhile");

    options.expected = identity_of(page);
    options.before_rename = [&](const std::filesystem::path&, std::string& error) {
        error = "original non gardé";
        return false;
    };
    r = replace_file(page, write_new, options);
    EXPECT_EQ(r.status, ReplaceStatus::Failed);
    EXPECT_EQ(r.message, "original non gardé");
    options.before_rename = nullptr;
    EXPECT_TRUE(replace_file(page, write_new, options));
    std::filesystem::remove(page);
    EXPECT_EQ(replace_file(page, write_new, options).status, ReplaceStatus::Changed);
    EXPECT_EQ(entries(dir.path()), 0u);
}

// Another user of a folder without sticky bit swaps the temporary name for a link while the
// content is written: the bytes still go to the file that was created, and nothing is renamed.
TEST(SafeReplace, ATemporarySwappedForALinkMeanwhileIsNeitherWrittenThroughNorRenamed) {
    test::TempDir dir;
    test::write_bytes(dir / "victim.txt", "mine");
    const ReplaceResult r = replace_file(dir / "out.pdf", [&](OutputFile& out) {
        const auto temp = other_entry(dir.path(), dir / "victim.txt");
        std::filesystem::remove(temp);
        std::filesystem::create_symlink(dir / "victim.txt", temp);
        return out.write(std::string(1 << 17, 'x'));
    });
    EXPECT_FALSE(r);
    EXPECT_EQ(test::read_bytes(dir / "victim.txt"), "mine");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "out.pdf")));
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(SafeReplace, ANewFileTakesTheModeTheUmaskLeavesAReplacedOneKeepsItsOwn) {
    test::TempDir dir;
    test::write_bytes(dir / "kept.txt", "old");
    ::chmod((dir / "kept.txt").c_str(), 0604);
    for (const mode_t mask : {mode_t(022), mode_t(077), mode_t(002)}) {
        const mode_t before = ::umask(mask);
        const auto fresh = dir / ("new" + std::to_string(mask));
        EXPECT_TRUE(replace_file_with(fresh, "made"));
        EXPECT_TRUE(replace_file_with(dir / "kept.txt", "again"));
        ::umask(before);
        struct stat st {};
        ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);
        ASSERT_EQ(::stat((dir / "kept.txt").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0604u);
    }
}

// On a full disk every way of writing fails, the file there stays whole and no temporary is left.
TEST(SafeReplace, AFullDiskFailsAndKeepsTheFileWhole) {
    if (::geteuid() != 0) GTEST_SKIP() << "monter un tmpfs demande d'être root";
    test::TempDir dir;
    const auto disk = dir / "disk";
    std::filesystem::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "tmpfs indisponible";
    struct Unmount {
        std::filesystem::path p;
        ~Unmount() { ::umount2(p.c_str(), MNT_DETACH); }
    } unmount{disk};
    ASSERT_TRUE(replace_file_with(disk / "list.txt", "old"));
    const std::string big(300 << 10, 'x');
    const std::function<bool(OutputFile&)> ways[] = {
        [&](OutputFile& out) { return out.write(big); },
        [&](OutputFile& out) {
            for (std::size_t at = 0; at < big.size(); at += 100) out.write(big.substr(at, 100));
            return true;
        },
        [&](OutputFile& out) {
            std::fwrite(big.data(), 1, big.size(), out.stream());
            return true;
        },
    };
    for (const auto& way : ways) {
        const ReplaceResult r = replace_file(disk / "list.txt", way);
        EXPECT_FALSE(r);
        EXPECT_NE(r.message.find("list.txt"), std::string::npos) << r.message;
        EXPECT_EQ(test::read_bytes(disk / "list.txt"), "old");
        EXPECT_EQ(entries(disk), 1u);
    }
}

TEST(SafeReplace, RecognisesOnlyItsOwnTemporaryNames) {
    EXPECT_FALSE(is_safe_replace_temporary("/a/page.png"));
    EXPECT_FALSE(is_safe_replace_temporary("/a/.vellumor-.tmp"));
    EXPECT_FALSE(is_safe_replace_temporary("/a/vellumor-abc.tmp"));
    EXPECT_FALSE(is_safe_replace_temporary("/a/.vellumor-abc.tmp/page.png"));
    EXPECT_TRUE(is_safe_replace_temporary("/a/.vellumor-abc.tmp"));
}

}  // namespace
}  // namespace vellumor
