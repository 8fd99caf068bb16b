// The stand-in host without a window: keys in, screens and exports out.
#include "delayedexports.h"
#include "hostexports.h"
#include "hostmodel.h"
#include "keylog.h"
#include "hostsimtest.h"
#include "play.h"

#include "demofiles.h"
#include "hostday.h"
#include "common/helpers.h"
#include "host/resultcomments.h"
#include "host/script.h"
#include "host/timeranksplit.h"
#include "platform/textfile.h"
#include "support/testutil.h"
#include "timerank/timerankfile.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::hostsim;
using namespace korvin::hostsim::test;
using common::Mid;
using demodata::Surface;

namespace {

QStringList data(const char *name)
{
    return platform::readLines(QStringLiteral(KORVIN_HOSTSIM_DATA "/") + QString::fromLatin1(name))
        .value_or(QStringList{});
}

// One course: race 1 a newcomer race with every kind of result line, race 2 a
// dirt race of three runners with past races.
demodata::Day tinyDay()
{
    demodata::Day day;
    QString error;
    EXPECT_TRUE(demodata::readHostDay(data("tinyday.txt"), day, &error)) << error.toStdString();
    return day;
}

// Presses every key; the log lines of those the host did not expect.
QStringList pressAll(HostModel &host, const Keys &keys)
{
    QStringList unexpected;
    for (const KeyAction &k : keys)
        if (!host.press(k))
            unexpected << describeKey(k);
    return unexpected;
}

const QString kRankPath = QStringLiteral("/host/TimeRank/TimeRank.txt");
const QString kCommentPath = QStringLiteral("/host/MData/Comment.txt");

} // namespace

TEST(HostKeys, QtKeyPressesBecomeKeyLogLines)
{
    const Qt::KeyboardModifiers none, shift(Qt::ShiftModifier), ctrl(Qt::ControlModifier);
    struct Row {
        int key;
        Qt::KeyboardModifiers mods;
        QString text;
        QString line; // empty: a modifier alone, not logged
        bool action;
        qint64 ms = 0; // the key-log line when it arrived at ms, expected or not
        bool expected = true;
        QString logged = {};
    };
    const Row rows[] = {
        {Qt::Key_Return, none, QStringLiteral("\r"), QStringLiteral("key ENTER"), true, 0, true,
         QStringLiteral("0 key ENTER")},
        {Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"), QStringLiteral("key ENTER"), true, 7, false,
         QStringLiteral("7 key ENTER unexpected")},
        {Qt::Key_F8, none, {}, QStringLiteral("key F8"), true, 86400123, true, QStringLiteral("86400123 key F8")},
        {Qt::Key_F12, none, {}, QStringLiteral("key F12"), true},
        {Qt::Key_PageDown, none, {}, QStringLiteral("key PGDN"), true},
        {Qt::Key_Insert, none, {}, QStringLiteral("key INSERT"), true},
        {Qt::Key_Up, none, {}, QStringLiteral("key UP"), true},
        {Qt::Key_Tab, none, QStringLiteral("\t"), QStringLiteral("key TAB"), true},
        {Qt::Key_Backtab, shift, {}, QStringLiteral("key TAB +shift"), true},
        {Qt::Key_F, shift, QStringLiteral("F"), QStringLiteral("char F +shift"), true, 5120, true,
         QStringLiteral("5120 char F +shift")},
        {Qt::Key_F, shift, QStringLiteral("f"), QStringLiteral("char f +shift"), true, 5121, false,
         QStringLiteral("5121 char f +shift unexpected")},
        {Qt::Key_Space, none, QStringLiteral(" "), QStringLiteral("char U+0020"), true, 40, true,
         QStringLiteral("40 char U+0020")},
        {Qt::Key_Slash, none, QStringLiteral("/"), QStringLiteral("char /"), true},
        {Qt::Key_A, ctrl, QStringLiteral("\x01"), QStringLiteral("char a +ctrl"), true},
        {Qt::Key_F6, Qt::AltModifier, {}, QStringLiteral("key F6 +alt"), true},
        {0x30C0, none, QStringLiteral("ダ"), QStringLiteral("char ダ"), true},
        {Qt::Key_Print,
         none,
         {},
         QStringLiteral("key 0x01000009"),
         false,
         12,
         false,
         QStringLiteral("12 key 0x01000009 unexpected")},
        {Qt::Key_Shift, shift, {}, {}, false},
        {Qt::Key_Control, ctrl, {}, {}, false},
    };
    for (const Row &r : rows) {
        const ReceivedKey k = fromQtKey(r.key, r.mods, r.text);
        EXPECT_EQ(k.modifierOnly, r.line.isEmpty()) << r.line.toStdString();
        EXPECT_EQ(k.line, r.line);
        EXPECT_EQ(k.action.has_value(), r.action) << r.line.toStdString();
        if (!r.logged.isEmpty()) {
            EXPECT_EQ(keyLogLine(r.ms, k.line, r.expected), r.logged);
        }
    }
}

