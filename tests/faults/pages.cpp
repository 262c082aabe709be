#include "pages.h"

#include <fcntl.h>
#include <png.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

#include "batch/originaux.h"

namespace vellumor::faults {

test::PngFile page_avec_marges(int width, int height, unsigned seed) {
    test::PngFile png = test::blank_png(width, height, PNG_COLOR_TYPE_GRAY, 1);
    std::mt19937 random(seed);
    const int x0 = width / 8, x1 = width - width / 6, y0 = height / 10, y1 = height - height / 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
            png.at(x, y) = inside && random() % 3 == 0 ? 0 : 1;
        }
    png.at(x0, y0) = png.at(x1 - 1, y1 - 1) = 0;
    return png;
}

std::vector<std::string> noms_png(const std::filesystem::path& folder) {
    std::vector<std::string> found;
    for (const std::string& name : noms(folder)) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        if (!name.starts_with(".") && lower.ends_with(".png")) found.push_back(name);
    }
    return found;
}

std::vector<std::string> noms(const std::filesystem::path& folder) {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().filename() != kDossierOriginaux) found.push_back(e.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
}

DisqueMonte::DisqueMonte(const std::filesystem::path& point, std::size_t kilobytes)
    : point_(point) {
    std::filesystem::create_directories(point);
    const std::string options = "size=" + std::to_string(kilobytes) + "k,mode=0755";
    if (::mount("vellumor-test", point.c_str(), "tmpfs", 0, options.c_str()) == 0)
        monte_ = true;
    else
        raison_ = std::strerror(errno);
}

DisqueMonte::~DisqueMonte() {
    if (monte_) ::umount2(point_.c_str(), MNT_DETACH);
}

std::size_t remplir_disque(const std::filesystem::path& folder) {
    const int fd = ::open((folder / "remplissage").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return 0;
    const std::string block(4096, 'x');
    std::size_t total = 0;
    for (;;) {
        const ssize_t n = ::write(fd, block.data(), block.size());
        if (n <= 0) break;
        total += std::size_t(n);
    }
    // A last few bytes may still fit in a partly used block.
    while (::write(fd, "x", 1) == 1) ++total;
    ::close(fd);
    return total;
}

}  // namespace vellumor::faults
