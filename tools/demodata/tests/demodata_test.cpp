// The demo day read back: every file the generator writes is read the way
// Korvin reads it, and must give the values of the day model.
#include "demofiles.h"

#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racing/codetables.h"
#include "racing/payouts.h"
#include "shell/helpers.h"
#include "shell/settings.h"
#include "support/testutil.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::demodata;
using shell::Mid;

namespace {

const QDate kDate(2000, 6, 10);

QString two(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

// Every file under a folder, relative path -> bytes.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), test::readFile(path));
    }
    return files;
}

QStringList linesOf(const QString &path)
{
    return platform::readLines(path).value_or(QStringList{});
}

class DemoDay : public ::testing::Test {
protected:
    void SetUp() override
    {
        day = makeDay(1, kDate);
        const auto report = writeDemoHome(home.folder(), day, false);
        ASSERT_TRUE(report.error.isEmpty()) << report.error.toStdString();
        ASSERT_TRUE(shell::LoadSettings());
    }
    QString csvPath() const { return shell::Settings.DenCSV + QStringLiteral("DC000610.csv"); }
    QString vtxPath() const { return shell::Settings.VTX_Text + QStringLiteral("Dx000610.txt"); }
    QString trPath(int kind) const { return shell::Settings.TimeRank + timeRankFileName(day, kind); }

    test::ScratchHome home;
    Day day;
};

// ---------------------------------------------------------------- determinism

TEST(DemoDayFiles, SameSeedGivesTheSameBytesAndAnotherSeedAnotherDay)
{
    QTemporaryDir a, b, c;
    ASSERT_TRUE(writeDemoHome(a.path(), makeDay(7, kDate), false).error.isEmpty());
    ASSERT_TRUE(writeDemoHome(b.path(), makeDay(7, kDate), false).error.isEmpty());
    ASSERT_TRUE(writeDemoHome(c.path(), makeDay(8, kDate), false).error.isEmpty());
    auto fa = snapshot(a.path());
    auto fb = snapshot(b.path());
    ASSERT_EQ(fa.keys(), fb.keys());
    EXPECT_EQ(fa.size(), 13); // ini, csv, vtx, 3 payout files, 6 time-rank files, trp
    for (const QString &name : fa.keys()) {
        QByteArray x = fa[name], y = fb[name];
        if (name == QLatin1String("Korvin.ini")) { // names its own folder
            x.replace(platform::toSjis(a.path()), "HOME");
            y.replace(platform::toSjis(b.path()), "HOME");
        }
        EXPECT_EQ(x, y) << name.toStdString();
    }
    const auto fc = snapshot(c.path());
    EXPECT_NE(fa[QStringLiteral("DenCSV/DC000610.csv")], fc[QStringLiteral("DenCSV/DC000610.csv")]);
}

TEST(DemoDayFiles, TheDateNamesTheFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeDemoHome(dir.path(), makeDay(1, QDate(2001, 12, 2)), false).error.isEmpty());
    const auto files = snapshot(dir.path());
    EXPECT_TRUE(files.contains(QStringLiteral("DenCSV/DC011202.csv")));
    EXPECT_TRUE(files.contains(QStringLiteral("VTX/Dx011202.txt")));
    EXPECT_TRUE(files.contains(QStringLiteral("TimeRank/TRf20011202.txt")));
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
        for (int i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n')
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
            if (bytes[i] == '\r')
                ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
        }
        const QString text = platform::fromSjis(bytes);
        EXPECT_FALSE(text.contains(QChar(0xFFFD)));
        EXPECT_EQ(platform::toSjis(text), bytes); // round trip: nothing outside CP932
        ++checked;
    }
    EXPECT_EQ(checked, 13);
}

// ---------------------------------------------------------------- Korvin.ini

