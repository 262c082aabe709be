#include "app/windows/page_viewer.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QThreadPool>
#include <algorithm>
#include <cmath>

#include "app/paths.h"
#include "batch/originaux.h"
#include "batch/png_header.h"

namespace vellumor::app {
namespace {

constexpr double kPasZoom = 1.25;
constexpr double kEchelleMin = 0.01;
constexpr double kEchelleMax = 32;
// A 4961 x 7016 colour page needs about 140 MB once decoded.
constexpr int kLimiteMo = 1024;

QImage lire_image(const std::filesystem::path& f, QString& erreur) {
    QImageReader lecteur(qtexte(f));
    lecteur.setAllocationLimit(kLimiteMo);
    QImage image = lecteur.read();
    if (image.isNull()) {
        erreur = QStringLiteral("La page « %1 » ne peut pas être lue : %2")
                     .arg(qtexte(f), lecteur.errorString());
        return {};
    }
    // One format for the painting: scaled every zoom step, a 1-bit page is slow.
    return image.convertToFormat(image.isGrayscale() ? QImage::Format_Grayscale8
                                                     : QImage::Format_RGB32);
}

// The file the last run of the page's folder kept for it, if any.
std::optional<std::filesystem::path> original_garde(const std::filesystem::path& page) {
    std::error_code ec;
    const std::filesystem::path absolue = std::filesystem::weakly_canonical(page, ec);
    const std::vector<ExecutionGardee> e = executions_gardees(absolue.parent_path());
    if (e.empty()) return std::nullopt;
    for (const PageGardee& p : e.back().pages)
        if (p.nom == absolue.filename()) return e.back().dossier / p.nom;
    return std::nullopt;
}

}  // namespace

struct VisionneusePage::Charge {
    QImage apres, avant;
    QString erreur, description;
};

VisionneusePage::VisionneusePage(std::filesystem::path page, QWidget* parent)
    : QWidget(parent, Qt::Window),
      page_(std::move(page)),
      statut_(new QLabel(this)),
      barre_h_(new QScrollBar(Qt::Horizontal, this)),  // owned by the window
      barre_v_(new QScrollBar(Qt::Vertical, this)) {
    for (QScrollBar* b : {barre_h_, barre_v_}) {
        b->hide();
        connect(b, &QScrollBar::valueChanged, this,
                [this, b](int v) { defiler(b->orientation(), v); });
    }
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(qtexte(page_.filename()));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 240);
    // A page is taller than wide: most of the screen's height, whatever the screen.
    const QRect ecran = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    resize(std::min(900, ecran.width() * 9 / 10), std::min(1000, ecran.height() * 9 / 10));
    statut_->setMargin(4);
    statut_->setAutoFillBackground(true);
    statut_->setText(QStringLiteral("Chargement de la page…"));
    QPointer<VisionneusePage> garde(this);
    QThreadPool::globalInstance()->start([garde, page = page_] {
        Charge c;
        c.apres = lire_image(page, c.erreur);
        if (const auto entete = read_png_header(page)) {
            // "8 - 256": bits per pixel, then colours.
            const QStringList bits_couleurs =
                QString::fromStdString(texte_bits_couleurs(*entete)).split(QStringLiteral(" - "));
            const QString bits = bits_couleurs.value(0);
            c.description = QStringLiteral("%1 x %2 pixels, %3 %4 par pixel, %5 couleurs")
                                .arg(entete->width)
                                .arg(entete->height)
                                .arg(bits,
                                     bits == QLatin1String("1") ? QStringLiteral("bit")
                                                                : QStringLiteral("bits"),
                                     bits_couleurs.value(1));
        }
        if (const auto original = original_garde(page)) {
            QString ignore;
            c.avant = lire_image(*original, ignore);
        }
        // Delivered on the main thread, and dropped there when the window has gone meanwhile.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [garde, c = std::move(c)] {
                if (garde) garde->recevoir(c);
            },
            Qt::QueuedConnection);
    });
}

