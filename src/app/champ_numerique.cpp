#include "app/champ_numerique.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace vellumor::app {

std::int64_t nombre_tape(const QString& texte) {
    static const QRegularExpression debut(QStringLiteral("^[ \\t]*([+-]?)(\\d+)"));
    const QRegularExpressionMatch m = debut.match(texte);
    if (!m.hasMatch()) return 0;
    bool ok = false;
    const qlonglong v = m.captured(2).toLongLong(&ok);
    const std::int64_t absolu = ok ? v : std::numeric_limits<std::int64_t>::max();
    return m.captured(1) == QStringLiteral("-") ? -absolu : absolu;
}

ChampNumerique::ChampNumerique(int minimum, int maximum, QWidget* parent) : QSpinBox(parent) {
    setRange(minimum, maximum);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { ranger(); });
}

int ChampNumerique::valueFromText(const QString& texte) const {
    return int(std::clamp<std::int64_t>(nombre_tape(texte), minimum(), maximum()));
}

void ChampNumerique::ranger() {
    if (rangement_) return;
    const QString texte = lineEdit()->text();
    const int v = valueFromText(texte);
    const QString propre = QString::number(v);
    if (propre.size() == texte.size() && nombre_tape(texte) == v) return;
    rangement_ = true;
    lineEdit()->setText(propre);
    setValue(v);
    rangement_ = false;
}

}  // namespace vellumor::app