TEST_F(DemoDay, SettingsNameExistingFoldersEndingWithSlash)
{
    const auto &s = shell::Settings;
    EXPECT_EQ(s.Vantor_Ver, QStringLiteral("2.05"));
    EXPECT_EQ(s.SDataON, QStringLiteral("1"));
    for (const QString &folder : {s.MData, s.SData, s.DenCSV, s.VTX_Text, s.TimeRank}) {
        EXPECT_TRUE(folder.endsWith(QLatin1Char('/'))) << folder.toStdString();
        EXPECT_TRUE(platform::folderExists(folder)) << folder.toStdString();
    }
    EXPECT_EQ(s.Wait1, 2);
    EXPECT_EQ(s.Wait2, 1);
    EXPECT_EQ(s.Wait3, 1);
    // Nothing is written into the host's data folder: the mark files are Korvin's.
    EXPECT_TRUE(QDir(s.MData).entryList(QDir::Files).isEmpty());
}

// ---------------------------------------------------------------- the model

TEST_F(DemoDay, TheDayHasEveryStoryTheWindowsShow)
{
    ASSERT_EQ(day.courses.size(), 3);
    int small = 0, full = 0, twoWinners = 0, fourPlaces = 0, fivePlaces = 0, twoQuinellas = 0, jump = 0;
    QSet<int> abnormal;
    QSet<int> classes;
    for (const Course &course : day.courses) {
        EXPECT_EQ(racing::PlaceCode(course.name, 2), course.code);
        ASSERT_EQ(course.races.size(), 12);
        for (const Race &race : course.races) {
            SCOPED_TRACE(raceKey(day, course, race).toStdString());
            const int n = int(race.runners.size());
            EXPECT_GE(n, 5);
            EXPECT_LE(n, 18);
            small += n <= 7;
            full += n == 18;
            jump += race.track == Jump;
            classes << race.classCode;
            EXPECT_NE(racing::ClassName(QString::number(race.classCode), 8), QString(8, QLatin1Char(' ')));
            // Brackets: one horse each up to 8 runners, the extra horses in the highest brackets.
            for (int i = 0; i < n; ++i) {
                const Runner &r = race.runners[i];
                EXPECT_EQ(r.number, i + 1);
                EXPECT_GE(r.frame, 1);
                EXPECT_LE(r.frame, 8);
                if (i > 0)
                    EXPECT_GE(r.frame, race.runners[i - 1].frame);
                if (n <= 8)
                    EXPECT_EQ(r.frame, i + 1);
                EXPECT_LE(r.name.size(), 9);
                EXPECT_LE(r.past.size(), 7);
                if (r.abnormal != Normal)
                    abnormal << r.abnormal;
                if (r.abnormal == Scratched)
                    EXPECT_TRUE(r.oddsText().isEmpty());
                else
                    EXPECT_GT(r.oddsTenths, 10);
            }
            if (n > 8) {
                EXPECT_EQ(race.runners.last().frame, 8);
                EXPECT_EQ(race.runners.first().frame, 1);
            }
            twoWinners += race.payouts.win.size() == 2;
            fourPlaces += race.payouts.place.size() == 4;
            fivePlaces += race.payouts.place.size() == 5;
            twoQuinellas += race.payouts.quinella.size() == 2;
            EXPECT_EQ(race.payouts.place.size() >= 3, race.starters() >= 8);
        }
    }
    EXPECT_GE(small, 1);
    EXPECT_GE(full, 1);
    EXPECT_EQ(twoWinners, 1);
    EXPECT_EQ(fourPlaces, 1);
    EXPECT_EQ(fivePlaces, 1);
    EXPECT_EQ(twoQuinellas, 1);
    EXPECT_EQ(jump, 1);
    EXPECT_TRUE(abnormal.contains(Scratched));
    EXPECT_TRUE(abnormal.contains(Stopped));
    EXPECT_TRUE(abnormal.contains(Demoted));
    EXPECT_GE(classes.size(), 6);
}

// ---------------------------------------------------------------- race card

// The race-card splitter as the race-card reader applies it: blanks outside
// quotes dropped, quotes open a field only at its start and close before a
// comma, and the text behind the last comma is not stored.
QStringList splitCardLine(QString line)
{
    line = line.trimmed();
    QStringList fields;
    QString current;
    bool inQuotes = false, started = false;
    for (int i = 0; i <= line.size(); ++i) {
        const QChar c = i < line.size() ? line[i] : QChar();
        auto commaNext = [&] {
            for (int j = i + 1; j < line.size(); ++j)
                if (line[j] != QLatin1Char(' '))
                    return line[j] == QLatin1Char(',');
            return false;
        };
        if (c == QLatin1Char(',') && !inQuotes) {
            fields << current;
            current.clear();
            started = false;
        } else if (c == QLatin1Char('"') && !started) {
            inQuotes = true;
        } else if (c == QLatin1Char('"') && commaNext()) {
            inQuotes = false;
        } else if (c != QLatin1Char(' ') || inQuotes) {
            if (!c.isNull())
                current += c;
            started = true;
        }
    }
    return fields;
}

