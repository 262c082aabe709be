#pragma once

#include <QFont>
#include <QImage>
#include <map>

#include "batch/lot_fichiers.h"

namespace vellumor::app {

inline constexpr int kPoliceBandeau = 1;
inline constexpr int kPoliceBoutons = 2;
inline constexpr int kPoliceDossier = 500;

// The shared images beside the row icons 1 to 5 and 8 (numbered in batch/lot_fichiers.h).
inline constexpr int kImageFondBandeau = 0;  // the banner, drawn with its title
inline constexpr int kImageOutils = 6;       // wrench and hammer, right in the banner
inline constexpr int kImageDossier = 7;      // the folder of the tool-bar buttons
inline constexpr int kImageSensInterdit = 9;

// A font of face at size points, as a pixel height for the 96-dpi layout every position assumes.
QFont police_en_points(const QString& face, int points, bool gras = false, bool italique = false);

// The fonts and the shared images, by number. Windows add their own (the list fonts, images 64 to
// 512 of the numbering window) while they live.
class Ressources {
  public:
    // Fonts 1 ("Arial" 22) and 2 ("Arial" 12 bold italic).
    void charger_polices_de_base();
    // Images 3, 1, 2, 5, 4, 7, 8 and 9.
    void charger_images_partagees();
    const QFont* police(int numero) const;
    void definir_police(int numero, const QFont& police) { polices_[numero] = police; }
    const QImage* image(int numero) const;
    QImage* image_modifiable(int numero);
    void definir_image(int numero, const QImage& image) { images_[numero] = image; }

  private:
    std::map<int, QFont> polices_;
    std::map<int, QImage> images_;
};

}  // namespace vellumor::app
