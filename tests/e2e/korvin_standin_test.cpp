// Korvin's two keystroke windows against the stand-in host, through the real
// X11 backend: the buttons are pressed in this process, the keys go through X
// to korvin-hostsim on a freshly generated demo day. Run under xvfb-run;
// "--openbox" starts a window manager before the first window.
//
// The stand-in's key log is compared key for key with the dry run of the same
// boxes (korvin-cli script): each key string expanded by the notation parser
// and compared fully ("char F +shift"), except that with Caps Lock on a letter
// pressed with Shift arrives in lower case, as on a real keyboard; each typed
// text compared by its characters only, since the backend chooses Shift per
// character from the keymap and the Caps Lock state so that the text arrives
// as written.
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
#include <QFileInfo>
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
#include <gtest/gtest.h>

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <ctime>
#include <iostream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using namespace korvin;

namespace {

bool g_windowManager = false;

QString output(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// Polls (a minute at most, for a loaded machine) until the condition holds.
template <class F>
bool waitFor(F condition)
{
    QDeadlineTimer deadline(60000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

// Lines as one text: a failure shows the lines that differ.
std::string text(const QStringList &lines) { return lines.join(QLatin1Char('\n')).toStdString(); }

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
        if (e->type() == QEvent::KeyPress && o->isWidgetType())
            ++presses;
        return false;
    }
};

class KorvinWithStandIn : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Capitals, digits and "_" in the path: typed with and without Shift.
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/KorvinE2E_XXXXXX"));
        ASSERT_TRUE(dir->isValid());
        home = dir->path() + QLatin1Char('/');
        QProcess gen;
        gen.start(QStringLiteral(KORVIN_DEMODATA_BIN), {QStringLiteral("--out"), home});
        ASSERT_TRUE(gen.waitForFinished(60000) && gen.exitCode() == 0) << gen.readAllStandardError().toStdString();
        common::SetProgramFolder(home);
        ASSERT_TRUE(platform::ShowMessages(common::LoadSettings()));
        settings = common::Settings;
        const QStringList days = QDir(home + QStringLiteral("Vantor")).entryList({QStringLiteral("Vd*.txt")});
        ASSERT_EQ(days.size(), 1);
        QString error;
        ASSERT_TRUE(demodata::readHostDay(
            platform::readLines(home + QStringLiteral("Vantor/") + days[0]).value_or(QStringList{}), day, &error))
            << error.toStdString();
        keys = host::x11::CreateX11Backend();
        qApp->installEventFilter(&ownKeys);
    }

    void TearDown() override
    {
        qApp->removeEventFilter(&ownKeys);
        stopHost();
        setCapsLock(false);
    }

