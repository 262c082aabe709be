#pragma once

#include <QEvent>

namespace vellumor::app {

// Event numbers posted to the main window.
inline constexpr int kNumerotationPairTerminee = 0x1000F;
inline constexpr int kNumerotationImpairTerminee = 0x10010;
inline constexpr int kVerifierFinNumerotation = 0x10011;
inline constexpr int kRedessinerPremierChamp = 0x10014;  // 0x10014 to 0x10018, fields 128 to 136

// A program event: carries its number (0x10003 and upwards) to the main thread.
class EvenementVellumor : public QEvent {
  public:
    explicit EvenementVellumor(int numero) : QEvent(type_qt()), numero_(numero) {}
    int numero() const { return numero_; }
    static QEvent::Type type_qt();

  private:
    int numero_;
};

// Posts event numero to destinataire; safe from any thread while destinataire lives.
void poster_evenement(QObject* destinataire, int numero);

}  // namespace vellumor::app
