// Feeds arbitrary bytes to the journal reader of the kept originals. A journal read must name
// every page by a plain name, once, and what is read must come back the same once written again.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "batch/originaux_journal.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view texte(reinterpret_cast<const char*>(data), size);
    const vellumor::JournalLu lu = vellumor::lire_journal(texte, "/livre");
    FUZZ_CHECK(lu.execution.has_value() == lu.erreur.empty());
    if (!lu.execution) return 0;
    const vellumor::ExecutionGardee& e = *lu.execution;
    std::set<std::string> noms;
    std::string encore = vellumor::entete_journal(e.operation, e.date, e.debut_ns);
    for (const vellumor::PageGardee& p : e.pages) {
        FUZZ_CHECK(vellumor::nom_simple(p.nom));
        FUZZ_CHECK(noms.insert(p.nom).second);
        encore += vellumor::ligne_garde(p.nom);
        if (p.resultat) encore += vellumor::ligne_resultat(p.nom, *p.resultat);
    }
    const vellumor::JournalLu relu = vellumor::lire_journal(encore, "/livre");
    FUZZ_CHECK(relu.execution.has_value());
    FUZZ_CHECK(relu.execution->operation == e.operation && relu.execution->date == e.date &&
               relu.execution->debut_ns == e.debut_ns);
    FUZZ_CHECK(relu.execution->pages.size() == e.pages.size());
    for (std::size_t i = 0; i < e.pages.size(); ++i)
        FUZZ_CHECK(relu.execution->pages[i].nom == e.pages[i].nom &&
                   relu.execution->pages[i].resultat == e.pages[i].resultat);
    return 0;
}
