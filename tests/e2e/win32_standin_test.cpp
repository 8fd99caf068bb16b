// Korvin's keystroke windows against the stand-in host on Windows, through
// the Win32 backend: keys go through SendInput to korvin-hostsim.exe (another
// Windows program). Runs under Wine on Xvfb (./dev windows) or on Windows; the
// run itself is the one every platform makes (standin.h).
#include "standin.h"

#include "app/ui/navigation.h"
#include "predict/returns.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    predict::VerifyTotals verification;
    app::ui::ConnectWindows(verification);
    host::SetBackendFactory([] { return host::win32::CreateWin32Backend(); });
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    host::SetBackendFactory(nullptr);
    return rc;
}