TEST_F(DemoDay, RaceCardFieldsReadBackAsIntended)
{
    const QStringList lines = linesOf(csvPath());
    int expectedLines = 0;
    for (const Course &c : day.courses)
        for (const Race &r : c.races)
            expectedLines += int(r.runners.size());
    ASSERT_EQ(lines.size(), expectedLines);
    int quoted = 0;
    int i = 0;
    for (const Course &course : day.courses) {
        for (const Race &race : course.races) {
            for (const Runner &r : race.runners) {
                const QStringList f = splitCardLine(lines[i++]);
                ASSERT_GE(f.size(), 51); // the registration number behind the last comma is not stored
                EXPECT_EQ(f[0], raceKey(day, course, race) + two(r.number));
                EXPECT_EQ(shell::TextToInt(f[1]), race.classCode);
                EXPECT_EQ(f[2].toInt(), race.distance);
                EXPECT_EQ(f[3].toInt(), race.track);
                EXPECT_EQ(f[4].toInt(), race.runners.size());
                EXPECT_DOUBLE_EQ(shell::TextToDouble(f[5]), r.ziTenths / 10.0);
                EXPECT_EQ(f[6].toInt(), r.interval);
                EXPECT_EQ(f[7], r.resultText());
                EXPECT_EQ(racing::AbnormalName(f[8]), racing::AbnormalName(QString::number(r.abnormal)));
                EXPECT_EQ(f[9], r.oddsText());
                for (int k = 0; k < 7; ++k) {
                    const int figure = shell::TextToInt(f[14 + 5 * k]);
                    const QString letter = racing::TrackLetter(f[12 + 5 * k], 1);
                    if (k < r.past.size()) {
                        EXPECT_EQ(figure, r.past[k].figure);
                        EXPECT_EQ(letter, r.past[k].track == Dirt ? QStringLiteral("D")
                                          : r.past[k].track == Jump ? QStringLiteral("J")
                                                                    : QStringLiteral("T"));
                    } else {
                        EXPECT_EQ(figure, 0);
                        EXPECT_EQ(letter, QStringLiteral(" "));
                    }
                }
                EXPECT_EQ(f[45], r.name);
                EXPECT_EQ(f[50], r.comment); // quoted: commas and blanks kept
                quoted += r.comment.contains(QLatin1Char(','));
                if (r.interval == 0) // debut runners have no past races
                    EXPECT_TRUE(r.past.isEmpty());
            }
        }
    }
    EXPECT_GT(quoted, 0);
}

TEST_F(DemoDay, RaceCardGivesTheRaceListItsCoursesAndRaces)
{
    // First appearance of course codes and race keys, with fields 1-4 of a race's first line.
    QStringList courses, keys;
    QVector<QVector<int>> fields;
    for (const QString &line : linesOf(csvPath())) {
        const QStringList f = splitCardLine(line);
        if (courses.isEmpty() || courses.last() != f[0].left(2))
            courses << f[0].left(2);
        if (keys.isEmpty() || keys.last() != f[0].left(8)) {
            keys << f[0].left(8);
            fields << QVector<int>{f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()};
        }
    }
    ASSERT_EQ(courses.size(), 3);
    ASSERT_EQ(keys.size(), 36);
    int j = 0;
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(courses[c], day.courses[c].code);
        for (const Race &race : day.courses[c].races) {
            EXPECT_EQ(keys[j], raceKey(day, day.courses[c], race));
            EXPECT_EQ(Mid(keys[j], 7, 2).toInt(), race.number);
            EXPECT_EQ(fields[j], (QVector<int>{race.classCode, race.distance, race.track, int(race.runners.size())}));
            ++j;
        }
    }
}

