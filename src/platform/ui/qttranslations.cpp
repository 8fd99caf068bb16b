#include "platform/ui/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

namespace korvin::platform::ui {

QTranslator *InstallQtTranslations(QCoreApplication &app)
{
    const QStringList folders = {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString &folder : folders) {
        // Owned by the application: it lives as long as the texts are shown.
        auto *translator = new QTranslator(&app);
        if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                             folder) &&
            app.installTranslator(translator))
            return translator;
        delete translator;
    }
    return nullptr;
}

} // namespace korvin::platform::ui
