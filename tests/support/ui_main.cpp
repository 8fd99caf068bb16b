#include "app/ui/navigation.h"
#include "predict/returns.h"

#include <QApplication>
#include "support/testmain.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // The windows open one another as in the program.
    korvin::predict::VerifyTotals verification;
    korvin::app::ui::ConnectWindows(verification);
    ::testing::InitGoogleTest(&argc, argv);
    return korvin::test::finishTests(RUN_ALL_TESTS());
}