TEST(HostScreens, KeysThatMeanNothingHereChangeNothingAndAreReported)
{
    const KeyAction enter = key(NamedKey::Enter), f6 = key(NamedKey::F6), f7 = key(NamedKey::F7),
                    f8 = key(NamedKey::F8), f12 = key(NamedKey::F12), pgdn = key(NamedKey::PageDown),
                    ins = key(NamedKey::Insert), esc = key(NamedKey::Escape), space = ch(U' ');
    struct Row {
        const char *what;
        ListMode list;
        int race;
        Keys before;
        KeyAction key;
        bool expected;
        Screen screen;
        Prompt prompt;
    };
    const Keys toView{enter, f6, ins, f7};
    const Row rows[] = {
        {"F8 on the race list", ListMode::Cards, 0, {}, f8, false, Screen::RaceList, Prompt::None},
        {"Enter opens the race card", ListMode::Cards, 0, {}, enter, true, Screen::RaceCard, Prompt::None},
        {"Enter opens the result", ListMode::Results, 0, {}, enter, true, Screen::ResultView, Prompt::None},
        {"Space on a race card", ListMode::Cards, 0, {enter}, space, false, Screen::RaceCard, Prompt::None},
        {"PgDn on the list's last race", ListMode::Cards, 1, {}, pgdn, false, Screen::RaceList, Prompt::None},
        {"first PgDn at the last race stays", ListMode::Cards, 1, {enter}, pgdn, true, Screen::RaceCard, Prompt::None},
        {"second PgDn at the last race",
         ListMode::Cards,
         1,
         {enter, pgdn},
         pgdn,
         false,
         Screen::RaceCard,
         Prompt::None},
        {"second PgDn at the last result",
         ListMode::Results,
         1,
         {enter, space, pgdn},
         pgdn,
         false,
         Screen::ResultView,
         Prompt::None},
        {"PgDn at the last race after other keys",
         ListMode::Cards,
         1,
         {enter, pgdn, f6, f12},
         pgdn,
         true,
         Screen::RaceCard,
         Prompt::None},
        {"PgDn after a race that was not the last",
         ListMode::Cards,
         0,
         {enter, pgdn},
         pgdn,
         true,
         Screen::RaceCard,
         Prompt::None},
        {"Esc on a race card", ListMode::Cards, 0, {enter}, esc, false, Screen::RaceCard, Prompt::None},
        // Caps Lock is the keyboard's state: pressed around an "F" under the user's lock.
        {"Caps Lock at the output form",
         ListMode::Cards,
         0,
         {enter, f6, ins, f7, f8},
         key(NamedKey::CapsLock),
         true,
         Screen::RankView,
         Prompt::Format},
        {"Esc on a result", ListMode::Results, 0, {enter}, esc, false, Screen::ResultView, Prompt::None},
        {"F on a race card", ListMode::Cards, 0, {enter}, ch(U'F'), false, Screen::RaceCard, Prompt::None},
        {"F on a result", ListMode::Results, 0, {enter, space}, ch(U'F'), false, Screen::ResultView, Prompt::None},
        {"Insert on a race card", ListMode::Cards, 0, {enter}, ins, false, Screen::RaceCard, Prompt::None},
        {"F7 before the kinds", ListMode::Cards, 0, {enter, f6}, f7, false, Screen::RankMenu, Prompt::None},
        {"Enter on a ranking", ListMode::Cards, 0, toView, enter, false, Screen::RankView, Prompt::None},
        {"Esc on a ranking", ListMode::Cards, 0, toView, esc, false, Screen::RankView, Prompt::None},
        {"Esc on the kinds", ListMode::Cards, 0, {enter, f6, ins}, esc, false, Screen::KindSelect, Prompt::None},
        {"a path typed on a ranking", ListMode::Cards, 0, toView, ch(U'/'), false, Screen::RankView, Prompt::None},
        {"F12 leaves a ranking", ListMode::Cards, 0, toView, f12, true, Screen::RaceCard, Prompt::None},
        {"F8 asks for the form", ListMode::Cards, 0, toView, f8, true, Screen::RankView, Prompt::Format},
        {"P is no form", ListMode::Cards, 0, toView + Keys{f8}, ch(U'P'), false, Screen::RankView, Prompt::Format},
        {"f is no form", ListMode::Cards, 0, toView + Keys{f8}, ch(U'f'), false, Screen::RankView, Prompt::Format},
        {"F is the form", ListMode::Cards, 0, toView + Keys{f8}, ch(U'F'), true, Screen::RankView, Prompt::Path},
        {"Esc cancels the form", ListMode::Cards, 0, toView + Keys{f8}, esc, true, Screen::RankView, Prompt::None},
        {"Esc cancels the path", ListMode::Cards, 0, toView + Keys{f8, ch(U'F')}, esc, true, Screen::RankView,
         Prompt::None},
        {"PgDn inside the prompt", ListMode::Cards, 0, toView + Keys{f8, ch(U'F')}, pgdn, false, Screen::RankView,
         Prompt::Path},
        {"F8 on the result summary", ListMode::Results, 0, {enter}, f8, false, Screen::ResultView, Prompt::None},
        {"F8 on the detailed result", ListMode::Results, 0, {enter, space}, f8, true, Screen::ResultView, Prompt::Path},
        {"Enter with no path", ListMode::Results, 0, {enter, space, f8}, enter, true, Screen::ResultView, Prompt::Path},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        MemoryFiles files;
        HostModel host(tinyDay(), HostOptions{}, files);
        host.setListMode(r.list);
        host.setCursor(r.race);
        ASSERT_TRUE(pressAll(host, r.before).isEmpty());
        const int cursor = host.cursor();
        EXPECT_EQ(host.press(r.key), r.expected);
        EXPECT_EQ(host.screen(), r.screen);
        EXPECT_EQ(host.prompt(), r.prompt);
        EXPECT_EQ(host.cursor(), cursor);
        EXPECT_TRUE(files.files.isEmpty());
    }
}

