#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/message.h"
#include "imagelist/image_list.h"

namespace vellumor::reconstitution {

// The image list split by the last character of each file name without extension: 0, 2, 4, 6, 8
// to the even record, 1, 3, 5, 7, 9 to the odd one, both as positions in the list, in list order.
// Every other file name (with its extension) is refused, in list order.
struct RepartitionNoms {
    std::vector<std::size_t> paires;
    std::vector<std::size_t> impaires;
    std::vector<std::string> refuses;
};

RepartitionNoms repartir_par_dernier_chiffre(const ListeImages& liste);

// The warning that refuses a whole run because of names not ending in a digit (one text for one
// name, another for several); nullopt when refuses is empty.
std::optional<Message> message_noms_refuses(const std::vector<std::string>& refuses);

// The warning of a worker that meets a name not ending in a digit while looking up exceptions.
Message message_nom_sans_numero(const std::string& nom_fichier);

}  // namespace vellumor::reconstitution
