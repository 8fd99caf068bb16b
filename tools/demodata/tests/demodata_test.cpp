// The demo day read back: every file the generator writes is read the way
// Korvin reads it, and must give the values of the day model.
#include "demofiles.h"
#include "hostday.h"

#include "platform/dialogs.h"
#include "platform/safefile.h"
#include "platform/sjis.h"
#include "predict/trpara.h"
#include "predict/zorb.h"
#include "racecard/csvfields.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"
#include "platform/textfile.h"
#include "racing/codetables.h"
#include "racing/horsemarks.h"
#include "racing/payouts.h"
#include "common/helpers.h"
#include "common/settings.h"
#include "support/testutil.h"
#include "timerank/analysis.h"
#include "timerank/racelisttr.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::demodata;
using common::Mid;

namespace {

const QDate kDate(2000, 6, 10);

QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

const auto snapshot = test::filesUnder;

QStringList linesOf(const QString &path) { return platform::readLines(path).value_or(QStringList{}); }

class DemoDay : public ::testing::Test {
protected:
    void SetUp() override
    {
        day = makeDay(1, kDate);
        const auto report = writeDemoHome(home.folder(), day, false);
        ASSERT_TRUE(report.error.isEmpty()) << report.error.toStdString();
        ASSERT_TRUE(common::LoadSettings().empty());
    }
    QString csvPath() const { return common::Settings.DenCSV + QStringLiteral("DC000610.csv"); }
    QString vtxPath() const { return common::Settings.VTX_Text + QStringLiteral("Dx000610.txt"); }
    QString trPath(int kind) const { return common::Settings.TimeRank + timeRankFileName(day, kind); }

    test::ScratchHome home;
    Day day;
};

// ---------------------------------------------------------------- determinism

TEST(DemoDayFiles, SameSeedGivesTheSameBytesAndAnotherSeedAnotherDay)
{
    QTemporaryDir a, b, c;
    ASSERT_TRUE(writeDemoHome(a.path(), makeDay(7, kDate), false).error.isEmpty());
    ASSERT_TRUE(writeDemoHome(b.path(), makeDay(7, kDate), false).error.isEmpty());
    ASSERT_TRUE(writeDemoHome(c.path(), makeDay(8, QDate(2001, 12, 2)), false).error.isEmpty());
    auto fa = snapshot(a.path());
    auto fb = snapshot(b.path());
    ASSERT_EQ(fa.keys(), fb.keys());
    EXPECT_EQ(fa.size(), 14); // ini, csv, vtx, 3 payout files, 6 time-rank files, trp, host day file
    for (const QString &name : fa.keys()) {
        QByteArray x = fa[name], y = fb[name];
        if (name == QLatin1String("Korvin.ini")) { // names its own folder
            x.replace(platform::toSjis(a.path()), "HOME");
            y.replace(platform::toSjis(b.path()), "HOME");
        }
        EXPECT_EQ(x, y) << name.toStdString();
    }
    // Another seed is another day; the date names the files.
    const auto fc = snapshot(c.path());
    EXPECT_NE(fa[QStringLiteral("DenCSV/DC000610.csv")], fc[QStringLiteral("DenCSV/DC011202.csv")]);
    for (const char *name : {"VTX/Dx011202.txt", "TimeRank/TRf20011202.txt"})
        EXPECT_TRUE(fc.contains(QString::fromLatin1(name))) << name;
}

// The generator draws every number from the raw engine output, so the default
// day is the same on every platform. A change of these digests means the day
// changed: update them only on purpose (the benchmarks and docs use this day).
TEST_F(DemoDay, TheDefaultDayIsTheRecordedOne)
{
    // The stand-in host's day file is digested on its own: it came later.
    QCryptographicHash all(QCryptographicHash::Sha256), host(QCryptographicHash::Sha256);
    const auto files = snapshot(home.folder());
    for (auto it = files.begin(); it != files.end(); ++it)
        if (it.key().startsWith(QLatin1String("Vantor/")))
            host.addData(it.value());
        else if (it.key() != QLatin1String("Korvin.ini"))
            all.addData(it.value());
    EXPECT_EQ(all.result().toHex().left(16), QByteArray("72024201abea53b4"));
    EXPECT_EQ(host.result().toHex().left(16), QByteArray("f06b850e71aabc1d"));
}

// ---------------------------------------------------------------- encodings

TEST_F(DemoDay, EveryTextFileIsCp932WithCrLf)
{
    const auto files = snapshot(home.folder());
    int checked = 0;
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QByteArray &bytes = it.value();
        SCOPED_TRACE(it.key().toStdString());
        ASSERT_FALSE(bytes.isEmpty());
        // Record files end each record with CR LF too.
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        // No bare CR or LF: every one of them is half of a CR LF.
        EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
        const QString text = platform::fromSjis(bytes);
        EXPECT_FALSE(text.contains(QChar(0xFFFD)));
        EXPECT_EQ(platform::toSjis(text), bytes); // round trip: nothing outside CP932
        ++checked;
    }
    EXPECT_EQ(checked, 14);
}

