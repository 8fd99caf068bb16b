#include "app/ui/navigation.h"

#include <QApplication>
#include "support/testmain.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // The windows open one another as in the program.
    korvin::app::ui::ConnectWindows();
    ::testing::InitGoogleTest(&argc, argv);
    return korvin::test::finishTests(RUN_ALL_TESTS());
}
