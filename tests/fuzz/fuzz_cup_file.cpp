// Feeds arbitrary bytes to the page-exception file reader. An accepted file must give a table
// whose run list is sorted and searchable, and that list must be written and read back unchanged.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "memory_file.h"
#include "ops/exceptions/cup_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vellumor::fuzz::MemoryFile input;
    input.assign(data, size);
    const vellumor::exceptions::LectureCup read =
        vellumor::exceptions::lire_fichier_cup(input.path());
    if (read.erreur) {
        FUZZ_CHECK(read.lignes.empty());
    } else {
        FUZZ_CHECK(read.unite == vellumor::exceptions::kUniteMillimetres ||
                   read.unite == vellumor::exceptions::kUnitePixels);
        vellumor::exceptions::PageExceptionTable table;
        const bool answer = size % 2 == 0;
        const vellumor::exceptions::ChargementCup loaded =
            vellumor::exceptions::charger_fichier_cup(
                input.path(), vellumor::exceptions::kUnitePixels,
                [&](const vellumor::Message&) { return answer; }, table);
        FUZZ_CHECK(!loaded.message);
        FUZZ_CHECK(loaded.charge == (read.unite == vellumor::exceptions::kUnitePixels || answer));
        FUZZ_CHECK(loaded.charge || table.empty());
        FUZZ_CHECK(table.size() <= read.lignes.size());

        const vellumor::exceptions::PageExceptionList list =
            vellumor::exceptions::reconstruire_liste(table);
        for (std::size_t i = 0; i < list.size(); ++i) {
            FUZZ_CHECK(i == 0 || list[i - 1].Page <= list[i].Page);
            const vellumor::exceptions::PageException* found =
                vellumor::exceptions::trouver_exception(list, list[i].Page);
            FUZZ_CHECK(found != nullptr && found->Page == list[i].Page);
        }
        const std::string text = vellumor::exceptions::contenu_fichier_cup(list, read.unite);
        const vellumor::exceptions::LectureCup back =
            vellumor::exceptions::analyser_contenu_cup(text);
        FUZZ_CHECK(!back.erreur && back.unite == read.unite);
        FUZZ_CHECK(back.lignes.size() == list.size());
        for (std::size_t i = 0; i < list.size(); ++i)
            FUZZ_CHECK(back.lignes[i].exception == list[i]);
    }

    const std::string_view typed(reinterpret_cast<const char*>(data), size);
    if (const auto name = vellumor::exceptions::nom_fichier_cup("/réglages", typed)) {
        FUZZ_CHECK(name->parent_path() == "/réglages" ||
                   typed.find('/') != std::string_view::npos ||
                   typed.find('\\') != std::string_view::npos);
    }
    return 0;
}
