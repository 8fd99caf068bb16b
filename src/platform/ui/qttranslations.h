#pragma once
// Qt's own texts (file dialogs, Yes / No, context menus) in Japanese like every
// other text of the program.
class QCoreApplication;
class QTranslator;

namespace korvin::platform::ui {

// Installs Qt's Japanese translations (qtbase_ja.qm) into the application:
// from a "translations" folder beside the executable (where the Windows build
// ships them), else from Qt's own translations folder. The translator (owned
// by app), or null when there was none: the texts stay English then.
QTranslator *InstallQtTranslations(QCoreApplication &app);

} // namespace korvin::platform::ui
