// The safe writers where only POSIX systems can make the case: symbolic
// links (QFile::link makes a shortcut on Windows) and a file size limit
// (setrlimit). Linux only: the Windows build leaves out every *_posix_test.cpp
// and names them.
#include "platform/safefile.h"
#include "platform/textfile.h"
#include "support/testutil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace korvin::platform;

namespace {

// A folder holding "target" as a save finds it.
struct Scene {
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.path() + QLatin1Char('/') + QString::fromUtf8(name); }
    void put(const char *name, const QByteArray &bytes) const
    {
        ASSERT_TRUE(korvin::test::writeFile(path(name), bytes));
    }
    QByteArray bytes(const char *name) const { return korvin::test::readFile(path(name)); }
    QStringList names() const { return QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot); }
};

const QByteArray kOld = "old line\r\n\x87\x90 kept\r\n";
const QByteArray kNew = "new contents\r\n";

QStringList names(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *n : list)
        out << QString::fromUtf8(n);
    return out;
}

void prepare(const Scene &s)
{
    s.put("target", kOld);
    s.put("source", kNew);
}

// Behind a link the reason names the real file, which the caller's message does not.
TEST(SafeFile, ReadOnlyFileBehindALinkIsNamed)
{
    const std::function<bool(const QString &, QString *)> saves[] = {
        [](const QString &p, QString *e) { return saveWhole(p, kNew, e); },
        [](const QString &p, QString *e) { return appendWhole(p, kNew, e); },
    };
    for (const auto &save : saves) {
        Scene s;
        prepare(s);
        ASSERT_TRUE(QFile::setPermissions(s.path("target"), QFileDevice::ReadOwner));
        ASSERT_TRUE(QFile::link(s.path("target"), s.path("link")));
        QString error;
        EXPECT_FALSE(save(s.path("link"), &error));
        EXPECT_EQ(error,
                  QStringLiteral("読み取り専用のファイルです ( %1 )").arg(QDir::toNativeSeparators(s.path("target"))));
        EXPECT_EQ(s.bytes("target"), kOld);
    }
}

TEST(SafeFile, ReplacingThroughALinkWritesTheFileItNames)
{
    Scene s;
    s.put("real", kOld);
    ASSERT_TRUE(QFile::link(s.path("real"), s.path("link")));
    ASSERT_TRUE(saveWholeVia(s.path("Newlink"), s.path("link"), kNew));
    EXPECT_TRUE(QFileInfo(s.path("link")).isSymLink());
    EXPECT_EQ(s.bytes("real"), kNew);
    EXPECT_EQ(s.names(), names({"link", "real"}));
}

// A write the system takes only in part (a disk that fills up on the way)
// reports the system's reason, not "Unknown error"; a file size limit makes
// the same short write here.
TEST(SafeFile, AShortWriteGivesTheSystemsReason)
{
    Scene s;
    s.put("target", kOld);
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString appendError, replaceError;
    const bool appended = appendWhole(s.path("target"), QByteArray(200, 'x'), &appendError);
    const bool replaced = saveWhole(s.path("target"), QByteArray(200, 'x'), &replaceError);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(appended);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(appendError, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(replaceError, QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(s.bytes("target"), kOld);
    EXPECT_EQ(s.names(), names({"target"}));
}

} // namespace
