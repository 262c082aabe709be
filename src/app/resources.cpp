#include "app/resources.h"

#include "app/icons.h"

namespace vellumor::app {

QFont police_en_points(const QString& face, int points, bool gras, bool italique) {
    QFont police(face);
    police.setPixelSize((points * 96 + 36) / 72);
    police.setBold(gras);
    police.setItalic(italique);
    return police;
}

void Ressources::charger_polices_de_base() {
    polices_[kPoliceBandeau] = police_en_points(QStringLiteral("Arial"), 22);
    polices_[kPoliceBoutons] = police_en_points(QStringLiteral("Arial"), 12, true, true);
}

void Ressources::charger_images_partagees() {
    for (int n : {kIconeEnCours, kIconeFait, kIconeEchec, kIconeAttente, kIconeVierge,
                  kImageDossier, kIconeSansMarge, kImageSensInterdit}) {
        QImage image = dessiner_image_partagee(n);
        if (!image.isNull()) images_[n] = image;
    }
}

const QFont* Ressources::police(int numero) const {
    auto it = polices_.find(numero);
    return it == polices_.end() ? nullptr : &it->second;
}

const QImage* Ressources::image(int numero) const {
    auto it = images_.find(numero);
    return it == images_.end() ? nullptr : &it->second;
}

QImage* Ressources::image_modifiable(int numero) {
    auto it = images_.find(numero);
    return it == images_.end() ? nullptr : &it->second;
}

}  // namespace vellumor::app
