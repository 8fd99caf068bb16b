#include "host/recordingbackend.h"
#include "host/runner.h"
#include "host/script.h"
#include "platform/textfile.h"
#include "support/hostexport.h"
#include "support/testutil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::host;

namespace {

// Operations of a run as the recording logs them.
QString keys(const QString &k) { return QStringLiteral("[\"keys\",\"%1\"]").arg(k); }
QString wait(int s) { return QStringLiteral("[\"wait\",%1]").arg(s); }
QString op(const char *name, const QString &arg = QString())
{
    return arg.isNull()
               ? QStringLiteral("[\"%1\"]").arg(QLatin1String(name))
               : QStringLiteral("[\"%1\",\"%2\"]")
                     .arg(QLatin1String(name), QString(arg).replace(QLatin1Char('\\'), QStringLiteral("\\\\")));
}
const QString kActivateHost = QStringLiteral("[\"activate\",\"Vantor frontier\"]");

TEST(RunBoxes, WaitsRoundDownRepeatsRoundHalfToEven)
{
    // The text, as a wait box, as the repeat box.
    const std::tuple<const char *, std::optional<int>, std::optional<int>> cases[] = {
        {"2.7", 2, 3},
        {"-0.5", -1, 0},
        {"2.5", 2, 2},
        {"3.5", 3, 4},
        {"0.5", 0, 0},
        {"-2.5", -3, -2},
        {" 3 ", 3, 3},
        {"1e1", 10, 10},
        {"32767", 32767, 32767},
        {"32767.5", 32767, std::nullopt},
        {"-32768.5", std::nullopt, -32768},
        {"32768", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"abc", std::nullopt, std::nullopt},
        {"1,5", std::nullopt, std::nullopt},
    };
    for (const auto &[text, wait, repeat] : cases) {
        const auto w = WaitBoxValue(QString::fromUtf8(text));
        const auto r = RepeatBoxValue(QString::fromUtf8(text));
        EXPECT_EQ(w ? std::optional<int>(*w) : std::nullopt, wait) << text;
        EXPECT_EQ(r ? std::optional<int>(*r) : std::nullopt, repeat) << text;
    }
    platform::Messages m;
    EXPECT_FALSE(
        ConvertRunBoxes({{QStringLiteral("1"), QStringLiteral("2x"), QStringLiteral("1")}, QStringLiteral("1")}, m));
    ASSERT_EQ(m.size(), 1u);
    EXPECT_EQ(m[0].text, QStringLiteral("Wait2 の値が -32768～32767 の数値ではありません． ( 2x )"));
    m.clear();
    EXPECT_FALSE(
        ConvertRunBoxes({{QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")}, QStringLiteral("")}, m));
    EXPECT_TRUE(m[0].text.startsWith(QStringLiteral("Repeat ")));
}

class HostRun : public ::testing::Test {
protected:
    test::ScratchHome home;
    common::SettingsRecord settings;
    std::shared_ptr<Recording> rec = std::make_shared<Recording>();
    RecordingBackend backend{rec};
    RunOptions fast; // exports are whole when written: no settling time
    QString rankExport, commentExport;

    void SetUp() override
    {
        home.writeDefaultSettings();
        settings.TimeRank = home.makeFolder(QStringLiteral("TimeRank"));
        settings.MData = home.makeFolder(QStringLiteral("MData"));
        settings.Vantor_Ver = QStringLiteral("2.05");
        rankExport = settings.TimeRank + QStringLiteral("TimeRank.txt");
        commentExport = settings.MData + QStringLiteral("Comment.txt");
        fast.exportQuietMs = 0;
        ResetOwnKeyboardState();
    }
    void TearDown() override { ResetOwnKeyboardState(); }
    static RunNumbers numbers(int races) { return {{2, 1, 3}, races}; }
    int count(const QString &l) const { return int(rec->log.count(l)); }

    // The host as the scripts expect it: the races of the day from `first`
    // (1-based), each exported when the run asks for it; at the day's last
    // race (lastRace) PgDn leaves the cursor where it is.
    void playHost(int first = 1, int lastRace = 12)
    {
        rec->onLogged = [this, race = first, lastRace, comments = false](const QString &l) mutable {
            if (l == keys("{PGDN}"))
                race = qMin(race + 1, lastRace);
            if (l.startsWith(QStringLiteral("[\"delete\"")))
                comments = l == op("delete", commentExport);
            if (l.startsWith(QStringLiteral("[\"check-export\""))) {
                test::ExportRacePlan p;
                p.raceLabel = QStringLiteral("%1Ｒ").arg(race, 2, 10, QLatin1Char('0'));
                platform::appendLines(rankExport, test::exportRace(p));
            }
            if (l == keys("{F8}") && comments) {
                test::CommentExportPlan p;
                p.raceLine = QStringLiteral("%1Ｒ 未勝利").arg(race);
                p.runners = {test::commentRunner(1, QChar(u' '), QStringLiteral("=5◆"))};
                platform::writeLines(commentExport, test::commentExport(p));
            }
        };
    }
};

TEST_F(HostRun, ExportScriptPerRaceCountAndVersion)
{
    const QString typed = op("type", rankExport);
    for (const char *version : {"2.04", "2.05", "2.1", "10.0"}) {
        for (int n : {1, 3}) {
            SCOPED_TRACE(std::string(version) + " N=" + std::to_string(n));
            settings.Vantor_Ver = QString::fromLatin1(version);
            rec->log.clear();
            playHost();
            platform::Messages m;
            const auto script = BuildExportScript(numbers(n), 2, settings, m);
            ASSERT_TRUE(script);
            const RunResult r = RunScript(*script, backend, fast);
            // The recording is the list, operation for operation.
            EXPECT_EQ(rec->log, DryRun(*script));
            EXPECT_TRUE(r.completed);
            EXPECT_EQ(r.split->races, n);
            EXPECT_EQ(count(keys("{F8}")), 36 * n);
            EXPECT_EQ(count(keys("F")), QLatin1String(version) == QLatin1String("2.04") ? 0 : 36 * n);
            EXPECT_EQ(count(keys("{PGDN}")), n - 1);
            EXPECT_EQ(count(keys("{F6 2}")), n);
            EXPECT_EQ(count(keys("{TAB 3}")), n);
            EXPECT_EQ(count(typed), 1);
            EXPECT_EQ(count(wait(3)), n); // Wait3 after each {F6}
            // Opening and closing; each race checked after its last {F12}.
            const QStringList head = rec->log.mid(0, 5);
            EXPECT_EQ(head, (QStringList{op("delete", rankExport), kActivateHost, wait(2), keys("{Enter}"), wait(1)}));
            EXPECT_EQ(rec->log.mid(rec->log.size() - 5),
                      (QStringList{keys("{F12}"), QStringLiteral("[\"check-export\",%1]").arg(n), keys("{F12}"),
                                   wait(1), op("split")}));
        }
    }
    // Race 2 begins where race 1 left: {PGDN}, Wait2, {F6}, Wait3; after {F7} and
    // the export keys the file name is not asked again.
    rec->log.clear();
    platform::Messages m;
    RunScript(*BuildExportScript(numbers(2), 1, settings, m), backend, fast);
    const qsizetype pgdn = rec->log.indexOf(keys("{PGDN}"));
    EXPECT_EQ(rec->log.mid(pgdn, 10),
              (QStringList{keys("{PGDN}"), wait(1), keys("{F6}"), wait(3), keys("{INSERT}"), keys("{F6}"), keys("{F7}"),
                           keys("{F8}"), keys("F"), keys("{Enter}")}));
    EXPECT_EQ(count(keys("{TAB 3}")), 0); // kind 1 has no tab or up keys
    EXPECT_EQ(count(keys("{UP}")), 0);

    // Settings and boxes that cannot drive a run send nothing.
    const struct {
        const char *version;
        RunBoxes boxes;
        const char *message;
    } refused[] = {
        {"v2.05", {{"1", "1", "1"}, "1"}, "Vantor_Ver の先頭4文字が数値ではありません． ( v2.05 )"},
        {"2.05", {{"1", "1", "1"}, "0"}, "Repeat の値が 1 以上ではありません．レースの数を入れて下さい． ( 0 )"},
        {"2.05", {{"1", "1", "1"}, "-1"}, "Repeat の値が 1 以上ではありません．レースの数を入れて下さい． ( -1 )"},
    };
    for (const auto &row : refused) {
        settings.Vantor_Ver = QString::fromLatin1(row.version);
        m.clear();
        const auto n = ConvertRunBoxes(row.boxes, m);
        EXPECT_FALSE(n && BuildExportScript(*n, 0, settings, m));
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].text, QString::fromUtf8(row.message));
    }
}

TEST_F(HostRun, CommentScriptAppendsEachRaceAndNeverSwitchesTheDesktopsCapsLock)
{
    for (int n : {1, 3}) {
        for (bool capsOn : {false, true}) {
            SCOPED_TRACE(n * 10 + capsOn);
            rec->log.clear();
            playHost();
            rec->capsLock = capsOn;
            ResetOwnKeyboardState();
            platform::Messages m;
            const auto script = BuildCommentScript(numbers(n), settings, m);
            ASSERT_TRUE(script);
            const RunResult r = RunScript(*script, backend, fast);
            EXPECT_TRUE(r.completed);
            EXPECT_EQ(rec->log, DryRun(*script));
            EXPECT_EQ(int(r.comments.size()), n);
            EXPECT_EQ(count(op("delete", commentExport)), n);
            EXPECT_EQ(count(op("type", commentExport)), 1);
            EXPECT_EQ(count(op("append-comments")), n);
            EXPECT_EQ(count(keys("{PGDN}")), n - 1);
            // SetCapsLock is Korvin's own state: the desktop keeps the user's.
            EXPECT_EQ(rec->capsLock, capsOn);
            EXPECT_EQ(GetCapsLock(backend), 1);
            EXPECT_EQ(rec->log.mid(rec->log.size() - 4),
                      (QStringList{keys("{F12}"), wait(1), op("capslock-on-if-off"), op("activate", "Korvin")}));
        }
    }
    const QStringList lines = *platform::readLines(settings.MData + QStringLiteral("MS003東.dat"));
    ASSERT_EQ(lines.size(), 8); // one runner in each of 2 x (1 + 3) races
    EXPECT_EQ(lines[7].left(10), QStringLiteral("0500340301"));
}

// Runs past the day's last race: the race the host stays on is written once,
// and no second PgDn goes out at the last race.
TEST_F(HostRun, ARunPastTheLastRaceEndsThere)
{
    for (bool timeRank : {true, false}) {
        SCOPED_TRACE(timeRank ? "time-rank" : "comments");
        rec->log.clear();
        QFile::remove(rankExport);
        QFile::remove(settings.MData + QStringLiteral("MS003東.dat"));
        playHost(11, 12);
        platform::Messages m;
        const auto script =
            timeRank ? BuildExportScript(numbers(4), 0, settings, m) : BuildCommentScript(numbers(4), settings, m);
        const RunResult r = RunScript(*script, backend, fast);
        EXPECT_TRUE(r.completed);
        EXPECT_TRUE(r.reachedLastRace);
        EXPECT_EQ(r.racesDone, 2);
        EXPECT_EQ(count(keys("{PGDN}")), 2); // 11 -> 12, then 12 stays
        EXPECT_EQ(rec->log.mid(rec->log.size() - (timeRank ? 3 : 4), 2), (QStringList{keys("{F12}"), wait(1)}));
        if (timeRank) {
            EXPECT_EQ(r.split->races, 2);
            EXPECT_TRUE(SplitDoneMessage(*r.split).startsWith(
                QStringLiteral("タイムランクファイルを書き込みました．（2 レース，最終レースまで） ( ")));
        } else {
            EXPECT_EQ(r.comments.size(), 2u);
            EXPECT_EQ(platform::readLines(settings.MData + QStringLiteral("MS003東.dat"))->size(), 2);
        }
    }
}

TEST_F(HostRun, NoKeyReachesAnotherWindow)
{
    platform::Messages m;
    // No host window: the run stops at the activation.
    rec->windows = {QStringLiteral("Vantor"), QStringLiteral("Terminal")};
    RunResult r = RunScript(*BuildExportScript(numbers(3), 0, settings, m), backend, fast);
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(rec->sends, 0);
    EXPECT_EQ(rec->log.last(), kActivateHost);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].kind, platform::MessageKind::Critical);
    EXPECT_TRUE(r.messages[0].text.startsWith(
        QStringLiteral("「Vantor frontier」のウィンドウをアクティブにできないため，実行を中止しました．")));
    rec->windows = {QStringLiteral("Vantor frontier - 2000年")};

    // The focus leaves the host, the host closes, or the user stops the run,
    // before the n-th key: no key after it, what was finished is kept.
    const int keysPerRace = [&] {
        rec->keys = 0;
        playHost();
        RunScript(*BuildExportScript(numbers(1), 0, settings, m), backend, fast);
        return rec->keys;
    }();
    // Comment keys: Enter, Space, then F8, the path, Enter, Enter, PgDn in race 1.
    const int commentRace3 = int(commentExport.size()) + 12;
    const struct {
        bool timeRank;
        FocusCheck found;
        int atKey;
        const char *message;
        int kept;
    } rows[] = {
        {true, FocusCheck::Lost, 2, "「Vantor frontier」のフォーカスが外れたため，レース 1 / 3 の途中で", 0},
        {true, FocusCheck::Lost, keysPerRace + 10, "「Vantor frontier」のフォーカスが外れたため，レース 2 / 3 の途中で",
         1},
        {true, FocusCheck::Closed, keysPerRace * 2 + 3, "「Vantor frontier」が閉じられたため，レース 3 / 3 の途中で",
         2},
        {true, FocusCheck::Held, keysPerRace + 1, "中止の指示により，レース 2 / 3 の途中で", 1},
        {false, FocusCheck::Lost, 5, "「Vantor frontier」のフォーカスが外れたため，レース 1 / 3 の途中で", 0},
        {false, FocusCheck::Closed, commentRace3, "「Vantor frontier」が閉じられたため，レース 3 / 3 の途中で", 2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.message) + std::to_string(row.atKey));
        QFile::remove(rankExport);
        QFile::remove(settings.MData + QStringLiteral("MS003東.dat"));
        rec->keys = 0;
        playHost();
        const bool stop = row.found == FocusCheck::Held;
        rec->focus = [&] { return !stop && rec->keys + 1 >= row.atKey ? row.found : FocusCheck::Held; };
        RunOptions options = fast;
        options.stopRequested = [&] { return stop && rec->keys + 1 >= row.atKey; };
        const auto script =
            row.timeRank ? BuildExportScript(numbers(3), 0, settings, m) : BuildCommentScript(numbers(3), settings, m);
        r = RunScript(*script, backend, options);
        rec->focus = nullptr;
        EXPECT_FALSE(r.completed);
        EXPECT_EQ(r.interrupted, stop                            ? KeyFault::Stopped
                                 : row.found == FocusCheck::Lost ? KeyFault::FocusLost
                                                                 : KeyFault::WindowClosed);
        EXPECT_EQ(rec->keys, row.atKey - 1);
        ASSERT_FALSE(r.messages.empty());
        EXPECT_EQ(r.messages[0].kind, platform::MessageKind::Critical);
        EXPECT_TRUE(r.messages[0].text.startsWith(QString::fromUtf8(row.message))) << r.messages[0].text.toStdString();
        if (row.timeRank) {
            EXPECT_EQ(r.split ? r.split->races : 0, row.kept);
            EXPECT_EQ(r.messages[0].text.contains(QStringLiteral("タイムランクファイルは書き込んでいません")),
                      row.kept == 0);
        } else {
            EXPECT_EQ(int(r.comments.size()), row.kept);
            EXPECT_EQ(
                platform::readLines(settings.MData + QStringLiteral("MS003東.dat")).value_or(QStringList{}).size(),
                row.kept);
        }
    }

