// Korvin's two keystroke windows against the stand-in host, through the real
// X11 backend: the buttons are pressed in this process, the keys go through X
// to korvin-hostsim on a freshly generated demo day. Run under xvfb-run;
// "--openbox" starts a window manager before the first window.
//
// The stand-in's key log is compared key for key with the sequences written
// out below in the order the host's screens take them, and every pause of a
// run is measured on the stand-in's clock. The stand-in is strict: a key its
// screen does not expect is logged " unexpected" and fails the comparison.
// Everything a user does wrong during a run is tried too: another window
// taking the focus, the host closing, a double-click on Run, a second run,
// the stop button, a slow host, a run past the day's last race.
#include "app/ui/navigation.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "demofiles.h"
#include "hostday.h"
#include "hostexports.h"
#include "host/keynotation.h"
#include "host/resultcomments.h"
#include "host/runner.h"
#include "host/ui/frmCommentSet.h"
#include "host/ui/frmTimeRankText.h"
#include "host/x11/x11backend.h"
#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/textfile.h"
#include "support/testutil.h"
#include "timerank/timerankfile.h"
#include "timerank/ui/frmRaceListTR.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <cctype>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iostream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using namespace korvin;

namespace {

bool g_windowManager = false;

// Lines as one text: a failure shows the lines that differ.
std::string text(const QStringList &lines) { return lines.join('\n').toStdString(); }

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Key presses that reach this program's own windows.
class KeyCounter : public QObject {
public:
    int presses = 0;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        presses += e->type() == QEvent::KeyPress && o->isWidgetType();
        return false;
    }
};

// Processes events until the condition holds (a minute at most).
template <class F>
bool processUntil(F condition, int ms = 60000)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// One line of the stand-in's key log: its time and the key ("key F8",
// "char F"); Shift is left out, since the backend picks it per character
// to make the character arrive as written.
struct LoggedKey {
    qint64 ms = 0;
    QString key;
};

// The keys a run must make arrive, in the host's order.
class Expected {
public:
    QStringList keys;
    void key(const char *name, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            keys << QStringLiteral("key ") + QLatin1String(name);
    }
    void text(const QString &t)
    {
        for (QChar c : t)
            keys << (c == QLatin1Char(' ') ? QStringLiteral("char U+0020") : QStringLiteral("char ") + c);
    }
};

// The time-rank export of `races` races: per race the first view, five
// periods, two surfaces of six, the tab and up keys of the kind, three more
// surfaces of six; the path is typed at the first export only.
QStringList timeRankKeys(int races, int kind, bool answerF, const QString &path)
{
    Expected e;
    auto exportView = [&] {
        e.key("F8");
        if (answerF)
            e.text(QStringLiteral("F"));
    };
    auto views = [&](int n) {
        for (int i = 0; i < n; ++i) {
            e.key("F3");
            exportView();
            e.key("ENTER", 2);
        }
    };
    const bool tabs = kind == 0 || kind == 2 || kind == 4 || kind == 5;
    e.key("ENTER");
    for (int r = 0; r < races; ++r) {
        e.key("F6");
        e.key("INSERT");
        e.key("F6", kind);
        e.key("F7");
        exportView();
        if (r == 0)
            e.text(path);
        else
            e.key("ENTER");
        e.key("ENTER");
        views(5);
        for (int i = 0; i < 2; ++i) {
            e.key("F4");
            views(6);
        }
        if (tabs) {
            e.key("TAB", 3);
            e.key("UP");
        }
        for (int i = 0; i < 3; ++i) {
            e.key("F4");
            views(6);
        }
        e.key("F12");
        if (r < races - 1)
            e.key("PGDN");
    }
    e.key("F12");
    return e.keys;
}

QStringList commentKeys(int races, const QString &path)
{
    Expected e;
    e.key("ENTER");
    e.text(QStringLiteral(" "));
    for (int r = 0; r < races; ++r) {
        e.key("F8");
        if (r == 0)
            e.text(path);
        e.key("ENTER", 2);
        if (r < races - 1)
            e.key("PGDN");
    }
    e.key("F12");
    return e.keys;
}