    void startHost(const QString &list, int race)
    {
        stopHost();
        logPath = home + QStringLiteral("keys-%1-%2.log").arg(list).arg(race);
        host.setProcessChannelMode(QProcess::ForwardedChannels);
        host.start(QStringLiteral(KORVIN_HOSTSIM_BIN),
                   {QStringLiteral("--home"), home, QStringLiteral("--list"), list, QStringLiteral("--race"),
                    QString::number(race), QStringLiteral("--log"), logPath});
        ASSERT_TRUE(host.waitForStarted());
        ASSERT_TRUE(waitFor([] {
            return !output(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                       QStringLiteral("--name"), QStringLiteral("^Vantor frontier$")})
                        .isEmpty();
        })) << "the stand-in's window did not appear";
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
        ASSERT_TRUE(keys->setCapsLock(on, error)) << error;
    }

    QStringList keyLog() const
    {
        QFile f(logPath);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // What the dry run of these boxes sends, one key-log line per key; the
    // lines of typed text marked.
    struct Expected {
        QStringList lines;
        QVector<bool> typed;
    };
    Expected dryRunKeys(const QStringList &scriptArgs, bool capsOn) const
    {
        const test::CliRun run = test::runCli(QStringList{QStringLiteral("script")} + scriptArgs, home);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        Expected e;
        for (const QString &line : run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QJsonArray op = QJsonDocument::fromJson(line.toUtf8()).array();
            const QString kind = op.at(0).toString();
            const std::string text = op.at(1).toString().toStdString();
            std::vector<host::KeyAction> actions;
            if (kind == QLatin1String("keys")) {
                const host::KeyParse parsed = host::ParseKeyString(text);
                EXPECT_TRUE(parsed.ok()) << text;
                actions = parsed.actions;
            } else if (kind == QLatin1String("type")) {
                EXPECT_TRUE(host::TextActions(text, actions));
            }
            for (host::KeyAction a : actions) {
                if (capsOn && a.shift && a.kind == host::KeyAction::Kind::Character && a.character < 0x80 &&
                    std::isupper(int(a.character)))
                    a.character = char32_t(std::tolower(int(a.character)));
                e.lines << QString::fromStdString(host::DescribeAction(a));
                e.typed << (kind == QLatin1String("type"));
            }
        }
        return e;
    }

    // The stand-in's log once it holds every key expected (it may lag a
    // little behind the run), typed characters without their Shift.
    void expectKeyLog(const Expected &e)
    {
        waitFor([&] { return keyLog().size() >= e.lines.size(); });
        QStringList got = keyLog();
        for (int i = 0; i < got.size() && i < e.typed.size(); ++i)
            if (e.typed[i] && got[i].endsWith(QLatin1String(" +shift")))
                got[i].chop(7);
        EXPECT_EQ(text(got), text(e.lines));
    }

    // Shows a window as the user would have it before pressing a button: on
    // screen and, under a window manager, active. A window manager that
    // activated a new window only after the run had activated the host would
    // take the keys away from it.
    static void showSettled(QWidget &w)
    {
        w.show();
        if (g_windowManager)
            ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        else
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }

    // Presses a Run button and prints Korvin's processor time over the run's.
    void run(QPushButton *button, const char *what)
    {
        QElapsedTimer wall;
        const double cpu = cpuSeconds();
        wall.start();
        button->click();
        const double seconds = double(wall.nsecsElapsed()) / 1e9, used = cpuSeconds() - cpu;
        std::cout << "[ CPU      ] " << what << (g_windowManager ? " (openbox)" : " (no window manager)") << ": Korvin "
                  << used << " CPU s over " << seconds << " s wall (" << 100.0 * used / seconds << " %)" << std::endl;
    }

    // The demo day cut down to the races at list positions from..from+n-1.
    demodata::Day racesOfList(int from, int n) const
    {
        demodata::Day part = day;
        int position = 0;
        for (demodata::Course &course : part.courses) {
            QVector<demodata::Race> kept;
            for (const demodata::Race &race : course.races) {
                if (position >= from && position < from + n)
                    kept << race;
                ++position;
            }
            course.races = kept;
        }
        part.courses.erase(std::remove_if(part.courses.begin(), part.courses.end(),
                                          [](const demodata::Course &c) { return c.races.isEmpty(); }),
                           part.courses.end());
        return part;
    }

    void timeRankRun(int kind, int firstRace, bool capsOn);
    void commentRun();

    std::unique_ptr<QTemporaryDir> dir;
    QString home;
    common::SettingsRecord settings;
    demodata::Day day;
    std::unique_ptr<host::KeyBackend> keys; // Caps Lock, as the user would set it
    KeyCounter ownKeys;
    platform::ScopedRecordingDialogs dialogs;
    QProcess host;
    QString logPath;
};