// ---------------------------------------------------------------- Korvin.ini

TEST_F(DemoDay, SettingsNameExistingFoldersEndingWithSlash)
{
    const auto &s = common::Settings;
    EXPECT_EQ(s.Vantor_Ver, QStringLiteral("2.05"));
    EXPECT_EQ(s.SDataON, QStringLiteral("1"));
    for (const QString &folder : {s.MData, s.SData, s.DenCSV, s.VTX_Text, s.TimeRank}) {
        EXPECT_TRUE(folder.endsWith(QLatin1Char('/'))) << folder.toStdString();
        EXPECT_TRUE(platform::folderExists(folder)) << folder.toStdString();
    }
    EXPECT_EQ(std::tuple(s.Wait1, s.Wait2, s.Wait3), std::tuple(2, 1, 1));
    // Nothing is written into the host's data folder: the mark files are Korvin's.
    EXPECT_TRUE(QDir(s.MData).entryList(QDir::Files).isEmpty());
}

// ---------------------------------------------------------------- the model

TEST(DemoDayModel, EverySeedAndDateHoldsTheStoriesTheWindowsShow)
{
    for (quint32 seed = 1; seed <= 60; ++seed) {
        const QDate date = QDate(1999, 1, 2).addDays(7 * int(seed));
        const Day day = makeDay(seed, date);
        SCOPED_TRACE(seed);
        ASSERT_EQ(day.courses.size(), 3);
        QMap<QString, int> stories;
        for (const Course &course : day.courses) {
            EXPECT_EQ(racing::PlaceCode(course.name, 2), course.code);
            EXPECT_GE(course.day, 1);
            EXPECT_LE(course.day, 8);
            ASSERT_EQ(course.races.size(), 12);
            for (const Race &race : course.races) {
                const int n = int(race.runners.size());
                ASSERT_GE(n, 5);
                ASSERT_LE(n, 18);
                EXPECT_NE(racing::ClassName(QString::number(race.classCode), 8), QString(8, QLatin1Char(' ')));
                stories[QStringLiteral("small")] += n <= 7;
                stories[QStringLiteral("full")] += n == 18;
                stories[QStringLiteral("jump")] += race.track == Jump;
                stories[QStringLiteral("win2")] += race.payouts.win.size() == 2;
                stories[QStringLiteral("place4")] += race.payouts.place.size() == 4;
                stories[QStringLiteral("place5")] += race.payouts.place.size() == 5;
                stories[QStringLiteral("quinella2")] += race.payouts.quinella.size() == 2;
                // Brackets: one horse each up to 8 runners; beyond, n / 8 each and
                // the extra horses in the highest brackets.
                QVector<int> perFrame(9, 0);
                for (int i = 0; i < n; ++i) {
                    const Runner &r = race.runners[i];
                    EXPECT_EQ(r.number, i + 1);
                    ASSERT_GE(r.frame, 1);
                    ASSERT_LE(r.frame, 8);
                    ++perFrame[r.frame];
                    if (i > 0) {
                        EXPECT_GE(r.frame, race.runners[i - 1].frame);
                    }
                    EXPECT_LE(r.name.size(), 9);
                    EXPECT_LE(r.past.size(), 7);
                    for (const PastRace &p : r.past)
                        ASSERT_LT(p.date, date);
                    EXPECT_EQ(r.oddsText().isEmpty(), r.abnormal == Scratched);
                    stories[QStringLiteral("abnormal") + QString::number(r.abnormal)] += 1;
                }
                for (int f = 1; f <= 8; ++f)
                    EXPECT_EQ(perFrame[f], n <= 8 ? (f <= n ? 1 : 0) : n / 8 + (f > 8 - n % 8 ? 1 : 0)) << n;
                // The race as run: in place order nobody is nearer the winner than
                // the one in front, a dead heat shares its place and has no margin;
                // corner positions and favourites are rankings without gaps.
                QVector<const Runner *> byPlace;
                QSet<int> corners, favourites;
                int cornered = 0, running = 0;
                for (const Runner &r : race.runners) {
                    if (r.result > 0)
                        byPlace << &r;
                    EXPECT_EQ(r.timeTenths > 0, r.result > 0);
                    cornered += r.corner > 0;
                    corners << r.corner;
                    running += r.abnormal != Scratched;
                    favourites << r.popularity;
                    stories[QStringLiteral("distance")] += r.margin == QStringLiteral("大差");
                    stories[QStringLiteral("deadHeat")] += r.deadHeat;
                }
                std::stable_sort(byPlace.begin(), byPlace.end(), [](auto a, auto b) { return a->result < b->result; });
                ASSERT_FALSE(byPlace.isEmpty());
                EXPECT_EQ(byPlace[0]->behindQuarters, 0);
                for (int k = 1; k < byPlace.size(); ++k) {
                    EXPECT_GE(byPlace[k]->behindQuarters, byPlace[k - 1]->behindQuarters);
                    EXPECT_EQ(byPlace[k]->deadHeat, byPlace[k]->result == byPlace[k - 1]->result);
                    EXPECT_EQ(byPlace[k]->margin.isEmpty(), byPlace[k]->deadHeat);
                }
                corners.remove(0);
                favourites.remove(0);
                EXPECT_EQ(corners.size(), cornered);
                EXPECT_EQ(*std::max_element(corners.begin(), corners.end()), cornered);
                EXPECT_EQ(favourites.size(), running);
                stories[QStringLiteral("corner10")] += cornered >= 10;
            }
        }
        for (const char *story : {"small", "full", "win2", "place4", "place5", "quinella2", "abnormal1", "abnormal4",
                                  "abnormal7", "distance", "deadHeat", "corner10"})
            EXPECT_GE(stories.value(QString::fromLatin1(story)), 1) << story;
        EXPECT_EQ(stories.value(QStringLiteral("jump")), 1);
    }
}