TEST(HostExport, OneRaceGivesThirtySixSectionsInTheSplittersOrder)
{
    struct View {
        Surface surface;
        bool near;
    };
    // Six periods each: own surface, the other one, turf and dirt; then the
    // same at all distances, which kinds 1 and 3 never switch to.
    const View views[] = {{Surface::Own, true},  {Surface::Other, true},  {Surface::Both, true},
                          {Surface::Own, false}, {Surface::Other, false}, {Surface::Both, false}};
    const demodata::Day day = tinyDay();
    const demodata::Race &race = day.courses[0].races[1];
    for (int kind = 0; kind < timerank::kKinds; ++kind) {
        SCOPED_TRACE(kind);
        MemoryFiles files;
        HostModel host(day, HostOptions{QStringLiteral("2.05"), {}, {}}, files);
        host.setCursor(1);
        EXPECT_TRUE(pressAll(host, timeRankRun(1, kind, true, kRankPath)).isEmpty());
        EXPECT_EQ(host.screen(), Screen::RaceList);
        const QList<QStringList> sections = sectionsOf(files.files.value(kRankPath));
        ASSERT_EQ(sections.size(), 36);
        for (int s = 0; s < 36; ++s) {
            const View v = views[s / 6];
            const bool near = v.near || !demodata::switchesToAllDistances(kind);
            const QStringList &sec = sections[s];
            EXPECT_EQ(sec[0], sections[0][0]);
            EXPECT_EQ(sec[4], demodata::timeRankTitleLine(race, kind, v.surface, near, s % 6)) << s;
            EXPECT_EQ(Mid(sec[4], timerank::KindTitleColumn(kind), 3) == QStringLiteral("芝・ダ"),
                      v.surface == Surface::Both);
            EXPECT_EQ(sec.size() - 10, demodata::rankingView(day, race, kind, v.surface, near, s % 6).size()) << s;
            EXPECT_EQ(sec.back(), QStringLiteral("対象3頭中 3頭"));
        }
        if (kind == 0) { // the file's first line starts with the date, month and day blank-padded
            EXPECT_EQ(sections[0] + sections[12], data("rank_sections.txt"));
        }
    }
}