// ---------------------------------------------------------------- VTX text

struct VtxRow {
    QString waku, t1, t2, d1, d2, pace;
};

// The block search of the data list: a rule line opens the race's block when
// the line three before names the course at characters 18-19 and the line two
// before starts with the race number and "Ｒ"; the line after every rule met
// before the block opens is dropped; the next rule ends the block.
QVector<VtxRow> readVtx(const QStringList &lines, const QString &courseName, int race)
{
    QStringList remembered;
    QVector<VtxRow> rows;
    bool open = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.startsWith(QStringLiteral("----"))) {
            if (open)
                break;
            if (remembered.size() >= 3 && Mid(remembered[remembered.size() - 3], 18, 2) == courseName) {
                const QString numberLine = remembered[remembered.size() - 2];
                const QString number = Mid(numberLine, 2, 1) == QStringLiteral("Ｒ") ? Mid(numberLine, 1, 1)
                                                                                     : Mid(numberLine, 1, 2);
                open = shell::TextToInt(number) == race && (Mid(numberLine, 2, 1) == QStringLiteral("Ｒ") ||
                                                            Mid(numberLine, 3, 1) == QStringLiteral("Ｒ"));
            }
            ++i; // the line after a rule is dropped
            continue;
        }
        if (!open) {
            remembered << line;
            continue;
        }
        const int len = int(line.size());
        int x = 0;
        if (line.endsWith(QLatin1Char(' '))) {
            if (Mid(line, len - 1, 1) == QStringLiteral(" "))
                x = 1;
            else if (Mid(line, len - 2, 1) == QStringLiteral(" "))
                x = 2;
        }
        rows << VtxRow{Mid(line, 2, 1),
                       Mid(line, len - (24 + x) + 1, 4),
                       Mid(line, len - (20 + x) + 1, 4),
                       Mid(line, len - (16 + x) + 1, 4),
                       Mid(line, len - (12 + x) + 1, 4),
                       Mid(line, len - (7 + x) + 1, 1)};
    }
    return rows;
}

TEST_F(DemoDay, VtxColumnsReadBackForEveryRace)
{
    const QStringList lines = linesOf(vtxPath());
    QSet<int> tails;
    for (const Course &course : day.courses) {
        for (const Race &race : course.races) {
            SCOPED_TRACE(raceKey(day, course, race).toStdString());
            const auto rows = readVtx(lines, course.name, race.number);
            ASSERT_EQ(rows.size(), race.runners.size());
            for (int i = 0; i < rows.size(); ++i) {
                const Runner &r = race.runners[i];
                const QStringList want = vtxColumns(r);
                EXPECT_EQ(rows[i].waku, QString::number(r.frame));
                EXPECT_EQ(rows[i].t1, want[0]);
                EXPECT_EQ(rows[i].t2, want[1]);
                EXPECT_EQ(rows[i].d1, want[2]);
                EXPECT_EQ(rows[i].d2, want[3]);
                EXPECT_EQ(rows[i].pace, want[4]);
                tails << r.vtxTail;
            }
        }
    }
    EXPECT_EQ(tails.size(), 3); // every trailing form occurs
}