// ---------------------------------------------------------------- payouts

// The payout area must show exactly the race's payouts.
void expectPayouts(const racing::PayoutArea &area, const Payouts &p)
{
    ASSERT_TRUE(area.shown);
    auto expectBoxes = [](const auto &boxes, int count, const auto &entries, auto text) {
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(boxes[i].visible, i < entries.size()) << i;
            if (i < entries.size()) {
                EXPECT_EQ(boxes[i].text, text(entries[i]));
            }
        }
    };
    auto single = [](const PayoutEntry &e) { return two(e.first) + racing::PadNumber(e.yen, 8); };
    expectBoxes(area.Tan, 3, p.win, single);
    expectBoxes(area.Fuku, 5, p.place, single);
    expectBoxes(area.WakuRen, 3, p.bracket, [](const PayoutEntry &e) {
        return QStringLiteral("%1-%2").arg(e.first).arg(e.second) + racing::PadNumber(e.yen, 8);
    });
    expectBoxes(area.Uma, 3, p.quinella, [](const PayoutEntry &e) {
        return two(e.first) + QLatin1Char('-') + two(e.second) + racing::PadNumber(e.yen, 9);
    });
    EXPECT_EQ(area.placeRows, std::clamp(int(p.place.size()), 3, 5));
}

// The payout files hold every day of the meeting so far: earlier days are
// found, the day after is not.
TEST_F(DemoDay, PayoutsReadBackThroughThePayoutModule)
{
    int areas = 0;
    EXPECT_GT(day.courses[0].day, 1); // seed 1 lies late in its meeting
    for (const Course &course : day.courses) {
        const QString file = racing::PayoutFileName(common::Settings.SData, QStringLiteral("00"),
                                                    QString::number(course.meeting), course.name);
        ASSERT_TRUE(platform::fileExists(file)) << file.toStdString();
        EXPECT_EQ(test::readFile(file).size(), kPayoutRecordBytes * 12 * course.day);
        racing::PayoutArea earlier, later;
        racing::FillPayoutArea(earlier, file, QString::number(course.day - 1), QStringLiteral("01"));
        racing::FillPayoutArea(later, file, QString::number(course.day + 1), QStringLiteral("01"));
        EXPECT_EQ(earlier.shown, course.day > 1);
        EXPECT_FALSE(later.shown);
        for (const Race &race : course.races) {
            SCOPED_TRACE(raceKey(day, course, race).toStdString());
            racing::PayoutArea area;
            racing::FillPayoutArea(area, file, QString::number(course.day), two(race.number));
            expectPayouts(area, race.payouts);
            ++areas;
            const Payouts &p = race.payouts;
            // Places paid: three from eight starters on, two below.
            EXPECT_EQ(p.place.size() >= 3, race.starters() >= 8);
            // Brackets are not sold with eight runners or fewer.
            EXPECT_EQ(p.bracket.isEmpty(), race.runners.size() <= 8);
            // The winners and placed horses are the race's result.
            for (const PayoutEntry &e : p.win)
                EXPECT_EQ(race.runners[e.first - 1].result, 1);
            for (const PayoutEntry &e : p.place)
                EXPECT_LE(race.runners[e.first - 1].result, race.starters() >= 8 ? 3 : 2);
        }
    }
    EXPECT_EQ(areas, 36);
}

