#include "common/safe_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST(SafeReplace, RecognisesOnlyItsOwnTemporaryNames) {
    EXPECT_FALSE(is_safe_replace_temporary("/a/page.png"));
    EXPECT_FALSE(is_safe_replace_temporary("/a/.vellumor-.tmp"));
    EXPECT_FALSE(is_safe_replace_temporary("/a/vellumor-abc.tmp"));
    EXPECT_FALSE(is_safe_replace_temporary("/a/.vellumor-abc.tmp/page.png"));
    EXPECT_TRUE(is_safe_replace_temporary("/a/.vellumor-abc.tmp"));
}

}  // namespace
}  // namespace vellumor