TEST(DemoDayVtx, TrailingFormsKeepTheColumnsFromTheEnd)
{
    Runner r;
    r.frame = 3;
    r.number = 5;
    r.name = QStringLiteral("シルバーアロー");
    r.sexAge = QStringLiteral("牡4");
    r.carriedTenths = 570;
    r.jockey = QStringLiteral("佐藤誠");
    r.bodyWeight = 480;
    r.pace = QStringLiteral("先");
    PastRace turfShort{QDate(2000, 5, 1), QStringLiteral("05"), Turf, 1600, 92};
    PastRace dirtLong{QDate(2000, 4, 1), QStringLiteral("05"), Dirt, 1800, 88};
    r.past = {turfShort, dirtLong};
    const QVector<std::tuple<bool, int, QString>> forms{{false, 0, QStringLiteral("480 ")},
                                                        {true, 0, QStringLiteral("480*")},
                                                        {false, 1, QStringLiteral("480  ")},
                                                        {false, 2, QStringLiteral("480 * ")}};
    for (const auto &[blinkers, tail, ending] : forms) {
        r.blinkers = blinkers;
        r.vtxTail = tail;
        const QString line = vtxHorseLine(r);
        EXPECT_TRUE(line.endsWith(ending)) << line.toStdString();
        const QStringList lines{QStringLiteral("2000年 6月10日(土) 3回東京4日目"), QStringLiteral("5Ｒ test"),
                                QStringLiteral("head"), QStringLiteral("----"), QStringLiteral("dropped"), line,
                                QStringLiteral("----")};
        const auto rows = readVtx(lines, QStringLiteral("東京"), 5);
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0].waku, QStringLiteral("3"));
        EXPECT_EQ(rows[0].t1, QStringLiteral("  92"));
        EXPECT_EQ(rows[0].t2, QStringLiteral("    "));
        EXPECT_EQ(rows[0].d1, QStringLiteral("    "));
        EXPECT_EQ(rows[0].d2, QStringLiteral("  88"));
        EXPECT_EQ(rows[0].pace, QStringLiteral("先"));
    }
}

// ---------------------------------------------------------------- payouts

TEST_F(DemoDay, PayoutsReadBackThroughThePayoutModule)
{
    int areasShown = 0;
    for (const Course &course : day.courses) {
        const QString file = racing::PayoutFileName(shell::Settings.SData, QStringLiteral("00"),
                                                    QString::number(course.meeting), course.name);
        ASSERT_TRUE(platform::fileExists(file)) << file.toStdString();
        EXPECT_EQ(test::readFile(file).size(), kPayoutRecordBytes * 12 * course.day);
        for (const Race &race : course.races) {
            SCOPED_TRACE(raceKey(day, course, race).toStdString());
            racing::PayoutArea byText, byNumber;
            racing::ShowPayouts(byText, file, QString::number(course.day), two(race.number));
            racing::ShowPayouts(byNumber, file, QString::number(course.day), race.number);
            ASSERT_TRUE(byText.shown);
            ++areasShown;
            const Payouts &p = race.payouts;
            for (int i = 0; i < 3; ++i) {
                const bool has = i < p.win.size();
                EXPECT_EQ(byText.Tan[i].visible, has);
                if (has)
                    EXPECT_EQ(byText.Tan[i].text, two(p.win[i].first) + racing::PadNumber(p.win[i].yen, 8));
            }
            for (int i = 0; i < 5; ++i) {
                const bool has = i < p.place.size();
                EXPECT_EQ(byText.Fuku[i].visible, has);
                if (has)
                    EXPECT_EQ(byText.Fuku[i].text, two(p.place[i].first) + racing::PadNumber(p.place[i].yen, 8));
            }
            for (int i = 0; i < 3; ++i) {
                const bool has = i < p.bracket.size();
                EXPECT_EQ(byText.WakuRen[i].visible, has);
                if (has)
                    EXPECT_EQ(byText.WakuRen[i].text, QStringLiteral("%1-%2").arg(p.bracket[i].first).arg(p.bracket[i].second) +
                                                          racing::PadNumber(p.bracket[i].yen, 8));
            }
            for (int i = 0; i < 3; ++i) {
                const bool has = i < p.quinella.size();
                EXPECT_EQ(byText.Uma[i].visible, has);
                if (has)
                    EXPECT_EQ(byText.Uma[i].text, two(p.quinella[i].first) + QLatin1Char('-') + two(p.quinella[i].second) +
                                                      racing::PadNumber(p.quinella[i].yen, 9));
            }
            EXPECT_EQ(byText.placeRows, std::clamp(int(p.place.size()), 3, 5));
            for (int i = 0; i < 3; ++i)
                EXPECT_EQ(byNumber.Tan[i].text, byText.Tan[i].text);
            // Places paid: three from eight starters on, two below.
            if (race.starters() < 8)
                EXPECT_EQ(p.place.size(), 2);
            // Brackets are not sold with eight runners or fewer.
            if (race.runners.size() <= 8)
                EXPECT_TRUE(p.bracket.isEmpty());
            else
                EXPECT_FALSE(p.bracket.isEmpty());
            // The winners and placed horses are the race's result.
            for (const PayoutEntry &e : p.win)
                EXPECT_EQ(race.runners[e.first - 1].result, 1);
            for (const PayoutEntry &e : p.place)
                EXPECT_LE(race.runners[e.first - 1].result, race.starters() >= 8 ? 3 : 2);
        }
    }
    EXPECT_EQ(areasShown, 36);
}

