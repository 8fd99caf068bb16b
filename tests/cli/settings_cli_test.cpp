// Runs the built korvin-cli as a user would.
#include "support/testutil.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace korvin;

namespace {

// A missing file and a bad wait are said on stderr; the ten fields go to stdout as loaded.
TEST(CliSettings, PrintsTheTenFieldsAndReportsFileFaultsOnStderr)
{
    test::ScratchHome home;
    test::CliRun r = test::runCli({"settings"}, home.folder());
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(home.path("Korvin.ini"))) << r.err.toStdString();
    home.writeLines("Korvin.ini", {"Wait2     40000"});
    r = test::runCli({"settings"}, home.folder());
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("Wait2=0\n"));
    EXPECT_TRUE(r.err.contains("Wait2     40000"));
    home.writeLines("Korvin.ini", {"# demo", "Wait3     7", "MData     /m/ ", "Vantor_Ver2.05",
                                   QStringLiteral("TimeRank  /時間/"), "Wait1     -3"});
    r = test::runCli({"settings"}, home.folder());
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Vantor_Ver=2.05\nMData=/m/ \nSData=\nSDataON=\nDenCSV=\nVTX_Text=\n"
                                    "TimeRank=/時間/\nWait1=-3\nWait2=0\nWait3=7\n"));
}

TEST(CliSettings, HomeFromEnvironmentAndUnknownCommand)
{
    test::ScratchHome home;
    home.writeLines(QStringLiteral("Korvin.ini"), {QStringLiteral("SDataON   0")});
    QProcess p;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVIN_HOME"), home.folder());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVIN_BIN_DIR "/korvin-cli"), {QStringLiteral("settings")});
    p.waitForFinished(60000);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("SDataON=0\n")));

    const test::CliRun bad = test::runCli({QStringLiteral("nosuch")}, home.folder());
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("nosuch")));
}

// Every command answers --help with its usage line on stdout, and refuses an
// option it does not know as a usage error. Output that cannot be written
// (a full disk) fails the command, whatever it printed.
TEST(CliHelp, EveryCommandHasHelpAndRefusesUnknownOptions)
{
    const test::CliRun all = test::runCli({QStringLiteral("--help")});
    EXPECT_EQ(all.code, 0);
    const QStringList commands{QStringLiteral("datalist"), QStringLiteral("predict"),  QStringLiteral("racelist"),
                               QStringLiteral("settings"), QStringLiteral("timerank"), QStringLiteral("trlist"),
                               QStringLiteral("verify")};
    for (const QString &name : commands) {
        EXPECT_TRUE(all.out.contains(QStringLiteral("\n  ") + name)) << name.toStdString();
        const test::CliRun help = test::runCli({name, QStringLiteral("--help")});
        EXPECT_EQ(help.code, 0) << name.toStdString();
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: korvin-cli [--home DIR] ") + name))
            << name.toStdString();
        const test::CliRun bad = test::runCli({name, QStringLiteral("x"), QStringLiteral("--no-such-option")});
        EXPECT_EQ(bad.code, 2) << name.toStdString();
        EXPECT_TRUE(bad.err.contains(QStringLiteral("no-such-option"))) << name.toStdString();
        const test::CliRun full = test::runCli({name, QStringLiteral("--help")}, {}, QStringLiteral("/dev/full"));
        EXPECT_EQ(full.code, 1) << name.toStdString();
        EXPECT_EQ(full.err, QStringLiteral("korvin-cli: 標準出力に書き込めません． ( No space left on device )\n"))
            << name.toStdString();
    }
    // Output larger than the stream's buffer: written part by part before the end.
    test::ScratchHome home;
    home.writeDefaultSettings();
    const test::CliRun big = test::runCli({QStringLiteral("keys"), QString(20000, QLatin1Char('x'))}, home.folder(),
                                          QStringLiteral("/dev/full"));
    EXPECT_EQ(big.code, 1);
    EXPECT_TRUE(big.err.startsWith(QStringLiteral("korvin-cli: 標準出力に書き込めません．"))) << big.err.toStdString();
}

} // namespace