// ---------------------------------------------------------------- race card

// The race card's lines through the splitter (the comment quoted: commas and
// blanks kept), the race list's courses and races, and the data list each
// race button opens.
TEST_F(DemoDay, RaceCardGivesTheRaceListAndEveryRacesDataList)
{
    const racecard::RaceTableRead read = racecard::ReadRaceTable(csvPath());
    ASSERT_TRUE(read.opened);
    EXPECT_TRUE(read.racesLeftOut.isEmpty());
    EXPECT_TRUE(read.coursesLeftOut.isEmpty());
    EXPECT_TRUE(racecard::RaceCardLeftOutMessage(read).isEmpty());
    const racecard::RaceTable &t = read.table;
    ASSERT_EQ(t.courseCount, 3);
    ASSERT_EQ(t.raceCount, 36);
    const auto buttons = racecard::CourseButtons(t);
    const QStringList lines = linesOf(csvPath());
    racecard::CsvFields f;
    int j = 0, line = 0, quoted = 0, highlighted = 0, coloured = 0;
    QSet<int> endings;
    for (int c = 0; c < 3; ++c) {
        const Course &course = day.courses[c];
        EXPECT_EQ(t.CourseCodes[c], course.code);
        EXPECT_EQ(buttons[c].caption, course.name);
        EXPECT_TRUE(buttons[c].enabled);
        const racecard::RaceButtons races = racecard::RacesOfCourse(t, course.code);
        for (const Race &race : course.races) {
            SCOPED_TRACE(raceKey(day, course, race).toStdString());
            EXPECT_EQ(t.RaceKeys[j], raceKey(day, course, race));
            EXPECT_EQ(t.RaceClass[j], race.classCode);
            EXPECT_EQ(t.RaceDistance[j], race.distance);
            EXPECT_EQ(t.RaceTrack[j], race.track);
            EXPECT_EQ(t.RaceRunners[j], race.runners.size());
            const racecard::RaceButton &b = races[race.number - 1];
            EXPECT_TRUE(b.enabled);
            EXPECT_EQ(b.race.key, t.RaceKeys[j]);
            EXPECT_EQ(Mid(b.caption, 7, 2), course.name);
            EXPECT_EQ(Mid(b.caption, 13, 2), two(race.number));
            ++j;
            const racecard::DataListModel m = racecard::LoadDataList(
                {csvPath(), QStringLiteral("DC000610.csv"), b.race, b.caption, common::Settings});
            EXPECT_TRUE(m.messages.empty()) << m.messages.size();
            ASSERT_EQ(m.runnerCount, race.runners.size());
            EXPECT_TRUE(m.vtxFound);
            expectPayouts(m.payouts, race.payouts);
            EXPECT_EQ(m.marks, QString(36, QLatin1Char(' ')));
            for (int i = 0; i < m.runnerCount; ++i) {
                const Runner &r = race.runners[i];
                const racecard::DataRow &row = m.rows[i];
                // The registration number behind the last comma is not stored.
                ASSERT_EQ(racecard::SplitCsvLine(lines.value(line++), f), 51);
                EXPECT_EQ((QStringList{f[0], f[45], f[50]}),
                          (QStringList{b.race.key + two(r.number), r.name, r.comment}));
                quoted += r.comment.contains(QStringLiteral(", "));
                EXPECT_EQ(row[racecard::ColNo].text, two(r.number));
                EXPECT_EQ(row[racecard::ColWaku].text, QString::number(r.frame));
                EXPECT_EQ(row[racecard::ColResult].text, r.resultText());
                EXPECT_EQ(row[racecard::ColResult].visible, r.result != 0);
                EXPECT_EQ(row[racecard::ColOdds].text, r.oddsText());
                EXPECT_EQ(row[racecard::ColOdds].visible, r.oddsTenths >= 10);
                EXPECT_EQ(row[racecard::ColError].text, racing::AbnormalName(QString::number(r.abnormal)));
                EXPECT_DOUBLE_EQ(common::TextToDouble(row[racecard::ColZI].text), r.ziTenths / 10.0);
                EXPECT_EQ(row[racecard::ColInt].text, QString::number(r.interval));
                for (int k = 0; k < 7; ++k) {
                    const QString &cell = row.cells[racecard::ColTime1 + k].text;
                    if (k < r.past.size()) {
                        const PastRace &p = r.past[k];
                        const QString letter = p.track == Dirt   ? QStringLiteral("D")
                                               : p.track == Jump ? QStringLiteral("J")
                                                                 : QStringLiteral("T");
                        EXPECT_EQ(cell, letter + QString::number(p.figure));
                        coloured += row.cells[racecard::ColTime1 + k].colour != racecard::CellColour::Menu;
                    } else {
                        EXPECT_EQ(cell, QStringLiteral(" "));
                    }
                }
                EXPECT_EQ((QStringList{row[racecard::ColT1].text, row[racecard::ColT2].text, row[racecard::ColD1].text,
                                       row[racecard::ColD2].text, row[racecard::ColPace].text}),
                          vtxColumns(r));
                endings << r.vtxTail * 2 + r.blinkers;
                for (const auto &cell : row.cells)
                    highlighted += cell.tier == 1;
            }
            // Reading the marks creates the meeting's mark file, as the window does.
            EXPECT_TRUE(platform::fileExists(common::Settings.MData + racing::HorseMarkFileName(b.race.key)));
        }
    }
    EXPECT_EQ(line, lines.size());
    EXPECT_GT(quoted, 0);
    EXPECT_GT(highlighted, 36);
    EXPECT_GT(coloured, 0);       // some figures reach the coloured bands
    EXPECT_EQ(endings.size(), 4); // every ending of a VTX horse line occurs
}

