#include "app/events.h"

#include <QCoreApplication>
#include <memory>

namespace vellumor::app {

QEvent::Type EvenementVellumor::type_qt() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void poster_evenement(QObject* destinataire, int numero) {
    // The queue takes ownership of the event.
    QCoreApplication::postEvent(destinataire,
                                std::make_unique<EvenementVellumor>(numero).release());
}

}  // namespace vellumor::app
