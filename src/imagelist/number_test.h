#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "common/message.h"
#include "imagelist/image_list.h"

namespace vellumor {

// Numero of the first and of the last entry; nothing when the list is empty.
std::optional<std::int64_t> premier_numero(const ListeImages& list);
std::optional<std::int64_t> dernier_numero(const ListeImages& list);

// What the file-number test reports: the message to show (none when all is well) and what becomes
// of the clipboard: untouched when presse_papier is empty, else replaced by its text (an empty text
// empties it). When both are set the message comes first.
struct ResultatTestNumeros {
    std::optional<Message> message;
    std::optional<std::string> presse_papier;
};

// Checks, in this order, that the list is not empty, that the first number is not above the last,
// that no two entries share a number (one clipboard line per pair of equal numbers: three files on
// one number give three lines), and that every Fichier is an existing file by existe.
ResultatTestNumeros tester_numeros(const ListeImages& list,
                                   const std::function<bool(const std::filesystem::path&)>& existe);

// The existence check of the test: a regular file (or a link to one); a folder does not count.
bool fichier_existe(const std::filesystem::path& path);

}  // namespace vellumor