class KorvinWithStandIn : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Capitals, digits and "_" in the path: typed with and without Shift.
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/KorvinE2E_XXXXXX");
        // KORVIN_E2E_KEEP=1 keeps the folder (key logs, exports) for a look afterwards.
        dir->setAutoRemove(qEnvironmentVariableIsEmpty("KORVIN_E2E_KEEP"));
        home = dir->path() + '/';
        QProcess gen;
        gen.start(KORVIN_DEMODATA_BIN, {"--out", home});
        ASSERT_TRUE(gen.waitForFinished(60000) && gen.exitCode() == 0) << gen.readAllStandardError().toStdString();
        common::SetProgramFolder(home);
        ASSERT_TRUE(platform::ShowMessages(common::LoadSettings()));
        settings = common::Settings;
        const QStringList days = QDir(home + "Vantor").entryList({"Vd*.txt"});
        ASSERT_EQ(days.size(), 1);
        QString error;
        ASSERT_TRUE(
            demodata::readHostDay(platform::readLines(home + "Vantor/" + days[0]).value_or(QStringList{}), day, &error))
            << error.toStdString();
        keys = host::x11::CreateX11Backend();
        qApp->installEventFilter(&ownKeys);
        // One lock for this process and the second Korvin it starts.
        qputenv("KORVIN_RUN_LOCK", (home + "run.lock").toLocal8Bit());
    }

    void TearDown() override
    {
        qApp->removeEventFilter(&ownKeys);
        stopHost();
        setCapsLock(false);
        host::ResetOwnKeyboardState();
    }

    void startHost(const QString &list, int race, const QStringList &extra = {})
    {
        stopHost();
        logPath = home + QString("keys-%1.log").arg(++hostRuns);
        host.setProcessChannelMode(QProcess::ForwardedChannels);
        host.start(KORVIN_HOSTSIM_BIN,
                   QStringList{"--home", home, "--list", list, "--race", QString::number(race), "--log", logPath} +
                       extra);
        ASSERT_TRUE(host.waitForStarted());
        ASSERT_TRUE(test::waitFor([] { return !windowId("^Vantor frontier$").isEmpty(); }))
            << "the stand-in's window did not appear";
    }

    void stopHost()
    {
        if (host.state() == QProcess::NotRunning)
            return;
        host.terminate();
        if (!host.waitForFinished(10000)) {
            host.kill();
            host.waitForFinished();
        }
    }

    static QString windowId(const QString &title)
    {
        QProcess search;
        search.start("xdotool", {"search", "--onlyvisible", "--name", title});
        search.waitForFinished();
        return QString::fromUtf8(search.readAllStandardOutput()).section('\n', 0, 0).trimmed();
    }

    bool capsLock()
    {
        bool on = false;
        std::string error;
        EXPECT_TRUE(keys->capsLock(on, error)) << error;
        return on;
    }
    void setCapsLock(bool on)
    {
        std::string error;
        ASSERT_TRUE(host::x11::SetDesktopCapsLock(on, error)) << error;
    }

    // A script window as the user has it before pressing "Run": its boxes
    // filled, on screen and, under a window manager, active (a window manager
    // that activated it only after the run had activated the host would take
    // the keys away from the host).
    static void prepare(host::ui::ScriptWindow &w, const QString &repeat, const QStringList &waits = kWaits)
    {
        for (int i = 0; i < 3; ++i)
            w.TextWait(i)->setText(waits[i]);
        w.TextRepeat()->setText(repeat);
        w.show();
        ASSERT_TRUE(g_windowManager ? QTest::qWaitForWindowActive(&w) : QTest::qWaitForWindowExposed(&w));
    }
    static inline const QStringList kWaits{"0", "1", "1"};

    // Presses a Run button and prints Korvin's processor time over the run's.
    static void run(QPushButton *button, const char *what)
    {
        QElapsedTimer wall;
        const double cpu = cpuSeconds();
        wall.start();
        button->click();
        const double seconds = double(wall.nsecsElapsed()) / 1e9, used = cpuSeconds() - cpu;
        std::cout << "[ CPU      ] " << what << (g_windowManager ? " (openbox)" : " (no window manager)") << ": Korvin "
                  << used << " CPU s over " << seconds << " s wall (" << 100.0 * used / seconds << " %)" << std::endl;
    }

    std::vector<LoggedKey> log() const
    {
        QFile f(logPath);
        std::vector<LoggedKey> keysLogged;
        if (!f.open(QIODevice::ReadOnly))
            return keysLogged;
        for (const QString &line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)) {
            LoggedKey k;
            k.ms = line.section(' ', 0, 0).toLongLong();
            k.key = line.section(' ', 1);
            k.key.remove(QStringLiteral(" +shift"));
            keysLogged.push_back(k);
        }
        return keysLogged;
    }
    QStringList loggedKeys() const
    {
        QStringList l;
        for (const LoggedKey &k : log())
            l << k.key;
        return l;
    }
    // The stand-in's log equals the expected keys (it may lag a little behind).
    void expectKeyLog(const QStringList &expected)
    {
        test::waitFor([&] { return loggedKeys().size() >= expected.size(); });
        EXPECT_EQ(text(loggedKeys()), text(expected));
    }
    // Each pause of a run, on the stand-in's clock: the gap after the key at
    // `after` (the n-th key of its name, counted from 1) is at least ms.
    void expectPause(const QString &keyName, int nth, int ms)
    {
        const std::vector<LoggedKey> l = log();
        int seen = 0;
        for (size_t i = 0; i + 1 < l.size(); ++i) {
            if (l[i].key == keyName && ++seen == nth) {
                // A little less than the wait: the clocks of two programs and X in between.
                EXPECT_GE(l[i + 1].ms - l[i].ms, ms - 120) << keyName.toStdString() << " #" << nth;
                return;
            }
        }
        ADD_FAILURE() << "no " << keyName.toStdString() << " #" << nth << " in the key log";
    }

    QString rankExport() const { return settings.TimeRank + "TimeRank.txt"; }
    QString commentExport() const { return settings.MData + "Comment.txt"; }

    void timeRankRun(int kind, int firstRace, bool capsOn);
    void commentRun(const QStringList &hostOptions = {});

    std::unique_ptr<QTemporaryDir> dir;
    QString home;
    common::SettingsRecord settings;
    demodata::Day day;
    std::unique_ptr<host::KeyBackend> keys; // Caps Lock, as the user would set it
    KeyCounter ownKeys;
    platform::ScopedRecordingDialogs dialogs;
    QProcess host;
    QString logPath;
    int hostRuns = 0;
};

