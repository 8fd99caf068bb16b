// Runs the built korvin-cli as a user would.
#include "support/testutil.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>
#include <optional>

using namespace korvin;

namespace {

// The ten fields as loaded on stdout; a missing file or a bad wait on stderr.
TEST(CliSettings, PrintsTheTenFieldsAndReportsFileFaultsOnStderr)
{
    struct Row {
        const char *name;
        std::optional<QStringList> ini; // none: no file
        int code;
        QString out;
        QString errPart; // empty: nothing on stderr; "HOME/" the scratch folder
    };
    const Row rows[] = {
        {"fields exactly as loaded",
         QStringList{"# demo", "Wait3     7", "MData     /m/ ", "Vantor_Ver2.05", QStringLiteral("TimeRank  /時間/"),
                     "Wait1     -3"},
         0,
         QStringLiteral("Vantor_Ver=2.05\nMData=/m/ \nSData=\nSDataON=\nDenCSV=\nVTX_Text=\n"
                        "TimeRank=/時間/\nWait1=-3\nWait2=0\nWait3=7\n"),
         {}},
        {"missing file", std::nullopt, 1, {}, "HOME/Korvin.ini"},
        {"bad wait", QStringList{"Wait2     40000"}, 0,
         "Vantor_Ver=\nMData=\nSData=\nSDataON=\nDenCSV=\nVTX_Text=\nTimeRank=\nWait1=0\nWait2=0\nWait3=0\n",
         "Wait2     40000"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        test::ScratchHome home;
        if (row.ini)
            home.writeLines(QStringLiteral("Korvin.ini"), *row.ini);
        const test::CliRun r = test::runCli({QStringLiteral("settings")}, home.folder());
        EXPECT_EQ(r.code, row.code);
        EXPECT_EQ(r.out, row.out);
        if (row.errPart.isEmpty())
            EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        else
            EXPECT_TRUE(r.err.contains(QString(row.errPart).replace("HOME/", home.folder()))) << r.err.toStdString();
    }
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
// option it does not know as a usage error.
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
    }
}

} // namespace
