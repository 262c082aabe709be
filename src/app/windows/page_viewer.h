#pragma once

#include <QImage>
#include <QLabel>
#include <QPointF>
#include <QScrollBar>
#include <QWidget>
#include <filesystem>

namespace vellumor::app {

// A page in a window of its own: fitted at first, zoomed with the wheel, + and - (about the
// pointer, or the middle), shown pixel for pixel with 1, moved by dragging. When the last run of
// its folder kept the page's original, the space bar switches between that original ("Avant")
// and the current file ("Après") at the same zoom and place. Files are read off the main thread.
class VisionneusePage : public QWidget {
  public:
    explicit VisionneusePage(std::filesystem::path page, QWidget* parent = nullptr);

    bool chargee() const { return !apres_.isNull() || !erreur_.isEmpty(); }
    bool a_original() const { return !avant_.isNull(); }
    bool montre_avant() const { return montre_avant_; }
    double echelle() const { return echelle_; }
    const QImage& image_affichee() const { return montre_avant_ ? avant_ : apres_; }
    QString statut() const { return statut_->text(); }
    const QScrollBar& barre(Qt::Orientation o) const {
        return o == Qt::Horizontal ? *barre_h_ : *barre_v_;
    }

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

  private:
    struct Charge;
    void recevoir(const Charge& c);
    QRect zone() const;
    void ajuster();
    void zoomer(double facteur, QPointF autour);
    void mettre_a_jour();
    void placer_barres();
    void defiler(Qt::Orientation o, int valeur);

    std::filesystem::path page_;
    QImage apres_, avant_;
    QImage apercu_;  // the image shown, scaled down smoothly for the current zoom
    double apercu_echelle_ = 0;
    bool apercu_avant_ = false;
    QString erreur_;
    QString description_;  // size and depth
    bool montre_avant_ = false;
    double echelle_ = 1;
    QPointF origine_;  // the image point at the zone's top left corner
    bool ajustee_ = true;
    QPoint glisse_depuis_;
    bool glisse_ = false;
    QLabel* statut_;
    // Shown when the page at its zoom is larger than the view; they move it as dragging does.
    QScrollBar* barre_h_;
    QScrollBar* barre_v_;
};

// Opens a viewer window on page (deleted when closed), centred over parent's window.
VisionneusePage* ouvrir_visionneuse(const std::filesystem::path& page, QWidget* parent);

}  // namespace vellumor::app
