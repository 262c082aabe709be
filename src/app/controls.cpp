#include "app/controls.h"

#include <QAbstractSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVariant>
#include <array>
#include <map>

#include "app/static_colours.h"

namespace vellumor::app {
namespace {

using Registre = std::map<int, QPointer<QWidget>>;

// Controls, windows and tool bars have numbers of their own.
enum class Genre { Controle, Fenetre, Barre };

Registre& registre(Genre g) {
    static std::array<Registre, 3> r;
    return r[std::size_t(g)];
}
Registre& controles() {
    return registre(Genre::Controle);
}

constexpr const char* kNumero = "vellumor_numero";
constexpr const char* kValeurAffichage = "vellumor_valeur_affichage";

QWidget* chercher(Registre& r, int numero) {
    auto it = r.find(numero);
    return it == r.end() ? nullptr : it->second.data();
}

void enregistrer(Registre& r, int numero, QWidget* w) {
    r[numero] = w;
    QObject::connect(w, &QObject::destroyed, [&r, numero, w] {
        auto it = r.find(numero);
        if (it != r.end() && (it->second.isNull() || it->second.data() == w)) r.erase(it);
    });
}

}  // namespace

QWidget* control(int numero) {
    return chercher(controles(), numero);
}
QWidget* fenetre(int numero) {
    return chercher(registre(Genre::Fenetre), numero);
}
QWidget* barre_outils(int numero) {
    return chercher(registre(Genre::Barre), numero);
}

void enregistrer_controle(int numero, QWidget* w) {
    w->setObjectName(QString::number(numero));
    w->setProperty(kNumero, numero);
    enregistrer(controles(), numero, w);
    appliquer_couleur_statique(w);
}

void enregistrer_fenetre(int numero, QWidget* w) {
    w->setObjectName(QStringLiteral("fenetre_%1").arg(numero));
    enregistrer(registre(Genre::Fenetre), numero, w);
}

void enregistrer_barre_outils(int numero, QWidget* w) {
    w->setObjectName(QStringLiteral("barre_outils_%1").arg(numero));
    enregistrer(registre(Genre::Barre), numero, w);
}

void retirer_controle(int numero) {
    auto it = controles().find(numero);
    if (it == controles().end()) return;
    QPointer<QWidget> w = it->second;
    controles().erase(it);
    if (!w) return;
    w->hide();
    w->deleteLater();
}

int numero_de(const QWidget* w) {
    if (!w) return -1;
    const QVariant v = w->property(kNumero);
    return v.isValid() ? v.toInt() : -1;
}

void montrer(int numero, bool visible) {
    if (QWidget* w = control(numero)) w->setVisible(visible);
}

void activer(int numero, bool actif) {
    if (QWidget* w = control(numero)) w->setEnabled(actif);
}

QString texte_controle(int numero) {
    QWidget* w = control(numero);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
    if (auto* s = qobject_cast<QAbstractSpinBox*>(w)) return s->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return {};
}

void definir_texte_controle(int numero, const QString& texte) {
    QWidget* w = control(numero);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(texte);
    if (auto* s = qobject_cast<QAbstractSpinBox*>(w)) {
        if (QLineEdit* e = s->findChild<QLineEdit*>()) e->setText(texte);
        s->interpretText();
    }
    if (auto* l = qobject_cast<QLabel*>(w)) l->setText(texte);
}

int valeur_affichage(int numero) {
    QWidget* w = control(numero);
    return w ? w->property(kValeurAffichage).toInt() : 0;
}

void definir_valeur_affichage(int numero, int valeur) {
    QWidget* w = control(numero);
    if (!w) return;
    w->setProperty(kValeurAffichage, valeur);
    appliquer_couleur_statique(w);
    w->update();
}

}  // namespace vellumor::app
