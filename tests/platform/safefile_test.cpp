#include "platform/safefile.h"
#include "platform/textfile.h"
#include "support/testutil.h"
#include "platform/safefilescene.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <cstring>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

using namespace korvin::platform;

using namespace korvin::test::safefile;

// Whichever step fails (a full disk at any moment), the target is exactly as
// it was, nothing is left beside it, and the failure is reported with a reason.
TEST(SafeFile, EveryFailingStepLeavesTheTargetAsItWas)
{
    for (const Writer &w : kWriters) {
        SCOPED_TRACE(w.name);
        int steps = 0;
        {
            Scene s;
            prepare(s);
            SaveFaults::failAt(0);
            ASSERT_TRUE(w.save(s, nullptr));
            steps = SaveFaults::steps();
            EXPECT_EQ(s.bytes("target"), w.after);
            EXPECT_EQ(s.names(), names({"source", "target"}));
        }
        ASSERT_GE(steps, 4);
        for (int n = 1; n <= steps; ++n) {
            SCOPED_TRACE(n);
            Scene s;
            prepare(s);
            QString error;
            {
                ScopedSaveFault fault(n);
                EXPECT_FALSE(w.save(s, &error));
            }
            EXPECT_FALSE(error.isEmpty());
            EXPECT_EQ(s.bytes("target"), kOld);
            EXPECT_EQ(s.names(), names({"source", "target"}));
        }
    }
}

TEST(SafeFile, ReadOnlyTargetIsNeverWritten)
{
    for (const Writer &w : kWriters) {
        SCOPED_TRACE(w.name);
        Scene s;
        prepare(s);
        const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        ASSERT_TRUE(QFile::setPermissions(s.path("target"), readOnly));
        QString error;
        EXPECT_FALSE(w.save(s, &error));
        // The caller's message names the file; the reason does not repeat it.
        EXPECT_EQ(error, QStringLiteral("読み取り専用のファイルです"));
        EXPECT_EQ(s.bytes("target"), kOld);
        EXPECT_TRUE(isReadOnlyFile(s.path("target")));
        EXPECT_EQ(s.names(), names({"source", "target"}));
    }
}

// A copy onto the source itself would "succeed", and deleting the source
// afterwards would lose the only copy.
TEST(SafeFile, CopyRefusesATargetThatIsTheSource)
{
    struct Case {
        const char *name;
        std::function<QString(const Scene &)> target;
    } cases[] = {
        {"same path", [](const Scene &s) { return s.path("source"); }},
        {"path through ..", [](const Scene &s) { return s.path("sub/../source"); }},
#ifndef Q_OS_WIN
        // QFile::link makes a shortcut (.lnk) on Windows, not a link.
        {"symbolic link to it",
         [](const Scene &s) {
             QFile::link(s.path("source"), s.path("sub/link"));
             return s.path("sub/link");
         }},
#endif
        {"hard link to it",
         [](const Scene &s) {
#ifdef Q_OS_WIN
             EXPECT_TRUE(CreateHardLinkW(
                 reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(s.path("sub/hard")).utf16()),
                 reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(s.path("source")).utf16()), nullptr));
#else
             EXPECT_EQ(::link(QFile::encodeName(s.path("source")).constData(),
                              QFile::encodeName(s.path("sub/hard")).constData()),
                       0);
#endif
             return s.path("sub/hard");
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Scene s;
        s.put("source", kOld);
        QDir(s.dir.path()).mkdir(QStringLiteral("sub"));
        QString error;
        EXPECT_FALSE(copyWhole(s.path("source"), c.target(s), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(s.bytes("source"), kOld);
    }
}

// A rename the system refuses (a folder in the way) reports the system's own
// reason, on Windows too, and leaves no temporary file.
TEST(SafeFile, AFailedRenameGivesTheSystemsReason)
{
    Scene s;
    ASSERT_TRUE(QDir(s.dir.path()).mkpath(QStringLiteral("folder/inside")));
    QString error;
    EXPECT_FALSE(saveWhole(s.path("folder"), kNew, &error));
#ifdef Q_OS_WIN
    // Windows' words, and Wine's for the same code.
    EXPECT_TRUE(QStringList({QStringLiteral("Access is denied."), QStringLiteral("Access denied.")}).contains(error))
        << error.toStdString();
#else
    EXPECT_EQ(error, QStringLiteral("Is a directory"));
#endif
    EXPECT_EQ(s.names(), QStringList());
}

TEST(SafeFile, RawLinesKeepEveryByte)
{
    Scene s;
    // NEC and IBM duplicates, a byte that is not Shift-JIS, a bare LF, no final line end.
    s.put("f", QByteArray("\x87\x90\xed\x40\r\nab\xff\ncd\r\r\n\r\nlast"));
    const auto lines = readRawLines(s.path("f"));
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, (QList<QByteArray>{"\x87\x90\xed\x40", "ab\xff", "cd\r", "", "last"}));
    EXPECT_EQ(joinRawLines(*lines), QByteArray("\x87\x90\xed\x40\r\nab\xff\r\ncd\r\r\n\r\nlast\r\n"));
    EXPECT_FALSE(readRawLines(s.path("missing")).has_value());
}