void VisionneusePage::recevoir(const Charge& c) {
    apres_ = c.apres;
    avant_ = c.avant;
    erreur_ = c.erreur;
    description_ = c.description;
    ajuster();
}

QRect VisionneusePage::zone() const {
    const int droite = barre_v_->isVisibleTo(this) ? barre_v_->sizeHint().width() : 0;
    const int bas = barre_h_->isVisibleTo(this) ? barre_h_->sizeHint().height() : 0;
    return QRect(0, 0, width() - droite, height() - statut_->sizeHint().height() - bas);
}

// Each bar shows where the view is over the page at its zoom, in screen pixels.
void VisionneusePage::placer_barres() {
    const QImage& image = image_affichee();
    const int statut = statut_->sizeHint().height();
    const int eh = barre_h_->sizeHint().height();
    const int ev = barre_v_->sizeHint().width();
    const double l = image.isNull() ? 0 : image.width() * echelle_;
    const double h = image.isNull() ? 0 : image.height() * echelle_;
    bool horizontale = l > width();
    const bool verticale = h > height() - statut - (horizontale ? eh : 0);
    horizontale = l > width() - (verticale ? ev : 0);
    barre_h_->setVisible(horizontale);
    barre_v_->setVisible(verticale);
    const QRect z = zone();
    barre_h_->setGeometry(0, z.bottom() + 1, z.width(), eh);
    barre_v_->setGeometry(z.right() + 1, 0, ev, z.height());
    const QSignalBlocker bh(barre_h_), bv(barre_v_);
    barre_h_->setRange(0, std::max(0, int(std::lround(l)) - z.width()));
    barre_h_->setPageStep(z.width());
    barre_h_->setValue(int(std::lround(origine_.x() * echelle_)));
    barre_v_->setRange(0, std::max(0, int(std::lround(h)) - z.height()));
    barre_v_->setPageStep(z.height());
    barre_v_->setValue(int(std::lround(origine_.y() * echelle_)));
}

void VisionneusePage::defiler(Qt::Orientation o, int valeur) {
    (o == Qt::Horizontal ? origine_.rx() : origine_.ry()) = valeur / echelle_;
    ajustee_ = false;
    update();
}

void VisionneusePage::ajuster() {
    ajustee_ = true;
    barre_h_->hide();  // a fitted page needs none: the view is the whole window
    barre_v_->hide();
    const QImage& image = image_affichee();
    if (image.isNull() || zone().isEmpty()) return mettre_a_jour();
    echelle_ =
        std::min(double(zone().width()) / image.width(), double(zone().height()) / image.height());
    origine_ = QPointF(image.width() / 2.0 - zone().width() / (2 * echelle_),
                       image.height() / 2.0 - zone().height() / (2 * echelle_));
    mettre_a_jour();
}

void VisionneusePage::zoomer(double facteur, QPointF autour) {
    if (image_affichee().isNull()) return;
    const double nouvelle = std::clamp(echelle_ * facteur, kEchelleMin, kEchelleMax);
    const QPointF point = origine_ + autour / echelle_;
    echelle_ = nouvelle;
    origine_ = point - autour / echelle_;
    ajustee_ = false;
    mettre_a_jour();
}

void VisionneusePage::mettre_a_jour() {
    QString texte;
    if (!erreur_.isEmpty()) {
        texte = erreur_;
    } else if (!apres_.isNull()) {
        texte = description_ + QStringLiteral("   Zoom %1 %").arg(std::lround(echelle_ * 100));
        if (a_original())
            texte += montre_avant_ ? QStringLiteral("   Avant (espace : après)")
                                   : QStringLiteral("   Après (espace : avant)");
    }
    if (!texte.isEmpty()) statut_->setText(texte);
    placer_barres();
    update();
}