// Three races of the first course from race firstRace + 1: the stand-in
// exports them, the split keeps exactly their top fives, the race list shows them.
void KorvinWithStandIn::timeRankRun(int kind, int firstRace, bool capsOn)
{
    SCOPED_TRACE(kind);
    ASSERT_NO_FATAL_FAILURE(startHost("cards", firstRace + 1));
    ASSERT_NO_FATAL_FAILURE(setCapsLock(capsOn));
    dialogs.clear();
    host::ui::frmTimeRankText w;
    w.OptionType(kind)->setChecked(true);
    ASSERT_NO_FATAL_FAILURE(prepare(w, "3"));
    run(w.cmdTimeRankText(2), "time-rank run of 3 races");

    demodata::Day part = day;
    part.courses = {day.courses[0]};
    part.courses[0].races = day.courses[0].races.mid(firstRace, 3);
    const QString file = settings.TimeRank + demodata::timeRankFileName(day, kind);
    EXPECT_EQ(text(dialogs.texts()), text({"タイムランクファイルを書き込みました．（3 レース） ( " + file + " )"}));
    EXPECT_EQ(timerank::TimeRankFile, file);
    EXPECT_EQ(platform::readLines(file).value_or(QStringList{}), demodata::timeRankLines(part, kind));
    EXPECT_EQ(capsLock(), capsOn) << "the run switched the desktop's Caps Lock";
    expectKeyLog(timeRankKeys(3, kind, true, rankExport()));
    // Wait2 after the first Enter and each PgDn, Wait3 after each race's first
    // F6, one second after the path.
    expectPause("key ENTER", 1, 1000);
    expectPause("key PGDN", 1, 1000);
    expectPause("key PGDN", 2, 1000);
    const std::vector<LoggedKey> l = log();
    int firstF6 = 0;
    for (size_t i = 0; i + 1 < l.size(); ++i) {
        const bool raceStart = l[i].key == "key F6" && (i == 1 || l[i - 1].key == "key PGDN");
        if (raceStart) {
            ++firstF6;
            EXPECT_GE(l[i + 1].ms - l[i].ms, 1000 - 120) << "Wait3 after the F6 of race " << firstF6;
        }
        if (l[i].key == "char t" && l[i + 1].key == "key ENTER" && i > 0 && l[i - 1].key == "char x") {
            EXPECT_GE(l[i + 1].ms - l[i].ms, 1000 - 120) << "the second after the path";
        }
    }
    EXPECT_EQ(firstF6, 3);

    auto *list = qobject_cast<timerank::ui::frmRaceListTR *>(w.openedWindow());
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(list->LabelDate()->text(), demodata::dayLine(day, part.courses[0]));
    for (int r = 0; r < 12; ++r) {
        const bool listed = r >= firstRace && r < firstRace + 3;
        EXPECT_EQ(list->cmdRace(r)->isEnabled(), listed) << r;
        if (listed) {
            EXPECT_TRUE(
                list->cmdRace(r)->text().startsWith(demodata::timeRankRaceLine(part.courses[0].races[r - firstRace])));
        }
    }
    list->close();
}

