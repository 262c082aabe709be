#include "app/qt_translation.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace vellumor::app {

bool installer_traduction_qt(QCoreApplication& application) {
    // Numbers, dates and sizes that Qt writes, whatever the desktop's language.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    auto traduction = std::make_unique<QTranslator>();
    if (!traduction->load(QStringLiteral("qtbase_fr"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(traduction.get());
    traduction.release()->setParent(&application);
    return true;
}

}  // namespace vellumor::app