// ---------------------------------------------------------------- VTX text

// The columns are the best figures of turf and dirt up to 1600 m and beyond;
// RaceCardGivesTheRaceListAndEveryRacesDataList reads them back through every ending.
TEST(DemoDayVtx, EveryEndingKeepsTheColumnsFromTheEnd)
{
    Runner r;
    r.bodyWeight = 480;
    r.pace = QStringLiteral("先");
    r.past = {{QDate(2000, 5, 1), QStringLiteral("05"), Turf, 1600, 92},
              {QDate(2000, 4, 1), QStringLiteral("05"), Dirt, 1800, 88}};
    EXPECT_EQ(vtxColumns(r), (QStringList{"  92", "    ", "    ", "  88", QStringLiteral("先")}));
    const QVector<std::tuple<bool, int, QString>> forms{{false, 0, QStringLiteral("480 ")},
                                                        {true, 0, QStringLiteral("480*")},
                                                        {false, 1, QStringLiteral("480  ")},
                                                        {false, 2, QStringLiteral("480 * ")}};
    for (const auto &[blinkers, tail, ending] : forms) {
        r.blinkers = blinkers;
        r.vtxTail = tail;
        EXPECT_TRUE(vtxHorseLine(r).endsWith(QStringLiteral("  88 先  ") + ending)) << vtxHorseLine(r).toStdString();
    }
}

// ---------------------------------------------------------------- time-rank files

// Every time-rank file through the race list and the analysis model.
TEST_F(DemoDay, TimeRankFilesReadBackThroughTheRaceListAndTheAnalysisModel)
{
    for (int kind = 0; kind < kRankKinds; ++kind) {
        SCOPED_TRACE(kind);
        const timerank::TRRaceList list = timerank::BuildRaceList(linesOf(trPath(kind)));
        EXPECT_TRUE(list.problems.isEmpty());
        ASSERT_EQ(list.courses.size(), 3);
        EXPECT_EQ(list.totalRaces(), 36);
        timerank::TimeRankAnalysis model;
        ASSERT_TRUE(model.open(trPath(kind), kind, common::Settings));
        EXPECT_TRUE(model.messages().empty());
        EXPECT_TRUE(model.problems().isEmpty());
        ASSERT_EQ(model.raceCount(), 36);
        int shortGroups = 0, fullGroups = 0;
        int r = 0;
        for (int c = 0; c < 3; ++c) {
            const Course &course = day.courses[c];
            EXPECT_EQ(list.courses[c].name, course.name);
            EXPECT_EQ(list.courses[c].dateLabel, dayLine(day, course));
            for (const Race &race : course.races) {
                SCOPED_TRACE(raceKey(day, course, race).toStdString());
                const QString caption = list.courses[c].captions[race.number - 1];
                EXPECT_EQ(racing::SjisLength(caption), 70) << caption.toStdString();
                EXPECT_EQ(racing::SjisMid(caption, 1, 30), timeRankRaceLine(race));
                EXPECT_EQ(timerank::RaceNameOf(timeRankNameLine(race)), race.title);
                // The name part ends with the tail without its final character.
                EXPECT_TRUE(caption.endsWith(platform::toHalfWidth(timeRankTail(race).chopped(1))))
                    << caption.toStdString();
                model.showRace(r++);
                const timerank::HeaderFields h = timerank::ParseHeader(model.header(0));
                EXPECT_EQ(h.course, course.name);
                EXPECT_EQ(h.year2, QStringLiteral("00"));
                EXPECT_EQ(h.meeting, QString::number(course.meeting));
                EXPECT_EQ(h.day, QString::number(course.day));
                EXPECT_EQ(h.race, race.number);
                EXPECT_EQ(racing::SjisLength(Mid(model.header(0), 33, 3).trimmed()), 4);
                EXPECT_EQ(model.header(1), timeRankNameLine(race));
                // The surface is read at each kind's own title column.
                EXPECT_EQ(model.track(0), race.track == Dirt ? QStringLiteral("ダート") : QStringLiteral("芝"));
                expectPayouts(model.payouts(), race.payouts);
                const auto groups = rankings(day, race, kind);
                for (int g = 0; g < kRankGroups; ++g) {
                    (groups[g].size() == 5 ? fullGroups : shortGroups)++;
                    for (int k = 0; k < 5; ++k) {
                        const QString cell = model.cell(g * 5 + k);
                        if (k >= groups[g].size()) {
                            EXPECT_TRUE(cell.isEmpty()) << g << " " << k;
                            continue;
                        }
                        const RankEntry &e = groups[g][k];
                        // The prediction takes the horse number from characters 5-6 of a cell.
                        EXPECT_EQ(Mid(cell, 5, 2).trimmed().toInt(), e.horse) << cell.toStdString();
                        EXPECT_TRUE(
                            cell.endsWith(platform::toHalfWidth(e.name.left(7).leftJustified(7, QChar(0x3000)))))
                            << cell.toStdString();
                        if (kind == 0)
                            EXPECT_EQ(Mid(cell, 1, 3).trimmed().toInt(), e.value);
                        else
                            EXPECT_EQ(Mid(cell, 1, 4), rankValueText(kind, e.value));
                    }
                }
            }
        }
        EXPECT_GT(shortGroups, 0);
        EXPECT_GT(fullGroups, 0);
    }
}

