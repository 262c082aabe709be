#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>

#include "app/resources.h"

namespace vellumor::app {
namespace {

QImage vide(int cote) {
    QImage image(cote, cote, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void croix(QPainter& p) {
    p.setPen(QPen(QColor(0xD0, 0x10, 0x10), 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(7, 7, 25, 25);
    p.drawLine(25, 7, 7, 25);
}

void coche(QPainter& p) {
    p.setPen(QPen(QColor(0x10, 0xA0, 0x30), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygon({{5, 17}, {13, 25}, {27, 7}}));
}

void fleche(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x18, 0x5C, 0xD8));
    p.drawPolygon(QPolygon({{3, 12}, {16, 12}, {16, 4}, {29, 16}, {16, 28}, {16, 20}, {3, 20}}));
}

void page(QPainter& p) {
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.5));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{7, 3}, {20, 3}, {26, 9}, {26, 29}, {7, 29}}));
    p.setBrush(QColor(0xD8, 0xD8, 0xD8));
    p.drawPolygon(QPolygonF({{20, 3}, {20, 9}, {26, 9}}));
}

void outils(QPainter& p) {
    // Hammer: a wooden handle and a steel head, crossed with a wrench.
    p.save();
    p.translate(24, 24);
    p.rotate(45);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xA0, 0x6A, 0x30));
    p.drawRoundedRect(QRectF(-2.5, -10, 5, 30), 2, 2);
    p.setBrush(QColor(0x50, 0x58, 0x60));
    p.drawRoundedRect(QRectF(-11, -18, 22, 9), 2, 2);
    p.rotate(-90);
    p.setBrush(QColor(0xC8, 0xCC, 0xD4));
    p.setPen(QPen(QColor(0x40, 0x44, 0x4C), 1));
    p.drawRoundedRect(QRectF(-3, -12, 6, 32), 3, 3);
    QPainterPath machoire;
    machoire.addEllipse(QPointF(0, -15), 8, 8);
    QPainterPath encoche;
    encoche.addRect(QRectF(-3, -25, 6, 11));
    p.drawPath(machoire.subtracted(encoche));
    p.restore();
}

void dossier(QPainter& p) {
    p.setPen(QPen(QColor(0x9A, 0x70, 0x10), 1));
    p.setBrush(QColor(0xF0, 0xC0, 0x40));
    p.drawPolygon(QPolygon({{2, 8}, {11, 8}, {14, 11}, {26, 11}, {26, 27}, {2, 27}}));
    p.setBrush(QColor(0xFF, 0xDC, 0x70));
    p.drawPolygon(QPolygon({{6, 15}, {30, 15}, {26, 27}, {2, 27}}));
    p.setPen(QPen(QColor(0x20, 0x70, 0x20), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(10, 21, 22, 21);
    p.drawPolyline(QPolygon({{18, 18}, {22, 21}, {18, 24}}));
    p.drawLine(16, 3, 26, 3);
    p.drawPolyline(QPolygon({{20, 0}, {16, 3}, {20, 6}}));
}

void rectangle_bleu(QPainter& p) {
    p.setPen(QPen(QColor(0x50, 0x90, 0xC8), 1));
    p.setBrush(QColor(0xB0, 0xD8, 0xF8));
    p.drawRect(4, 8, 24, 16);
}

void sens_interdit(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xD0, 0x18, 0x18));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setBrush(Qt::white);
    p.drawRect(7, 13, 18, 6);
}

// Black becomes mid grey, white stays white, the grey levels between them follow.
QImage griser(QImage image) {
    for (int y = 0; y < image.height(); ++y) {
        uchar* ligne = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) ligne[x] = uchar(128 + ligne[x] * 127 / 255);
    }
    return image;
}

}  // namespace

