// Korvin's two keystroke windows against the stand-in host on Windows, through
// the Win32 backend: the buttons are pressed in this program, the keys go
// through SendInput to korvin-hostsim.exe (another Windows program) on a
// freshly generated demo day. Runs under Wine on Xvfb (./dev windows) or on
// Windows.
//
// The stand-in's key log is compared key for key with the dry run of the same
// boxes (korvin-cli script): each key string expanded by the notation parser
// and compared fully ("char F +shift"); with Caps Lock on, a letter pressed
// with Shift still arrives in upper case, Caps Lock switched off around it and
// on again (two "key CAPSLOCK" in the log). Each typed text is compared by its
// characters only, since the backend chooses Shift per character from the
// keyboard layout and the Caps Lock state so that the text arrives as written.
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
#include "host/win32/win32backend.h"
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
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <iostream>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

using namespace korvin;

namespace {

// Lines as one text: a failure shows the lines that differ.
std::string text(const QStringList &lines) { return lines.join('\n').toStdString(); }

double cpuSeconds()
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto seconds = [](const FILETIME &t) { return double((quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
}

bool hostWindowShown()
{
    const HWND w = FindWindowW(nullptr, L"Vantor frontier");
    return w && IsWindowVisible(w);
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

class KorvinWithStandIn : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Capitals, digits and "_" in the path: typed with and without Shift.
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/KorvinE2E_XXXXXX");
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
        keys = host::win32::CreateWin32Backend();
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
        logPath = home + QString("keys-%1-%2.log").arg(list).arg(race);
        host.setProcessChannelMode(QProcess::ForwardedChannels);
        host.start(KORVIN_HOSTSIM_BIN,
                   {"--home", home, "--list", list, "--race", QString::number(race), "--log", logPath});
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
    // The user's Caps Lock key, pressed before the stand-in starts so that
    // its key log holds only what the run sends.
    void setCapsLock(bool on)
    {
        if (capsLock() == on)
            return;
        INPUT tap[2] = {};
        for (int i = 0; i < 2; ++i) {
            tap[i].type = INPUT_KEYBOARD;
            tap[i].ki.wVk = VK_CAPITAL;
            tap[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
        }
        ASSERT_EQ(SendInput(2, tap, sizeof(INPUT)), 2u);
        ASSERT_TRUE(test::waitFor([&] {
            QTest::qWait(10);
            return capsLock() == on;
        })) << "Caps Lock did not switch";
    }

    // A script window as the user has it before pressing "Run": its boxes
    // filled, on screen and, under a window manager, active (a window manager
    // that activated it only after the run had activated the host would take
    // the keys away from the host).
    static void prepare(host::ui::ScriptWindow &w, const QString &repeat)
    {
        for (int i = 0; i < 3; ++i)
            w.TextWait(i)->setText(kWaits[i]);
        w.TextRepeat()->setText(repeat);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    static inline const QStringList kWaits{"0", "1", "0"};

    // Presses a Run button and prints Korvin's processor time over the run's.
    static void run(QPushButton *button, const char *what)
    {
        QElapsedTimer wall;
        const double cpu = cpuSeconds();
        wall.start();
        button->click();
        const double seconds = double(wall.nsecsElapsed()) / 1e9, used = cpuSeconds() - cpu;
        std::cout << "[ CPU      ] " << what << " (Windows)"
                  << ": Korvin " << used << " CPU s over " << seconds << " s wall (" << 100.0 * used / seconds << " %)"
                  << std::endl;
    }

    // The stand-in's key log equals what the dry run of these boxes sends.
    void expectKeyLog(const QStringList &scriptArgs, bool capsOn)
    {
        const test::CliRun run =
            test::runCli(QStringList{"script"} + scriptArgs + QStringList{"--waits", kWaits.join(',')}, home);
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        QStringList expected;
        QVector<bool> typed;
        for (const QString &line : run.out.split('\n', Qt::SkipEmptyParts)) {
            const QJsonArray op = QJsonDocument::fromJson(line.toUtf8()).array();
            const std::string text = op.at(1).toString().toStdString();
            std::vector<host::KeyAction> actions;
            if (op.at(0) == "keys")
                actions = host::ParseKeyString(text).actions;
            else if (op.at(0) == "type")
                host::TextActions(text, actions);
            for (const host::KeyAction &a : actions) {
                const bool capsAround = capsOn && op.at(0) == "keys" && a.kind == host::KeyAction::Kind::Character &&
                                        a.shift && !a.ctrl && !a.alt && a.character < 0x80 &&
                                        std::isupper(int(a.character));
                if (capsAround) {
                    expected << "key CAPSLOCK";
                    typed << false;
                }
                expected << QString::fromStdString(host::DescribeAction(a));
                typed << (op.at(0) == "type");
                if (capsAround) {
                    expected << "key CAPSLOCK";
                    typed << false;
                }
            }
        }
        // The stand-in may lag a little behind the run.
        // Its lines: the time in milliseconds, then the key; CR LF on Windows.
        auto log = [this] {
            QFile f(logPath);
            QStringList keys;
            if (f.open(QIODevice::ReadOnly))
                for (QString line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)) {
                    if (line.endsWith('\r'))
                        line.chop(1);
                    keys << line.section(' ', 1);
                }
            return keys;
        };
        test::waitFor([&] { return log().size() >= expected.size(); });
        QStringList got = log();
        for (int i = 0; i < got.size() && i < typed.size(); ++i)
            if (typed[i] && got[i].endsWith(" +shift"))
                got[i].chop(7);
        EXPECT_EQ(text(got), text(expected));
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

// Three races of the first course from race firstRace + 1: the stand-in
// exports them, the split keeps exactly their top fives, the race list shows them.
void KorvinWithStandIn::timeRankRun(int kind, int firstRace, bool capsOn)
{
    SCOPED_TRACE(kind);
    stopHost();
    ASSERT_NO_FATAL_FAILURE(setCapsLock(capsOn));
    ASSERT_NO_FATAL_FAILURE(startHost("cards", firstRace + 1));
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
    EXPECT_EQ(capsLock(), capsOn);
    expectKeyLog({"timerank", "--kind", QString::number(kind), "--repeat", "3"}, capsOn);

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
void KorvinWithStandIn::commentRun()
{
    stopHost();
    ASSERT_NO_FATAL_FAILURE(setCapsLock(false));
    ASSERT_NO_FATAL_FAILURE(startHost("results", 1));
    dialogs.clear();
    host::ui::frmCommentSet w;
    ASSERT_NO_FATAL_FAILURE(prepare(w, "2"));
    run(w.cmdCommentSet(1), "comment run of 2 races");

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
    EXPECT_TRUE(capsLock()) << "Caps Lock was off before the run";
    expectKeyLog({"comments", "--repeat", "2"}, false);
    // The stand-in's last export is still there.
    EXPECT_EQ(platform::readLines(settings.MData + "Comment.txt").value_or(QStringList{}),
              hostsim::commentLines(day, course, course.races[1]));
    const QStringList written = platform::readLines(file).value_or(QStringList{});
    EXPECT_EQ(written, platform::readLines(refFolder + file.section('/', -1)).value_or(QStringList{}));
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
    // Caps Lock off: the "F" answers arrive as "F". The comment run turns Caps
    // Lock on; the next export types its path and answers with it on, and the
    // answers still arrive as "F".
    ASSERT_NO_FATAL_FAILURE(timeRankRun(0, 0, false));
    ASSERT_NO_FATAL_FAILURE(commentRun());
    ASSERT_NO_FATAL_FAILURE(timeRankRun(3, 3, true));
    EXPECT_EQ(ownKeys.presses, 0);
}

} // namespace

int main(int argc, char **argv)
{
    int rc = 0;
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app::ui::ConnectWindows();
    host::SetBackendFactory([] { return host::win32::CreateWin32Backend(); });
    ::testing::InitGoogleTest(&argc, argv);
    rc = RUN_ALL_TESTS();
    host::SetBackendFactory(nullptr);
    return rc;
}
