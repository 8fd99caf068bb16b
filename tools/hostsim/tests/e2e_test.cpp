// Real X key events into the running stand-in host (run under xvfb-run):
// xdotool sends the keys of a two-race time-rank export and of a two-race
// result run, once without a window manager and once under openbox. The key
// log must list every key sent, in order and expected, and the exports must be
// what the same keys give the host model in-process.
#include "hostsimtest.h"
#include "keylog.h"
#include "support/testutil.h"

#include "demofiles.h"
#include "hostday.h"
#include "common/helpers.h"
#include "common/settings.h"
#include "platform/textfile.h"
#include "timerank/timerankfile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::hostsim;
using namespace korvin::hostsim::test;

namespace {

constexpr int kKind = 2; // 上がり３F: kind keys, Tab and Up all in the script
constexpr int kWaitMs = 60000;

QString run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(kWaitMs)) {
        p.kill();
        p.waitForFinished();
    }
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString xdotoolName(NamedKey k)
{
    switch (k) {
    case NamedKey::Enter: return QStringLiteral("Return");
    case NamedKey::Tab: return QStringLiteral("Tab");
    case NamedKey::PageDown: return QStringLiteral("Next");
    case NamedKey::Insert: return QStringLiteral("Insert");
    case NamedKey::Up: return QStringLiteral("Up");
    case NamedKey::Home: return QStringLiteral("Home");
    case NamedKey::F3: return QStringLiteral("F3");
    case NamedKey::F4: return QStringLiteral("F4");
    case NamedKey::F6: return QStringLiteral("F6");
    case NamedKey::F7: return QStringLiteral("F7");
    case NamedKey::F8: return QStringLiteral("F8");
    case NamedKey::F12: return QStringLiteral("F12");
    default: ADD_FAILURE() << "no xdotool name"; return {};
    }
}

// XTest key events through xdotool, a few milliseconds apart: named keys with
// "key", runs of characters with "type".
void send(const Keys &keys)
{
    int i = 0;
    while (i < keys.size()) {
        QStringList args;
        if (keys[i].kind == KeyAction::Kind::Named) {
            args << QStringLiteral("key") << QStringLiteral("--delay") << QStringLiteral("5");
            for (; i < keys.size() && keys[i].kind == KeyAction::Kind::Named; ++i)
                args << xdotoolName(keys[i].key);
        } else {
            QString text;
            for (; i < keys.size() && keys[i].kind == KeyAction::Kind::Character; ++i)
                text += QString::fromUcs4(&keys[i].character, 1);
            args << QStringLiteral("type") << QStringLiteral("--delay") << QStringLiteral("5") << text;
        }
        int code = 0;
        run(QStringLiteral("xdotool"), args, &code);
        ASSERT_EQ(code, 0) << args.join(QLatin1Char(' ')).toStdString();
    }
}

class HostsimE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Letters and digits only: every character of the typed paths is on
        // the keyboard map.
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/hostsimXXXXXX"));
        ASSERT_TRUE(dir->isValid());
        home = dir->path() + QLatin1Char('/');
        ASSERT_TRUE(demodata::writeDemoHome(home, demodata::makeDay(1, QDate(2000, 6, 10)), true).error.isEmpty());
        ASSERT_TRUE(common::LoadSettingsFile(home + QStringLiteral("Korvin.ini"), settings).opened);
        QString error;
        ASSERT_TRUE(demodata::readHostDay(
            platform::readLines(home + QStringLiteral("Vantor/Vd000610.txt")).value_or(QStringList{}), day, &error));
    }

    void TearDown() override { stopHost(true); }

    void startWindowManager()
    {
        wm.start(QStringLiteral("openbox"), {});
        ASSERT_TRUE(wm.waitForStarted());
        ASSERT_TRUE(korvin::test::waitFor([] {
            return run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                .contains(QStringLiteral("window id"));
        })) << "openbox did not start";
        withWm = true;
    }

    // Starts the stand-in on a race list and gives its window the focus; the
    // reference model starts where the stand-in does.
    void startHost(const QString &list)
    {
        files.files.clear();
        reference =
            std::make_unique<HostModel>(day, HostOptions{settings.Vantor_Ver, rankPath(), commentPath()}, files);
        reference->setListMode(list == QLatin1String("cards") ? ListMode::Cards : ListMode::Results);
        expectedLog.clear();
        logPath = home + QStringLiteral("keys-") + list + QStringLiteral(".log");
        host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        host.start(QStringLiteral(KORVIN_HOSTSIM_BIN),
                   {QStringLiteral("--home"), home, QStringLiteral("--list"), list, QStringLiteral("--log"), logPath});
        ASSERT_TRUE(host.waitForStarted());
        QString window;
        ASSERT_TRUE(korvin::test::waitFor([&window] {
            window = run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                     QStringLiteral("--name"), QStringLiteral("^Vantor frontier$")})
                         .section(QLatin1Char('\n'), 0, 0);
            return !window.isEmpty();
        })) << "no window titled Vantor frontier";
        // With a window manager, activate it as a user would; without, set the
        // input focus. Again until it holds: a window just mapped may refuse it.
        const QString how = withWm ? QStringLiteral("windowactivate") : QStringLiteral("windowfocus");
        ASSERT_TRUE(korvin::test::waitFor([&] {
            run(QStringLiteral("xdotool"), {how, window});
            return run(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")}) == window;
        })) << "the window never got the focus";
        // A first key that changes nothing (the cursor is on the first race)
        // shows that keys arrive before the run starts.
        sendAndWait({key(NamedKey::Home)});
    }

    void stopHost(bool windowManagerToo)
    {
        if (host.state() != QProcess::NotRunning) {
            host.terminate();
            if (!host.waitForFinished(5000)) {
                host.kill();
                host.waitForFinished();
            }
        }
        if (windowManagerToo && wm.state() != QProcess::NotRunning) {
            wm.terminate();
            wm.waitForFinished(5000);
        }
    }

    QStringList log() const
    {
        QFile f(logPath);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Sends the keys and waits until the host has logged each of them.
    void sendAndWait(const Keys &keys)
    {
        for (const KeyAction &k : keys) {
            expectedLog << describeKey(k);
            ASSERT_TRUE(reference->press(k)) << describeKey(k).toStdString();
        }
        send(keys);
        const int n = int(expectedLog.size());
        ASSERT_TRUE(korvin::test::waitFor([this, n] { return log().size() >= n; }))
            << "logged " << log().size() << " of " << n << " keys";
    }

    void timeRankRunAndResultRun();
    QString rankPath() const { return settings.TimeRank + QStringLiteral("TimeRank.txt"); }
    QString commentPath() const { return settings.MData + QStringLiteral("Comment.txt"); }

    std::unique_ptr<QTemporaryDir> dir;
    QString home;
    common::SettingsRecord settings;
    demodata::Day day;
    QProcess wm;
    bool withWm = false;
    QProcess host;
    QString logPath;
    QStringList expectedLog;
    MemoryFiles files;
    std::unique_ptr<HostModel> reference;
};

