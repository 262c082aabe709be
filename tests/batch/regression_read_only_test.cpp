// A file marked read-only must never be replaced, although renaming over it needs only the
// folder's permission (and the superuser ignores the file's mode altogether).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "batch/png_io.h"
#include "common/safe_replace.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

std::size_t entries(const std::filesystem::path& folder) {
    return std::size_t(std::distance(std::filesystem::directory_iterator(folder),
                                     std::filesystem::directory_iterator()));
}

TEST(RegressionReadOnly, AReadOnlyFileIsLeftAsItIsWithAFrenchReason) {
    test::TempDir dir;
    const auto page = dir / "page_3.png";
    test::write_bytes(page, "precious");
    ASSERT_EQ(::chmod(page.c_str(), 0444), 0);
    std::string error;
    bool called = false;
    EXPECT_FALSE(replace_file_safely(
        page,
        [&](OutputFile& out) {
            called = true;
            return out.write("new");
        },
        &error));
    EXPECT_FALSE(called) << "nothing is written for a file that cannot be replaced";
    EXPECT_NE(error.find("lecture seule"), std::string::npos) << error;
    EXPECT_NE(error.find("page_3.png"), std::string::npos) << error;

    const Image image = *Image::create(4, 4, 24, kBlack);
    const SaveResult saved = save_png_replacing(image, page);
    EXPECT_FALSE(saved);
    EXPECT_NE(saved.message.find("lecture seule"), std::string::npos) << saved.message;
    EXPECT_EQ(test::read_bytes(page), "precious");
    EXPECT_EQ(entries(dir.path()), 1u);

    // Any write bit lets the file be replaced, keeping its mode.
    ASSERT_EQ(::chmod(page.c_str(), 0644), 0);
    EXPECT_TRUE(save_png_replacing(image, page));
    struct stat st {};
    ASSERT_EQ(::stat(page.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

}  // namespace
}  // namespace vellumor
