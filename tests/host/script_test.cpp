#include "host/recordingbackend.h"
#include "host/runner.h"
#include "host/script.h"
#include "platform/textfile.h"
#include "support/hostexport.h"
#include "support/testutil.h"

#include <QCoreApplication>
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
    return arg.isNull() ? QStringLiteral("[\"%1\"]").arg(QLatin1String(name))
                        : QStringLiteral("[\"%1\",\"%2\"]").arg(QLatin1String(name), arg);
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

    void SetUp() override
    {
        home.writeDefaultSettings();
        settings.TimeRank = home.makeFolder(QStringLiteral("TimeRank"));
        settings.MData = home.makeFolder(QStringLiteral("MData"));
        settings.Vantor_Ver = QStringLiteral("2.05");
    }
    static RunNumbers numbers(int races) { return {{2, 1, 3}, races}; }
    int count(const QString &l) const { return int(rec->log.count(l)); }
};

TEST_F(HostRun, ExportScriptPerRaceCountAndVersion)
{
    const QString path = settings.TimeRank + QStringLiteral("TimeRank.txt");
    const QString typed = op("type", path);
    for (const char *version : {"2.04", "2.05", "2.1", "10.0"}) {
        for (int n : {0, 1, 3}) {
            SCOPED_TRACE(std::string(version) + " N=" + std::to_string(n));
            settings.Vantor_Ver = QString::fromLatin1(version);
            rec->log.clear();
            platform::Messages m;
            const auto script = BuildExportScript(numbers(n), 2, settings, m);
            ASSERT_TRUE(script);
            const RunResult r = RunScript(*script, backend);
            // The recording is the list, operation for operation.
            EXPECT_EQ(rec->log, DryRun(*script));
            EXPECT_EQ(count(keys("{F8}")), 36 * n);
            EXPECT_EQ(count(keys("F")), QLatin1String(version) == QLatin1String("2.04") ? 0 : 36 * n);
            EXPECT_EQ(count(keys("{PGDN}")), qMax(0, n - 1));
            EXPECT_EQ(count(keys("{F6 2}")), n);
            EXPECT_EQ(count(keys("{TAB 3}")), n);
            EXPECT_EQ(count(typed), n > 0 ? 1 : 0);
            EXPECT_EQ(count(wait(3)), n); // Wait3 after each {F6}
            // Opening and closing, whatever N.
            const QStringList head = rec->log.mid(0, 5);
            EXPECT_EQ(head, (QStringList{op("delete", path), kActivateHost, wait(2), keys("{Enter}"), wait(1)}));
            EXPECT_EQ(rec->log.mid(rec->log.size() - 3), (QStringList{keys("{F12}"), wait(1), op("split")}));
            EXPECT_FALSE(r.completed); // nothing exported: the split has no file
        }
    }
    // Race 2 begins where race 1 left: {PGDN}, Wait2, {F6}, Wait3; after {F7} and
    // the export keys the file name is not asked again.
    rec->log.clear();
    platform::Messages m;
    RunScript(*BuildExportScript(numbers(2), 1, settings, m), backend);
    const qsizetype pgdn = rec->log.indexOf(keys("{PGDN}"));
    EXPECT_EQ(rec->log.mid(pgdn, 10),
              (QStringList{keys("{PGDN}"), wait(1), keys("{F6}"), wait(3), keys("{INSERT}"), keys("{F6}"), keys("{F7}"),
                           keys("{F8}"), keys("F"), keys("{Enter}")}));
    EXPECT_EQ(count(keys("{TAB 3}")), 0); // kind 1 has no tab or up keys
    EXPECT_EQ(count(keys("{UP}")), 0);

    settings.Vantor_Ver = QStringLiteral("v2.05");
    m.clear();
    EXPECT_FALSE(BuildExportScript(numbers(1), 0, settings, m));
    EXPECT_EQ(m[0].text, QStringLiteral("Vantor_Ver の先頭4文字が数値ではありません． ( v2.05 )"));
}

TEST_F(HostRun, CommentScriptAppendsEachRaceAndSwitchesCapsLockOnOnlyWhenOff)
{
    const QString exportPath = settings.MData + QStringLiteral("Comment.txt");
    // The host writes the race under its cursor when {F8} arrives.
    int race = 0;
    rec->onLogged = [&](const QString &l) {
        if (l == keys("{F8}")) {
            test::CommentExportPlan p;
            p.raceLine = QStringLiteral("%1Ｒ 未勝利").arg(++race);
            p.runners = {test::commentRunner(1, QChar(u' '), QStringLiteral("=5◆"))};
            platform::writeLines(exportPath, test::commentExport(p));
        }
    };
    for (int n : {0, 1, 3}) {
        for (bool capsOn : {false, true}) {
            SCOPED_TRACE(n * 10 + capsOn);
            rec->log.clear();
            rec->capsLock = capsOn;
            rec->capsLockSets = 0;
            platform::Messages m;
            const auto script = BuildCommentScript(numbers(n), settings, m);
            ASSERT_TRUE(script);
            const RunResult r = RunScript(*script, backend);
            EXPECT_TRUE(r.completed);
            EXPECT_EQ(rec->log, DryRun(*script));
            EXPECT_EQ(int(r.comments.size()), n);
            EXPECT_EQ(count(op("delete", exportPath)), n);
            EXPECT_EQ(count(op("type", exportPath)), n > 0 ? 1 : 0);
            EXPECT_EQ(count(op("append-comments")), n);
            EXPECT_EQ(count(keys("{PGDN}")), qMax(0, n - 1));
            EXPECT_TRUE(rec->capsLock);
            EXPECT_EQ(rec->capsLockSets, capsOn ? 0 : 1);
            if (n == 0) {
                EXPECT_EQ(rec->log,
                          (QStringList{kActivateHost, wait(2), keys("{Enter}"), wait(1), keys(" "), keys("{F12}"),
                                       wait(1), op("capslock-on-if-off"), op("activate", "Korvin")}));
            }
        }
    }
    const QStringList lines = *platform::readLines(settings.MData + QStringLiteral("MS003東.dat"));
    ASSERT_EQ(lines.size(), 8); // one runner in each of 2 x (0 + 1 + 3) races
    EXPECT_EQ(lines[7].left(10), QStringLiteral("0500340801"));
}

TEST_F(HostRun, NoKeyReachesAnotherWindow)
{
    platform::Messages m;
    // No host window: the run stops at the activation.
    rec->windows = {QStringLiteral("Vantor"), QStringLiteral("Terminal")};
    RunResult r = RunScript(*BuildExportScript(numbers(3), 0, settings, m), backend);
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(rec->sends, 0);
    EXPECT_EQ(rec->log.last(), kActivateHost);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].kind, platform::MessageKind::Critical);
    EXPECT_TRUE(r.messages[0].text.startsWith(
        QStringLiteral("「Vantor frontier」のウィンドウをアクティブにできないため，実行を中止しました．")));

    // A title that begins with the text will do; the program's own window not
    // being found at the very end stops nothing.
    rec->windows = {QStringLiteral("Vantor frontier - 2000年")};
    rec->log.clear();
    r = RunScript(*BuildCommentScript(numbers(0), settings, m), backend);
    EXPECT_TRUE(r.completed);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(rec->sends, 3);
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

TEST(WaitSeconds, NoneOrNegativeProcessesNothing)
{
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    WaitSeconds(0);
    WaitSeconds(-3);
    EXPECT_FALSE(ran);
    WaitSeconds(1);
    EXPECT_TRUE(ran);
}

} // namespace
