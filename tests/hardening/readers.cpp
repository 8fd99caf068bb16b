#include "hardening/readers.h"

#include "common/programfolder.h"
#include "common/settings.h"
#include "files/lzhcopy.h"
#include "host/keynotation.h"
#include "host/resultcomments.h"
#include "host/timeranksplit.h"
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
#include "timerank/analysis.h"
#include "timerank/racelisttr.h"

#include <QDir>
#include <QFile>

namespace korvin::test {

namespace {

// head, then pattern (its counter %1 replaced by a running number when given)
// over and over up to size bytes.
void fill(const QString &path, const QByteArray &head, const QByteArray &pattern, qint64 size)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    f.write(head);
    const bool counted = pattern.contains("%1");
    QByteArray chunk;
    for (qint64 written = head.size(), n = 0; written < size;) {
        chunk.clear();
        while (chunk.size() < (1 << 20) && written + chunk.size() < size)
            chunk +=
                counted ? QByteArray(pattern).replace("%1", QByteArray::number(n++).rightJustified(6, '0')) : pattern;
        f.write(chunk);
        written += chunk.size();
    }
}

QByteArray lines(const QStringList &l) { return platform::encodeLines(l); }

QString expect(bool ok, const QString &what) { return ok ? QString() : what; }

} // namespace

racecard::RaceContext RaceOf(const QString &folder, const QString &key)
{
    racecard::RaceContext c;
    c.csvPath = folder + QStringLiteral("DenCSV/DC000610.csv");
    c.csvName = QStringLiteral("DC000610.csv");
    c.race = racing::RaceIdOfKey(key);
    c.caption = racecard::RaceCaption(key, 7, 1200, 0, 12);
    c.settings.SDataON = QStringLiteral("0");
    c.settings.VTX_Text = folder + QStringLiteral("VTX/");
    c.readMarks = false;
    return c;
}

