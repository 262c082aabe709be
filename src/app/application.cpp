#include "app/application.h"

#include <QMetaObject>
#include <exception>
#include <new>

#include "app/message_box.h"

namespace vellumor::app {

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        signaler(QStringLiteral("mémoire insuffisante."));
    } catch (const std::exception& e) {
        signaler(QString::fromUtf8(e.what()));
    } catch (...) {
        signaler(QStringLiteral("erreur inconnue."));
    }
    return false;
}

void Application::signaler(const QString& raison) {
    // Shown once the handler's stack is gone, from the event loop.
    QMetaObject::invokeMethod(
        this,
        [this, raison] {
            if (dialogs_)
                boite_simple(*dialogs_, QStringLiteral(" Erreur"),
                             kTexteErreurInattendue.arg(raison), kIconeErreur);
        },
        Qt::QueuedConnection);
}

}  // namespace vellumor::app
