#include "hardening/readers.h"
#include "common/settings.h"
#include "files/lzhcopy.h"
#include "host/resultcomments.h"
#include "host/timeranksplit.h"
#include "platform/bytelines.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "predict/trpara.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"
#include "racing/horsemarks.h"
#include "racing/payouts.h"
#include "support/hostexport.h"
#include "support/payoutrecord.h"
#include "support/testutil.h"
#include "timerank/timerankfile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace korvin;
using namespace korvin::test;

namespace {

// A file that is not what its reader expects: a good one cut inside a
// double-byte character two thirds in (no line end after it), random bytes,
// the good one's text as UTF-8, a folder or a FIFO in its place, the good one
// followed by a line longer than the host ever writes, or a sparse file larger
// than any it writes (one endless line of NUL bytes).
enum Variant { Truncated, Binary, Utf8, Folder, Fifo, LongLine, Sparse };
constexpr int kVariants = 7;

void lay(const QString &path, const QByteArray &good, Variant v)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (v == Folder) {
        QDir().mkpath(path);
        return;
    }
    if (v == Fifo) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return;
    }
    if (v == Sparse) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(platform::kMaxInputBytes + 1));
        return;
    }
    if (v == LongLine) {
        ASSERT_TRUE(test::writeFile(path, good + QByteArray(platform::kMaxLineBytes + 1, 'x') + "\r\n"));
        return;
    }
    QByteArray bytes = platform::fromSjis(good).toUtf8();
    if (v == Truncated) {
        qsizetype cut = good.size() * 2 / 3;
        for (qsizetype i = 0; i < good.size(); ++i) {
            const auto b = quint8(good[i]);
            if (!((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)))
                continue;
            if (i >= good.size() * 2 / 3) {
                cut = i + 1;
                break;
            }
            ++i; // the trail byte
        }
        bytes = good.left(cut);
    } else if (v == Binary) {
        std::mt19937 random(1323);
        bytes.clear();
        for (int i = 0; i < 4096; ++i)
            bytes += char(random());
    }
    ASSERT_TRUE(test::writeFile(path, bytes));
}

QString count(qsizetype n, const char *what) { return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(what)); }

// The text of the first message up to its first "．".
QString said(const platform::Messages &m)
{
    return m.empty() ? QStringLiteral("nothing said") : m.front().text.section(QStringLiteral("．"), 0, 0);
}

struct OddCase {
    const char *file;
    std::function<QByteArray()> good;
    std::function<QString(const QString &folder)> outcome;
    std::array<const char *, kVariants> expected; // in the order of Variant
};

const QString kRaceKey = QStringLiteral("05003411");

const QString kCsv = QStringLiteral("0500341101,7,1200,0,12,51.5,3,1,0,2.5,ノーブル,\r\n"
                                    "0500341102,7,1200,0,12,48.0,9,2,0,4.1,ブルー,\r\n"
                                    "0500341201,5,1600,1,10,47.0,2,1,0,3.3,スター,\r\n");

} // namespace

