#include "hardening/writers.h"

#include "common/programfolder.h"
#include "common/settings.h"
#include "files/lzhcopy.h"
#include "host/resultcomments.h"
#include "host/timeranksplit.h"
#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "predict/trpara.h"
#include "predict/zorb.h"
#include "racing/horsemarks.h"
#include "support/hostexport.h"
#include "support/testutil.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace korvin::test {

namespace {

void put(const QString &path, const QByteArray &bytes) { writeFile(path, bytes); }

void putLines(const QString &path, const QStringList &lines) { put(path, platform::encodeLines(lines)); }

QString mdata(const QString &folder) { return folder + QStringLiteral("MData/"); }

std::array<QString, predict::kParaBoxes> boxes(int variant)
{
    std::array<QString, predict::kParaBoxes> b;
    for (int i = 0; i < predict::kParaBoxes; ++i)
        b[size_t(i)] = QString::number((i + variant) % 9);
    return b;
}

QByteArray oldParameters()
{
    QByteArray bytes;
    for (int n = 0; n < 3; ++n) {
        predict::TRParaRecord r;
        predict::GivePositionKeys(r, n);
        predict::StoreBoxes(r, boxes(5));
        r.Filler = "\r\n";
        bytes += r.toBytes();
    }
    return bytes;
}

files::FolderList folderList(const QString &folder, int variant)
{
    files::FolderList list;
    list.paths[0] = folder + QStringLiteral("src%1").arg(variant);
    list.paths[1] = folder + QStringLiteral("d1");
    list.paths[2] = folder + QStringLiteral("d2");
    return list;
}

QStringList exportOf(int variant)
{
    ExportRacePlan p;
    p.rows = [variant](int s) { return (s + variant) % 6; };
    return exportRace(p) + exportRace(p);
}

CommentExportPlan commentsOf(int variant)
{
    CommentExportPlan p;
    for (int h = 1; h <= 10 + variant; ++h)
        p.runners << commentRunner(h, QLatin1Char(' '), QStringLiteral(" 1:35.%1  1 =◆%2").arg(h).arg(variant));
    return p;
}

bool ok(const platform::Messages &messages)
{
    for (const platform::Message &m : messages)
        if (m.kind == platform::MessageKind::Critical)
            return false;
    return true;
}

const QString kKey = QStringLiteral("05003411");

} // namespace