// The first two results: the lines appended are what Korvin's comment writer
// makes of the stand-in's two exports, one per runner of each race.
void KorvinWithStandIn::commentRun(const QStringList &hostOptions)
{
    ASSERT_NO_FATAL_FAILURE(startHost("results", 1, hostOptions));
    ASSERT_NO_FATAL_FAILURE(setCapsLock(false));
    dialogs.clear();
    host::ui::frmCommentSet w;
    ASSERT_NO_FATAL_FAILURE(prepare(w, "2"));
    run(w.cmdCommentSet(1), hostOptions.isEmpty() ? "comment run of 2 races" : "comment run, slow host");

    const demodata::Course &course = day.courses[0];
    const QString file = settings.MData + QString("MS00%1%2.dat").arg(course.meeting).arg(course.letter);
    // The reference: the same exports rewritten in a folder of their own.
    QTemporaryDir reference;
    const QString refFolder = reference.path() + '/';
    int runners = 0;
    for (int r = 0; r < 2; ++r) {
        ASSERT_TRUE(
            platform::writeLines(refFolder + "Comment.txt", hostsim::commentLines(day, course, course.races[r])));
        ASSERT_TRUE(host::AppendResultComments(refFolder + "Comment.txt", refFolder, r + 1).appended());
        runners += course.races[r].runners.size();
    }
    EXPECT_EQ(text(dialogs.texts()),
              text({QString("結果コメントを書き込みました．\n%1 : 2 レース %2 行").arg(file).arg(runners)}));
    EXPECT_FALSE(capsLock()) << "the run switched the desktop's Caps Lock on";
    expectKeyLog(commentKeys(2, commentExport()));
    expectPause("key ENTER", 2, 1000); // one second between the two Enters of race 1
    expectPause("key PGDN", 1, 1000);
    // The stand-in's last export is still there.
    EXPECT_EQ(platform::readLines(commentExport()).value_or(QStringList{}),
              hostsim::commentLines(day, course, course.races[1]));
    const QStringList written = platform::readLines(file).value_or(QStringList{});
    EXPECT_EQ(written, platform::readLines(refFolder + file.section('/', -1)).value_or(QStringList{}));
    ASSERT_EQ(written.size(), runners);
    for (int i = 0; i < written.size(); ++i) {
        const demodata::Race &race = course.races[i < course.races[0].runners.size() ? 0 : 1];
        EXPECT_TRUE(written[i].startsWith(demodata::raceKey(day, course, race))) << written[i].toStdString();
    }
    QFile::remove(file);
}