    // The program's own window is brought back directly, never looked up by a
    // title that another window may begin with.
    rec->log.clear();
    rec->keys = 0;
    playHost();
    RunOptions own = fast;
    int raised = 0;
    own.activateOwnWindow = [&] { ++raised; };
    r = RunScript(*BuildCommentScript(numbers(1), settings, m), backend, own);
    EXPECT_TRUE(r.completed);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(rec->log.count(op("activate", "Korvin")), 0);
}

// The rule every backend picks a window by (titles listed topmost first).
TEST(WindowTitle, ExactTitleThenPrefixTopmostFirst)
{
    const std::vector<std::string> titles{"Vantor frontier - 2000年", "Vantor frontier", "Vantor frontier"};
    const struct {
        const char *title;
        int picked;
    } rows[] = {{"Vantor frontier", 1}, {"Vantor", 0}, {"Vantor frontier - 2000年", 0}, {"vantor", -1}, {"", -1}};
    for (const auto &row : rows)
        EXPECT_EQ(PickWindowTitle(titles, row.title), row.picked) << row.title;
    EXPECT_EQ(NoWindowError(""), "ウィンドウのタイトルが指定されていません");
}

TEST(WaitSeconds, NoneOrNegativeProcessesNothingAndAStopEndsIt)
{
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    EXPECT_TRUE(WaitSeconds(0));
    EXPECT_TRUE(WaitSeconds(-3));
    EXPECT_FALSE(ran);
    EXPECT_TRUE(WaitSeconds(1));
    EXPECT_TRUE(ran);
    QElapsedTimer t;
    t.start();
    bool stop = false;
    QTimer::singleShot(100, [&] { stop = true; });
    EXPECT_FALSE(WaitSeconds(5, [&] { return stop; }));
    EXPECT_LT(t.elapsed(), 4000);
}

} // namespace
