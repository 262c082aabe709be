#pragma once

namespace vellumor::app {

// Gives custom button numero its colours (vertical gradients, opaque): each button of the main
// window and of the bottom bar has its own; other numbers are left as they are.
void colorer_bouton(int numero);

}  // namespace vellumor::app
