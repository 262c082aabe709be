#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/png_fixtures.h"

namespace vellumor::faults {

// A one-bit grey scan: white margins around a block of scattered ink (seeded, so that every call
// with the same arguments gives the same bytes), which cropping cuts down to the block.
test::PngFile page_avec_marges(int width, int height, unsigned seed);

// The names a shell pattern "*.png" would give in folder: not hidden, ending in .png in any case.
std::vector<std::string> noms_png(const std::filesystem::path& folder);

// Every name in folder but the folder of the originals kept beside the pages, sorted.
std::vector<std::string> noms(const std::filesystem::path& folder);

// A small tmpfs mounted on a fresh folder for the life of the object; mounted() is false (with the
// reason) when this system does not allow it.
class DisqueMonte {
  public:
    DisqueMonte(const std::filesystem::path& point, std::size_t kilobytes);
    ~DisqueMonte();
    DisqueMonte(const DisqueMonte&) = delete;
    DisqueMonte& operator=(const DisqueMonte&) = delete;
    bool monte() const { return monte_; }
    const std::string& raison() const { return raison_; }

  private:
    std::filesystem::path point_;
    bool monte_ = false;
    std::string raison_;
};

// Fills the file system that holds folder until a write fails; returns the bytes written.
std::size_t remplir_disque(const std::filesystem::path& folder);

}  // namespace vellumor::faults
