// Feeds arbitrary bytes to the preferences reader. Whatever it reads must obey the masks and the
// cuts it promises, and must come back unchanged from the file the writer makes of it.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/preferences.h"

namespace {

bool well_cut(const std::string& value) {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) return false;
    return value.empty() || (value.front() != ' ' && value.front() != '\t' && value.back() != ' ' &&
                             value.back() != '\t');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const vellumor::Preferences read = vellumor::analyser_preferences(bytes);
    FUZZ_CHECK(read.Nettoyer_Img >= 0 && read.Nettoyer_Img <= 0x7F);
    FUZZ_CHECK(read.Image_Vierge_Format != 0);
    FUZZ_CHECK(well_cut(read.DossierImages) && well_cut(read.ImgVierge) &&
               well_cut(read.Last_Numbering_Image_List_File));

    const std::string written = vellumor::contenu_preferences(read);
    FUZZ_CHECK(vellumor::analyser_preferences(written) == read);
    return 0;
}
