#pragma once

#include <optional>
#include <string>

#include "batch/image.h"
#include "common/resultat.h"

namespace vellumor::straightening {

struct Parametres {
    double angle_max = 5.0;  // degrees: the skew is looked for within ±angle_max
};

// French reason when the parameters are refused (angle max outside kAngleMaxMinimum..Maximum).
Verdict valider(const Parametres& p);

struct Mesure {
    // Skew of the text lines in degrees, positive when they go down to the right; 0 when none
    // was found.
    double angle = 0;
    bool lignes = false;      // false: no text lines to measure (a blank page, a picture)
    bool hors_plage = false;  // the lines' skew, in angle, is beyond ±angle_max
};

// Measures the skew of the page's text lines (ink: luminance <= 160) within ±angle_max, to
// kPrecision or better; a skew beyond by more than the precision is marked hors_plage. An empty
// page has no lines.
Mesure mesurer(const Image& page, double angle_max);

// "1,25°", "-0,40°": an angle as the program shows it, two decimals and a decimal comma.
std::string texte_angle(double degres);

enum class Issue {
    DejaDroite,  // |angle| < kPrecision, no lines or beyond the range: the page is left as it is
    Redressee,   // the page was turned
    Memoire,     // the rotation could not have its memory: the page is left as it is
};

struct Redressement {
    Mesure mesure;
    Issue issue = Issue::DejaDroite;
};

// Measures the page, then turns it in place about its centre by the opposite of its skew onto a
// white page of the same size, keeping its file depth and resolution. The turn moves whole pixels
// (shears) and mixes none: the page holds only its own colours afterwards, plus white (a bi-level
// page stays black and white, a palette page keeps its palette). A page with alpha becomes opaque.
Redressement redresser(Image& page, const Parametres& p);

}  // namespace vellumor::straightening