TEST_F(DemoDay, EarlierDaysOfTheMeetingAreInTheFileButNotShownForTheDemoDay)
{
    const Course &course = day.courses[0];
    ASSERT_GT(course.day, 1); // seed 1 lies late in its meeting
    const QString file = racing::PayoutFileName(shell::Settings.SData, QStringLiteral("00"),
                                                QString::number(course.meeting), course.name);
    racing::PayoutArea earlier;
    racing::ShowPayouts(earlier, file, QString::number(course.day - 1), QStringLiteral("01"));
    EXPECT_TRUE(earlier.shown);
    racing::PayoutArea missing;
    racing::ShowPayouts(missing, file, QString::number(course.day + 1), QStringLiteral("01"));
    EXPECT_FALSE(missing.shown);
}

// ---------------------------------------------------------------- time-rank files

struct TrRace {
    QString header;        // line 1 + blank + line 2
    QString nameLine;      // line 3
    QString titleLine;     // line 5
    QVector<QStringList> cells; // 24 groups of cell texts
};

QString cellText(const QString &line, int kind)
{
    const QString half = platform::toHalfWidth(Mid(line, 17, 7));
    if (kind == 0)
        return Mid(line, 10, 7) + half;
    if (kind == 2)
        return shell::RightOf(line, 4) + Mid(line, 13, 4) + half;
    return Mid(line, 1, 4) + Mid(line, 13, 4) + half;
}

// The time-rank reading of the analysis window: a race header has "年" at 5
// and "月" at 8; groups of up to five entries end early at "----"; two
// heading lines follow a short group, three lines a full one.
QVector<TrRace> readTimeRank(const QStringList &lines, int kind)
{
    QVector<TrRace> races;
    for (int h = 0; h < lines.size(); ++h) {
        if (Mid(lines[h], 5, 1) != QStringLiteral("年") || Mid(lines[h], 8, 1) != QStringLiteral("月"))
            continue;
        TrRace race;
        race.header = lines[h] + QLatin1Char(' ') + lines.value(h + 1);
        race.nameLine = lines.value(h + 2);
        race.titleLine = lines.value(h + 4);
        int i = h + 8;
        for (int g = 0; g < kRankGroups; ++g) {
            QStringList cells;
            int k = 0;
            for (; k < 5; ++k) {
                const QString line = lines.value(i++);
                if (line.startsWith(QStringLiteral("----")))
                    break;
                cells << cellText(line, kind);
            }
            race.cells << cells;
            if (g < 23)
                i += k == 5 ? 3 : 2;
        }
        races << race;
    }
    return races;
}

