#pragma once

#include <optional>

#include "batch/lot_fichiers.h"
#include "common/message.h"
#include "imagelist/image_list.h"

namespace vellumor {

struct Repartition {
    std::optional<PaireLots> lots;   // empty when a record could not take a file
    std::optional<Message> message;  // "AddElement(*<record>\  a échoué" in that case
};

// Splits the image list by the parity of Numero, keeping list order inside each record; each file
// remembers its row (its index in the list). Negative odd numbers are odd. Either record may be
// empty. The records get their done events from c.
Repartition repartir_par_parite(const ListeImages& liste, const ConstantesLots& c);

}  // namespace vellumor