const std::vector<Writer> &Writers()
{
    static const std::vector<Writer> writers{
        {"marks",
         [](const QString &f) {
             QStringList lines(96, QString(42, QLatin1Char(' ')));
             lines[46] = QStringLiteral("      ◎○");
             putLines(mdata(f) + QStringLiteral("Um003東.dat"), lines);
         },
         [](const QString &f, int v) {
             return racing::WriteHorseMarks(v ? QStringLiteral("▲  △") : QStringLiteral("  ×"), kKey, mdata(f));
         }},
        {"marks file created on reading", [](const QString &f) { QDir().mkpath(mdata(f)); },
         [](const QString &f, int) {
             racing::ReadHorseMarks(kKey, mdata(f));
             return true;
         },
         false},
        {"options",
         [](const QString &f) {
             putLines(f + common::kSettingsFileName,
                      {QStringLiteral("# 設定"), QStringLiteral("Vantor_Ver2.05"), QStringLiteral("MData     /old/"),
                       QStringLiteral("Wait1     2")});
         },
         [](const QString &f, int v) {
             QList<common::OptionPair> pairs =
                 common::OptionPairsOf(*platform::readLines(f + common::kSettingsFileName));
             pairs[1].value = v ? QStringLiteral("/new/東/") : QStringLiteral("/other/");
             return common::SaveOptions(pairs, nullptr);
         }},
        {"parameters, one condition", [](const QString &f) { put(f + QStringLiteral("Korvin.trp"), oldParameters()); },
         [](const QString &, int v) {
             std::vector<predict::TRParaRecord> table;
             return predict::LoadTRParaFile(table) >= 0 && predict::SaveCondition(table, 10 + v, boxes(v));
         }},
        {"parameters, all conditions", [](const QString &f) { put(f + QStringLiteral("Korvin.trp"), oldParameters()); },
         [](const QString &, int v) {
             std::vector<predict::TRParaRecord> table;
             return predict::SaveAllConditionRecords(table, boxes(v), {});
         }},
        {"parameter file created on reading", [](const QString &) {},
         [](const QString &, int) {
             std::vector<predict::TRParaRecord> table;
             return predict::LoadTRParaFile(table) >= 0;
         }},
        {"Zorb.txt", [](const QString &f) { putLines(f + predict::kZorbFileName, {QStringLiteral("earlier block")}); },
         [](const QString &f, int v) {
             predict::ZorbSlots s;
             s[0] = QStringLiteral("05003420000610");
             s[1] = QStringLiteral("116") + (v ? QStringLiteral("05031201081402") : QStringLiteral("14131201081402"));
             return predict::OutputZORB(s, f + predict::kZorbFileName,
                                        QStringLiteral("9999") + predict::kZorbHeaderSuffix, 6);
         }},
        {"CopyLZH.lst",
         [](const QString &f) {
             putLines(files::FolderListPath(), {QStringLiteral("0"), f + QStringLiteral("old")});
         },
         [](const QString &f, int v) { return files::WriteFolderList(files::FolderListPath(), folderList(f, v)); }},
        {"LZH copy",
         [](const QString &f) {
             for (int v : {0, 1})
                 for (const char *name : {"a.lzh", "b.LZH"})
                     put(f + QStringLiteral("src%1/").arg(v) + QString::fromLatin1(name),
                         QByteArray(3000 + 1000 * v, char('a' + v)));
             put(f + QStringLiteral("d1/a.lzh"), "older archive");
             QDir().mkpath(f + QStringLiteral("d2"));
         },
         [](const QString &f, int v) {
             platform::RecordingDialogs user;
             files::CopyLzhFiles(folderList(f, v), user);
             for (const auto &shown : user.shown)
                 if (shown.kind == platform::MessageKind::Critical)
                     return false;
             return user.texts().contains(files::CopyDoneMessage());
         }},
        {"time-rank file of the export",
         [](const QString &f) {
             for (int v : {0, 1})
                 putLines(f + QStringLiteral("export%1/TimeRank.txt").arg(v), exportOf(v));
             putLines(f + QStringLiteral("TimeRank/TRa20000610.txt"), {QStringLiteral("old day")});
         },
         [](const QString &f, int v) {
             return ok(host::SplitTimeRankText(f + QStringLiteral("export%1/TimeRank.txt").arg(v),
                                               f + QStringLiteral("TimeRank/"), 0)
                           .messages);
         }},
        {"result comments",
         [](const QString &f) {
             for (int v : {0, 1})
                 putLines(f + QStringLiteral("export%1/Comment.txt").arg(v), commentExport(commentsOf(v)));
             putLines(mdata(f) + QStringLiteral("MS003東.dat"), {QStringLiteral("earlier race")});
         },
         [](const QString &f, int v) {
             return ok(
                 host::AppendResultComments(f + QStringLiteral("export%1/Comment.txt").arg(v), mdata(f), 1).messages);
         }},
    };
    return writers;
}

const Writer *FindWriter(const QString &name)
{
    for (const Writer &w : Writers())
        if (QString::fromUtf8(w.name) == name)
            return &w;
    return nullptr;
}

Snapshot TakeSnapshot(const QString &folder)
{
    Snapshot s = filesUnder(folder);
    // Lists name folders of the scene; scenes differ only in where they are.
    for (QByteArray &bytes : s)
        bytes.replace(folder.toUtf8(), "<folder>/");
    return s;
}

bool IsTemporaryName(const QString &relativePath)
{
    static const QRegularExpression fresh(QStringLiteral("\\.[0-9a-f]{8}\\.tmp$"));
    const QString name = QFileInfo(relativePath).fileName();
    return fresh.match(name).hasMatch() || name == QStringLiteral("NewKorvin.ini") ||
           name.endsWith(QStringLiteral(".new"));
}

} // namespace korvin::test
