#include "hardening/writers.h"
#include "platform/safefile.h"
#include "support/testutil.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::test;

namespace {

// The contents one file may hold after saves that were cut off: as before,
// as after the first or the second save, or (an append) the old content
// followed by whole blocks of either save.
struct Allowed {
    Snapshot before, first, second;

    bool holds(const QString &path, const QByteArray &bytes) const
    {
        for (const Snapshot *s : {&before, &first, &second})
            if (s->contains(path) && s->value(path) == bytes)
                return true;
        const QByteArray old = before.value(path), a = first.value(path), b = second.value(path);
        if (!a.startsWith(old) || !b.startsWith(a) || a.size() == old.size() || b.size() == a.size())
            return false; // not an append
        const QByteArray blockA = a.mid(old.size()), blockB = b.mid(a.size());
        QByteArray rest = bytes.startsWith(old) ? bytes.mid(old.size()) : QByteArray("torn");
        while (!rest.isEmpty()) {
            if (rest.startsWith(blockA))
                rest = rest.mid(blockA.size());
            else if (rest.startsWith(blockB))
                rest = rest.mid(blockB.size());
            else
                return false;
        }
        return true;
    }
};

Allowed contentsOf(const Writer &w)
{
    ScratchHome home;
    Allowed a;
    w.prepare(home.folder());
    a.before = TakeSnapshot(home.folder());
    EXPECT_TRUE(w.save(home.folder(), 1));
    a.first = TakeSnapshot(home.folder());
    EXPECT_TRUE(w.save(home.folder(), 0));
    a.second = TakeSnapshot(home.folder());
    return a;
}

} // namespace

// Whichever system step of a save fails (a full disk at that moment): every
// file is as it was or as the save writes it, none is gone that the save
// keeps, nothing is left beside them, and the save says it failed.
TEST(EveryWriter, AFaultAtAnyStepLeavesOldOrNewAndIsReported)
{
    for (const Writer &w : Writers()) {
        SCOPED_TRACE(w.name);
        const Allowed allowed = contentsOf(w);
        for (int n = 1;; ++n) {
            SCOPED_TRACE(n);
            ScratchHome home;
            w.prepare(home.folder());
            bool saved = false, injected = false;
            {
                platform::ScopedSaveFault fault(n);
                saved = w.save(home.folder(), 1);
                injected = platform::SaveFaults::steps() >= n;
            }
            const Snapshot now = TakeSnapshot(home.folder());
            if (!injected) {
                EXPECT_GT(n, 1) << "the writer takes no step of the writing helper";
                EXPECT_TRUE(saved);
                EXPECT_EQ(now, allowed.first);
                break;
            }
            if (w.reports) {
                EXPECT_FALSE(saved);
            }
            const auto in = [](const Snapshot &s, const QString &path, const QByteArray &bytes) {
                return s.contains(path) && s.value(path) == bytes;
            };
            for (auto it = now.begin(); it != now.end(); ++it)
                EXPECT_TRUE(in(allowed.before, it.key(), it.value()) || in(allowed.first, it.key(), it.value()))
                    << it.key().toStdString();
            for (auto it = allowed.before.begin(); it != allowed.before.end(); ++it)
                EXPECT_TRUE(now.contains(it.key()) || !allowed.first.contains(it.key())) << it.key().toStdString();
        }
    }
}

// A save killed (kill -9) at each of its system steps in turn leaves every
// file as before, as after the save, or an append with whole blocks. What it
// may leave beside them is a temporary file: one with a name of its own is
// taken over by the next save, a fresh one ("….tmp") never matches a name
// Korvin or the host reads and the next save of that file removes it.
TEST(EveryWriter, AKilledSaveLeavesNoTornFile)
{
    for (const Writer &w : Writers()) {
        SCOPED_TRACE(w.name);
        const Allowed allowed = contentsOf(w);
        for (int step = 1;; ++step) {
            SCOPED_TRACE(step);
            ScratchHome home;
            w.prepare(home.folder());
            QProcess child;
            child.start(QStringLiteral(KORVIN_CHILD),
                        {QStringLiteral("save"), QString::fromUtf8(w.name), home.folder(), QString::number(step)});
            ASSERT_TRUE(child.waitForFinished(60000)) << child.readAllStandardError().toStdString();
            if (child.exitStatus() == QProcess::NormalExit) {
                // The save ended before this step: every step before it was a kill.
                EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
                EXPECT_GT(step, 1) << "the writer takes no step of the writing helper";
                EXPECT_EQ(TakeSnapshot(home.folder()), allowed.first);
                break;
            }
            const Snapshot now = TakeSnapshot(home.folder());
            for (auto it = now.begin(); it != now.end(); ++it)
                EXPECT_TRUE(allowed.holds(it.key(), it.value()) || IsTemporaryName(it.key())) << it.key().toStdString();
            for (auto it = allowed.before.begin(); it != allowed.before.end(); ++it)
                EXPECT_TRUE(now.contains(it.key())) << it.key().toStdString();
            for (auto it = now.begin(); it != now.end(); ++it) {
                const QString &name = it.key();
                EXPECT_FALSE(IsTemporaryName(name) &&
                             (name.endsWith(QLatin1String(".txt")) || name.endsWith(QLatin1String(".lzh")) ||
                              name.endsWith(QLatin1String(".dat"))))
                    << name.toStdString();
            }

            EXPECT_TRUE(w.save(home.folder(), 1));
            const Snapshot next = TakeSnapshot(home.folder());
            for (auto it = next.begin(); it != next.end(); ++it)
                EXPECT_FALSE(IsTemporaryName(it.key())) << it.key().toStdString();
        }
    }
}
