#include <QCoreApplication>
#include "support/testmain.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return korvin::test::finishTests(RUN_ALL_TESTS());
}
