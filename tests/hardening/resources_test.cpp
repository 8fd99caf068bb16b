#include "hardening/readers.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace korvin::test;

// Every reader given 50 MB of the input that is worst for it, in a child
// process: it ends as it should, within six times the input's size of memory.
// Built with AddressSanitizer everything runs several times slower and every
// allocation carries the sanitizer's own bytes: 10 MB there, within twelve times.
TEST(EveryReader, FiftyMegabytesOfItsWorstInputEndAsTheyShould)
{
#if defined(__SANITIZE_ADDRESS__)
    constexpr qint64 kMb = 10, kTimes = 12;
#else
    constexpr qint64 kMb = 50, kTimes = 6;
#endif
    constexpr qint64 kBytes = kMb << 20;
    constexpr qint64 kLimitMb = kTimes * kMb;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Freed memory held back by AddressSanitizer would count as the reader's.
    env.insert(QStringLiteral("ASAN_OPTIONS"),
               env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":quarantine_size_mb=0"));
    for (const BigInput &input : BigInputs()) {
        SCOPED_TRACE(input.name);
        QTemporaryDir dir;
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(KORVIN_CHILD), {QStringLiteral("read"), QString::fromUtf8(input.name), dir.path(),
                                                   QString::number(kBytes), QString::number(kLimitMb)});
        ASSERT_TRUE(child.waitForFinished(300000));
        const std::string said =
            child.readAllStandardOutput().toStdString() + child.readAllStandardError().toStdString();
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << said;
        EXPECT_EQ(child.exitCode(), 0) << said;
    }
}
