#include "host/timeranksplit.h"
#include "platform/textfile.h"
#include "support/hostexport.h"
#include "support/testutil.h"
#include "timerank/timerankfile.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace korvin;
using host::SplitTimeRankText;

namespace {

class Split : public ::testing::Test {
protected:
    test::ScratchHome home;
    QString out;
    QString exportPath;
    void SetUp() override
    {
        out = home.makeFolder(QStringLiteral("TimeRank"));
        exportPath = out + QStringLiteral("TimeRank.txt");
    }
    void writeExport(const QStringList &lines) { home.writeLines(QStringLiteral("TimeRank/TimeRank.txt"), lines); }
    QStringList outFiles() const { return QDir(out).entryList({QStringLiteral("TR*")}, QDir::Files); }
};

// The section each of the 24 groups must come from: the first six, the kept
// half of the next twelve, the six after, the kept half of the last twelve.
std::vector<int> wantedSections()
{
    std::vector<int> s;
    for (int i = 0; i < 36; ++i)
        if (!test::isFiltered(i) || test::keptFiltered(i))
            s.push_back(i);
    return s;
}

TEST_F(Split, KeepsTheTopFiveOfTheWantedRankingsForEveryKind)
{
    for (int kind = 0; kind < 6; ++kind) {
        SCOPED_TRACE(kind);
        test::ExportRacePlan p;
        p.kind = kind;
        // Short, long and empty rankings.
        p.rows = [](int s) { return s % 3 == 0 ? 8 : s % 3 == 1 ? 2 : 0; };
        QStringList lines = test::exportRace(p);
        p.raceLabel = QStringLiteral("１２Ｒ");
        lines << test::exportRace(p);
        writeExport(lines);

        const host::SplitResult r = SplitTimeRankText(exportPath, out, kind);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(r.races, 2);
        EXPECT_EQ(r.path, out + timerank::KindPrefix(kind) + QStringLiteral("20000610.txt"));

        // The analysis reads back 24 groups per race, each from its section.
        const timerank::TimeRankLines f = timerank::ReadTimeRankLines(r.path);
        ASSERT_EQ(f.raceStarts.size(), 2u);
        const timerank::TimeRankRace race = timerank::ReadRaceBlock(f.lines, f.raceStarts[1], int(f.lines.size()), 1);
        EXPECT_TRUE(race.complete());
        const std::vector<int> sections = wantedSections();
        for (int g = 0; g < 24; ++g) {
            const int s = sections[size_t(g)];
            const int rows = p.rows(s);
            for (int k = 1; k <= 5; ++k) {
                const QString cell = race.cells[size_t(g * 5 + k - 1)];
                if (k <= rows)
                    EXPECT_EQ(cell, timerank::CellText(test::exportRow(s, k), 1)) << g;
                else
                    EXPECT_TRUE(cell.isEmpty()) << g << " " << k;
            }
        }
        // Block header: the first section's eight lines; a ranking's two title
        // lines; the race's last line; lines copied byte for byte.
        const QStringList first = test::exportSection(p, 0);
        EXPECT_EQ(f.lines.mid(f.raceStarts[1], 8), first.mid(0, 8));
        EXPECT_EQ(
            f.lines.mid(f.raceStarts[1] + 8 + 5, 3),
            (QStringList{QString(40, QLatin1Char('-')), test::exportTitle(p, 1), QStringLiteral("順位 タイム S1")}));
        EXPECT_EQ(f.lines.last(), QStringLiteral("対象16頭中 16頭 S35"));
        EXPECT_TRUE(home.readBytes(QStringLiteral("TimeRank/") + QFileInfo(r.path).fileName())
                        .contains(test::sjis(test::exportRow(0, 1) + QStringLiteral("\r\n"))));
        QFile::remove(r.path);
    }
}

TEST_F(Split, TitleOneColumnOffIsDroppedWhole)
{
    test::ExportRacePlan p;
    p.kind = 2;
    p.titleShift = 1;
    writeExport(test::exportRace(p));
    const host::SplitResult r = SplitTimeRankText(exportPath, out, 2);
    ASSERT_TRUE(r.written());
    const QStringList lines = *platform::readLines(r.path);
    // 8 header lines, 12 rankings of 5 rows and a dash line, 11 x 2 title lines, the trailer.
    EXPECT_EQ(lines.size(), 8 + 12 * 6 + 11 * 2 + 1);
    EXPECT_FALSE(lines.join(QLatin1Char('\n')).contains(QStringLiteral("芝・ダ")));
}

// What the host wrote goes into the time-rank file as it stands: a NEC
// duplicate (87 90) and a byte Shift-JIS lacks (A0) are not decoded and
// written back as other codes or "?".
TEST_F(Split, KeptLinesAreCopiedByteForByte)
{
    QByteArray bytes = platform::encodeLines(test::exportRace(test::ExportRacePlan{}));
    const QByteArray row = platform::encodeLines({test::exportRow(0, 1)}).chopped(2);
    const QByteArray odd = row + QByteArray("\x87\x90\xa0", 3);
    ASSERT_EQ(bytes.count(row + "\r\n"), 1);
    bytes.replace(row + "\r\n", odd + "\r\n");
    home.writeBytes(QStringLiteral("TimeRank/TimeRank.txt"), bytes);
    const host::SplitResult r = SplitTimeRankText(exportPath, out, 0);
    ASSERT_TRUE(r.written());
    EXPECT_TRUE(home.readBytes(QStringLiteral("TimeRank/") + QFileInfo(r.path).fileName()).contains(odd + "\r\n"));
}

TEST_F(Split, DateInTheFileName)
{
    const std::pair<const char16_t *, const char *> cases[] = {
        {u"2000年 5月 4日(木) 1回京都1日目", "TRa20000504.txt"},
        {u"2000年12月24日(日) 5回中山8日目", "TRa20001224.txt"},
        {u"2000/05/04", "TRa20000504.txt"},
    };
    for (const auto &[dateLine, name] : cases) {
        test::ExportRacePlan p;
        p.dateLine = QString::fromUtf16(dateLine);
        writeExport(test::exportRace(p));
        EXPECT_EQ(SplitTimeRankText(exportPath, out, 0).path, out + QString::fromLatin1(name));
    }
    // Anything else in the date places names no file.
    for (const char16_t *bad : {u"２０００年 5月 4日", u"2000年 5月/../", u"x"}) {
        test::ExportRacePlan p;
        p.dateLine = QString::fromUtf16(bad);
        writeExport(test::exportRace(p));
        const host::SplitResult r = SplitTimeRankText(exportPath, out, 0);
        EXPECT_FALSE(r.written());
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_TRUE(r.messages[0].text.startsWith(
            QStringLiteral("タイムランクのエクスポートファイルの1行目に日付がありません．")));
    }
    EXPECT_EQ(outFiles(), (QStringList{QStringLiteral("TRa20000504.txt"), QStringLiteral("TRa20001224.txt")}));
}

TEST_F(Split, MissingEmptyOrTruncatedExport)
{
    // An earlier file of the same day stays whole unless a complete race replaces it.
    home.writeLines(QStringLiteral("TimeRank/TRa20000610.txt"), {QStringLiteral("earlier")});
    const QByteArray earlier = home.readBytes(QStringLiteral("TimeRank/TRa20000610.txt"));

    host::SplitResult r = SplitTimeRankText(exportPath, out, 0);
    EXPECT_EQ(r.messages[0].text, QStringLiteral("タイムランクのエクスポートファイルがありません． ( ") + exportPath +
                                      QStringLiteral(" )"));
    home.writeBytes(QStringLiteral("TimeRank/TimeRank.txt"), QByteArray());
    r = SplitTimeRankText(exportPath, out, 0);
    EXPECT_EQ(r.messages[0].text,
              QStringLiteral("タイムランクのエクスポートファイルが空です． ( ") + exportPath + QStringLiteral(" )"));

    const QStringList race = test::exportRace({});
    writeExport(race.mid(0, race.size() - 1)); // the host stopped before the last line
    r = SplitTimeRankText(exportPath, out, 0);
    EXPECT_FALSE(r.written());
    EXPECT_EQ(r.incompleteRace, 1);
    EXPECT_TRUE(r.messages[0].text.startsWith(
        QStringLiteral("タイムランクのエクスポートファイルは 1 レース目の途中で終わっています．")));
    EXPECT_EQ(home.readBytes(QStringLiteral("TimeRank/TRa20000610.txt")), earlier);

    // Three races, the third cut inside a ranking: two are written.
    test::ExportRacePlan second;
    second.raceLabel = QStringLiteral("12Ｒ");
    writeExport(race + test::exportRace(second) + race.mid(0, 200));
    r = SplitTimeRankText(exportPath, out, 0);
    EXPECT_EQ(r.races, 2);
    EXPECT_EQ(r.incompleteRace, 3);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(
        r.messages[0].text,
        QStringLiteral(
            "タイムランクのエクスポートファイルは 3 レース目の途中で終わっています．3 レース目は書き込まず，完全な 2 "
            "レースだけを書き込みます． ( ") +
            exportPath + QStringLiteral(" )"));
    EXPECT_EQ(timerank::ReadTimeRankLines(r.path).raceStarts.size(), 2u);
    EXPECT_EQ(outFiles(), QStringList{QStringLiteral("TRa20000610.txt")});

    // The host stays on its last race when a run asks for one more: a race
    // again in a row is written once. Empty lines and end-of-file marks after
    // the last race are no race; maxRaces reads no further.
    const QStringList other = test::exportRace(second);
    const struct {
        const char *name;
        QStringList lines;
        int maxRaces, races, repeated, incomplete;
        const char *rawTail = ""; // bytes after the last line end
    } rows[] = {
        {"A A", race + race, -1, 1, 1, 0},
        {"A B B B", race + other + other + other, -1, 2, 2, 0},
        {"A B A", race + other + race, -1, 3, 0, 0},
        {"A, empty line", race + QStringList{QString()}, -1, 1, 0, 0},
        {"A, end-of-file mark", race, -1, 1, 0, 0, "\x1A"},
        {"A, empty line, end-of-file mark", race + QStringList{QString()}, -1, 1, 0, 0, "\x1A"},
        {"A B, at most 1", race + other, 1, 1, 0, 0},
        {"A B, at most 2 of A B cut", race + other.mid(0, 9), 2, 1, 0, 2},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        writeExport(row.lines);
        home.writeBytes(QStringLiteral("TimeRank/TimeRank.txt"),
                        home.readBytes(QStringLiteral("TimeRank/TimeRank.txt")) + QByteArray(row.rawTail));
        r = SplitTimeRankText(exportPath, out, 0, row.maxRaces);
        EXPECT_EQ(r.races, row.races);
        EXPECT_EQ(r.repeated, row.repeated);
        EXPECT_EQ(r.incompleteRace, row.incomplete);
        EXPECT_EQ(timerank::ReadTimeRankLines(r.path).raceStarts.size(), size_t(row.races));
        if (row.maxRaces < 0) {
            EXPECT_EQ(host::ReadExportProgress(home.readBytes(QStringLiteral("TimeRank/TimeRank.txt"))).races,
                      row.races + row.repeated);
        }
    }
    EXPECT_EQ(host::SplitDoneMessage(r),
              QStringLiteral("タイムランクファイルを書き込みました．（1 レース） ( ") + r.path + QStringLiteral(" )"));
    writeExport(race + race);
    EXPECT_EQ(host::SplitDoneMessage(SplitTimeRankText(exportPath, out, 0)),
              QStringLiteral("タイムランクファイルを書き込みました．（1 レース，最終レースまで） ( ") + r.path +
                  QStringLiteral(" )"));

    // A section without its dash line runs into the next ones: the export ends inside the race.
    QStringList noDash = race;
    noDash.removeAt(8 + 8); // the dash line of the first section (8 header lines, 8 rows)
    writeExport(noDash);
    EXPECT_EQ(SplitTimeRankText(exportPath, out, 0).incompleteRace, 1);
}

} // namespace

