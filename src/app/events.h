#pragma once

#include <QEvent>

#include "ops/numbering/numbering_constants.h"

namespace vellumor::app {

// Event numbers posted to the main window: the numbering run's (its core numbers them), and the
// repaint of a numbering parameter field after an arrow (0x10014 to 0x10018, fields 128 to 136).
inline constexpr int kNumerotationPairTerminee = int(numbering::kDescription.evenement_fin_paire);
inline constexpr int kNumerotationImpairTerminee =
    int(numbering::kDescription.evenement_fin_impaire);
inline constexpr int kVerifierFinNumerotation = int(numbering::kDescription.evenement_controle);
inline constexpr int kRedessinerPremierChamp = 0x10014;

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
