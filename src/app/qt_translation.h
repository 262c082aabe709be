#pragma once

#include <QCoreApplication>

namespace vellumor::app {

// Qt's own texts (file dialogs, standard buttons, details button) and the default locale in
// French (France) whatever the desktop's language. False when Qt's French translation
// (qtbase_fr.qm, package qt6-translations-l10n) cannot be found; Qt then speaks English and the
// program goes on.
bool installer_traduction_qt(QCoreApplication& application);

}  // namespace vellumor::app