// ---------------------------------------------------------------- the stand-in host's day

TEST_F(DemoDay, HostDayFileGivesBackTheDayAndItsRankings)
{
    const QStringList lines = linesOf(home.path(QStringLiteral("Vantor/Vd000610.txt")));
    Day read;
    QString error;
    ASSERT_TRUE(readHostDay(lines, read, &error)) << error.toStdString();
    EXPECT_EQ(hostDayLines(read), lines);
    // What the stand-in ranks from its file is what the time-rank files hold.
    for (int kind = 0; kind < kRankKinds; ++kind)
        EXPECT_EQ(timeRankLines(read, kind), linesOf(trPath(kind))) << kind;
}

TEST(DemoDayHostFile, BadLinesAreRefusedWithTheirLineNumber)
{
    const QString head = QStringLiteral("DAY,20000610\nCOURSE,05,3,4\n");
    const QString race = QStringLiteral("RACE,1,7,未勝利,0,1600,左,605,500,晴,良,サラ系３歳・未勝利,(混)馬齢\n");
    const QString horse = QStringLiteral("HORSE,1,1,アロー,牡3,560,佐藤誠,0,1,32,1,957,,0,0,3\n");
    struct Row {
        QString text;
        const char *error;
    };
    const Row rows[] = {
        {QString(), "no course"},
        {head + horse, "line 3: unknown or misplaced record"},
        {QStringLiteral("COURSE,05,3,4\n"), "line 1: unknown or misplaced record"},
        {head + QString(race).replace(QStringLiteral("1600"), QStringLiteral("16OO")), "line 3: bad or missing field"},
        {QStringLiteral("DAY,20000610\nCOURSE,99,3,4\n"), "line 2: bad or missing field"},
        {head + race + horse.chopped(1) + QStringLiteral(",9\n"), "line 4: bad or missing field"},
        {head + race + horse + QStringLiteral("PAST,20000520,05,1,1200\n"), "line 5: bad or missing field"},
        {head + race + horse.repeated(19), "line 22: more than 18 runners"},
    };
    for (const Row &r : rows) {
        Day day;
        QString error;
        EXPECT_FALSE(readHostDay(r.text.split(QLatin1Char('\n')), day, &error)) << r.error;
        EXPECT_EQ(error, QString::fromLatin1(r.error));
    }
}

// ---------------------------------------------------------------- prediction