TEST(HostExport, ARunTypesThePathOnceAndAppendsEveryRace)
{
    struct Row {
        const char *version;
        bool asksForm;
    };
    for (const Row &r :
         {Row{"2.04", false}, Row{"2.05", true}, Row{"2.1", true}, Row{"10.0", true}, Row{"v2", false}}) {
        SCOPED_TRACE(r.version);
        EXPECT_EQ(AsksForOutputForm(QString::fromLatin1(r.version)), r.asksForm);
        MemoryFiles files;
        // The path offered is an old one: the typed path replaces it.
        HostModel host(tinyDay(), HostOptions{QString::fromLatin1(r.version), QStringLiteral("/old/TimeRank.txt"), {}},
                       files);
        EXPECT_TRUE(pressAll(host, timeRankRun(2, 2, r.asksForm, kRankPath)).isEmpty());
        ASSERT_EQ(files.files.keys(), QStringList{kRankPath});
        const QList<QStringList> sections = sectionsOf(files.files[kRankPath]);
        ASSERT_EQ(sections.size(), 72);
        EXPECT_EQ(host.exportsWritten(), 72);
        EXPECT_TRUE(sections[35][1].startsWith(QStringLiteral("１Ｒ")));
        EXPECT_TRUE(sections[36][1].startsWith(QStringLiteral("２Ｒ")));
    }
    // Sent to an older host, the "F" answer is typed into the path instead.
    MemoryFiles files;
    HostModel host(tinyDay(), HostOptions{QStringLiteral("2.04"), {}, {}}, files);
    pressAll(host, timeRankRun(1, 0, true, kRankPath));
    EXPECT_TRUE(files.files.contains(QStringLiteral("F") + kRankPath));

    // A path that never arrived: the dialog opened empty, its Enter writes
    // nothing, and the run's next keys find the dialog still open.
    MemoryFiles dropped;
    HostModel first(tinyDay(), HostOptions{QStringLiteral("2.05"), {}, {}}, dropped);
    const Keys firstRace = timeRankRun(1, 0, true, QString());
    EXPECT_TRUE(pressAll(first, firstRace.mid(0, 7)).isEmpty()); // up to F8 F Enter
    EXPECT_TRUE(dropped.files.isEmpty());
    EXPECT_EQ(first.prompt(), Prompt::Path);
    EXPECT_EQ(first.message(), QStringLiteral("出力ファイル名を入力して下さい．"));
    EXPECT_EQ(pressAll(first, firstRace.mid(7, 2)), (QStringList{QStringLiteral("key F3"), QStringLiteral("key F8")}));
}

TEST(HostExport, ResultRunWritesEachRaceAsTheCommentLayout)
{
    MemoryFiles files;
    HostModel host(tinyDay(), HostOptions{{}, {}, QStringLiteral("/old/Comment.txt")}, files);
    host.setListMode(ListMode::Results);
    EXPECT_TRUE(pressAll(host, commentOpening() + commentRace(0, kCommentPath)).isEmpty());
    EXPECT_EQ(files.files.value(kCommentPath), data("comment.txt"));
    EXPECT_EQ(host.prompt(), Prompt::None);

    // Korvin deletes the export before the next race; the path is not typed
    // again: the host offers the last one, selected.
    files.files.clear();
    EXPECT_TRUE(pressAll(host, {key(NamedKey::PageDown), key(NamedKey::F8)}).isEmpty());
    EXPECT_EQ(host.pathText(), kCommentPath);
    EXPECT_TRUE(host.pathSelected());
    EXPECT_TRUE(pressAll(host, {key(NamedKey::Enter), key(NamedKey::Enter)}).isEmpty());
    const QStringList second = files.files.value(kCommentPath);
    ASSERT_EQ(second.size(), 7 + 3);
    EXPECT_TRUE(second[2].startsWith(QStringLiteral("２Ｒ")));
    EXPECT_TRUE(second[3].endsWith(QStringLiteral(" 3頭立")));

    // Left in place, the export is replaced only after a question, which takes
    // one Enter more: the run's next key then finds the host still asking.
    EXPECT_TRUE(pressAll(host, commentRace(1, kCommentPath)).isEmpty());
    EXPECT_EQ(host.prompt(), Prompt::Done);
    EXPECT_EQ(pressAll(host, {key(NamedKey::F12)}), QStringList{QStringLiteral("key F12")});

    // A path that cannot be written is shown, and Enter closes the message.
    MemoryFiles refusing;
    HostModel failing(tinyDay(), HostOptions{}, refusing);
    failing.setListMode(ListMode::Results);
    EXPECT_TRUE(
        pressAll(failing, commentOpening() + commentRace(0, QStringLiteral("/readonly/Comment.txt"))).isEmpty());
    EXPECT_EQ(failing.prompt(), Prompt::None);
    EXPECT_TRUE(failing.message().contains(QStringLiteral("書き込めません")));
    EXPECT_EQ(failing.exportsWritten(), 0);
}

