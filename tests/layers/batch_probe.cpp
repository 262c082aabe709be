// Built only by the layer tests, each time as a program that links the batch layer alone: with
// nothing defined it must build; with PROBE_OPS_INCLUDE (an ops header included from batch) it must
// fail to compile; with PROBE_OPS_CALL (an ops function declared by hand, so that no include is
// needed) it must fail to link; with PROBE_IGNORED_RESULT (a failure result left unread) it must
// fail to compile.
#include "batch/image.h"
#include "common/resultat.h"

#if defined(PROBE_OPS_INCLUDE)
#include "ops/cropping/cropping.h"
#elif defined(PROBE_OPS_CALL)
namespace vellumor {
struct Detection;
Detection detecter_marges(const Image& page);
}  // namespace vellumor
#endif

int main() {
    auto page = vellumor::Image::create(3, 3, 24, vellumor::couleur(255, 255, 255));
#if defined(PROBE_OPS_INCLUDE) || defined(PROBE_OPS_CALL)
    // Read through a volatile pointer so that the reference to the ops function stays in the
    // object.
    auto* volatile detection = &vellumor::detecter_marges;
    return detection != nullptr && page ? 0 : 1;
#elif defined(PROBE_IGNORED_RESULT)
    auto refuser = []() -> vellumor::Verdict { return vellumor::Echec{"refusé"}; };
    refuser();
    return page ? 0 : 1;
#else
    return page ? 0 : 1;
#endif
}