TEST_F(DemoDay, EveryRacePredictsWithTheDemoParameters)
{
    std::vector<predict::TRParaRecord> table;
    ASSERT_EQ(predict::LoadTRParaFile(table), kParaRecords);
    platform::RecordingDialogs dialogs;
    timerank::TimeRankAnalysis model;
    ASSERT_TRUE(model.open(trPath(0), 0, common::Settings));
    int r = 0, scored = 0;
    for (const Course &course : day.courses) {
        for (const Race &race : course.races) {
            SCOPED_TRACE(raceKey(day, course, race).toStdString());
            model.showRace(r++);
            const predict::RaceCondition c = predict::ParseRaceCondition(model.header(0), model.header(1));
            EXPECT_EQ(c.meetingDateKey, course.code + QStringLiteral("00") + QString::number(course.meeting) +
                                            QString::number(course.day) + QStringLiteral("20000610"));
            EXPECT_EQ(c.race, race.number);
            EXPECT_TRUE(c.cls.found) << c.cls.code.toStdString();
            EXPECT_EQ(c.jump, race.track == Jump);
            EXPECT_EQ(c.trackKey, race.track == Dirt ? QStringLiteral("1") : QStringLiteral("0"));
            EXPECT_EQ(c.fieldSize, two(int(race.runners.size())));
            const int i = predict::FindParameters(table, course.code, c.cls.code, c.trackKey, c.distanceKey);
            ASSERT_GE(i, 0);
            const std::array<int, 18> scores = predict::ScoreHorses(model.horses(), table[i]);
            for (int h = int(race.runners.size()); h < 18; ++h)
                EXPECT_EQ(scores[h], 0) << "horse " << h + 1 << " does not run";
            scored += std::any_of(scores.begin(), scores.end(), [](int s) { return s > 0; });
        }
    }
    EXPECT_GE(scored, 30); // newcomer races have no rankings to score
    // The whole run: one block per meeting, no message.
    model.showRace(0);
    const QString zorb = home.path(QStringLiteral("Zorb.txt"));
    ASSERT_TRUE(predict::RunBatchPrediction(model, 36, predict::ZorbSettings{}, zorb, dialogs).completed);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join(QLatin1Char('\n')).toStdString();
    const QStringList out = linesOf(zorb);
    EXPECT_EQ(out.filter(QStringLiteral("<< Korvin >> from TimeRank")).size(), 3);
    EXPECT_EQ(out.filter(QRegularExpression(QStringLiteral("^( \\d|\\d\\d)R "))).size(), 36);
}

// ---------------------------------------------------------------- Korvin.trp

TEST_F(DemoDay, ParameterFileHoldsEveryConditionUnderItsPositionKeys)
{
    const QByteArray trp = home.readBytes(QStringLiteral("Korvin.trp"));
    ASSERT_EQ(trp.size(), kParaRecords * kParaRecordBytes);
    for (int n = 0; n < kParaRecords; ++n) {
        const QByteArray rec = trp.mid(n * kParaRecordBytes, kParaRecordBytes);
        // Keys at Korvin's own positions (TRPara.RecordLayoutAndPositions pins them).
        const predict::ConditionKeys k = predict::PositionKeys(n);
        ASSERT_EQ(rec.left(7), k.place + k.cls + k.track + k.distance) << n;
        ASSERT_EQ(rec.mid(247, 2), QByteArray("\r\n"));
        for (int t = 0; t < 4; ++t) {
            int rank1 = 0, rank5 = 0;
            for (int cell = 0; cell < 30; ++cell) {
                const QByteArray v = rec.mid(7 + 60 * t + 2 * cell, 2);
                ASSERT_TRUE(std::isdigit(uchar(v[0])) && std::isdigit(uchar(v[1]))) << n;
                if (cell < 6)
                    rank1 += v.toInt();
                else if (cell >= 24)
                    rank5 += v.toInt();
            }
            EXPECT_GT(rank1, rank5) << n; // rank place 1 earns more than rank place 5
        }
    }
}

// ---------------------------------------------------------------- re-running

