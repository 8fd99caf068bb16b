// korvin: the desktop program. Starts with the main menu.
#include "platform/ui/messagebox.h"
#include "platform/ui/qttranslations.h"
#include "common/programfolder.h"
#include "app/ui/frmMenu.h"
#include "app/ui/navigation.h"
#include "host/runner.h"
#include "predict/returns.h"
#ifdef KORVIN_HAVE_X11
#include "host/x11/x11backend.h"
#endif
#ifdef KORVIN_HAVE_WIN32
#include "host/win32/win32backend.h"
#endif

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korvin"));
    korvin::platform::ui::InstallQtTranslations(app);
    QStringList args = QApplication::arguments();
    korvin::common::InitProgramFolder(args);

    korvin::platform::ui::QtDialogs dialogs;
    korvin::platform::setDialogs(&dialogs);
    // The verification's totals accumulate over the program's whole run.
    korvin::predict::VerifyTotals verification;
    korvin::app::ui::ConnectWindows(verification);
#if defined(KORVIN_HAVE_WIN32)
    // The keystroke runs drive the host's window through SendInput.
    korvin::host::SetBackendFactory([] { return korvin::host::win32::CreateWin32Backend(); });
#elif defined(KORVIN_HAVE_X11)
    // The keystroke runs drive the host's window through XTest.
    korvin::host::SetBackendFactory([] { return korvin::host::x11::CreateX11Backend(); });
#endif

    // The windows hide and show one another; the program ends on "Quit" only.
    app.setQuitOnLastWindowClosed(false);
    auto *menu = new korvin::app::ui::frmMenu;
    QObject::connect(menu, &korvin::app::ui::frmMenu::quitRequested, &app, [] { QApplication::exit(0); });
    menu->show();
    const int rc = app.exec();
    korvin::platform::setDialogs(nullptr);
    delete menu;
    return rc;
}