// The slow exports: each written late, half of it first, never ahead of the
// export asked for before it; meanwhile the host takes the pending file for
// an existing one, so the run's keys are those of a run without the delay.
TEST(HostExport, SlowExportsArriveLateInTwoPiecesAndInOrder)
{
    struct Row {
        const char *what;
        ListMode list;
        Keys keys;
        QString path;
        QStringList before; // the file before the run; "/readonly/" refuses the write
        int firstPiece;     // lines there a second after the keys
    };
    const QString readOnly = QStringLiteral("/readonly/Comment.txt");
    const Keys comment = commentOpening() + commentRace(0, kCommentPath);
    const Row rows[] = {
        // 36 sections asked for at once: a second later only the first half of the first.
        {"ranking run", ListMode::Cards, timeRankRun(1, 1, true, kRankPath), kRankPath, {}, 0},
        // A result replaces the old file with its first half (the tiny day's first race: 7 + 12 lines).
        {"result over an old file",
         ListMode::Results,
         comment + Keys{key(NamedKey::Enter)},
         kCommentPath,
         {QStringLiteral("old")},
         10},
        {"result that cannot be written",
         ListMode::Results,
         commentOpening() + commentRace(0, readOnly),
         readOnly,
         {},
         0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        MemoryFiles direct, disk;
        if (!r.before.isEmpty())
            direct.files[r.path] = disk.files[r.path] = r.before;
        qint64 now = 5000;
        DelayedExports late(disk, 1000, [&now] { return now; });
        HostModel fast(tinyDay(), HostOptions{}, direct), slow(tinyDay(), HostOptions{}, late);
        for (HostModel *h : {&fast, &slow}) {
            h->setListMode(r.list);
            EXPECT_TRUE(pressAll(*h, r.keys).isEmpty());
        }
        EXPECT_TRUE(late.exists(r.path));
        EXPECT_FALSE(late.exists(r.path + QStringLiteral(".bak")));
        EXPECT_EQ(late.nextDue(), 6000);
        now = 5999;
        EXPECT_TRUE(late.writeDue().isEmpty());
        EXPECT_EQ(disk.files.value(r.path), r.before);
        now = 6000;
        const QStringList errors = late.writeDue();
        const bool refused = r.path.startsWith(QLatin1String("/readonly/"));
        EXPECT_EQ(errors, refused ? QStringList{r.path + QStringLiteral(": read-only")} : QStringList{});
        if (refused) {
            EXPECT_EQ(late.nextDue(), -1); // nor is the rest of it written
            EXPECT_FALSE(late.exists(r.path));
            continue;
        }
        EXPECT_EQ(slow.exportsWritten(), fast.exportsWritten());
        const QStringList whole = direct.files.value(r.path);
        if (r.firstPiece > 0) {
            EXPECT_EQ(disk.files.value(r.path), whole.mid(0, r.firstPiece));
        } else {
            const QStringList section = sectionsOf(whole).front();
            EXPECT_EQ(disk.files.value(r.path), section.mid(0, (section.size() + 1) / 2));
        }
        EXPECT_EQ(late.nextDue(), 6500);
        now = 6500;
        EXPECT_TRUE(late.writeDue().isEmpty());
        EXPECT_EQ(late.nextDue(), -1);
        EXPECT_EQ(disk.files.value(r.path), whole);
    }
}

// A demo day's course exported by the stand-in, kind by kind, and cut by
// Korvin's splitter: exactly the time-rank files the generator writes.
TEST(HostExport, DemoDayExportSplitsIntoTheDemoDaysTimeRankFiles)
{
    demodata::Day day = demodata::makeDay(1, QDate(2000, 6, 10));
    day.courses.resize(1); // twelve races: turf, dirt and jump
    korvin::test::ScratchHome home;
    const QString folder = home.makeFolder(QStringLiteral("TimeRank"));
    const QString exportPath = folder + QStringLiteral("TimeRank.txt");
    for (int kind = 0; kind < timerank::kKinds; ++kind) {
        SCOPED_TRACE(kind);
        MemoryFiles files;
        HostModel host(day, HostOptions{QStringLiteral("2.05"), {}, {}}, files);
        ASSERT_TRUE(pressAll(host, timeRankRun(host.raceCount(), kind, true, exportPath)).isEmpty());
        ASSERT_TRUE(platform::writeLines(exportPath, files.files.value(exportPath)));
        const host::SplitResult split = host::SplitTimeRankText(exportPath, folder, kind);
        EXPECT_EQ(split.path, folder + demodata::timeRankFileName(day, kind));
        EXPECT_EQ(split.races, host.raceCount());
        const QStringList written = platform::readLines(split.path).value_or(QStringList{});
        const QStringList wanted = demodata::timeRankLines(day, kind);
        EXPECT_EQ(written.size(), wanted.size());
        for (int i = 0; i < std::min(written.size(), wanted.size()); ++i)
            ASSERT_EQ(written[i], wanted[i]) << "line " << i + 1;
    }
}

// Every race's result export of the demo day, and what Korvin's comment writer
// makes of it. Each runner line keeps the columns the writer cuts at:
// character 28 a blank, "d" or a full-width character (then 29 is a blank),
// and one of the endings the writer turns into its end tag. Per runner the
// writer gives the race key, the horse, the kind "1", the name, no time or
// popularity, and the fourth-corner position as the end tag at the column the
// reader expects.
TEST(HostExport, DemoDayResultsRewriteIntoTheMeetingsCommentFiles)
{
    const demodata::Day day = demodata::makeDay(1, QDate(2000, 6, 10));
    const QList<QPair<QString, QRegularExpression>> endings{
        {QStringLiteral("=digit◆"), QRegularExpression(QStringLiteral("=\\d◆$"))},
        {QStringLiteral("digits◆"), QRegularExpression(QStringLiteral("\\d\\d◆$"))},
        {QStringLiteral("◆digit"), QRegularExpression(QStringLiteral("=◆\\d$"))},
        {QStringLiteral("◆digits"), QRegularExpression(QStringLiteral("=◆\\d\\d$"))},
        {QStringLiteral("= digit"), QRegularExpression(QStringLiteral("= \\d$"))}};
    QSet<QString> seen;
    int longest = 0;
    korvin::test::ScratchHome home;
    const QString mdata = home.makeFolder(QStringLiteral("MData"));
    const QString exportPath = mdata + QStringLiteral("Comment.txt");
    QMap<QString, int> expectedLines;
    for (const demodata::Course &course : day.courses) {
        for (const demodata::Race &race : course.races) {
            const QString key = demodata::raceKey(day, course, race);
            SCOPED_TRACE(key.toStdString());
            const QStringList exported = commentLines(day, course, race);
            const int m = Mid(exported[3].right(4), 1, 2).trimmed().toInt();
            ASSERT_EQ(m, race.runners.size());
            ASSERT_EQ(exported.size(), 7 + m);
            for (int i = 7; i < exported.size(); ++i) {
                const QString &l = exported[i];
                const QChar c = l.at(27);
                if (c == QLatin1Char(' ') || c == QLatin1Char('d')) {
                    seen << QString(c);
                } else {
                    ASSERT_GE(c.unicode(), 0x80) << l.toStdString();
                    EXPECT_EQ(l.at(28), QLatin1Char(' ')) << l.toStdString();
                    seen << QStringLiteral("wide");
                }
                int forms = 0;
                for (const auto &[name, re] : endings)
                    if (re.match(l).hasMatch()) {
                        seen << name;
                        ++forms;
                    }
                EXPECT_EQ(forms, 1) << l.toStdString();
                longest = std::max(longest, int(l.size()));
            }
            ASSERT_TRUE(platform::writeLines(exportPath, exported));
            const host::CommentAppend c = host::AppendResultComments(exportPath, mdata, 1);
            ASSERT_TRUE(c.appended()) << (c.messages.empty() ? std::string() : c.messages[0].text.toStdString());
            EXPECT_EQ(c.path, mdata + QStringLiteral("MS00") + QString::number(course.meeting) + course.letter +
                                  QStringLiteral(".dat"));
            EXPECT_EQ(c.raceKey, key);
            ASSERT_EQ(c.lines, race.runners.size());
            expectedLines[c.path] += c.lines;
            const QStringList all = platform::readLines(c.path).value_or(QStringList{});
            ASSERT_EQ(all.size(), expectedLines[c.path]);
            for (int i = 0; i < c.lines; ++i) {
                const QString &line = all[all.size() - c.lines + i];
                const int number = exported[7 + i].left(2).trimmed().toInt();
                const auto runner = std::find_if(race.runners.begin(), race.runners.end(),
                                                 [number](const demodata::Runner &r) { return r.number == number; });
                ASSERT_NE(runner, race.runners.end());
                const QString tag = QString::number(runner->corner);
                // One column less for a margin in half-width characters or a
                // dead heat, one less again for a runner that finished.
                const bool halfWidthMargin = std::all_of(runner->margin.begin(), runner->margin.end(),
                                                         [](QChar ch) { return ch.unicode() < 0x80; });
                const int adjust = int(runner->deadHeat || halfWidthMargin) + int(runner->result > 0);
                EXPECT_EQ(line.left(11),
                          key + QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')) + QLatin1Char('1'))
                    << line.toStdString();
                EXPECT_EQ(line.mid(12, 9), runner->name.leftJustified(9, QChar(0x3000))) << line.toStdString();
                EXPECT_TRUE(line.endsWith(tag)) << line.toStdString();
                EXPECT_EQ(line.size() - tag.size(), std::max(68 - adjust, int(line.trimmed().size() - tag.size())))
                    << line.toStdString();
                EXPECT_FALSE(line.contains(QLatin1Char(':'))) << line.toStdString();
            }
        }
    }
    EXPECT_EQ(expectedLines.size(), day.courses.size());
    EXPECT_EQ(seen.size(), 3 + int(endings.size())) << QStringList(seen.values()).join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(longest, 70); // a beaten-off runner's graph fills the line
}

// Korvin's dry run of a run, played into the stand-in without a window: the
// keys of the run exactly, the stale export deleted first as Korvin does.
TEST(HostPlay, KorvinsDryRunPlaysAsTheRunsKeys)
{
    korvin::test::ScratchHome home;
    common::SettingsRecord settings;
    settings.Vantor_Ver = QStringLiteral("2.05");
    settings.TimeRank = home.makeFolder(QStringLiteral("TimeRank"));
    settings.MData = home.makeFolder(QStringLiteral("MData"));
    const host::RunNumbers numbers{{0, 1, 0}, 2};
    platform::Messages messages;
    struct Row {
        const char *what;
        std::optional<host::Script> script;
        ListMode list;
        std::function<Keys(const QString &path)> keys;
        int exports;
    };
    const Row rows[] = {
        {"time-rank run", host::BuildExportScript(numbers, 2, settings, messages), ListMode::Cards,
         [](const QString &path) { return timeRankRun(2, 2, true, path); }, 72},
        {"comment run", host::BuildCommentScript(numbers, settings, messages), ListMode::Results,
         [](const QString &path) {
             return commentOpening() + commentRace(0, path) + Keys{key(NamedKey::PageDown)} + commentRace(1, path) +
                    Keys{key(NamedKey::F12)};
         },
         2},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        ASSERT_TRUE(r.script.has_value());
        const QString path = r.script->exportPath;
        MemoryFiles files;
        files.files[path] = QStringList{QStringLiteral("stale")};
        HostModel host(tinyDay(), HostOptions{}, files);
        host.setListMode(r.list);
        // Operations the stand-in does not know are passed over.
        QStringList dryRun = host::DryRun(*r.script);
        dryRun.insert(dryRun.size() - 1, QStringLiteral("[\"check-export\",1]"));
        dryRun.insert(1, QStringLiteral("[\"focus-guard\"]"));
        const PlayResult played = PlayDryRun(host, dryRun, [&files](const QString &p) { files.files.remove(p); });
        EXPECT_TRUE(played.error.isEmpty()) << played.error.toStdString();
        EXPECT_TRUE(played.unexpected.isEmpty()) << played.unexpected.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(played.keys, r.keys(path).size());
        EXPECT_EQ(host.exportsWritten(), r.exports);
        EXPECT_NE(files.files.value(path).value(0), QStringLiteral("stale"));
    }
    MemoryFiles files;
    HostModel host(tinyDay(), HostOptions{}, files);
    EXPECT_FALSE(PlayDryRun(host, {QStringLiteral("[\"keys\",\"{F8}\"]"), QStringLiteral("{F8}")}, {}).error.isEmpty());
}
