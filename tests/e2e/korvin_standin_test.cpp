// Korvin's keystroke windows against the stand-in host through the real X11
// backend, under xvfb-run; "--openbox" starts a window manager before the
// first window. Besides the run every platform makes (standin.h), everything
// a user does wrong during a run is tried: another window taking the focus,
// the host closing, a double-click on Run, a second run, the stop button, a
// run past the day's last race.
#include "standin.h"

#include "app/ui/navigation.h"
#include "predict/returns.h"
#include "host/keynotation.h"

#include <QTimer>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

QString windowId(const QString &title)
{
    QProcess search;
    search.start("xdotool", {"search", "--onlyvisible", "--name", title});
    search.waitForFinished();
    return QString::fromUtf8(search.readAllStandardOutput()).section('\n', 0, 0).trimmed();
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
        host::ui::frmTimeRankText w(nullptr, selection);
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
        host::ui::frmTimeRankText w(nullptr, selection);
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
        host::ui::frmTimeRankText w(nullptr, selection);
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
        host::ui::frmTimeRankText w(nullptr, selection);
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
        predict::VerifyTotals verification;
        app::ui::ConnectWindows(verification);
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
