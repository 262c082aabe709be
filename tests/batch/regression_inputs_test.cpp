// Inputs that once made a reader crash, hang or take far too much memory, kept in tests/data/fuzz
// (one folder per fuzz target, which also seeds it). Each must now be refused or read quickly and
// within a small memory budget, measured in a child process so that nothing else counts.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <filesystem>
#include <functional>

#include "batch/png_io.h"
#include "support/temp_dir.h"

namespace vellumor {
namespace {

namespace fs = std::filesystem;

const fs::path kKept = fs::path(VELLUMOR_TEST_DATA) / "fuzz";

// The peak memory of a child that runs work, in kilobytes; the child's exit status must be 0.
long child_peak_kb(const std::function<bool()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(work() ? 0 : 1);
    int status = 0;
    struct rusage usage {};
    EXPECT_EQ(::wait4(pid, &status, 0, &usage), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return usage.ru_maxrss;
}

std::vector<fs::path> kept_inputs(const char* target) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(kKept / target)) files.push_back(e.path());
    EXPECT_FALSE(files.empty()) << target;
    return files;
}

// Extra memory a load may take over an idle child: far less than the gigabytes the kept inputs
// once cost, far more than any of them needs once refused.
constexpr long kBudgetKb = 64 * 1024;

TEST(RegressionInputs, KeptPngInputsAreRefusedWithinTheMemoryBudget) {
    const long idle = child_peak_kb([] { return true; });
    for (const fs::path& file : kept_inputs("fuzz_png_load")) {
        const long peak = child_peak_kb([&] {
            const LoadResult r = load_png(file);
            return !r && r.error == LoadError::Corrupt && !r.message.empty();
        });
        EXPECT_LT(peak - idle, kBudgetKb) << file;
    }
}

void put_chunk(std::string& out, const char* type, const std::string& data) {
    auto be32 = [&](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) out += char((v >> shift) & 0xFF);
    };
    be32(std::uint32_t(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    be32(std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

// A black page of 8-bit samples whose rows of zeros are deflated at the best level in one stream:
// about 1030 bytes of picture for each byte of data, close to what deflate can ever reach.
std::string densest_black_page(std::uint32_t width, std::uint32_t height, int colour_type) {
    const int channels = colour_type == PNG_COLOR_TYPE_RGB ? 3 : 1;
    std::string ihdr;
    for (std::uint32_t v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) ihdr += char((v >> shift) & 0xFF);
    ihdr += std::string{char(8), char(colour_type), 0, 0, 0};
    const std::string raw(std::size_t(height) * (1 + width * channels), '\0');
    std::string packed(compressBound(uLong(raw.size())), '\0');
    uLongf size = packed.size();
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
              reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()), 9);
    packed.resize(size);
    std::string out = "\x89PNG\r\n\x1a\n";
    put_chunk(out, "IHDR", ihdr);
    put_chunk(out, "IDAT", packed);
    put_chunk(out, "IEND", "");
    return out;
}

// The check that refuses image data too short for its picture must not refuse a real one.
TEST(RegressionInputs, PagesCompressedAsFarAsDeflateGoesStillLoad) {
    test::TempDir dir;
    for (int channels : {1, 3}) {
        const std::string bytes = densest_black_page(
            4000, 3000, channels == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB);
        EXPECT_GT(std::size_t(4000) * 3000 * channels / bytes.size(), 1000u);
        const fs::path file = dir / "black.png";
        test::write_bytes(file, bytes);
        const LoadResult r = load_png(file);
        ASSERT_TRUE(r) << r.message;
        EXPECT_EQ(r.image->pixel(3999, 2999), kBlack);
    }
}

}  // namespace
}  // namespace vellumor
