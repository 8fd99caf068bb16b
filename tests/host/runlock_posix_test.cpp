// One host run at a time on the machine: the lock a run takes. POSIX only
// (a killed holder is made with fork).
#include "host/runlock.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using korvin::host::HostRunLock;

TEST(HostRunLock, OneRunAtATimeAndAKilledHoldersLockIsTakenOver)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.lock"));
    {
        // A second window of the same Korvin sees the first one's run.
        HostRunLock first(path), second(path);
        ASSERT_TRUE(first.tryLock());
        QString why;
        EXPECT_FALSE(second.tryLock(&why));
        EXPECT_EQ(why,
                  QStringLiteral("ほかのウィンドウ（または別の Korvin）が Vantor を操作中です．その実行が終わってから"
                                 "実行して下さい．キーは送信しません．"));
        first.unlock();
        EXPECT_TRUE(second.tryLock());
    }
    // Another Korvin that dies holding the lock (as kill -9 leaves it: the
    // file stays): the next run takes it over at once.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HostRunLock held(path);
        _exit(held.tryLock() ? 0 : 1); // no unlock, no destructor
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    HostRunLock next(path);
    QString why;
    EXPECT_TRUE(next.tryLock(&why)) << why.toStdString();
}
