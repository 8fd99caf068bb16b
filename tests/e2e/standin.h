#pragma once
// Korvin's two keystroke windows against the stand-in host, on every
// platform: the fixture, the key sequences a run must make arrive, and the
// run that every platform makes. The buttons are pressed in the test program,
// the keys go through the platform's backend to korvin-hostsim (another
// program) on a freshly generated demo day.
//
// The stand-in's key log is compared key for key with the sequences written
// out below in the order the host's screens take them, and every pause of a
// run is measured on the stand-in's clock. The stand-in is strict: a key its
// screen does not expect is logged " unexpected" and fails the comparison.
#include "common/programfolder.h"
#include "common/settings.h"
#include "demofiles.h"
#include "hostday.h"
#include "hostexports.h"
#include "host/resultcomments.h"
#include "host/runner.h"
#include "host/ui/frmCommentSet.h"
#include "host/ui/frmTimeRankText.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#ifdef _WIN32
#include "host/win32/win32backend.h"
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "host/x11/x11backend.h"
#include <ctime>
#endif

using namespace korvin;

namespace {

// Set by a program that starts a window manager first.
bool g_windowManager = false;

std::unique_ptr<host::KeyBackend> CreateBackendOfThePlatform()
{
#ifdef _WIN32
    return host::win32::CreateWin32Backend();
#else
    return host::x11::CreateX11Backend();
#endif
}

// Lines as one text: a failure shows the lines that differ.
std::string text(const QStringList &lines) { return lines.join('\n').toStdString(); }

double cpuSeconds()
{
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto seconds = [](const FILETIME &t) { return double((quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
#else
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
#endif
}

// The stand-in's window is on screen.
bool hostWindowShown()
{
#ifdef _WIN32
    const HWND w = FindWindowW(nullptr, L"Vantor frontier");
    return w && IsWindowVisible(w);
#else
    QProcess search;
    search.start("xdotool", {"search", "--onlyvisible", "--name", "^Vantor frontier$"});
    search.waitForFinished();
    return !search.readAllStandardOutput().trimmed().isEmpty();
#endif
}

// The user's Caps Lock key, as a user would press it.
bool setUserCapsLock(bool on, std::string &error)
{
#ifdef _WIN32
    return host::win32::SetDesktopCapsLock(on, error);
#else
    return host::x11::SetDesktopCapsLock(on, error);
#endif
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
// capsKeys: Caps Lock pressed around each "F" (how the Win32 backend types a
// Shift letter under the user's Caps Lock).
QStringList timeRankKeys(int races, int kind, bool answerF, const QString &path, bool capsKeys = false)
{
    Expected e;
    auto exportView = [&] {
        e.key("F8");
        if (capsKeys)
            e.key("CAPSLOCK");
        if (answerF)
            e.text(QStringLiteral("F"));
        if (capsKeys)
            e.key("CAPSLOCK");
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
        keys = CreateBackendOfThePlatform();
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
        ASSERT_TRUE(test::waitFor(hostWindowShown)) << "the stand-in's window did not appear";
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
        ASSERT_TRUE(setUserCapsLock(on, error)) << error;
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
        for (QString line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)) {
            if (line.endsWith('\r')) // a text file on Windows
                line.chop(1);
            LoggedKey k;
            k.ms = line.section(' ', 0, 0).toLongLong();
            k.key = line.section(' ', 1);
            k.key.remove(QStringLiteral(" +shift"));
            // On Windows the user's Caps Lock is set by pressing it, before the
            // run: the host may have logged it. A run never begins with it.
            if (keysLogged.empty() && k.key == QLatin1String("key CAPSLOCK"))
                continue;
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
    timerank::TimeRankSelection selection;
};

// Three races of the first course from race firstRace + 1: the stand-in
// exports them, the split keeps exactly their top fives, the race list shows them.
void KorvinWithStandIn::timeRankRun(int kind, int firstRace, bool capsOn)
{
    SCOPED_TRACE(kind);
    ASSERT_NO_FATAL_FAILURE(startHost("cards", firstRace + 1));
    ASSERT_NO_FATAL_FAILURE(setCapsLock(capsOn));
    dialogs.clear();
    host::ui::frmTimeRankText w(nullptr, selection);
    w.OptionType(kind)->setChecked(true);
    ASSERT_NO_FATAL_FAILURE(prepare(w, "3"));
    run(w.cmdTimeRankText(2), "time-rank run of 3 races");

    demodata::Day part = day;
    part.courses = {day.courses[0]};
    part.courses[0].races = day.courses[0].races.mid(firstRace, 3);
    const QString file = settings.TimeRank + demodata::timeRankFileName(day, kind);
    EXPECT_EQ(text(dialogs.texts()), text({"タイムランクファイルを書き込みました．（3 レース） ( " + file + " )"}));
    EXPECT_EQ(selection.file, file);
    EXPECT_EQ(platform::readLines(file).value_or(QStringList{}), demodata::timeRankLines(part, kind));
    EXPECT_EQ(capsLock(), capsOn) << "the run switched the desktop's Caps Lock";
#ifdef _WIN32
    const bool capsKeys = capsOn; // Caps Lock released and locked again around each Shift letter
#else
    const bool capsKeys = false; // the lock is released without a key
#endif
    expectKeyLog(timeRankKeys(3, kind, true, rankExport(), capsKeys));
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
        host::ui::frmTimeRankText w(nullptr, selection);
        ASSERT_NO_FATAL_FAILURE(prepare(w, "3"));
        w.cmdTimeRankText(2)->click();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].kind, platform::MessageKind::Critical);
        EXPECT_TRUE(dialogs.shown[0].text.startsWith(
            "「Vantor frontier」のウィンドウをアクティブにできないため，実行を中止しました．キーは送信しません．"))
            << dialogs.shown[0].text.toStdString();
        EXPECT_EQ(w.openedWindow(), nullptr);
        EXPECT_TRUE(selection.file.isEmpty());
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

} // namespace
