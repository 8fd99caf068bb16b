// The safe writer where only POSIX can set the scene up: links and chains of
// them, FIFOs, file size limits, locks held by other saves. Linux only (the
// Windows build leaves *_posix_test.cpp out).
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
#include <csignal>
#include <cstring>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace korvin::platform;

using namespace korvin::test::safefile;

// A FIFO would block the save and a device would swallow it: none is written.
TEST(SafeFile, AFifoTargetIsNeverWritten)
{
    for (const Writer &w : kWriters) {
        SCOPED_TRACE(w.name);
        Scene s;
        s.put("source", kNew);
        QString error;
        ASSERT_EQ(::mkfifo(QFile::encodeName(s.path("target")).constData(), 0600), 0);
        EXPECT_FALSE(w.save(s, &error));
        EXPECT_EQ(error, QStringLiteral("通常のファイルではありません"));
        EXPECT_EQ(s.names(), names({"source", "target"}));
        EXPECT_FALSE(QFileInfo(s.path("target")).isFile());
    }
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

// Through a link, or a chain of them, the file at the end is replaced and
// every link stays a link.
TEST(SafeFile, ReplacingThroughALinkWritesTheFileItNames)
{
    const std::function<bool(const Scene &)> saves[] = {
        [](const Scene &s) { return saveWholeVia(s.path("Newlink"), s.path("link"), kNew); },
        [](const Scene &s) { return saveWhole(s.path("link"), kNew); },
        [](const Scene &s) { return copyWhole(s.path("source"), s.path("link")); },
    };
    for (const auto &save : saves) {
        for (bool chain : {false, true}) {
            SCOPED_TRACE(chain ? "link to a link" : "link");
            Scene s;
            s.put("real", kOld);
            s.put("source", kNew);
            if (chain) {
                ASSERT_TRUE(QFile::link(s.path("real"), s.path("mid")));
                ASSERT_TRUE(QFile::link(s.path("mid"), s.path("link")));
            } else {
                ASSERT_TRUE(QFile::link(s.path("real"), s.path("link")));
            }
            ASSERT_TRUE(save(s));
            EXPECT_TRUE(QFileInfo(s.path("link")).isSymLink());
            EXPECT_EQ(QFileInfo(s.path("mid")).isSymLink(), chain);
            EXPECT_EQ(s.bytes("real"), kNew);
            EXPECT_EQ(s.names(), chain ? names({"link", "mid", "real", "source"}) : names({"link", "real", "source"}));
        }
    }
}

// A save killed after it created its temporary file leaves it behind; the
// next save of that file removes it, but never one a live save holds (locked)
// nor one of another file.
TEST(SafeFile, ASaveRemovesTheTemporariesKilledSavesOfItsFileLeft)
{
    for (const Writer &w : kWriters) {
        SCOPED_TRACE(w.name);
        Scene s;
        prepare(s);
        s.put("target.0a1b2c3d.tmp", "stale");
        s.put("target.live0000.tmp", "not of a save"); // no 8 hex digits
        s.put("other.0a1b2c3d.tmp", "another file's");
        s.put("target.89abcdef.tmp", "held");
        QFile held(s.path("target.89abcdef.tmp"));
        ASSERT_TRUE(held.open(QIODevice::ReadOnly));
        ASSERT_EQ(::flock(held.handle(), LOCK_EX | LOCK_NB), 0);
        ASSERT_TRUE(w.save(s, nullptr));
        const bool fresh = std::string(w.name) == "replace" || std::string(w.name) == "copy";
        EXPECT_EQ(s.names(), fresh ? names({"other.0a1b2c3d.tmp", "source", "target", "target.89abcdef.tmp",
                                            "target.live0000.tmp"})
                                   : names({"other.0a1b2c3d.tmp", "source", "target", "target.0a1b2c3d.tmp",
                                            "target.89abcdef.tmp", "target.live0000.tmp"}));
    }
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
