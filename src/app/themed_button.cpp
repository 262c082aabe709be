#include "app/themed_button.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionButton>
#include <cmath>

#include "app/colours.h"
#include "app/controls.h"

namespace vellumor::app {

BoutonTheme::BoutonTheme(int numero, const QString& legende, QWidget* parent)
    : QPushButton(legende, parent) {
    style_.numero = numero;
    setAttribute(Qt::WA_Hover);
    maintien_.setSingleShot(true);
    maintien_.setInterval(kMaintienChaudMs);
    connect(&maintien_, &QTimer::timeout, this, [this] {
        style_.chaud = false;
        update();
    });
}

BoutonTheme::Etat BoutonTheme::etat() const {
    if (!isEnabled()) return Etat::Desactive;
    if (isDown()) return Etat::Presse;
    if (style_.chaud) return Etat::Chaud;
    return Etat::Normal;
}

BoutonTheme::Couleurs BoutonTheme::couleurs_etat() const {
    const Style_Bouton& s = style_;
    switch (etat()) {
        case Etat::Desactive: {
            const QColor face = palette().color(QPalette::Button);
            const QColor gris = palette().color(QPalette::Disabled, QPalette::ButtonText);
            return {face.rgba() | 0xFF000000u, face.rgba() | 0xFF000000u,
                    gris.rgba() | 0xFF000000u};
        }
        case Etat::Presse:
            return {couleur_alpha(s.presse_haut, s.alpha_presse),
                    couleur_alpha(s.presse_bas, s.alpha_presse),
                    couleur_alpha(s.presse_texte, 255)};
        case Etat::Chaud:
            return {couleur_alpha(s.chaud_haut, s.alpha_chaud),
                    couleur_alpha(s.chaud_bas, s.alpha_chaud), couleur_alpha(s.chaud_texte, 255)};
        case Etat::Normal:
            break;
    }
    return {couleur_alpha(s.normal_haut, s.alpha_normal),
            couleur_alpha(s.normal_bas, s.alpha_normal), couleur_alpha(s.normal_texte, 255)};
}

void BoutonTheme::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);

    const Couleurs c = couleurs_etat();
    const QRect contenu = style()
                              ->subElementRect(QStyle::SE_PushButtonContents, &option, this)
                              .adjusted(1, 1, -1, -1);
    QLinearGradient degrade(contenu.topLeft(),
                            style_.direction == 0 ? contenu.topRight() : contenu.bottomLeft());
    degrade.setColorAt(0, QColor::fromRgba(c.haut));
    degrade.setColorAt(1, QColor::fromRgba(c.bas));
    p.fillRect(contenu, degrade);

    if (text().isEmpty()) return;
    p.setPen(QColor::fromRgba(c.texte));
    p.setFont(font());
    if (multiligne_) {
        // The wrapped block is centred in the whole button, its lines aligned as asked.
        const QRect bloc =
            p.fontMetrics().boundingRect(rect(), int(alignement_) | Qt::TextWordWrap, text());
        QRect place(QPoint(0, 0), bloc.size());
        place.moveCenter(rect().center());
        p.drawText(place, int(alignement_) | Qt::AlignVCenter | Qt::TextWordWrap, text());
        return;
    }
    p.drawText(contenu.adjusted(0, 0, -1, 0), alignement_ | Qt::AlignVCenter | Qt::TextSingleLine,
               text());
}

void BoutonTheme::enterEvent(QEnterEvent* event) {
    maintien_.stop();
    if (!style_.chaud) {
        style_.chaud = true;
        update();
    }
    QPushButton::enterEvent(event);
}

void BoutonTheme::leaveEvent(QEvent* event) {
    maintien_.start();
    QPushButton::leaveEvent(event);
}

BoutonTheme* creer_bouton(int numero, int x, int y, int w, int h, const QString& legende,
                          QWidget* parent, const QFont& police) {
    auto* bouton = new BoutonTheme(numero, legende, parent);  // owned by parent
    bouton->setGeometry(x, y, w, h);
    bouton->setFont(police);
    enregistrer_controle(numero, bouton);
    return bouton;
}

void definir_couleurs_bouton(int numero, const ReglageCouleurs& r) {
    auto* bouton = qobject_cast<BoutonTheme*>(control(numero));
    if (!bouton) return;
    Style_Bouton& s = bouton->style_bouton();
    Couleur* champs[9] = {&s.normal_haut, &s.normal_bas, &s.normal_texte,
                          &s.presse_haut, &s.presse_bas, &s.presse_texte,
                          &s.chaud_haut,  &s.chaud_bas,  &s.chaud_texte};
    for (int i = 0; i < 9; ++i)
        if (r.couleurs[i] != -1) *champs[i] = static_cast<Couleur>(r.couleurs[i] & 0xFFFFFF);
    s.direction = r.direction;
    int* alphas[3] = {&s.alpha_normal, &s.alpha_presse, &s.alpha_chaud};
    for (int i = 0; i < 3; ++i)
        if (r.alphas[i] != -1) *alphas[i] = static_cast<int>(r.alphas[i] & 0xFF);
    bouton->update();
}

Mesure mesurer_texte(const QFont* police, const QString& texte) {
    if (!police) return {};
    const QFontMetricsF m(*police);
    return {static_cast<int>(std::lround(m.horizontalAdvance(texte))),
            static_cast<int>(std::lround(m.height())), true};
}

QSize taille_ou_defaut(const Mesure& m) {
    return m.ok ? QSize(m.largeur, m.hauteur) : QSize(200, 25);
}

}  // namespace vellumor::app