QImage dessiner_echantillon(numbering::ModeleNumero modele, bool grise) {
    using numbering::ModeleNumero;
    const bool rond = numbering::modele_rond(modele);
    QImage image(50, rond ? 45 : 34, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const QRectF cadre(0, 0, image.width(), image.height());
        const QRectF cercle(2.5, 0.5, 44, 44);
        p.setPen(Qt::NoPen);
        switch (modele) {
            case ModeleNumero::Disque:
                p.setBrush(Qt::black);
                p.drawEllipse(cercle);
                break;
            case ModeleNumero::Anneau:
                p.setPen(QPen(QColor(128, 128, 128), 3));
                p.drawEllipse(cercle.adjusted(1.5, 1.5, -1.5, -1.5));
                break;
            case ModeleNumero::RectangleNoir:
                p.fillRect(cadre, Qt::black);
                break;
            case ModeleNumero::RectangleBlanc:
                p.fillRect(cadre, Qt::black);
                p.fillRect(cadre.adjusted(3, 3, -3, -3), Qt::white);
                break;
        }
        QFont police(QStringLiteral("Arial"));
        police.setBold(true);
        police.setPixelSize(rond ? 15 : 19);
        p.setFont(police);
        const bool encre_blanche =
            modele == ModeleNumero::Disque || modele == ModeleNumero::RectangleNoir;
        p.setPen(encre_blanche ? Qt::white : Qt::black);
        p.drawText(cadre, Qt::AlignCenter, QStringLiteral("100"));
    }
    QImage gris = image.convertToFormat(QImage::Format_Grayscale8);
    return grise ? griser(std::move(gris)) : gris;
}

QImage dessiner_image_partagee(int numero) {
    if (numero < kIconeEchec || numero > kImageSensInterdit) return {};
    if (numero == kIconeAttente) {
        QImage image = vide(16);
        QPainter p(&image);
        p.setPen(QColor(0xC0, 0xC0, 0xC0, 0x60));
        p.drawLine(8, 2, 8, 13);
        return image;
    }
    QImage image = vide(numero == kImageOutils ? 48 : 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (numero) {
        case kIconeEchec:
            croix(p);
            break;
        case kIconeFait:
            coche(p);
            break;
        case kIconeEnCours:
            fleche(p);
            break;
        case kIconeVierge:
            page(p);
            break;
        case kImageOutils:
            outils(p);
            break;
        case kImageDossier:
            dossier(p);
            break;
        case kIconeSansMarge:
            rectangle_bleu(p);
            break;
        case kImageSensInterdit:
            sens_interdit(p);
            break;
    }
    return image;
}

QImage dessiner_icone_programme(int cote) {
    QImage image = vide(cote);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(cote / 48.0, cote / 48.0);
    QLinearGradient degrade(0, 0, 48, 48);
    degrade.setColorAt(0, QColor(0x57, 0x41, 0x5D));
    degrade.setColorAt(1, QColor(0xB1, 0x9E, 0xC9));
    p.setPen(Qt::NoPen);
    p.setBrush(degrade);
    p.drawRoundedRect(QRectF(1, 1, 46, 46), 9, 9);
    outils(p);
    return image;
}

QImage dessiner_bouclier(Bouclier b) {
    QImage image = vide(48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath forme;
    forme.moveTo(24, 3);
    forme.lineTo(42, 9);
    forme.cubicTo(42, 28, 35, 39, 24, 45);
    forme.cubicTo(13, 39, 6, 28, 6, 9);
    forme.closeSubpath();
    const QColor bande = b == Bouclier::Rouge   ? QColor(0xC8, 0x20, 0x20)
                         : b == Bouclier::Jaune ? QColor(0xF0, 0xB4, 0x10)
                         : b == Bouclier::Vert  ? QColor(0x28, 0xA0, 0x40)
                                                : QColor(0x28, 0x60, 0xC8);
    p.setPen(QPen(QColor(0x40, 0x40, 0x48), 1.5));
    p.setBrush(QColor(0xE8, 0xEA, 0xEE));
    p.drawPath(forme);
    p.setClipPath(forme);
    p.fillRect(QRect(0, 0, 48, 20), bande);
    return image;
}

}  // namespace vellumor::app
