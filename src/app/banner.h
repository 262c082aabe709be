#pragma once

#include <QString>

#include "app/resources.h"

namespace vellumor::app {

inline constexpr int kHauteurImageBandeau = 70;

// Creates image 0 (the banner, width x 70) and image 6 (the tools drawn at its right); false when
// either cannot be made.
bool preparer_images_bandeau(Ressources& ressources, int largeur);

// Redraws image 0: a diagonal gradient from dark to light mauve, image 6 at the right, titre in
// font 1 at (30, 16); then shows it in control 97. Nothing when image 0 or control 97 is missing.
void Dessiner_Bandeau(Ressources& ressources, const QString& titre);

}  // namespace vellumor::app