// Three races from list position firstRace (from 0): the stand-in exports
// them, the split keeps exactly their top fives, and the race list shows them.
void KorvinWithStandIn::timeRankRun(int kind, int firstRace, bool capsOn)
{
    SCOPED_TRACE(kind);
    ASSERT_NO_FATAL_FAILURE(startHost(QStringLiteral("cards"), firstRace + 1));
    ASSERT_NO_FATAL_FAILURE(setCapsLock(capsOn));
    dialogs.clear();
    timerank::TimeRankFile.clear();
    host::ui::frmTimeRankText w;
    ASSERT_NO_FATAL_FAILURE(showSettled(w));
    w.OptionType(kind)->setChecked(true);
    const QStringList waits{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0")};
    for (int i = 0; i < 3; ++i)
        w.TextWait(i)->setText(waits[i]);
    w.TextRepeat()->setText(QStringLiteral("3"));
    run(w.cmdTimeRankText(2), "time-rank run of 3 races");

    const demodata::Day part = racesOfList(firstRace, 3);
    const QString file = settings.TimeRank + demodata::timeRankFileName(day, kind);
    EXPECT_EQ(text(dialogs.texts()), text({QStringLiteral("タイムランクファイルを書き込みました．（3 レース） ( ") +
                                           file + QStringLiteral(" )")}));
    EXPECT_EQ(timerank::TimeRankFile, file);
    EXPECT_EQ(platform::readLines(file).value_or(QStringList{}), demodata::timeRankLines(part, kind));
    EXPECT_EQ(capsLock(), capsOn);
    expectKeyLog(dryRunKeys({QStringLiteral("timerank"), QStringLiteral("--kind"), QString::number(kind),
                             QStringLiteral("--repeat"), QStringLiteral("3"), QStringLiteral("--waits"),
                             waits.join(QLatin1Char(','))},
                            capsOn));

    auto *list = qobject_cast<timerank::ui::frmRaceListTR *>(w.openedWindow());
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(part.courses.size(), 1); // the three races are of one course
    const demodata::Course &course = part.courses[0];
    EXPECT_EQ(list->LabelDate()->text(), demodata::dayLine(day, course));
    for (int r = 0; r < 12; ++r) {
        const auto race = std::find_if(course.races.begin(), course.races.end(),
                                       [r](const demodata::Race &x) { return x.number == r + 1; });
        EXPECT_EQ(list->cmdRace(r)->isEnabled(), race != course.races.end()) << r;
        if (race != course.races.end()) {
            EXPECT_TRUE(list->cmdRace(r)->text().startsWith(demodata::timeRankRaceLine(*race)))
                << list->cmdRace(r)->text().toStdString();
        }
    }
    list->close();
}

// The first two results: the lines appended are what Korvin's comment writer
// makes of the stand-in's two exports, one per runner of each race.
void KorvinWithStandIn::commentRun()
{
    ASSERT_NO_FATAL_FAILURE(startHost(QStringLiteral("results"), 1));
    ASSERT_NO_FATAL_FAILURE(setCapsLock(false));
    dialogs.clear();
    host::ui::frmCommentSet w;
    ASSERT_NO_FATAL_FAILURE(showSettled(w));
    const QStringList waits{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("0")};
    for (int i = 0; i < 3; ++i)
        w.TextWait(i)->setText(waits[i]);
    w.TextRepeat()->setText(QStringLiteral("2"));
    run(w.cmdCommentSet(1), "comment run of 2 races");

    const demodata::Course &course = day.courses[0];
    const QString file = settings.MData + QStringLiteral("MS00%1%2.dat").arg(course.meeting).arg(course.letter);
    // The reference: the same exports rewritten in a folder of their own.
    QTemporaryDir reference;
    const QString refFolder = reference.path() + QLatin1Char('/');
    int runners = 0;
    for (int r = 0; r < 2; ++r) {
        const demodata::Race &race = course.races[r];
        ASSERT_TRUE(
            platform::writeLines(refFolder + QStringLiteral("Comment.txt"), hostsim::commentLines(day, course, race)));
        ASSERT_TRUE(host::AppendResultComments(refFolder + QStringLiteral("Comment.txt"), refFolder, r + 1).appended());
        runners += race.runners.size();
    }
    EXPECT_EQ(text(dialogs.texts()),
              text({QStringLiteral("結果コメントを書き込みました．\n%1 : 2 レース %2 行").arg(file).arg(runners)}));
    EXPECT_TRUE(capsLock()) << "Caps Lock was off before the run";
    expectKeyLog(dryRunKeys({QStringLiteral("comments"), QStringLiteral("--repeat"), QStringLiteral("2"),
                             QStringLiteral("--waits"), waits.join(QLatin1Char(','))},
                            false));
    // The stand-in's last export is still there.
    EXPECT_EQ(platform::readLines(settings.MData + QStringLiteral("Comment.txt")).value_or(QStringList{}),
              hostsim::commentLines(day, course, course.races[1]));
    const QStringList written = platform::readLines(file).value_or(QStringList{});
    EXPECT_EQ(written, platform::readLines(refFolder + QFileInfo(file).fileName()).value_or(QStringList{}));
    ASSERT_EQ(written.size(), runners);
    for (int i = 0; i < written.size(); ++i) {
        const demodata::Race &race = course.races[i < course.races[0].runners.size() ? 0 : 1];
        EXPECT_TRUE(written[i].startsWith(demodata::raceKey(day, course, race))) << written[i].toStdString();
    }
}

TEST_F(KorvinWithStandIn, RunsAgainstTheStandInAndSendsNothingWithoutIt)
{
    // No stand-in: the run stops at the activation and no key goes anywhere.
    {
        host::ui::frmTimeRankText w;
        ASSERT_NO_FATAL_FAILURE(showSettled(w));
        w.TextRepeat()->setText(QStringLiteral("3"));
        w.cmdTimeRankText(2)->click();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].kind, platform::MessageKind::Critical);
        EXPECT_TRUE(dialogs.shown[0].text.startsWith(QStringLiteral(
            "「Vantor frontier」のウィンドウをアクティブにできないため，実行を中止しました．キーは送信しません．")))
            << dialogs.shown[0].text.toStdString();
        EXPECT_EQ(ownKeys.presses, 0);
        EXPECT_EQ(w.openedWindow(), nullptr);
        EXPECT_TRUE(timerank::TimeRankFile.isEmpty());
    }
    // Caps Lock off: the "F" answers arrive as "F". The comment run turns Caps
    // Lock on; the next export types its path and answers with it on.
    ASSERT_NO_FATAL_FAILURE(timeRankRun(0, 0, false));
    ASSERT_NO_FATAL_FAILURE(commentRun());
    ASSERT_NO_FATAL_FAILURE(timeRankRun(3, 3, true));
    EXPECT_EQ(ownKeys.presses, 0);
}

// Starts openbox and waits until it manages the screen.
pid_t startWindowManager()
{
    pid_t pid = 0;
    char name[] = "openbox";
    char *argv[] = {name, nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&pid, name, &quiet, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0)
        return 0;
    for (int i = 0; i < 600; ++i) {
        FILE *p = popen("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null", "r");
        char buf[256] = {};
        const bool up = p && fgets(buf, sizeof buf, p) && std::strstr(buf, "window id");
        if (p)
            pclose(p);
        if (up)
            return pid;
        usleep(100000);
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    pid_t wm = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--openbox") == 0) {
            wm = startWindowManager();
            if (!wm) {
                std::cerr << "openbox did not start\n";
                return 1;
            }
            g_windowManager = true;
        }
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
