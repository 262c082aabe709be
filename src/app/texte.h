#pragma once

#include <QString>
#include <string_view>

namespace vellumor::app {

// A text of the core (UTF-8) as the widgets show it.
inline QString texte_utf8(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

}  // namespace vellumor::app
