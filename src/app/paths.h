#pragma once

#include <QString>
#include <filesystem>

namespace vellumor::app {

// Paths cross between Qt and the core as UTF-8, the file names' encoding on this system.
inline std::filesystem::path chemin(const QString& texte) {
    return std::filesystem::path(texte.toStdString());
}
inline QString qtexte(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

}  // namespace vellumor::app
