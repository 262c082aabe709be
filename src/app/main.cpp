#include "app/application.h"
#include "app/dialogs_qt.h"
#include "app/icons.h"
#include "app/qt_translation.h"
#include "app/single_instance.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    vellumor::app::Application application(argc, argv);
    QApplication::setWindowIcon(QPixmap::fromImage(vellumor::app::dessiner_icone_programme(256)));
    QApplication::setDesktopFileName(QStringLiteral("vellumor"));
    vellumor::app::installer_traduction_qt(application);
    const vellumor::app::InstanceUnique instance;
    if (!instance.premiere()) return 0;
    vellumor::app::DialogsQt dialogs;
    application.signaler_par(&dialogs);
    auto session =
        vellumor::app::Session::demarrer(dialogs, vellumor::app::dossier_copies_de_sauvegarde());
    if (!session) return 0;
    return session->executer();
}
