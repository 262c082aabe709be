#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vellumor::test {

// What command printed on its standard output and error.
std::string sortie_commande(const std::string& commande);

// The page sizes pdfinfo gives, in points, in page order.
std::vector<std::pair<double, double>> tailles_pages_pdf(const std::filesystem::path& pdf);

// (colour, bits per component) of every picture pdfimages -list gives: ("gray", 8), ("index", 1).
std::vector<std::pair<std::string, int>> images_pdf(const std::filesystem::path& pdf);

// True when qpdf --check finds no error in the file.
bool pdf_sans_erreur(const std::filesystem::path& pdf);

}  // namespace vellumor::test
