#pragma once

#include <QFont>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <cstdint>

#include "batch/image.h"

namespace vellumor::app {

// The drawing record of a custom button: a gradient and a caption colour per state.
struct Style_Bouton {
    Couleur normal_haut = 0, normal_bas = 0, normal_texte = 0;
    Couleur presse_haut = 0, presse_bas = 0, presse_texte = 0;
    Couleur chaud_haut = 0, chaud_bas = 0, chaud_texte = 0;
    int direction = 0;  // 0 horizontal, 1 vertical
    int alpha_normal = 0, alpha_presse = 0, alpha_chaud = 0;
    int numero = 0;
    bool chaud = false;  // the mouse is over the button (or left it less than 25 ms ago)
    bool operator==(const Style_Bouton&) const = default;
};

// A push button painted with a gradient over the style's button panel. It stays hot 25 ms after the
// mouse leaves, so that moving between buttons does not flicker.
class BoutonTheme : public QPushButton {
    Q_OBJECT
  public:
    enum class Etat { Desactive, Presse, Chaud, Normal };
    static constexpr int kMaintienChaudMs = 25;

    BoutonTheme(int numero, const QString& legende, QWidget* parent);
    Style_Bouton& style_bouton() { return style_; }
    const Style_Bouton& style_bouton() const { return style_; }
    Etat etat() const;
    // The gradient (top, bottom) and caption colours of the current state, 0xAARRGGBB.
    struct Couleurs {
        std::uint32_t haut, bas, texte;
    };
    Couleurs couleurs_etat() const;
    // The caption's alignment (left, right or centred) and whether it breaks into lines.
    void definir_alignement(Qt::Alignment horizontal) { alignement_ = horizontal; }
    void definir_multiligne(bool multiligne) { multiligne_ = multiligne; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    Style_Bouton style_;
    QTimer maintien_;
    Qt::Alignment alignement_ = Qt::AlignHCenter;
    bool multiligne_ = false;
};

// Creates custom button numero in parent at (x, y) sized w x h, in font; returns numero.
BoutonTheme* creer_bouton(int numero, int x, int y, int w, int h, const QString& legende,
                          QWidget* parent, const QFont& police);

// The nine colours in the order normal top, bottom, text, pressed top, bottom, text, hot top,
// bottom, text, then the three alphas (normal, pressed, hot). -1 leaves a field as it is; the
// direction is always written. Nothing happens unless numero is a custom button.
struct ReglageCouleurs {
    std::array<std::int64_t, 9> couleurs{-1, -1, -1, -1, -1, -1, -1, -1, -1};
    int direction = 1;
    std::array<std::int64_t, 3> alphas{-1, -1, -1};
};
void definir_couleurs_bouton(int numero, const ReglageCouleurs& r);

// Width and height of texte drawn in police, in whole pixels; ok false when it cannot be measured.
struct Mesure {
    int largeur = 0;
    int hauteur = 0;
    bool ok = false;
};
Mesure mesurer_texte(const QFont* police, const QString& texte);
// The measured size, or 200 x 25 when the measure failed.
QSize taille_ou_defaut(const Mesure& m);

}  // namespace vellumor::app
