#include "app/single_instance.h"

#include <QLocalSocket>

#include "app/startup.h"

namespace vellumor::app {
namespace {

constexpr const char* kNomVerrou = "Explorer_Vellumors";
constexpr const char* kNomMessage = "Vellumors_ALREADY_EXIST";

}  // namespace

InstanceUnique::InstanceUnique() : InstanceUnique(Dossier_Temporaire()) {}

InstanceUnique::InstanceUnique(const QString& dossier)
    : verrou_(dossier + QLatin1String(kNomVerrou) + QStringLiteral(".lock")) {
    // Lock and socket live in the user's private folder, so that another user can neither stop
    // the program from starting nor talk to it. Without that folder the program still starts.
    if (dossier.isEmpty()) {
        premiere_ = true;
        return;
    }
    // A lock left by a copy that died is taken over; a live holder's never goes stale.
    verrou_.setStaleLockTime(0);
    premiere_ = verrou_.tryLock(0);
    const QString nom = dossier + QLatin1String(kNomMessage);
    if (!premiere_) {
        QLocalSocket prise;
        prise.connectToServer(nom);
        prise.waitForConnected(200);
        prise.disconnectFromServer();
        return;
    }
    QLocalServer::removeServer(nom);
    serveur_ = std::make_unique<QLocalServer>();
    if (serveur_->listen(nom)) {
        QObject::connect(serveur_.get(), &QLocalServer::newConnection, serveur_.get(), [this] {
            while (QLocalSocket* s = serveur_->nextPendingConnection()) s->deleteLater();
        });
    }
}

}  // namespace vellumor::app