TEST(DemoDayRerun, OverwritesTheDayButKeepsWhatTheUserOwns)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QLatin1Char('/');
    const Day day = makeDay(3, kDate);
    ASSERT_TRUE(writeDemoHome(home, day, false).error.isEmpty());
    const auto first = snapshot(home);

    // The user's own files: an edited parameter file, marks, a Zorb file, a changed wait.
    QByteArray trp = first[QStringLiteral("Korvin.trp")];
    trp.replace(7, 2, "99");
    const auto put = [](const QString &path, const QByteArray &bytes) { ASSERT_TRUE(test::writeFile(path, bytes)); };
    put(home + QStringLiteral("Korvin.trp"), trp);
    const QByteArray marks = platform::encodeLines(QStringList(96, QString(42, QLatin1Char(' '))));
    put(home + QStringLiteral("MData/Um003東.dat"), marks);
    put(home + QStringLiteral("Zorb.txt"), "zorb\r\n");
    QByteArray ini = first[QStringLiteral("Korvin.ini")];
    ini.replace("Wait1     2", "Wait1     5");
    put(home + QStringLiteral("Korvin.ini"), ini);
    // A day file spoilt by hand is written again.
    put(home + QStringLiteral("DenCSV/DC000610.csv"), "spoilt\r\n");

    const auto report = writeDemoHome(home, day, false);
    ASSERT_TRUE(report.error.isEmpty());
    EXPECT_TRUE(report.kept.contains(QStringLiteral("Korvin.trp")));
    EXPECT_TRUE(report.kept.contains(QStringLiteral("Korvin.ini")));
    const auto second = snapshot(home);
    EXPECT_EQ(second[QStringLiteral("Korvin.trp")], trp);
    EXPECT_EQ(second[QStringLiteral("MData/Um003東.dat")], marks);
    EXPECT_EQ(second[QStringLiteral("Zorb.txt")], QByteArray("zorb\r\n"));
    EXPECT_EQ(second[QStringLiteral("Korvin.ini")], ini);
    EXPECT_EQ(second[QStringLiteral("DenCSV/DC000610.csv")], first[QStringLiteral("DenCSV/DC000610.csv")]);
    for (const QString &name : first.keys())
        if (name != QLatin1String("Korvin.trp") && name != QLatin1String("Korvin.ini")) {
            EXPECT_EQ(second[name], first[name]) << name.toStdString();
        }

    // A settings file naming a folder that is gone is written again; --reset restores everything.
    QByteArray broken = ini;
    broken.replace("/VTX/", "/VTX-gone/");
    put(home + QStringLiteral("Korvin.ini"), broken);
    EXPECT_TRUE(writeDemoHome(home, day, false).written.contains(QStringLiteral("Korvin.ini")));
    EXPECT_EQ(snapshot(home)[QStringLiteral("Korvin.ini")], first[QStringLiteral("Korvin.ini")]);
    ASSERT_TRUE(writeDemoHome(home, day, true).error.isEmpty());
    EXPECT_EQ(snapshot(home)[QStringLiteral("Korvin.trp")], first[QStringLiteral("Korvin.trp")]);
    EXPECT_EQ(snapshot(home)[QStringLiteral("MData/Um003東.dat")], marks);
}

// Every file of the day goes through the writing helper: a full disk at any
// of its steps is reported, and every file is left whole (same seed: the
// bytes of the earlier run), with nothing beside it.
TEST(DemoDayRerun, AFullDiskAtAnyStepIsReportedAndTearsNoFile)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QLatin1Char('/');
    const Day day = makeDay(1, kDate);
    platform::SaveFaults::failAt(0);
    const auto first = writeDemoHome(home, day, true);
    ASSERT_TRUE(first.error.isEmpty());
    const int steps = platform::SaveFaults::steps();
    EXPECT_EQ(steps, 5 * int(first.written.size())); // open, write, flush, sync, rename each
    const auto before = snapshot(home);
    // A write (part of the bytes, then a full disk) of the first text file and
    // of the first payout file, and the rename of the last file.
    ASSERT_EQ(first.written.at(3).left(6), QStringLiteral("SData/"));
    for (int n : {2, 5 * 3 + 2, steps}) {
        platform::ScopedSaveFault fault(n);
        EXPECT_FALSE(writeDemoHome(home, day, true).error.isEmpty()) << n;
        EXPECT_EQ(snapshot(home), before) << n;
    }
}

TEST(DemoDayRerun, RefusesAFolderShiftJisCannotName)
{
    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/demo-ñ");
    const auto report = writeDemoHome(home, makeDay(1, kDate), false);
    EXPECT_FALSE(report.error.isEmpty());
    EXPECT_TRUE(report.written.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(home));
}

// ---------------------------------------------------------------- the program

TEST(DemoDayProgram, WritesTheDayAndRejectsBadArguments)
{
    QTemporaryDir dir;
    QProcess p;
    p.start(QStringLiteral(KORVIN_DEMODATA_BIN),
            {QStringLiteral("--out"), dir.path(), QStringLiteral("--seed"), QStringLiteral("5"),
             QStringLiteral("--date"), QStringLiteral("20000611")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("written DenCSV/DC000611.csv")));
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/TimeRank/TRa20000611.txt")));

    const QList<QStringList> bad{
        {},
        {QStringLiteral("--seed"), QStringLiteral("5")},
        {QStringLiteral("--out"), dir.path(), QStringLiteral("--seed"), QStringLiteral("x")},
        {QStringLiteral("--out"), dir.path(), QStringLiteral("--date"), QStringLiteral("20001341")},
        {QStringLiteral("--out"), dir.path(), QStringLiteral("--colour")}};
    for (const QStringList &args : bad) {
        QProcess q;
        q.start(QStringLiteral(KORVIN_DEMODATA_BIN), args);
        ASSERT_TRUE(q.waitForFinished(60000));
        EXPECT_EQ(q.exitCode(), 2) << args.join(QLatin1Char(' ')).toStdString();
    }
}

} // namespace