void HostsimE2E::timeRankRunAndResultRun()
{
    // The time-rank export of the first two races.
    ASSERT_NO_FATAL_FAILURE(startHost(QStringLiteral("cards")));
    ASSERT_NO_FATAL_FAILURE(sendAndWait(timeRankRun(2, kKind, true, rankPath())));
    EXPECT_EQ(log(), expectedLog); // every key, in order, none unexpected
    const QStringList exported = platform::readLines(rankPath()).value_or(QStringList{});
    EXPECT_EQ(exported, files.files.value(rankPath()));
    const QList<QStringList> sections = sectionsOf(exported);
    ASSERT_EQ(sections.size(), 72);
    for (int s = 0; s < 72; ++s) {
        const QStringList &sec = sections[s];
        const int inRace = s % 36;
        EXPECT_TRUE(sec[0].startsWith(QStringLiteral("2000年 6月10日"))) << s;
        EXPECT_TRUE(sec[1].startsWith(s < 36 ? QStringLiteral("１Ｒ") : QStringLiteral("２Ｒ"))) << s;
        EXPECT_EQ(common::Mid(sec[4], timerank::KindTitleColumn(kKind), 3) == QStringLiteral("芝・ダ"),
                  (inRace >= 12 && inRace < 18) || inRace >= 30)
            << s << " " << sec[4].toStdString();
        EXPECT_TRUE(sec[sec.size() - 2].startsWith(QStringLiteral("----")));
        EXPECT_TRUE(sec.back().startsWith(QStringLiteral("対象")));
    }
    stopHost(false);

    // The result run of the same two races; Korvin reads and deletes the
    // export after each race.
    ASSERT_NO_FATAL_FAILURE(startHost(QStringLiteral("results")));
    const QList<Keys> races{commentOpening() + commentRace(0, commentPath()),
                            Keys{key(NamedKey::PageDown)} + commentRace(1, commentPath())};
    for (int k = 0; k < races.size(); ++k) {
        ASSERT_NO_FATAL_FAILURE(sendAndWait(races[k]));
        const QStringList comment = platform::readLines(commentPath()).value_or(QStringList{});
        EXPECT_EQ(comment, files.files.value(commentPath())) << k;
        ASSERT_GE(comment.size(), 8);
        EXPECT_EQ(comment.size(), 7 + common::Mid(comment[3].right(4), 1, 2).trimmed().toInt());
        EXPECT_EQ(comment[2].left(2), k == 0 ? QStringLiteral("１Ｒ") : QStringLiteral("２Ｒ"));
        ASSERT_TRUE(QFile::remove(commentPath()));
        files.files.clear();
    }
    ASSERT_NO_FATAL_FAILURE(sendAndWait({key(NamedKey::F12)}));
    EXPECT_EQ(log(), expectedLog);
}

TEST_F(HostsimE2E, KeysOfBothRunsWithoutWindowManager) { timeRankRunAndResultRun(); }

TEST_F(HostsimE2E, KeysOfBothRunsUnderOpenbox)
{
    ASSERT_NO_FATAL_FAILURE(startWindowManager());
    timeRankRunAndResultRun();
}

} // namespace
