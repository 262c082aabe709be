#include "app/banner.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

#include "app/controls.h"
#include "app/icons.h"
#include "app/main_window_ids.h"

namespace vellumor::app {

bool preparer_images_bandeau(Ressources& ressources, int largeur) {
    QImage bandeau(largeur, kHauteurImageBandeau, QImage::Format_ARGB32_Premultiplied);
    QImage outils = dessiner_image_partagee(kImageOutils);
    if (bandeau.isNull() || outils.isNull()) return false;
    bandeau.fill(Qt::transparent);
    ressources.definir_image(kImageFondBandeau, bandeau);
    ressources.definir_image(kImageOutils, outils);
    return true;
}

void Dessiner_Bandeau(Ressources& ressources, const QString& titre) {
    QImage* bandeau = ressources.image_modifiable(kImageFondBandeau);
    auto* image = control_as<QLabel>(kImageBandeau);
    if (!bandeau || !image) return;
    {
        QPainter p(bandeau);
        QLinearGradient degrade(0, 0, bandeau->width(), bandeau->height());
        degrade.setColorAt(0, QColor::fromRgba(0xFF57415D));
        degrade.setColorAt(1, QColor::fromRgba(0xFFB19EC9));
        p.fillRect(bandeau->rect(), degrade);
        if (const QImage* outils = ressources.image(kImageOutils))
            p.drawImage(bandeau->width() - outils->width() - 30,
                        (bandeau->height() - outils->height()) / 2, *outils);
        if (const QFont* police = ressources.police(kPoliceBandeau)) p.setFont(*police);
        p.setPen(Qt::white);
        p.drawText(QRect(30, 16, bandeau->width() - 30, bandeau->height() - 16),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, titre);
    }
    image->setPixmap(QPixmap::fromImage(*bandeau));
    image->resize(bandeau->size());
}

}  // namespace vellumor::app