const std::vector<BigInput> &BigInputs()
{
    static const std::vector<BigInput> inputs{
        {"race card, a race per line",
         [](const QString &f, qint64 size) { fill(f + QStringLiteral("DC.csv"), {}, "05%10,7,1200,0,12,\r\n", size); },
         [](const QString &f) {
             const racecard::RaceTableRead r = racecard::ReadRaceTable(f + QStringLiteral("DC.csv"));
             return expect(r.table.raceCount == racecard::kMaxRaces &&
                               racecard::RaceCardLeftOutMessage(r).contains(QStringLiteral("ほか")),
                           racecard::RaceCardLeftOutMessage(r).left(200));
         }},
        {"race card, empty lines",
         [](const QString &f, qint64 size) { fill(f + QStringLiteral("DC.csv"), {}, "\n", size); },
         [](const QString &f) {
             const racecard::RaceTableRead r = racecard::ReadRaceTable(f + QStringLiteral("DC.csv"));
             return expect(r.opened && r.usableLines == 0, QStringLiteral("lines with a race key"));
         }},
        {"data list, one race of every line",
         [](const QString &f, qint64 size) {
             fill(f + QStringLiteral("DenCSV/DC000610.csv"), {}, "0500341101,7,1200,0,12,51.5,3,1,0,2.5,\r\n", size);
         },
         [](const QString &f) {
             const racecard::DataListModel m = racecard::LoadDataList(RaceOf(f, QStringLiteral("05003411")));
             return expect(m.runnerCount == racecard::kDataRows && m.messages.size() == 1 &&
                               m.messages[0].text.startsWith(QStringLiteral("出走馬が18頭を超えています")),
                           test::Texts(m.messages).join(QLatin1Char('\n')));
         }},
        {"VTX text, empty lines",
         [](const QString &f, qint64 size) {
             fill(f + QStringLiteral("DenCSV/DC000610.csv"), {}, "0500341101,7,1200,0,12,51.5,3,1,0,2.5,\r\n", 100);
             fill(f + QStringLiteral("VTX/Dx000610.txt"), {}, "\n", size);
         },
         [](const QString &f) {
             const racecard::DataListModel m = racecard::LoadDataList(RaceOf(f, QStringLiteral("05003411")));
             return expect(m.vtxFound && !m.rows[0][racecard::ColT1].visible, QStringLiteral("VTX columns shown"));
         }},
        {"settings, bad Wait lines",
         [](const QString &f, qint64 size) { fill(f + common::kSettingsFileName, {}, "Wait1     x\r\n", size); },
         [](const QString &) {
             const platform::Messages said = common::LoadSettings();
             return expect(!said.empty() && said.size() <= 31 && said.back().text.contains(QStringLiteral("ほか")),
                           QStringLiteral("%1 messages").arg(said.size()));
         }},
        {"mark file, empty lines",
         [](const QString &f, qint64 size) { fill(f + QStringLiteral("MData/Um003東.dat"), {}, "\n", size); },
         [](const QString &f) {
             const QString mdata = f + QStringLiteral("MData/");
             const bool read = racing::ReadHorseMarks(QStringLiteral("05003411"), mdata).isEmpty();
             const bool saved = racing::WriteHorseMarks(QStringLiteral("◎"), QStringLiteral("05003411"), mdata);
             return expect(read && saved &&
                               racing::ReadHorseMarks(QStringLiteral("05003411"), mdata) == QStringLiteral("◎"),
                           QStringLiteral("marks not read back"));
         }},
        {"payout file, records of one race",
         [](const QString &f, qint64 size) {
             fill(f + QStringLiteral("SData/003東.dat"), {}, PayoutRecord("4", "11").b, size);
         },
         [](const QString &f) {
             racing::PayoutArea area;
             racing::FillPayoutArea(area, f + QStringLiteral("SData/003東.dat"), QStringLiteral("4"), 11);
             return expect(area.shown, QStringLiteral("payouts hidden"));
         }},
        {"time-rank file, header lines",
         [](const QString &f, qint64 size) {
             fill(f + QStringLiteral("TRa20000610.txt"), {},
                  platform::toSjis(trHeaderLine({}) + QStringLiteral("\r\n")), size);
         },
         [](const QString &f) {
             timerank::TimeRankAnalysis model;
             common::SettingsRecord settings;
             settings.SDataON = QStringLiteral("0");
             model.open(f + QStringLiteral("TRa20000610.txt"), 0, settings);
             const timerank::TRRaceList list = timerank::LoadRaceList(f + QStringLiteral("TRa20000610.txt"));
             return expect(model.raceCount() == timerank::kMaxRaceBlocks && !model.messages().empty() &&
                               list.messages.size() == 1,
                           QStringLiteral("%1 races").arg(model.raceCount()));
         }},
        {"time-rank file, one line",
         [](const QString &f, qint64 size) {
             fill(f + QStringLiteral("TRa20000610.txt"), platform::toSjis(trHeaderLine({})), "x", size);
         },
         [](const QString &f) {
             timerank::TimeRankAnalysis model;
             const bool opened = model.open(f + QStringLiteral("TRa20000610.txt"), 0, {});
             const timerank::TRRaceList list = timerank::LoadRaceList(f + QStringLiteral("TRa20000610.txt"));
             return expect(!opened && !list.opened && !model.messages().empty() &&
                               model.messages()[0].text.contains(QStringLiteral("1 行目が長すぎます")),
                           QStringLiteral("the line was taken in"));
         }},
        {"time-rank file, empty lines",
         [](const QString &f, qint64 size) { fill(f + QStringLiteral("TRa20000610.txt"), {}, "\n", size); },
         [](const QString &f) {
             timerank::TimeRankAnalysis model;
             const bool opened = model.open(f + QStringLiteral("TRa20000610.txt"), 0, {});
             const timerank::TRRaceList list = timerank::LoadRaceList(f + QStringLiteral("TRa20000610.txt"));
             return expect(!opened && list.opened && !list.headerFound, QStringLiteral("a race found"));
         }},
        {"time-rank export, complete races",
         [](const QString &f, qint64 size) {
             ExportRacePlan p;
             p.rows = [](int) { return 5; };
             // Each race's last line numbered: a race exported twice in a row is written once.
             QStringList race = exportRace(p);
             race.last() += QStringLiteral(" %1");
             fill(f + QStringLiteral("TimeRank.txt"), {}, lines(race), size);
             QDir().mkpath(f + QStringLiteral("out"));
         },
         [](const QString &f) {
             const host::SplitResult r =
                 host::SplitTimeRankText(f + QStringLiteral("TimeRank.txt"), f + QStringLiteral("out/"), 0);
             return expect(r.written() && r.races > 100, QStringLiteral("%1 races written").arg(r.races));
         }},
        {"result export, runner lines",
         [](const QString &f, qint64 size) {
             CommentExportPlan p;
             p.count = 12;
             fill(f + QStringLiteral("Comment.txt"), lines(commentExport(p)),
                  lines({commentRunner(1, QLatin1Char(' '), QStringLiteral(" 1:35.7  1 =◆3"))}), size);
             QDir().mkpath(f + QStringLiteral("MData"));
         },
         [](const QString &f) {
             const host::CommentAppend r =
                 host::AppendResultComments(f + QStringLiteral("Comment.txt"), f + QStringLiteral("MData/"), 1);
             return expect(r.lines == 12, QStringLiteral("%1 lines appended").arg(r.lines));
         }},
        {"parameter file, records",
         [](const QString &f, qint64 size) {
             fill(f + QStringLiteral("Korvin.trp"), {}, predict::TRParaRecord().toBytes(), size);
         },
         [](const QString &) {
             std::vector<predict::TRParaRecord> table;
             return expect(predict::LoadTRParaFile(table) == predict::kConditions &&
                               predict::SaveCondition(table, 5, predict::BoxesOf(table[5])),
                           QStringLiteral("not read or saved"));
         }},
        {"key string, repeats",
         [](const QString &f, qint64 size) { fill(f + QStringLiteral("keys.txt"), {}, "{a 999}", size); },
         [](const QString &f) {
             QFile in(f + QStringLiteral("keys.txt"));
             in.open(QIODevice::ReadOnly);
             const host::KeyParse p = host::ParseKeyString(in.readAll().toStdString());
             return expect(!p.ok() && p.actions.empty(), QString::fromStdString(p.error));
         }},
        {"folder list, empty lines",
         [](const QString &, qint64 size) { fill(files::FolderListPath(), {}, "\n", size); },
         [](const QString &) {
             const auto list = files::ReadFolderList(files::FolderListPath());
             return expect(list && !list->deleteSources && list->paths[0].isEmpty(), QStringLiteral("a list read"));
         }},
    };
    return inputs;
}

const BigInput *FindBigInput(const QString &name)
{
    for (const BigInput &b : BigInputs())
        if (QString::fromUtf8(b.name) == name)
            return &b;
    return nullptr;
}

} // namespace korvin::test
