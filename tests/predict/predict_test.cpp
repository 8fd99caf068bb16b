#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/safefile.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "predict/backtest.h"
#include "predict/trpara.h"
#include "predict/zorb.h"
#include "support/payoutrecord.h"
#include "support/testutil.h"
#include "support/trfixture.h"
#include "timerank/analysis.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

using namespace korvin;
using namespace korvin::predict;

namespace {

// The table the parameter file is read into and saved from.
std::vector<TRParaRecord> table(kConditions);
void resetTable() { table.assign(kConditions, TRParaRecord()); }

TRParaRecord keyed(const char *place, const char *cls, const char *track, const char *distance)
{
    TRParaRecord r;
    r.KeyPlace = place;
    r.KeyClass = cls;
    r.KeyTrack = track;
    r.KeyDistance = distance;
    return r;
}

std::array<QString, kParaBoxes> boxesOf(const QString &value)
{
    std::array<QString, kParaBoxes> b;
    b.fill(value);
    return b;
}

TEST(TRPara, RecordLayoutAndPositions)
{
    EXPECT_EQ(TRParaRecord().toBytes(), QByteArray(249, '\0'));
    TRParaRecord r = keyed("05", "90", "1", "25");
    r.SameTrackNear[ParaCell(0, 0)] = "11";
    r.SameTrackNear[ParaCell(1, 0)] = "12"; // period 1 of rank 1 is cell 1
    r.SameTrackNear[ParaCell(0, 1)] = "13"; // rank 2 starts at cell 6
    r.SameTrackAll[29] = "14";
    r.BothTracksNear[0] = "15";
    r.BothTracksAll[29] = "16";
    r.Filler = "\r\n";
    const QByteArray b = r.toBytes();
    ASSERT_EQ(b.size(), 249);
    const std::pair<int, QByteArray> fields[] = {{0, "0590125"},  {7, "11"},   {9, "12"},        {19, "13"},
                                                 {67 + 58, "14"}, {127, "15"}, {187 + 58, "16"}, {247, "\r\n"}};
    for (const auto &[at, bytes] : fields)
        EXPECT_EQ(b.mid(at, bytes.size()), bytes) << at;
    EXPECT_EQ(TRParaRecord::fromBytes(b).toBytes(), b);

    EXPECT_EQ(ConditionIndex(9, 9, 1, 7), 1599); // 小倉, Ｇ１, ダート, 2500m以上
    struct Case {
        int n;
        const char *place, *cls, *track, *distance;
    };
    const std::vector<Case> cases = {
        {0, "01", "00", "0", "10"},
        {1599, "10", "90", "1", "99"},
        {ConditionIndex(2, 2, 0, 3), "04", "04", "0", "16"}, // 新潟 is "04"
        {ConditionIndex(3, 6, 1, 6), "03", "30", "1", "25"}, // 福島 is "03"
        {ConditionIndex(4, 5, 0, 4), "05", "16", "0", "18"},
    };
    for (const Case &c : cases) {
        const ConditionKeys k = PositionKeys(c.n);
        EXPECT_EQ((QByteArrayList{k.place, k.cls, k.track, k.distance}),
                  (QByteArrayList{c.place, c.cls, c.track, c.distance}))
            << c.n;
    }
}

TEST(TRPara, CellFormattingAndCuts)
{
    struct Case {
        QString box, stored;
    };
    const std::vector<Case> cases = {
        {"7", "07"},   {"100", "10"}, {"", "  "},  {"12", "12"},  {"5", "05"},
        {"7.6", "08"}, {"abc", "ab"}, {"x", "x "}, {" 3 ", "03"}, {QStringLiteral("１２"), "  "},
    };
    for (const Case &c : cases) {
        if (c.box != QStringLiteral("１２")) {
            EXPECT_EQ(ParaCellText(c.box), c.stored) << c.box.toStdString();
        }
        EXPECT_EQ(ParaCellBytes(c.box).size(), 2) << c.box.toStdString();
    }
    EXPECT_EQ(ParaCellBytes("7"), "07");
    // A full-width text is cut to two bytes, never more.
    EXPECT_EQ(ParaCellBytes(QStringLiteral("１２")), platform::toSjis(QStringLiteral("１")));

    TRParaRecord r;
    std::array<QString, kParaBoxes> boxes;
    for (int i = 0; i < kParaBoxes; ++i)
        boxes[i] = QString::number(i % 100);
    StoreBoxes(r, boxes);
    // Box block * 30 + p * 5 + r is cell p + 6 r of the block's table (file order).
    EXPECT_EQ(r.SameTrackNear[ParaCell(1, 2)], "07");  // box 0 * 30 + 1 * 5 + 2
    EXPECT_EQ(r.SameTrackAll[ParaCell(0, 1)], "31");   // box 31
    EXPECT_EQ(r.BothTracksNear[ParaCell(5, 4)], "89"); // box 89
    EXPECT_EQ(r.BothTracksAll[ParaCell(5, 4)], "19");  // box 119
    EXPECT_EQ(BoxesOf(r)[89], "89");
    EXPECT_EQ(BoxesOf(TRParaRecord())[0], "");
}

class TRParaFile : public ::testing::Test {
protected:
    test::ScratchHome home;
    void SetUp() override { resetTable(); }
};

TEST_F(TRParaFile, MissingFileIsCreatedAndSavedConditionIsFoundByItsKeys)
{
    EXPECT_EQ(LoadTRParaFile(table), 0);
    EXPECT_TRUE(QFile::exists(home.path("Korvin.trp")));
    EXPECT_EQ(home.readBytes("Korvin.trp").size(), 0);

    ASSERT_TRUE(SaveCondition(table, 1599, boxesOf("7")));
    const QByteArray file = home.readBytes("Korvin.trp");
    ASSERT_EQ(file.size(), 1600 * 249);
    EXPECT_EQ(file.left(1599 * 249), QByteArray(1599 * 249, '\0'));
    EXPECT_EQ(file.mid(1599 * 249, 9), "109019907");
    EXPECT_EQ(file.right(2), "\r\n");

    resetTable();
    EXPECT_EQ(LoadTRParaFile(table), 1600);
    EXPECT_EQ(FindParameters(table, "10", "90", "1", "99"), 1599);
    EXPECT_EQ(FindParameters(table, "10", "90", "1", "25"), -1);
    EXPECT_EQ(BoxesOf(table[1599])[119], "07");
}

// A record's own keys are kept by both saves; NUL keys get their position's.
TEST_F(TRParaFile, SaveAllWritesEveryConditionAndTheTable)
{
    home.writeBytes("Korvin.trp", keyed("08", "30", "0", "16").toBytes() + TRParaRecord().toBytes());
    EXPECT_EQ(LoadTRParaFile(table), 2);
    ASSERT_TRUE(SaveCondition(table, 0, boxesOf("3")) && SaveCondition(table, 1, boxesOf("3")));
    EXPECT_EQ(home.readBytes("Korvin.trp").left(9), "083001603");
    EXPECT_EQ(home.readBytes("Korvin.trp").mid(249, 9), "010001203");
    int last = 0, calls = 0;
    ASSERT_TRUE(SaveAllConditionRecords(table, boxesOf("42"), [&](int k) {
        last = k;
        ++calls;
    }));
    EXPECT_EQ(last, 1600);
    EXPECT_EQ(calls, 1600);
    const QByteArray file = home.readBytes("Korvin.trp");
    ASSERT_EQ(file.size(), 1600 * 249);
    EXPECT_EQ(file.left(9), "083001642");     // the file's own keys
    EXPECT_EQ(file.mid(249, 9), "010001242"); // NUL keys get their position's
    EXPECT_EQ(file.mid(1599 * 249, 7), "1090199");
    EXPECT_EQ(BoxesOf(table[800])[5], "42");
    resetTable();
    EXPECT_EQ(LoadTRParaFile(table), 1600);
    EXPECT_EQ(BoxesOf(table[1599])[0], "42");
}

// The file holds at most 1600 records: those after are never read.
TEST_F(TRParaFile, ReadsNoMoreThan1600Records)
{
    QByteArray bytes;
    for (int k = 0; k < 1602; ++k)
        bytes += keyed(k < 1599 ? "01" : (k == 1599 ? "10" : "99"), "00", "0", "10").toBytes();
    home.writeBytes(QStringLiteral("Korvin.trp"), bytes);
    EXPECT_EQ(LoadTRParaFile(table), 1600);
    EXPECT_EQ(table.size(), size_t(kConditions));
    EXPECT_EQ(table[1599].KeyPlace, "10");
}

// A file the user made read-only is left exactly as it was: no NUL records
// grown, no record half written (a full disk: EveryWriter).
TEST_F(TRParaFile, ReadOnlyFileIsLeftAsItWas)
{
    const QString trp = QStringLiteral("Korvin.trp");
    home.writeBytes(trp, keyed("08", "30", "0", "16").toBytes() + keyed("05", "00", "1", "12").toBytes());
    const QByteArray before = home.readBytes(trp);
    const std::function<bool(QString *)> saves[] = {
        [](QString *e) { return SaveCondition(table, 10, boxesOf(QStringLiteral("5")), e); },
        [](QString *e) { return SaveAllConditionRecords(table, boxesOf(QStringLiteral("5")), {}, e); },
    };
    ASSERT_TRUE(QFile::setPermissions(home.path(trp), QFileDevice::ReadOwner | QFileDevice::ReadOther));
    for (const auto &save : saves) {
        QString error;
        EXPECT_FALSE(save(&error));
        EXPECT_EQ(error, QStringLiteral("読み取り専用のファイルです"));
    }
    EXPECT_EQ(home.readBytes(trp), before);
    EXPECT_EQ(QDir(home.folder()).entryList(QDir::Files), QStringList{trp});
}

TEST(Zorb, ClassPickupAndFilters)
{
    struct Case {
        QString line;
        QString name;
        bool found;
        QString code;
        int filter;
    };
    const std::vector<Case> cases = {
        {"サラ系３歳・新馬(混)", "新馬", true, "00", 0},
        {"サラ系３歳・未出走(混)", "未出走", true, "01", 0},
        {"サラ系・３歳・未勝利(混)", "未勝利", true, "04", 1},
        {"４歳上・400万下(混)", "400万下", true, "05", 2},
        {"４歳上・1500万下(混)", "1500万下", true, "16", 4},
        {"日本ダービー・Ｇ１(国際)", "Ｇ１", true, "90", 6},
        {"ダービー(Ｇ１)・Ｇ２", "", false, "", 0}, // "(" before any "・"
        {"４歳上・準オープン(混)", "準オープン", false, "準オープン", 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ClassNameOf(c.line), c.name) << c.line.toStdString();
        const ClassPick p = ClassPickup(ClassNameOf(c.line));
        EXPECT_EQ(std::tuple(p.found, p.code, p.filter), std::tuple(c.found, c.code, c.filter)) << c.line.toStdString();
    }
}

TEST(Zorb, RaceConditionFromTheHeaders)
{
    test::TRBlockPlan s;
    const QString a = test::trHeaderLine(s) + " 11Ｒ  15:35 発走";
    struct Case {
        QString b;
        bool jump;
        QString track;
        int filter;
        QString distance;
        QString size;
    };
    const std::vector<Case> cases = {
        {"サラ系３歳・未勝利(混)[指]  芝右1800m 16頭立", false, "0", 0, "18", "16"},
        {"サラ系３歳・未勝利(混)[指]  ダ右1200m  8頭立", false, "1", 1, "12", "08"},
        {"障害４歳上・オープン(混)    芝  3000m 14頭立", true, "0", 2, "99", "14"},
        {"サラ系３歳・未勝利(混)[指]  芝右XXXXm 16頭立", false, "0", 0, "", "16"},
        {"障害４歳上・オープン(混)   ダ芝3170m 14頭立", true, "1", 2, "99", "14"},
        {"サラ系３歳・未勝利(混)[指]  芝右1150m 16頭立", false, "0", 0, "12", "16"},
        {"サラ系３歳・未勝利(混)[指]  芝右2500m 16頭立", false, "0", 0, "25", "16"},
        {"サラ系３歳・未勝利(混)[指]  芝右1000m 16頭立", false, "0", 0, "10", "16"},
        {"サラ系３歳・未勝利(混)[指]  芝右2600m 16頭立", false, "0", 0, "99", "16"},
    };
    for (const Case &c : cases) {
        const RaceCondition rc = ParseRaceCondition(a, c.b);
        EXPECT_EQ(std::tuple(rc.jump, rc.trackKey, rc.trackFilter, rc.distanceKey, rc.fieldSize),
                  std::tuple(c.jump, c.track, c.filter, c.distance, c.size))
            << c.b.toStdString();
    }
    const RaceCondition rc = ParseRaceCondition(a, cases[0].b);
    EXPECT_EQ(rc.meetingDateKey, "05003420000610");
    EXPECT_EQ(rc.race, 11);
    s.raceLabel = QStringLiteral("１Ｒ");
    EXPECT_EQ(ParseRaceCondition(test::trHeaderLine(s) + " １Ｒ", cases[0].b).race, 1);
}

TEST(Zorb, ScoringAndOrderWithTies)
{
    TRParaRecord r;
    r.SameTrackNear[ParaCell(0, 0)] = "10";  // block 0, period 0, rank 1
    r.BothTracksNear[ParaCell(0, 0)] = "05"; // block 1
    r.SameTrackAll[ParaCell(5, 4)] = "07";   // block 2, period 5, rank 5
    r.BothTracksAll[ParaCell(2, 1)] = "x ";  // not a number: 0
    std::array<QString, 120> cells;
    auto cell = [](int horse) { return QStringLiteral(" 1位 %1  ｳﾏ").arg(horse, 2, 10, QLatin1Char('0')); };
    cells[0] = cell(5);               // block 0: +10 to horse 5
    cells[30] = cell(3);              // block 1: +5 to horse 3
    cells[60 + 5 * 5 + 4] = cell(12); // block 2: +7 to horse 12
    cells[90 + 2 * 5 + 1] = cell(9);  // block 3: "x " counts 0
    cells[1] = cell(25);              // outside 1..18: ignored
    cells[2] = QStringLiteral("   "); // blank: skipped
    std::array<int, 120> horses{};
    for (int i = 0; i < 120; ++i)
        horses[size_t(i)] = timerank::HorseOfCell(cells[size_t(i)]);
    const auto scores = ScoreHorses(horses, r);
    EXPECT_EQ((std::vector<int>{scores[4], scores[2], scores[11], scores[8]}), (std::vector<int>{10, 5, 7, 0}));
    EXPECT_EQ(OrderText(scores), "051203010204060708091011131415161718");

    std::array<int, 18> ties{};
    ties[17] = 3;
    ties[6] = 3;
    ties[1] = 1;
    EXPECT_EQ(OrderText(ties), "071802010304050608091011121314151617");
    EXPECT_EQ(OrderText(std::array<int, 18>{}), "010203040506070809101112131415161718");
}

QByteArray crlf(const QStringList &lines) { return platform::encodeLines(lines); }

TEST(Zorb, ExampleBlockByteForByteAndAppending)
{
    test::ScratchHome home;
    ZorbSlots s;
    s[0] = "05003420000610";
    s[1] = "11605031201081402"; // key horse 5 of 16
    s[2] = "00803010502040607"; // box of 3, 1, 5, 2 of eight
    s[3] = kExcludedRace;
    const QStringList expected = {
        QString(76, '-'),
        QStringLiteral("東京 2000年  3回  4日目  6月 10日(土) [9999] << Korvin >> from TimeRank"),
        QString(76, '-'),
        QStringLiteral(" 1R   5  3- 5  5-12  1- 5  5- 8  5-14  2- 5  |"),
        QStringLiteral(" 2R   3    13    35    23    15    12    25  |"),
        QString(),
    };
    const QString path = home.path("Zorb.txt");
    ASSERT_TRUE(OutputZORB(s, path, "9999" + kZorbHeaderSuffix, 6));
    QByteArray want = crlf(expected);
    EXPECT_EQ(home.readBytes("Zorb.txt"), want);
    ASSERT_TRUE(OutputZORB(s, path, "9999" + kZorbHeaderSuffix, 6));
    EXPECT_EQ(home.readBytes("Zorb.txt"), want + want);
    EXPECT_TRUE(want.startsWith(QByteArray(76, '-') + "\r\n\x93\x8c\x8b\x9e")); // 東京 in CP932
}

// A key-horse line lists the key first, a box line every pair; a pair that
// names a horse that does not run (0, or above the field size when that is
// 1..18) is not written, and the line keeps its other pairs and its padding.
TEST(Zorb, PairsOnlyOfHorsesThatRun)
{
    struct Row {
        const char *name;
        int slot;
        QString head, horses, line; // kind and field size, the horses
    };
    const Row rows[] = {
        {"key horse, zero partners skipped", 5, "108", "03010000050000", " 5R   3    13    35"},
        {"box of four", 7, "012", "10090807060504", " 7R  10  9-10  8-10  7-10  8- 9  7- 9  7- 8"},
        {"box, three runners", 3, "003", "02010304050607", " 3R   2    12    23    13"},
        {"box, first horse not a number", 4, "016", "xx030102040506", " 4R   0  1- 3  2- 3  1- 2"},
        {"no field size: nothing to check against", 6, "100", "01020304050607",
         " 6R   1    12    13    14    15    16    17"},
        {"key horse, 16 runners: partner 17 does not run", 8, "116", "01170203040506",
         " 8R   1  1- 2  1- 3  1- 4  1- 5  1- 6"},
        {"key horse, six runners: partner 7 does not run", 10, "106", "01050603040207",
         "10R   1    15    16    13    14    12"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ZorbSlots s;
        s[0] = "08003220001224"; // 京都, Sunday 24 December 2000
        s[row.slot] = row.head + row.horses;
        s[9] = ""; // empty slot: no line
        const QStringList lines = ZorbBlockLines(s, "1234" + kZorbHeaderSuffix, 6);
        ASSERT_EQ(lines.size(), 5);
        EXPECT_EQ(lines[1], QStringLiteral("京都 2000年  3回  2日目 12月 24日(日) [1234] << Korvin >> from TimeRank"));
        EXPECT_EQ(lines[3], row.line + QString(45 - row.line.size(), ' ') + "|");
        EXPECT_TRUE(lines[4].isEmpty());
    }
    const char16_t *days[7] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    for (int d = 0; d < 7; ++d) {
        ZorbSlots s;
        s[0] = QStringLiteral("0500342000%1").arg(QStringLiteral("06%1").arg(4 + d, 2, 10, QLatin1Char('0')));
        EXPECT_TRUE(ZorbBlockLines(s, "9999" + kZorbHeaderSuffix, 6)[1].contains(
            QStringLiteral("(%1)").arg(QString::fromUtf16(days[d]))))
            << d;
    }
}

// A day of races for the batch run: the blocks, and a parameter table whose
// records give 10 points to rank 1 of every ranking and 1 to rank 2.
class BatchRun : public ::testing::Test {
protected:
    test::ScratchHome home;
    platform::RecordingDialogs rec;
    common::SettingsRecord settings;
    QStringList lines;
    void SetUp() override
    {
        settings.SDataON = "0";
        resetTable();
        std::array<QString, kParaBoxes> boxes;
        for (int i = 0; i < kParaBoxes; ++i)
            boxes[i] = QString::fromLatin1(i % 5 == 0 ? "10" : (i % 5 == 1 ? "1" : "0"));
        ASSERT_TRUE(SaveAllConditionRecords(table, boxes, {}));
    }
    void addRace(const QString &course, const QString &day, const QString &label, const QString &nameLine, int winner,
                 int second)
    {
        test::TRBlockPlan s;
        s.course = course;
        s.day = day;
        s.raceLabel = label;
        s.nameLine = nameLine;
        s.groups.assign(24, {});
        for (int g = 0; g < 24; ++g)
            s.groups[g] = {test::trHorse(1, winner), test::trHorse(2, second)};
        lines << test::trBlock(s);
    }
    bool open(timerank::TimeRankAnalysis &analysis)
    {
        home.writeLines("TRb.txt", lines);
        return analysis.open(home.path("TRb.txt"), 1, settings);
    }
    // One run over the races the race list offers; the analysis stays open in a.
    BatchRunResult runOver(int races, const ZorbSettings &z = {}, int *moves = nullptr)
    {
        EXPECT_TRUE(open(a));
        return RunBatchPrediction(a, races, z, home.path("Zorb.txt"), rec, [moves] {
            if (moves)
                ++*moves;
        });
    }
    QStringList run(const ZorbSettings &z, int races)
    {
        int moves = 0;
        const BatchRunResult r = runOver(races, z, &moves);
        EXPECT_TRUE(r.completed);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(moves, races - 1);
        return zorb();
    }
    QStringList zorb() const { return platform::readLines(home.path("Zorb.txt")).value_or(QStringList{}); }
    static ZorbSettings keyHorse()
    {
        ZorbSettings z;
        z.keyHorse = true;
        return z;
    }
    timerank::TimeRankAnalysis a;
};

const QString kTurf16 = QStringLiteral("サラ系３歳・未勝利(混)[指]  芝右1800m 16頭立");
const QString kDirt8 = QStringLiteral("サラ系３歳・500万下(混)[指]  ダ右1200m  8頭立");

TEST_F(BatchRun, MeetingsFiltersAndFailures)
{
    addRace("東京", "4", "１Ｒ", kTurf16, 7, 3);
    addRace("東京", "4", "２Ｒ", kDirt8, 2, 6);
    addRace("京都", "2", "１Ｒ", kTurf16, 4, 1);
    addRace("京都", "2", "３Ｒ", QStringLiteral("サラ系３歳・準オープン(混)  芝右1800m 16頭立"), 4, 1);
    // A known class whose parameter record is gone (its keys NUL): the search
    // error alone, and the race is left out of its block.
    const QString gone = QStringLiteral("サラ系３歳・未勝利(混)[指]  芝右2000m 16頭立");
    addRace("京都", "2", "５Ｒ", gone, 5, 2);
    test::TRBlockPlan kyoto;
    kyoto.course = "京都";
    kyoto.day = "2";
    const RaceCondition rc = ParseRaceCondition(test::trHeaderLine(kyoto) + " ５Ｒ  15:35 発走", gone);
    ASSERT_TRUE(rc.cls.found);
    const int record = FindParameters(table, "08", rc.cls.code, rc.trackKey, rc.distanceKey);
    ASSERT_GE(record, 0);
    ASSERT_TRUE(WriteTRParaRecord(record, TRParaRecord()));
    addRace("東京", "4", "12Ｒ", QStringLiteral("障害４歳上・オープン(混)    芝  3000m 14頭立"), 9, 8);
    ZorbSettings z;
    z.keyHorse = true;
    z.track[1] = false; // ダート off
    const QStringList out = run(z, 6);
    // Class error, then the search error of the same race, then that of the
    // race without a record; the jump race's distance "3000" has band "99",
    // which the table holds.
    EXPECT_EQ(rec.texts(),
              (QStringList{"Class Pickup Error!!", "Paramator Search Error!!", "Paramator Search Error!!"}));
    EXPECT_EQ(rec.shown[0].kind, platform::MessageKind::Critical);
    auto block = [](const QString &course, const QString &day, const QString &line) {
        return QStringList{QString(76, '-'),
                           course + " 2000年  3回  " + day + "日目  6月 10日(土) [9999] << Korvin >> from TimeRank",
                           QString(76, '-'), line, ""};
    };
    const QStringList want = block("東京", "4", " 1R   7  3- 7  1- 7  2- 7  4- 7  5- 7  6- 7  |") +
                             block("京都", "2", " 1R   4  1- 4  2- 4  3- 4  4- 5  4- 6  4- 7  |") +
                             block("東京", "4", "12R   9  8- 9  1- 9  2- 9  3- 9  4- 9  5- 9  |");
    EXPECT_EQ(out, want);
}

TEST_F(BatchRun, BoxBetsAndClassFilter)
{
    addRace("東京", "4", "１Ｒ", kTurf16, 7, 3);
    addRace("東京", "4", "２Ｒ", kDirt8, 2, 6);
    ZorbSettings z;
    z.code = "0042";
    z.classes[1] = false; // 未勝利 off
    const QStringList out = run(z, 2);
    EXPECT_TRUE(rec.shown.empty());
    ASSERT_EQ(out.size(), 5);
    EXPECT_TRUE(out[1].endsWith("[0042] << Korvin >> from TimeRank"));
    EXPECT_EQ(out[3], QStringLiteral(" 2R   2    26    12    23    16    36    13  |"));
}

// The run covers the races the race list offers; a block the list leaves out
// (race number outside 1..12) must not use up one of them.
TEST_F(BatchRun, ARaceTheListLeavesOutDoesNotCostTheLastRace)
{
    addRace("東京", "4", "１Ｒ", kTurf16, 7, 3);
    addRace("東京", "4", "13Ｒ", kTurf16, 9, 8);
    addRace("東京", "4", "２Ｒ", kTurf16, 2, 6);
    // The race list offers two races: 1R and 2R.
    EXPECT_TRUE(runOver(2, keyHorse()).completed);
    ASSERT_EQ(a.raceCount(), 3);
    EXPECT_TRUE(rec.shown.empty()) << rec.texts().join('\n').toStdString();
    const QStringList out = zorb();
    ASSERT_EQ(out.size(), 6);
    EXPECT_EQ(out[3], QStringLiteral(" 1R   7  3- 7  1- 7  2- 7  4- 7  5- 7  6- 7  |"));
    EXPECT_EQ(out[4], QStringLiteral(" 2R   2  2- 6  1- 2  2- 3  2- 4  2- 5  2- 7  |"));
}

// A block that cannot be written stops the run and is not reported as done;
// the message names the file and the system's reason.
TEST_F(BatchRun, AnUnwritableZorbFileFailsTheRun)
{
    addRace("東京", "4", "１Ｒ", kTurf16, 7, 3);
    addRace("京都", "2", "１Ｒ", kTurf16, 4, 1);
    ASSERT_TRUE(open(a));
    const QString zorb = home.path("missing/Zorb.txt");
    EXPECT_FALSE(RunBatchPrediction(a, 2, ZorbSettings{}, zorb, rec).completed);
    ASSERT_EQ(rec.shown.size(), 1u) << rec.texts().join('\n').toStdString();
    EXPECT_EQ(rec.shown[0].kind, platform::MessageKind::Critical);
    EXPECT_TRUE(rec.shown[0].text.contains(zorb));
    // The system's reason in its own words: Linux's, Windows' or Wine's.
#ifdef Q_OS_WIN
    EXPECT_TRUE(rec.shown[0].text.endsWith("The system cannot find the path specified.") ||
                rec.shown[0].text.endsWith("Path not found."))
        << rec.shown[0].text.toStdString();
#else
    EXPECT_TRUE(rec.shown[0].text.contains("No such file or directory")) << rec.shown[0].text.toStdString();
#endif
    EXPECT_EQ(a.raceIndex(), 1); // stopped where the first block failed
}

// A race block met twice is predicted once and said once; the run goes over
// every block, so the file's last race is still written.
TEST_F(BatchRun, ARepeatedRaceIsPredictedOnceAndTheLastRaceStillWritten)
{
    addRace("東京", "4", "１Ｒ", kTurf16, 7, 3);
    addRace("東京", "4", "２Ｒ", kTurf16, 2, 6);
    addRace("東京", "4", "１Ｒ", kTurf16, 9, 8);
    addRace("東京", "4", "１Ｒ", kTurf16, 9, 8);
    addRace("京都", "2", "１Ｒ", kTurf16, 4, 1);
    // The race list offers three races.
    const BatchRunResult r = runOver(3, keyHorse());
    EXPECT_TRUE(r.completed);
    EXPECT_EQ(r.messages,
              platform::Messages{platform::Information(QStringLiteral(
                  "同じレースがもう一度あります．予想は最初のものだけです． ( 2000年 6月10日(土) 3回東京4日目 1R )"))});
    const QStringList out = zorb();
    ASSERT_EQ(out.size(), 11);
    EXPECT_EQ(out[3], QStringLiteral(" 1R   7  3- 7  1- 7  2- 7  4- 7  5- 7  6- 7  |"));
    EXPECT_TRUE(out[7].startsWith(QStringLiteral("京都")));
    EXPECT_EQ(out[9], QStringLiteral(" 1R   4  1- 4  2- 4  3- 4  4- 5  4- 6  4- 7  |"));
}

// A block cut short (a truncated file) would be scored from half a table: it
// gets the excluded line, and the run says so once.
TEST_F(BatchRun, ARaceCutShortIsExcludedAndSaidOnce)
{
    addRace("東京", "4", "１Ｒ", kTurf16, 7, 3);
    addRace("東京", "4", "２Ｒ", kTurf16, 2, 6);
    lines = lines.mid(0, lines.size() - 40);
    const BatchRunResult r = runOver(2);
    EXPECT_TRUE(r.completed);
    EXPECT_EQ(r.messages, platform::Messages{platform::Information(
                              QStringLiteral("ランキング表が途中で終わっているレースは予想しません． ( %1 )\n"
                                             "2000年 6月10日(土) 3回東京4日目 2R")
                                  .arg(home.path("TRb.txt")))});
    const QStringList out = zorb();
    ASSERT_EQ(out.size(), 5);
    EXPECT_TRUE(out[3].startsWith(" 1R"));
}

// Nothing to predict (the file is gone, or the race list offers no race) is
// never a completed run; fewer races in the file than counted still writes
// the meeting collected.
TEST_F(BatchRun, CompletedOnlyWhenThereWasSomethingToPredict)
{
    addRace("東京", "4", "１Ｒ", kTurf16, 7, 3);
    addRace("東京", "4", "２Ｒ", kTurf16, 2, 6);
    timerank::TimeRankAnalysis gone;
    EXPECT_FALSE(gone.open(home.path("gone.txt"), 1, settings));
    BatchRunResult r = RunBatchPrediction(gone, 2, ZorbSettings{}, home.path("Zorb.txt"), rec);
    EXPECT_FALSE(r.completed);
    EXPECT_EQ(r.messages, platform::Messages{platform::Information(
                              QStringLiteral("一括予想するレースがありません． ( %1 )").arg(gone.path()))});
    EXPECT_FALSE(runOver(0).completed);
    EXPECT_FALSE(QFile::exists(home.path("Zorb.txt")));
    EXPECT_TRUE(runOver(5).completed);
    const QStringList out = zorb();
    ASSERT_EQ(out.size(), 6);
    EXPECT_TRUE(out[4].startsWith(" 2R"));
}

// The run hands over the blocks it wrote; the backtest reads the payout files
// of their races, and only when payouts are switched on and found.
TEST_F(BatchRun, BacktestOfTheBlocksWritten)
{
    addRace("東京", "4", "１Ｒ", kTurf16, 7, 3);
    addRace("京都", "2", "１Ｒ", kTurf16, 4, 1);
    const BatchRunResult r = runOver(2, keyHorse());
    ASSERT_EQ(r.blocks.size(), 2u);
    EXPECT_EQ(r.blocks[0][1], QStringLiteral("11607030102040506"));
    settings.SData = home.makeFolder("SData");
    EXPECT_FALSE(BacktestRun(r, settings)) << "payouts off";
    settings.SDataON = "1";
    EXPECT_FALSE(BacktestRun(r, settings)) << "no payout file";
    home.writeBytes("SData/003東.dat", test::PayoutRecord("4", "01").uma(0, "0102", 500).uma(1, "0307", 2340).b);
    const std::optional<BacktestSummary> b = BacktestRun(r, settings);
    ASSERT_TRUE(b);
    EXPECT_EQ(BacktestLines(*b).mid(1),
              (QStringList{
                  QStringLiteral("東京 3回4日目          1     6     1  100.0%  390.0%         0"),
                  QStringLiteral("京都 3回2日目          0     0     0       -       -         1"),
                  QStringLiteral("合計                   1     6     1  100.0%  390.0%         1"),
              }));
}

#ifdef Q_OS_WIN
// Makes a file unwritable: its read-only attribute, and, since Wine run by
// root writes such a file anyway, a handle that lets others only read it (as
// a program that holds the file open would). Undone on destruction.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString &path) : m_path(QDir::toNativeSeparators(path).toStdWString())
    {
        const DWORD attributes = GetFileAttributesW(m_path.c_str());
        m_ok = attributes != INVALID_FILE_ATTRIBUTES &&
               SetFileAttributesW(m_path.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
        m_held = CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        m_ok = m_ok && m_held != INVALID_HANDLE_VALUE;
    }
    ~ReadOnlyFile()
    {
        if (m_held != INVALID_HANDLE_VALUE)
            CloseHandle(m_held);
        const DWORD attributes = GetFileAttributesW(m_path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesW(m_path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
    }
    bool ok() const { return m_ok; }

private:
    std::wstring m_path;
    HANDLE m_held = INVALID_HANDLE_VALUE;
    bool m_ok = false;
};
#else
// Makes a file unwritable for this process: by its mode, or for root, which
// ignores modes, by the immutable flag. Undone on destruction.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const QString &path) : m_path(path.toLocal8Bit())
    {
        if (geteuid() != 0) {
            m_ok = ::chmod(m_path.constData(), 0444) == 0;
            return;
        }
        m_ok = setImmutable(true);
        m_immutable = m_ok;
    }
    ~ReadOnlyFile()
    {
        if (m_immutable)
            setImmutable(false);
        else
            ::chmod(m_path.constData(), 0644);
    }
    bool ok() const { return m_ok; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(m_path.constData(), O_RDONLY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }
    QByteArray m_path;
    bool m_ok = false;
    bool m_immutable = false;
};
#endif

TEST_F(TRParaFile, AProtectedParameterFileIsStillRead)
{
    ASSERT_TRUE(SaveCondition(table, 3, boxesOf("6")));
    resetTable();
    ReadOnlyFile guard(home.path("Korvin.trp"));
    if (!guard.ok())
        GTEST_SKIP() << "this file system cannot protect a file from root";
    QFile probe(home.path("Korvin.trp"));
    ASSERT_FALSE(probe.open(QIODevice::ReadWrite)); // the protection holds
    QString error;
    EXPECT_EQ(LoadTRParaFile(table, &error), 4) << error.toStdString();
    EXPECT_EQ(BoxesOf(table[3])[0], "06");
}

} // namespace