TEST_F(DemoDay, TimeRankFilesReadBackForEveryKind)
{
    for (int kind = 0; kind < kRankKinds; ++kind) {
        SCOPED_TRACE(kind);
        const QStringList lines = linesOf(trPath(kind));
        const auto races = readTimeRank(lines, kind);
        ASSERT_EQ(races.size(), 36);
        int r = 0;
        int shortGroups = 0, fullGroups = 0;
        for (const Course &course : day.courses) {
            for (const Race &race : course.races) {
                const TrRace &tr = races[r++];
                SCOPED_TRACE(raceKey(day, course, race).toStdString());
                // Header text: year 3-4, meeting 16, course 18-19, day 20, race label 33-35.
                EXPECT_EQ(Mid(tr.header, 3, 2), QStringLiteral("00"));
                EXPECT_EQ(Mid(tr.header, 16, 1), QString::number(course.meeting));
                EXPECT_EQ(Mid(tr.header, 18, 2), course.name);
                EXPECT_EQ(Mid(tr.header, 20, 1), QString::number(course.day));
                EXPECT_EQ(Mid(tr.header, 21, 2), QStringLiteral("日目"));
                const QString label = Mid(tr.header, 33, 3).trimmed();
                EXPECT_EQ(label, raceLabel(race.number));
                EXPECT_EQ(racing::SjisLength(label), 4);
                const QString digits = platform::toHalfWidth(label.left(label.size() - 1));
                EXPECT_EQ(digits.toInt(), race.number);
                // The surface test of the analysis window is made at character 17.
                if (kind <= 1)
                    EXPECT_EQ(Mid(tr.titleLine, 17, 1) == QStringLiteral("ダ"), race.track == Dirt);
                const auto groups = rankings(day, race, kind);
                ASSERT_EQ(tr.cells.size(), kRankGroups);
                for (int g = 0; g < kRankGroups; ++g) {
                    ASSERT_EQ(tr.cells[g].size(), groups[g].size()) << "group " << g;
                    (groups[g].size() == 5 ? fullGroups : shortGroups)++;
                    for (int k = 0; k < groups[g].size(); ++k) {
                        const QString &cell = tr.cells[g][k];
                        const RankEntry &e = groups[g][k];
                        // The prediction takes the horse number from characters 5-6 of a cell.
                        EXPECT_EQ(Mid(cell, 5, 2).trimmed().toInt(), e.horse) << cell.toStdString();
                        EXPECT_TRUE(cell.endsWith(platform::toHalfWidth(e.name.left(7).leftJustified(7, QChar(0x3000)))))
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

// What the race list and the batch prediction take from a race block.
TEST_F(DemoDay, TimeRankRaceLinesGiveRaceListAndPredictionTheirValues)
{
    static const QMap<QString, QString> pickUp{
        {QStringLiteral("新馬"), QStringLiteral("00")},    {QStringLiteral("未出走"), QStringLiteral("01")},
        {QStringLiteral("未勝利"), QStringLiteral("04")},  {QStringLiteral("400万下"), QStringLiteral("05")},
        {QStringLiteral("500万下"), QStringLiteral("05")}, {QStringLiteral("900万下"), QStringLiteral("09")},
        {QStringLiteral("1500万下"), QStringLiteral("16")}, {QStringLiteral("1600万下"), QStringLiteral("16")},
        {QStringLiteral("オープン"), QStringLiteral("30")}, {QStringLiteral("Ｇ３"), QStringLiteral("50")},
        {QStringLiteral("Ｇ２"), QStringLiteral("70")},    {QStringLiteral("Ｇ１"), QStringLiteral("90")}};
    const QStringList lines = linesOf(trPath(0));
    int r = 0;
    for (int h = 0; h < lines.size(); ++h) {
        const QString &l1 = lines[h];
        if (Mid(l1, 5, 1) != QStringLiteral("年") || Mid(l1, 8, 1) != QStringLiteral("月"))
            continue;
        const Course &course = day.courses[r / 12];
        const Race &race = course.races[r % 12];
        ++r;
        SCOPED_TRACE(raceKey(day, course, race).toStdString());
        // Race list: a full race header, race line of 30 bytes at least, the name before "(".
        EXPECT_EQ(l1.size(), 31);
        EXPECT_EQ(Mid(l1, 11, 1), QStringLiteral("日"));
        EXPECT_EQ(Mid(l1, 17, 1), QStringLiteral("回"));
        const QString raceLine = lines[h + 1];
        EXPECT_EQ(racing::SjisLength(raceLine), 30);
        const QString number = Mid(raceLine, 2, 1) == QStringLiteral("Ｒ") ? Mid(raceLine, 1, 1) : Mid(raceLine, 1, 2);
        EXPECT_EQ(platform::toHalfWidth(number).toInt(), race.number);
        const QString b = lines[h + 2].trimmed();
        EXPECT_EQ(b.left(b.indexOf(QLatin1Char('('))), race.title);
        // Prediction: class between the last "・" and the first "(", jump races
        // start with "障害", and the 14-character tail gives track, distance and field size.
        QString cls, collected;
        bool collecting = false;
        for (const QChar c : b) {
            if (c == QChar(0x30FB)) {
                collected.clear();
                collecting = true;
            } else if (c == QLatin1Char('(')) {
                break;
            } else if (collecting) {
                collected += c;
            }
        }
        cls = collected;
        ASSERT_TRUE(pickUp.contains(cls)) << cls.toStdString();
        EXPECT_EQ(b.startsWith(QStringLiteral("障害")), race.track == Jump);
        const QString tail = shell::RightOf(b, 14).trimmed();
        EXPECT_EQ(tail.startsWith(QStringLiteral("芝")), race.track != Dirt);
        EXPECT_EQ(Mid(tail, 3).section(QLatin1Char('m'), 0, 0).toInt(), race.distance);
        EXPECT_EQ(shell::RightOf(tail, 4).left(2).trimmed().toInt(), race.runners.size());
        EXPECT_EQ(tail.right(2), QStringLiteral("頭立"));
    }
    EXPECT_EQ(r, 36);
}

TEST_F(DemoDay, TitleLinesCarrySurfaceAtTheKindsTitleColumn)
{
    // The export splitter keeps a turf-and-dirt section only when "芝・ダ"
    // stands at the kind's title column.
    const int column[kRankKinds] = {17, 17, 19, 20, 14, 15};
    const Race &race = day.courses[0].races[0];
    for (int kind = 0; kind < kRankKinds; ++kind) {
        for (int g = 0; g < kRankGroups; ++g) {
            const QString title = timeRankTitleLine(race, kind, g);
            const bool both = (g / 6) % 2 == 1;
            EXPECT_EQ(Mid(title, column[kind], 3) == QStringLiteral("芝・ダ"), both) << title.toStdString();
        }
    }
}

// ---------------------------------------------------------------- Korvin.trp

TEST_F(DemoDay, ParameterFileHoldsEveryConditionUnderItsPositionKeys)
{
    const QByteArray trp = home.readBytes(QStringLiteral("Korvin.trp"));
    ASSERT_EQ(trp.size(), kParaRecords * kParaRecordBytes);
    struct Probe {
        int n;
        const char *keys;
    };
    // Place positions list 新潟 before 福島; codes 04 and 03.
    for (const Probe &p : {Probe{0, "0100010"}, Probe{1599, "1090199"}, Probe{2 * 160, "0400010"},
                           Probe{3 * 160 + 2 * 16 + 8 + 3, "0304116"}, Probe{4 * 160 + 6 * 16 + 7, "0530099"}}) {
        EXPECT_EQ(trp.mid(p.n * kParaRecordBytes, 7), QByteArray(p.keys)) << p.n;
    }
    for (int n = 0; n < kParaRecords; ++n) {
        const QByteArray rec = trp.mid(n * kParaRecordBytes, kParaRecordBytes);
        ASSERT_EQ(rec.left(7), parameterKeys(n).toLatin1());
        ASSERT_EQ(rec.mid(247, 2), QByteArray("\r\n"));
        for (int t = 0; t < 4; ++t) {
            int rank1 = 0, rank5 = 0;
            for (int cell = 0; cell < 30; ++cell) {
                const QByteArray v = rec.mid(7 + 60 * t + 2 * cell, 2);
                ASSERT_TRUE(std::isdigit(uchar(v[0])) && std::isdigit(uchar(v[1]))) << n;
                (cell < 6 ? rank1 : cell >= 24 ? rank5 : rank1) += cell < 6 || cell >= 24 ? v.toInt() : 0;
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
    test::ScratchHome scratch; // only for its file helpers
    auto put = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
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
        if (name != QLatin1String("Korvin.trp") && name != QLatin1String("Korvin.ini"))
            EXPECT_EQ(second[name], first[name]) << name.toStdString();

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

// ---------------------------------------------------------------- the program

TEST(DemoDayProgram, WritesTheDayAndRejectsBadArguments)
{
    QTemporaryDir dir;
    QProcess p;
    p.start(QStringLiteral(KORVIN_DEMODATA_BIN), {QStringLiteral("--out"), dir.path(), QStringLiteral("--seed"),
                                                  QStringLiteral("5"), QStringLiteral("--date"), QStringLiteral("20000611")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardOutput()).contains(QStringLiteral("written DenCSV/DC000611.csv")));
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/TimeRank/TRa20000611.txt")));

    const QList<QStringList> bad{{},
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