namespace {

// A line missing inside a race (the host or a copy lost it) shifts every
// later line of the race: the race is reported by its number, with what stood
// where, and only the complete races before it are written. A runner line is
// the one line whose loss leaves the race's shape whole.
TEST_F(Split, ALineMissingInsideARaceIsReportedForThatRace)
{
    test::ExportRacePlan p;
    p.rows = [](int) { return 3; };
    p.raceLabel = QStringLiteral("10Ｒ");
    const QStringList before = test::exportRace(p);
    p.raceLabel = QStringLiteral("12Ｒ");
    const QStringList after = test::exportRace(p);
    p.raceLabel = QStringLiteral("11Ｒ");
    const QStringList race = test::exportRace(p);
    const int sectionLines = 8 + 3 + 2;
    ASSERT_EQ(race.size(), 36 * sectionLines);
    for (int i = 0; i < race.size(); ++i) {
        SCOPED_TRACE(i);
        QStringList damaged = race;
        damaged.removeAt(i);
        writeExport(before + damaged + after);
        const host::SplitResult r = SplitTimeRankText(exportPath, out, 0);
        const int at = i % sectionLines;
        if (at >= 8 && at < 11) { // a runner line
            EXPECT_EQ(r.races, 3);
            EXPECT_EQ(r.incompleteRace, 0);
            continue;
        }
        EXPECT_EQ(r.races, 1);
        EXPECT_EQ(r.incompleteRace, 2);
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_TRUE(r.messages[0].text.startsWith(
            QStringLiteral("タイムランクのエクスポートファイルの 2 レース目は形が崩れています（")))
            << r.messages[0].text.toStdString();
        EXPECT_EQ(timerank::ReadTimeRankLines(r.path).raceStarts.size(), 1u);
    }
    // The rule line of the third ranking of race 2 (export line 502) is gone:
    // line 502 now holds its first runner.
    QStringList damaged = race;
    damaged.removeAt(2 * sectionLines + 7);
    writeExport(before + damaged + after);
    const host::SplitResult r = SplitTimeRankText(exportPath, out, 0);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].text,
              QStringLiteral("タイムランクのエクスポートファイルの 2 レース目は形が崩れています（3 番目のランキングの "
                             "502 行目：ランキングの罫線（====）の行がありません）．2 レース目から後は書き込まず，"
                             "完全な 1 レースだけを書き込みます． ( ") +
                  exportPath + QStringLiteral(" )"));
}

} // namespace
