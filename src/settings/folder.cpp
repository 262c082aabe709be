#include <cstdlib>

#include "settings/preferences.h"

namespace vellumor {

std::filesystem::path dossier_preferences_depuis(std::string_view appdata,
                                                 std::string_view xdg_config,
                                                 std::string_view home) {
    std::string base;
    if (!appdata.empty())
        base = appdata;
    else if (xdg_config.starts_with('/'))
        base = xdg_config;
    else if (!home.empty())
        base = std::string(home) + (home.ends_with('/') ? "" : "/") + ".config";
    if (base.empty()) return {};
    if (!base.ends_with('/') && !base.ends_with('\\')) base += '/';
    return base + "Vellumor/";
}

std::filesystem::path Dossier_Preferences() {
    const auto env = [](const char* name) -> std::string_view {
        const char* value = std::getenv(name);
        return value ? value : "";
    };
    std::filesystem::path folder =
        dossier_preferences_depuis(env("APPDATA"), env("XDG_CONFIG_HOME"), env("HOME"));
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
        std::filesystem::create_directories(folder, ec);
    return folder;
}

}  // namespace vellumor
