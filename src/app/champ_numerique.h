#pragma once

#include <QSpinBox>
#include <cstdint>

namespace vellumor::app {

// The number a typed text starts with (blanks, an optional sign, then digits; 0 without digits),
// saturating beyond 64 bits.
std::int64_t nombre_tape(const QString& texte);

// A numeric spin box whose text may be typed freely: each change of the text is held to the box's
// range (a value above it becomes the maximum, below it the minimum) and, when the decimal text of
// the value is not as long as the typed one, replaced by it ("0012" -> "12", "7x" -> "7").
class ChampNumerique : public QSpinBox {
  public:
    ChampNumerique(int minimum, int maximum, QWidget* parent);

  protected:
    QValidator::State validate(QString&, int&) const override { return QValidator::Acceptable; }
    int valueFromText(const QString& texte) const override;

  private:
    void ranger();
    bool rangement_ = false;
};

}  // namespace vellumor::app