TEST_F(KorvinWithStandIn, RunsAgainstTheStandInAndSendsNothingWithoutIt)
{
    // No stand-in: the run stops at the activation and no key goes anywhere.
    {
        host::ui::frmTimeRankText w;
        ASSERT_NO_FATAL_FAILURE(prepare(w, "3"));
        w.cmdTimeRankText(2)->click();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].kind, platform::MessageKind::Critical);
        EXPECT_TRUE(dialogs.shown[0].text.startsWith(
            "「Vantor frontier」のウィンドウをアクティブにできないため，実行を中止しました．キーは送信しません．"))
            << dialogs.shown[0].text.toStdString();
        EXPECT_EQ(w.openedWindow(), nullptr);
        EXPECT_TRUE(timerank::TimeRankFile.isEmpty());
    }
    // Caps Lock off: the "F" answers arrive as "F". The comment run leaves the
    // desktop's Caps Lock as it was; the next export (version 2.05, where the
    // host takes only "F") answers with "F" again, with the user's Caps Lock on too.
    ASSERT_NO_FATAL_FAILURE(timeRankRun(0, 0, false));
    ASSERT_NO_FATAL_FAILURE(commentRun());
    ASSERT_NO_FATAL_FAILURE(timeRankRun(3, 3, false));
    ASSERT_NO_FATAL_FAILURE(timeRankRun(5, 6, true));
    // A slow host writes its exports late and in two pieces: each is read once whole.
    ASSERT_NO_FATAL_FAILURE(commentRun({"--key-delay", "3", "--export-delay", "400"}));
    EXPECT_EQ(ownKeys.presses, 0);
}

// Another window takes the focus at some moment of a run: the run stops before
// its next key, the other window receives nothing, the races the host had
// finished are kept, and the message says so.
TEST_F(KorvinWithStandIn, AnotherWindowTakingTheFocusStopsTheRun)
{
    QProcess thief;
    thief.start(KORVIN_KEYRECEIVER, {"Thief"});
    ASSERT_TRUE(thief.waitForReadyRead(30000) && thief.readLine().trimmed() == "ready");
    const QString thiefId = windowId("^Thief$");
    ASSERT_FALSE(thiefId.isEmpty());
    const int tries = g_windowManager ? 20 : 8;
    int stopped = 0;
    for (int t = 0; t < tries; ++t) {
        SCOPED_TRACE(t);
        ASSERT_NO_FATAL_FAILURE(startHost("cards", 1));
        dialogs.clear();
        host::ui::frmTimeRankText w;
        ASSERT_NO_FATAL_FAILURE(prepare(w, "2", {"0", "2", "0"}));
        // From a moment inside the first race to one inside the second (the
        // run begins once a double-click would have ended, and lasts more
        // than the two pauses of Wait2).
        const int at = 1000 + (t * 2500) / tries;
        QTimer::singleShot(at, [&] {
            QProcess::execute(
                "xdotool", QStringList{g_windowManager ? QString("windowactivate") : QString("windowfocus"), thiefId});
        });
        w.cmdTimeRankText(2)->click();
        ASSERT_FALSE(dialogs.shown.empty());
        const QString first = dialogs.shown[0].text;
        if (first.startsWith("「Vantor frontier」のフォーカスが外れたため，レース ")) {
            ++stopped;
            EXPECT_EQ(dialogs.shown[0].kind, platform::MessageKind::Critical);
            EXPECT_TRUE(first.contains("それ以降のキーは送信していません．")) << first.toStdString();
            EXPECT_TRUE(first.contains("キーボードのフォーカスがウィンドウ「Thief」に移りました"))
                << first.toStdString();
            // Whatever the host finished is in the time-rank file.
            const bool kept = first.contains("完了した 1 レースをタイムランクファイルに書き込みます．");
            EXPECT_EQ(kept || first.contains("完了したレースがないため"), true) << first.toStdString();
            EXPECT_EQ(w.openedWindow() != nullptr, kept);
            // The keys that reached the host are the run's first ones, nothing else.
            const QStringList got = loggedKeys();
            EXPECT_EQ(text(got), text(timeRankKeys(2, 0, true, rankExport()).mid(0, got.size())));
        } else {
            EXPECT_EQ(text(dialogs.texts()).substr(0, 60), "") << "the run ended before the focus moved";
        }
        // The thief: Escape makes it print what it received.
        std::string error;
        ASSERT_TRUE(keys->activate("Thief", error)) << error;
        ASSERT_TRUE(keys->send({host::KeyAction{host::KeyAction::Kind::Named, host::NamedKey::Escape}}, error))
            << error;
        ASSERT_TRUE(thief.waitForReadyRead(10000));
        EXPECT_EQ(thief.readLine().trimmed().toStdString(), "") << "keys reached the other window";
        if (auto *list = w.openedWindow())
            list->close();
    }
    EXPECT_EQ(stopped, tries);
    thief.terminate();
    thief.waitForFinished();
    EXPECT_EQ(ownKeys.presses, 0);
}

