// Feeds arbitrary bytes to the PNG loader. Whatever it accepts must be a well-formed image, and a
// small accepted image must survive a lossless save and reload unchanged and be written with a
// palette.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "batch/png_io.h"
#include "fuzz_check.h"
#include "memory_file.h"

namespace {

void check_round_trips(const vellumor::Image& image, std::size_t seed) {
    static vellumor::fuzz::MemoryFile saved;
    const int lossless = image.has_alpha() ? 32 : 24;
    FUZZ_CHECK(bool(vellumor::save_png(image, saved.path(), lossless)));
    const vellumor::LoadResult back = vellumor::load_png(saved.path());
    FUZZ_CHECK(back.image.has_value());
    FUZZ_CHECK(back.image->width() == image.width() && back.image->height() == image.height());
    FUZZ_CHECK(back.image->channels() == image.channels());
    FUZZ_CHECK(std::memcmp(back.image->data(), image.data(), image.byte_size()) == 0);

    static const int palette_depths[] = {1, 2, 4, 8};
    const int depth = palette_depths[seed % 4];
    // Two colours always fit; more depend on how many colours the picture has.
    const vellumor::SaveResult indexed_save = vellumor::save_png(image, saved.path(), depth);
    FUZZ_CHECK(indexed_save.ok != !indexed_save.message.empty());
    FUZZ_CHECK(indexed_save.ok || depth != 1);
    if (!indexed_save.ok) return;
    const vellumor::LoadResult indexed = vellumor::load_png(saved.path());
    FUZZ_CHECK(indexed.image.has_value() && indexed.image->file_depth() == depth);
    FUZZ_CHECK(indexed.image->width() == image.width() &&
               indexed.image->height() == image.height());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vellumor::fuzz::MemoryFile input;
    input.assign(data, size);
    const vellumor::LoadResult result = vellumor::load_png(input.path());
    if (!result.image) {
        FUZZ_CHECK(result.error != vellumor::LoadError::None && !result.message.empty());
        return 0;
    }
    const vellumor::Image& image = *result.image;
    FUZZ_CHECK(result.error == vellumor::LoadError::None && result.message.empty());
    FUZZ_CHECK(image.width() >= 1 && image.width() <= vellumor::kMaxSide);
    FUZZ_CHECK(image.height() >= 1 && image.height() <= vellumor::kMaxSide);
    FUZZ_CHECK(image.channels() == 3 || image.channels() == 4);
    FUZZ_CHECK(image.byte_size() == image.stride() * std::size_t(image.height()));
    const int d = image.file_depth();
    FUZZ_CHECK(d == 1 || d == 2 || d == 4 || d == 8 || d == 16 || d == 24 || d == 32);
    if (std::size_t(image.width()) * std::size_t(image.height()) <= 64 * 64)
        check_round_trips(image, size);
    return 0;
}
