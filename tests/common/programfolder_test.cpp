#include "common/programfolder.h"

#include <QDir>
#include <gtest/gtest.h>

using korvin::common::DefaultProgramFolder;

// The executable's folder, unless it is the folder the package installs into.
TEST(ProgramFolder, ExecutableFolderOrTheDataFolderWhenInstalled)
{
    struct Row {
        const char *exeDir, *installed, *expected;
    };
    const Row rows[] = {
        {"/opt/korvin", "/usr/bin", "/opt/korvin/"},
        {"/home/u/korvin/build", "", "/home/u/korvin/build/"},
        {"/usr/bin", "/usr/bin", "/home/u/.local/share/korvin/"},
        {"/usr/bin/", "/usr/bin", "/home/u/.local/share/korvin/"},
        {"/usr/local/bin", "/usr/bin", "/usr/local/bin/"},
        {"/usr/bin/../bin", "/usr/bin", "/home/u/.local/share/korvin/"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(DefaultProgramFolder(QString::fromUtf8(row.exeDir), QString::fromUtf8(row.installed),
                                       QStringLiteral("/home/u/.local/share")),
                  QDir::toNativeSeparators(QString::fromUtf8(row.expected)))
            << row.exeDir;
}