// The host closes, the user presses Stop, Run is double-clicked, a second
// window and a second Korvin press Run during a run, a run goes past the
// day's last race.
TEST_F(KorvinWithStandIn, WhatAUserDoesDuringARun)
{
    // The host's export file dialog is a window of the host: the guard accepts it.
    {
        ASSERT_NO_FATAL_FAILURE(startHost("cards", 1));
        std::string error;
        ASSERT_TRUE(keys->activate("Vantor frontier", error)) << error;
        const host::KeyParse opened = host::ParseKeyString("{Enter}{F6}{INSERT}{F7}{F8}F");
        ASSERT_TRUE(keys->send(opened.actions, error)) << error;
        ASSERT_TRUE(test::waitFor([] {
            QProcess focus;
            focus.start("xdotool", {"getwindowfocus", "getwindowname"});
            focus.waitForFinished();
            return QString::fromUtf8(focus.readAllStandardOutput()).trimmed() == "出力ファイル名";
        })) << "the dialog did not take the focus";
        std::string detail;
        EXPECT_EQ(keys->checkFocus(detail), host::FocusCheck::Held) << detail;
        ASSERT_TRUE(keys->send(host::ParseKeyString("{Esc}").actions, error)) << error;
    }
    // The host closes in the middle: no key goes anywhere else, Korvin's boxes are as they were.
    {
        ASSERT_NO_FATAL_FAILURE(startHost("cards", 1));
        dialogs.clear();
        host::ui::frmTimeRankText w;
        ASSERT_NO_FATAL_FAILURE(prepare(w, "3", {"0", "0", "0"}));
        QTimer::singleShot(1200, [&] { host.terminate(); });
        w.cmdTimeRankText(2)->click();
        ASSERT_FALSE(dialogs.shown.empty());
        EXPECT_TRUE(dialogs.shown[0].text.startsWith("「Vantor frontier」が閉じられたため，レース "))
            << dialogs.shown[0].text.toStdString();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(w.TextWait(i)->text(), "0");
        EXPECT_EQ(w.TextRepeat()->text(), "3");
        host.waitForFinished();
    }
    // Stop: nothing after it, the message says who stopped the run.
    {
        ASSERT_NO_FATAL_FAILURE(startHost("cards", 1));
        dialogs.clear();
        host::ui::frmTimeRankText w;
        ASSERT_NO_FATAL_FAILURE(prepare(w, "2", {"0", "0", "0"}));
        EXPECT_FALSE(w.cmdStop()->isEnabled());
        bool enabledDuringRun = false;
        QTimer::singleShot(800, [&] {
            enabledDuringRun = w.cmdStop()->isEnabled();
            w.cmdStop()->click();
        });
        w.cmdTimeRankText(2)->click();
        EXPECT_TRUE(enabledDuringRun);
        EXPECT_FALSE(w.cmdStop()->isEnabled());
        ASSERT_FALSE(dialogs.shown.empty());
        EXPECT_TRUE(dialogs.shown[0].text.startsWith("中止の指示により，レース "))
            << dialogs.shown[0].text.toStdString();
        EXPECT_TRUE(dialogs.shown[0].text.contains("の途中で実行を中止しました．それ以降のキーは送信していません．"));
        const int sent = int(loggedKeys().size());
        QTest::qWait(500);
        EXPECT_EQ(int(loggedKeys().size()), sent);
        EXPECT_LT(sent, int(timeRankKeys(2, 0, true, rankExport()).size()));
        EXPECT_EQ(text(loggedKeys()), text(timeRankKeys(2, 0, true, rankExport()).mid(0, sent)));
    }
    // A double-click on Run: one run, every key in the host; a second window's
    // Run and a second Korvin's during it send nothing and say why.
    {
        ASSERT_NO_FATAL_FAILURE(startHost("results", 1));
        dialogs.clear();
        host::ui::frmCommentSet w;
        ASSERT_NO_FATAL_FAILURE(prepare(w, "2"));
        QStringList second;
        QProcess other;
        QTimer::singleShot(1500, [&] {
            host::ui::frmCommentSet w2;
            w2.cmdCommentSet(1)->click();
            second = dialogs.texts();
            other.start(QCoreApplication::applicationFilePath(), {"--second-run", home});
        });
        const QPoint run = w.cmdCommentSet(1)->mapToGlobal(w.cmdCommentSet(1)->rect().center());
        QProcess::startDetached("xdotool", {"mousemove", QString::number(run.x()), QString::number(run.y()), "click",
                                            "--repeat", "2", "--delay", "120", "1"});
        ASSERT_TRUE(processUntil([&] { return dialogs.shown.size() >= 2; }));
        ASSERT_EQ(second.size(), 1);
        EXPECT_TRUE(second[0].startsWith("ほかのウィンドウ（または別の Korvin）が Vantor を操作中です．"));
        if (other.state() != QProcess::NotRunning) {
            ASSERT_TRUE(other.waitForFinished(30000));
        }
        EXPECT_EQ(other.exitCode(), 0);
        EXPECT_TRUE(QString::fromUtf8(other.readAllStandardOutput())
                        .startsWith("ほかのウィンドウ（または別の Korvin）が Vantor を操作中です．"));
        EXPECT_TRUE(dialogs.texts().last().startsWith("結果コメントを書き込みました．")) << text(dialogs.texts());
        expectKeyLog(commentKeys(2, commentExport()));
        EXPECT_EQ(ownKeys.presses, 0);
    }
    // From the day's last race, a run of 3: that race once, no second PgDn there.
    {
        int races = 0;
        for (const demodata::Course &c : day.courses)
            races += c.races.size();
        ASSERT_NO_FATAL_FAILURE(startHost("cards", races));
        dialogs.clear();
        host::ui::frmTimeRankText w;
        ASSERT_NO_FATAL_FAILURE(prepare(w, "3", {"0", "1", "0"}));
        w.cmdTimeRankText(2)->click();
        const QString file = settings.TimeRank + demodata::timeRankFileName(day, 0);
        EXPECT_EQ(text(dialogs.texts()),
                  text({"タイムランクファイルを書き込みました．（1 レース，最終レースまで） ( " + file + " )"}));
        demodata::Day part = day;
        part.courses = {day.courses.last()};
        part.courses[0].races = {day.courses.last().races.last()};
        EXPECT_EQ(platform::readLines(file).value_or(QStringList{}), demodata::timeRankLines(part, 0));
        expectKeyLog(timeRankKeys(2, 0, true, rankExport()));
        if (auto *list = w.openedWindow())
            list->close();
    }
}
// Starts openbox (output discarded) and waits until it manages the screen.
pid_t startWindowManager()
{
    pid_t pid = 0;
    char name[] = "openbox", sm[] = "--sm-disable";
    char *argv[] = {name, sm, nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const bool spawned = posix_spawnp(&pid, name, &quiet, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&quiet);
    for (int i = 0; spawned && i < 600; ++i, usleep(100000))
        if (std::system("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'") == 0)
            return pid;
    if (spawned) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    return 0;
}

} // namespace

