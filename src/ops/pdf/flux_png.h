#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ops/pdf/png_chunks.h"
#include "ops/pdf/png_rows.h"

struct libdeflate_decompressor;

namespace vellumor::pdf {

// Checks the picture data a page carries into the PDF unchanged, before it is written: the IDAT
// contents joined must be one zlib stream with a right Adler-32 whose content is exactly the rows
// of the (non-interlaced) picture, each starting with a filter byte 0 to 4. A PDF reader checks
// none of this: damaged data would print as a black or garbled page. Keeps its buffers from one
// page to the next.
class VerificationFlux {
  public:
    VerificationFlux();

    // A French reason when the data fails a check ("le fichier est endommagé (…)"). Throws
    // std::bad_alloc.
    Verdict verifier(const std::vector<std::string_view>& donnees, const DescriptionPng& e);

  private:
    struct Liberer {
        void operator()(libdeflate_decompressor* d) const;
    };
    std::unique_ptr<libdeflate_decompressor, Liberer> d_;
    std::vector<std::uint8_t> joint_;
    std::vector<std::uint8_t> lignes_;
};

// Rows given one at a time, compressed into one zlib stream with PNG row prediction, as a PDF
// reader undoes it under /Predictor 15: each row starts with the filter (none, sub, up, average,
// Paeth) that gives the smallest sum of absolute differences. Octets are given to sortie as they
// are compressed; memory stays a few rows whatever the picture.
class CompressionPredite {
  public:
    // octets_pixel: bytes a whole pixel takes; 0 for indices and pictures under 8 bits a pixel,
    // whose rows go unfiltered (differences of indices or packed samples mean nothing).
    CompressionPredite(std::size_t octets_ligne, int octets_pixel, SortieOctets sortie);
    ~CompressionPredite();
    CompressionPredite(const CompressionPredite&) = delete;
    CompressionPredite& operator=(const CompressionPredite&) = delete;

    void ligne(const std::uint8_t* octets);
    void finir();

  private:
    void compresser(const std::uint8_t* octets, std::size_t n, int fin);

    std::size_t n_;
    std::size_t bpp_;
    SortieOctets sortie_;
    z_stream z_{};
    bool pret_ = false;
    std::vector<std::uint8_t> precedente_, filtree_, meilleure_, tampon_;
};

}  // namespace vellumor::pdf
