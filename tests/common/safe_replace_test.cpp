#include "common/safe_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "support/temp_dir.h"

namespace vellumor {
namespace {

std::size_t entries(const std::filesystem::path& folder) {
    return std::size_t(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(SafeReplace, WritesThroughAHiddenTemporaryBesideTheTarget) {
    test::TempDir dir;
    test::write_bytes(dir / "page.png", "old");
    std::filesystem::path seen;
    std::string error;
    const bool ok = replace_file_safely(
        dir / "page.png",
        [&](const std::filesystem::path& temp) {
            seen = temp;
            EXPECT_EQ(test::read_bytes(dir / "page.png"), "old");
            test::write_bytes(temp, "new");
            return true;
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

    EXPECT_TRUE(replace_file_safely(dir / "fresh.png", [](const std::filesystem::path& temp) {
        test::write_bytes(temp, "made");
        return true;
    }));
    EXPECT_EQ(test::read_bytes(dir / "fresh.png"), "made");
}

TEST(SafeReplace, AnyFailureRemovesTheTemporaryAndLeavesTheTarget) {
    test::TempDir dir;
    test::write_bytes(dir / "page.png", "precious");
    std::string error;
    EXPECT_FALSE(replace_file_safely(
        dir / "page.png",
        [](const std::filesystem::path& temp) {
            test::write_bytes(temp, "half");
            return false;
        },
        &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(replace_file_safely(dir / "page.png", [](const std::filesystem::path& temp) {
        test::write_bytes(temp, "half");
        throw std::runtime_error("interrupted");
        return true;
    }));
    // A folder in the way of the rename.
    std::filesystem::create_directory(dir / "folder.png");
    EXPECT_FALSE(replace_file_safely(dir / "folder.png", [](const std::filesystem::path& temp) {
        test::write_bytes(temp, "x");
        return true;
    }));
    EXPECT_FALSE(replace_file_safely(
        dir / "no" / "such" / "folder.png", [](const std::filesystem::path&) { return true; },
        &error));
    EXPECT_EQ(test::read_bytes(dir / "page.png"), "precious");
    EXPECT_EQ(entries(dir.path()), 2u);
}

TEST(SafeReplace, KeepsTheModeAndFollowsLinks) {
    test::TempDir dir;
    test::write_bytes(dir / "page.png", "old");
    ::chmod((dir / "page.png").c_str(), 0640);
    std::filesystem::create_symlink("page.png", dir / "link.png");
    ASSERT_TRUE(replace_file_safely(dir / "link.png", [](const std::filesystem::path& temp) {
        test::write_bytes(temp, "new");
        return true;
    }));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.png"));
    EXPECT_EQ(test::read_bytes(dir / "page.png"), "new");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "page.png").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

bool write_new(const std::filesystem::path& temp) {
    test::write_bytes(temp, "new");
    return true;
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
    const ReplaceResult r = replace_file(page, [&](const std::filesystem::path& temp) {
        EXPECT_EQ(::stat(temp.c_str(), &st), 0);
        EXPECT_EQ(st.st_size, 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        if (root) {
            EXPECT_EQ(st.st_uid, 65534u);
        }
        if (xattrs) {
            EXPECT_EQ(::getxattr(temp.c_str(), "user.vellumor.note", nullptr, 0), 10);
        }
        return write_new(temp);
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

TEST(SafeReplace, RecognisesOnlyItsOwnTemporaryNames) {
    EXPECT_FALSE(is_safe_replace_temporary("/a/page.png"));
    EXPECT_FALSE(is_safe_replace_temporary("/a/.vellumor-.tmp"));
    EXPECT_FALSE(is_safe_replace_temporary("/a/vellumor-abc.tmp"));
    EXPECT_FALSE(is_safe_replace_temporary("/a/.vellumor-abc.tmp/page.png"));
    EXPECT_TRUE(is_safe_replace_temporary("/a/.vellumor-abc.tmp"));
}

}  // namespace
}  // namespace vellumor