// The second Korvin of a test: presses Run in a comment window of its own
// while the test's run goes on, and prints what it was told.
int secondRun(int argc, char **argv, const QString &home)
{
    QApplication app(argc, argv);
    common::SetProgramFolder(home);
    host::SetBackendFactory([] { return host::x11::CreateX11Backend(); });
    platform::ScopedRecordingDialogs dialogs;
    {
        host::ui::frmCommentSet w;
        w.cmdCommentSet(1)->click();
    }
    std::cout << dialogs.texts().join('\n').toStdString() << std::endl;
    host::SetBackendFactory(nullptr);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--second-run") == 0)
        return secondRun(argc, argv, QString::fromLocal8Bit(argv[2]));
    pid_t wm = 0;
    if (argc > 1 && std::strcmp(argv[argc - 1], "--openbox") == 0) {
        if (!(wm = startWindowManager())) {
            std::cerr << "openbox did not start\n";
            return 1;
        }
        g_windowManager = true;
        --argc;
    }
    int rc = 0;
    {
        QApplication app(argc, argv);
        app.setQuitOnLastWindowClosed(false);
        app::ui::ConnectWindows();
        host::SetBackendFactory([] { return host::x11::CreateX11Backend(); });
        ::testing::InitGoogleTest(&argc, argv);
        rc = RUN_ALL_TESTS();
        host::SetBackendFactory(nullptr);
    }
    if (wm) {
        kill(wm, SIGTERM);
        waitpid(wm, nullptr, 0);
    }
    return rc;
}