void VisionneusePage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(zone(), QColor(0x60, 0x60, 0x60));
    const QImage& image = image_affichee();
    if (image.isNull()) return;
    p.setClipRect(zone());
    const QPointF coin = -origine_ * echelle_;
    if (echelle_ < 1) {
        // Averaged once per zoom step, so that thin strokes stay visible when the page is small.
        if (apercu_echelle_ != echelle_ || apercu_avant_ != montre_avant_ || apercu_.isNull()) {
            apercu_ = image.scaled(std::max(1, int(std::lround(image.width() * echelle_))),
                                   std::max(1, int(std::lround(image.height() * echelle_))),
                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            apercu_echelle_ = echelle_;
            apercu_avant_ = montre_avant_;
        }
        p.drawImage(coin, apercu_);
        return;
    }
    // Only the part in view, each pixel a square.
    const QRectF vue(origine_, QSizeF(zone().width() / echelle_, zone().height() / echelle_));
    const QRectF source = vue.intersected(QRectF(image.rect())).toAlignedRect();
    const QRectF cible((source.topLeft() - origine_) * echelle_, source.size() * echelle_);
    p.drawImage(cible, image, source);
}

void VisionneusePage::resizeEvent(QResizeEvent*) {
    const int h = statut_->sizeHint().height();
    statut_->setGeometry(0, height() - h, width(), h);
    if (ajustee_)
        ajuster();
    else
        placer_barres();
}

void VisionneusePage::wheelEvent(QWheelEvent* e) {
    zoomer(std::pow(kPasZoom, e->angleDelta().y() / 120.0), e->position());
}

void VisionneusePage::mousePressEvent(QMouseEvent* e) {
    glisse_ = e->button() == Qt::LeftButton;
    glisse_depuis_ = e->position().toPoint();
    if (glisse_) setCursor(Qt::ClosedHandCursor);
}

void VisionneusePage::mouseMoveEvent(QMouseEvent* e) {
    if (!glisse_) return;
    const QPoint ici = e->position().toPoint();
    origine_ -= QPointF(ici - glisse_depuis_) / echelle_;
    glisse_depuis_ = ici;
    ajustee_ = false;
    placer_barres();
    update();
}

void VisionneusePage::mouseReleaseEvent(QMouseEvent*) {
    glisse_ = false;
    unsetCursor();
}

void VisionneusePage::keyPressEvent(QKeyEvent* e) {
    const QPointF milieu = QRectF(zone()).center();
    switch (e->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomer(kPasZoom, milieu);
            break;
        case Qt::Key_Minus:
            zoomer(1 / kPasZoom, milieu);
            break;
        case Qt::Key_1:
            zoomer(1 / echelle_, milieu);
            break;
        case Qt::Key_0:
            ajuster();
            break;
        case Qt::Key_Space:
            if (!a_original()) break;
            montre_avant_ = !montre_avant_;
            mettre_a_jour();
            break;
        case Qt::Key_Escape:
            close();
            break;
        default:
            QWidget::keyPressEvent(e);
    }
}

VisionneusePage* ouvrir_visionneuse(const std::filesystem::path& page, QWidget* parent) {
    auto* v = new VisionneusePage(page, parent);
    if (const QWidget* principale = parent ? parent->window() : nullptr) {
        QRect cadre(QPoint(), v->size());
        cadre.moveCenter(principale->geometry().center());
        if (const QScreen* ecran = principale->screen()) {
            const QRect dispo = ecran->availableGeometry();
            cadre.moveLeft(std::clamp(cadre.left(), dispo.left(),
                                      std::max(dispo.left(), dispo.right() + 1 - cadre.width())));
            cadre.moveTop(std::clamp(cadre.top(), dispo.top(),
                                     std::max(dispo.top(), dispo.bottom() + 1 - cadre.height())));
        }
        v->move(cadre.topLeft());
    }
    v->show();
    v->raise();
    v->activateWindow();
    return v;
}

}  // namespace vellumor::app