// What each reader makes of a file that is not what it expects. None stops or
// waits, none reads outside what the file holds, none takes in a line or a
// file beyond the bounds of any the host writes.
TEST(EveryReader, TruncatedBinaryUtf8AFolderAFifoOrTooLong)
{
    const OddCase cases[] = {
        {"DenCSV/DC000610.csv",
         [] { return platform::toSjis(kCsv); },
         [](const QString &f) {
             const racecard::RaceTableRead r = racecard::ReadRaceTable(f + QStringLiteral("DenCSV/DC000610.csv"));
             return r.opened ? count(r.table.raceCount, "races") : QStringLiteral("cannot open");
         },
         {"2 races", "4 races", "2 races", "cannot open", "cannot open", "cannot open", "cannot open"}},
        {"VTX/Dx000610.txt",
         [] {
             QStringList l{QStringLiteral("2000年 6月10日(土) 3回東京4日目"), QStringLiteral("11Ｒ サラ系３歳未勝利"),
                           QStringLiteral(" 枠 番 馬名"), QString(20, QLatin1Char('-')),
                           QStringLiteral("  (ﾀｲﾑ指数 最高値)")};
             for (int h = 1; h <= 3; ++h)
                 l << QStringLiteral(" %1  %1 ウマ%1　　 牡3 56.0 騎手　   78  76  81  73 差  465  ").arg(h);
             return platform::encodeLines(l + QStringList{QString(20, QLatin1Char('-'))});
         },
         [](const QString &f) {
             platform::writeLines(f + QStringLiteral("DenCSV/DC000610.csv"), platform::splitLines(kCsv));
             const racecard::DataListModel m = racecard::LoadDataList(RaceOf(f, kRaceKey));
             return m.rows[0][racecard::ColT1].visible ? QStringLiteral("columns shown")
                                                       : QStringLiteral("columns hidden");
         },
         {"columns shown", "columns hidden", "columns hidden", "columns hidden", "columns hidden", "columns hidden",
          "columns hidden"}},
        {"Korvin.ini",
         [] {
             return platform::toSjis(
                 QStringLiteral("# 設定\r\nMData     /データ/\r\nWait1     2\r\nWait2     3\r\nWait3     4\r\n"));
         },
         [](const QString &f) {
             common::SettingsRecord s;
             const common::SettingsLoad r = common::LoadSettingsFile(f + common::kSettingsFileName, s);
             return r.opened ? count(r.badLines.size(), "bad Wait lines") : QStringLiteral("cannot open");
         },
         {"0 bad Wait lines", "0 bad Wait lines", "0 bad Wait lines", "cannot open", "cannot open", "cannot open",
          "cannot open"}},
        {"MData/Um003東.dat",
         [] {
             QStringList l(96, QString(42, QLatin1Char(' ')));
             l[46] = QStringLiteral("      ◎○") + QString(32, QLatin1Char(' '));
             return platform::encodeLines(l);
         },
         [](const QString &f) {
             const QString mdata = f + QStringLiteral("MData/");
             const QString marks = racing::ReadHorseMarks(kRaceKey, mdata).trimmed();
             QString error;
             const bool saved = racing::WriteHorseMarks(QStringLiteral("▲"), kRaceKey, mdata, &error);
             return (marks.isEmpty() ? QStringLiteral("no marks") : QStringLiteral("marks read")) +
                    (saved ? QStringLiteral(", saved") : QStringLiteral(", not saved"));
         },
         {"marks read, saved", "no marks, saved", "marks read, saved", "no marks, not saved", "no marks, not saved",
          "no marks, not saved", "no marks, not saved"}},
        {"SData/003東.dat",
         [] { return PayoutRecord("4", "11").b + PayoutRecord("4", "12").b; },
         [](const QString &f) {
             racing::PayoutArea area;
             racing::FillPayoutArea(area, f + QStringLiteral("SData/003東.dat"), QStringLiteral("4"), 11);
             return area.shown ? QStringLiteral("shown") : QStringLiteral("hidden");
         },
         {"shown", "hidden", "shown", "hidden", "hidden", "shown", "hidden"}},
        {"TimeRank/TRa20000610.txt",
         [] {
             TRBlockPlan p;
             p.groups = trFullGroups();
             return platform::encodeLines(trBlock(p));
         },
         [](const QString &f) {
             const timerank::TimeRankLines r =
                 timerank::ReadTimeRankLines(f + QStringLiteral("TimeRank/TRa20000610.txt"));
             if (!r.opened)
                 return QStringLiteral("cannot open");
             if (r.raceStarts.empty())
                 return QStringLiteral("no race header");
             const timerank::TimeRankRace race = timerank::ReadRaceBlock(r.lines, 0, int(r.lines.size()), 0);
             return count(race.groupsRead, "groups");
         },
         {"15 groups", "no race header", "no race header", "cannot open", "cannot open", "cannot open", "cannot open"}},
        {"TimeRank.txt",
         [] { return platform::encodeLines(exportRace({})); },
         [](const QString &f) {
             QDir().mkpath(f + QStringLiteral("out"));
             const host::SplitResult r =
                 host::SplitTimeRankText(f + QStringLiteral("TimeRank.txt"), f + QStringLiteral("out/"), 0);
             return r.written() ? count(r.races, "races written") : said(r.messages);
         },
         {"タイムランクのエクスポートファイルは 1 レース目の途中で終わっています",
          "タイムランクのエクスポートファイルの1行目に日付がありません",
          "タイムランクのエクスポートファイルの1行目に日付がありません",
          "タイムランクのエクスポートファイルがありません", "タイムランクのエクスポートファイルがありません",
          "タイムランクのエクスポートファイルを開けません", "タイムランクのエクスポートファイルを開けません"}},
        {"MData/Comment.txt",
         [] {
             CommentExportPlan p;
             for (int h = 1; h <= 9; ++h)
                 p.runners << commentRunner(h, QLatin1Char(' '), QStringLiteral(" 1:35.7  1 =◆3"));
             return platform::encodeLines(commentExport(p));
         },
         [](const QString &f) {
             const host::CommentAppend r =
                 host::AppendResultComments(f + QStringLiteral("MData/Comment.txt"), f + QStringLiteral("MData/"), 1);
             return r.appended() ? count(r.lines, "lines appended") : said(r.messages).section(QStringLiteral("："), 1);
         },
         {"9 頭に対して出走馬の行が 6 行しかありません", "競馬場名「U閉」が競馬場の表にありません",
          "競馬場名「) 」が競馬場の表にありません", "結果のエクスポートファイルがありません",
          "結果のエクスポートファイルがありません", "結果のエクスポートファイルを開けません",
          "結果のエクスポートファイルを開けません"}},
        {"Korvin.trp",
         [] {
             predict::TRParaRecord r;
             predict::GivePositionKeys(r, 0);
             return r.toBytes() + r.toBytes();
         },
         [](const QString &) {
             std::vector<predict::TRParaRecord> table;
             const int n = predict::LoadTRParaFile(table);
             return n < 0 ? QStringLiteral("cannot read") : count(n, "records");
         },
         {"2 records", "17 records", "2 records", "cannot read", "cannot read", "266 records", "1600 records"}},
        {"CopyLZH.lst",
         [] { return platform::toSjis(QStringLiteral("1\r\n/ダウンロード\r\n/mnt/a\r\n\r\n\r\n\r\n\r\n")); },
         [](const QString &f) {
             const auto list = files::ReadFolderList(f + QStringLiteral("CopyLZH.lst"));
             if (!list)
                 return QStringLiteral("no list");
             return (list->deleteSources ? QStringLiteral("delete ticked, ") : QStringLiteral("delete unticked, ")) +
                    (list->paths[0] == QStringLiteral("/ダウンロード") ? QStringLiteral("source read")
                                                                       : QStringLiteral("source other"));
         },
         {"delete ticked, source read", "delete unticked, source other", "delete ticked, source other", "no list",
          "no list", "no list", "no list"}},
    };
    for (const OddCase &c : cases) {
        for (Variant v : {Truncated, Binary, Utf8, Folder, Fifo, LongLine, Sparse}) {
            SCOPED_TRACE(std::string(c.file) + " variant " + std::to_string(int(v)));
            ScratchHome home;
            lay(home.folder() + QString::fromUtf8(c.file), c.good(), v);
            EXPECT_EQ(c.outcome(home.folder()).toStdString(), c.expected[size_t(v)]);
        }
    }
}
