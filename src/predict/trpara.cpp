#include "predict/trpara.h"

#include "platform/bytelines.h"

#include "platform/safefile.h"
#include "platform/sjis.h"
#include "racing/codetables.h"
#include "common/helpers.h"
#include "common/programfolder.h"

#include <QFile>

namespace korvin::predict {

namespace {
QByteArray nul(int n) { return QByteArray(n, '\0'); }
const int kTableOffset[4] = {7, 67, 127, 187};
} // namespace

TRParaRecord::TRParaRecord() : KeyPlace(nul(2)), KeyClass(nul(2)), KeyTrack(nul(1)), KeyDistance(nul(2)), Filler(nul(2))
{
    for (int b = 0; b < 4; ++b)
        table(b).fill(nul(2));
}

TRParaRecord TRParaRecord::fromBytes(const QByteArray &bytes)
{
    QByteArray b = bytes.left(kTRParaRecordSize);
    if (b.size() < kTRParaRecordSize)
        b.append(nul(kTRParaRecordSize - b.size()));
    TRParaRecord r;
    r.KeyPlace = b.mid(0, 2);
    r.KeyClass = b.mid(2, 2);
    r.KeyTrack = b.mid(4, 1);
    r.KeyDistance = b.mid(5, 2);
    for (int t = 0; t < 4; ++t)
        for (int c = 0; c < kParaCells; ++c)
            r.table(t)[c] = b.mid(kTableOffset[t] + 2 * c, 2);
    r.Filler = b.mid(247, 2);
    return r;
}

QByteArray TRParaRecord::toBytes() const
{
    // Every field is kept at its length; pad defensively so a record is always 249 bytes.
    auto fixed = [](const QByteArray &f, int n) {
        return f.size() >= n ? f.left(n) : f + QByteArray(n - f.size(), ' ');
    };
    QByteArray out;
    out.reserve(kTRParaRecordSize);
    out += fixed(KeyPlace, 2);
    out += fixed(KeyClass, 2);
    out += fixed(KeyTrack, 1);
    out += fixed(KeyDistance, 2);
    for (int t = 0; t < 4; ++t)
        for (const QByteArray &cell : table(t))
            out += fixed(cell, 2);
    out += fixed(Filler, 2);
    return out;
}

ParaTable &TRParaRecord::table(int fileBlock)
{
    switch (fileBlock) {
    case 0: return SameTrackNear;
    case 1: return SameTrackAll;
    case 2: return BothTracksNear;
    default: return BothTracksAll;
    }
}

const ParaTable &TRParaRecord::table(int fileBlock) const { return const_cast<TRParaRecord *>(this)->table(fileBlock); }

bool TRParaRecord::keysAreNul() const { return (KeyPlace + KeyClass + KeyTrack + KeyDistance) == nul(7); }

QString TRParaPath() { return common::ProgramFolder() + QStringLiteral("Korvin.trp"); }

QString ParaFileOpenMessage(const QString &reason)
{
    return QStringLiteral("パラメータファイルを開けません． ( %1 )\n%2").arg(TRParaPath(), reason);
}

int ConditionIndex(int place, int cls, int track, int distance)
{
    return place * 160 + cls * 16 + track * 8 + distance;
}

const std::array<QString, 10> &ParaPlaceNames()
{
    static const std::array<QString, 10> names{QStringLiteral("札幌"), QStringLiteral("函館"), QStringLiteral("新潟"),
                                               QStringLiteral("福島"), QStringLiteral("東京"), QStringLiteral("中山"),
                                               QStringLiteral("中京"), QStringLiteral("京都"), QStringLiteral("阪神"),
                                               QStringLiteral("小倉")};
    return names;
}

const std::array<QString, 10> &ParaClassNames()
{
    static const std::array<QString, 10> names{
        QStringLiteral("新馬"),    QStringLiteral("未出走"),   QStringLiteral("未勝利"),   QStringLiteral("500万下"),
        QStringLiteral("900万下"), QStringLiteral("1600万下"), QStringLiteral("オープン"), QStringLiteral("Ｇ３"),
        QStringLiteral("Ｇ２"),    QStringLiteral("Ｇ１")};
    return names;
}

const std::array<QString, 2> &ParaTrackNames()
{
    static const std::array<QString, 2> names{QStringLiteral("芝"), QStringLiteral("ダート")};
    return names;
}

const std::array<QString, 8> &ParaDistanceNames()
{
    static const std::array<QString, 8> names{QStringLiteral("1000m以下"),    QStringLiteral("1100m～1200m"),
                                              QStringLiteral("1300m～1400m"), QStringLiteral("1500m～1600m"),
                                              QStringLiteral("1700m～1800m"), QStringLiteral("1900m～2000m"),
                                              QStringLiteral("2100m～2500m"), QStringLiteral("2500m以上")};
    return names;
}

ConditionKeys PositionKeys(int n)
{
    static const char *classes[10] = {"00", "01", "04", "05", "09", "16", "30", "50", "70", "90"};
    static const char *distances[8] = {"10", "12", "14", "16", "18", "20", "25", "99"};
    ConditionKeys k;
    if (n < 0 || n >= kConditions)
        return k;
    k.place = racing::PlaceCode(ParaPlaceNames()[n / 160], 2).toLatin1();
    k.cls = classes[(n / 16) % 10];
    k.track = (n / 8) % 2 == 0 ? "0" : "1";
    k.distance = distances[n % 8];
    return k;
}

void GivePositionKeys(TRParaRecord &record, int n)
{
    if (!record.keysAreNul())
        return;
    const ConditionKeys k = PositionKeys(n);
    record.KeyPlace = k.place;
    record.KeyClass = k.cls;
    record.KeyTrack = k.track;
    record.KeyDistance = k.distance;
}

QString ParaCellText(const QString &box)
{
    bool ok = false;
    const double v = common::TextToDouble(box, &ok);
    const QString formatted = ok ? common::FormatZeroZero(v) : box;
    return formatted.left(2).leftJustified(2, QLatin1Char(' '));
}

QByteArray ParaCellBytes(const QString &box)
{
    // One byte per character: a double-byte character cut in half becomes a blank.
    QByteArray b = platform::toSjis(racing::SjisMid(ParaCellText(box), 1, 2));
    return b.size() >= 2 ? b.left(2) : b + QByteArray(2 - b.size(), ' ');
}

std::array<QString, kParaBoxes> BoxesOf(const TRParaRecord &record)
{
    std::array<QString, kParaBoxes> boxes;
    for (int block = 0; block < 4; ++block)
        for (int p = 0; p < 6; ++p)
            for (int r = 0; r < 5; ++r) {
                QByteArray cell = record.table(block)[ParaCell(p, r)];
                cell.replace('\0', QByteArray()); // never-saved cells show empty
                boxes[block * 30 + p * 5 + r] = platform::fromSjis(cell);
            }
    return boxes;
}

void StoreBoxes(TRParaRecord &record, const std::array<QString, kParaBoxes> &boxes)
{
    for (int block = 0; block < 4; ++block)
        for (int p = 0; p < 6; ++p)
            for (int r = 0; r < 5; ++r)
                record.table(block)[ParaCell(p, r)] = ParaCellBytes(boxes[block * 30 + p * 5 + r]);
}

int LoadTRParaFile(std::vector<TRParaRecord> &table, QString *error)
{
    QFile f(TRParaPath());
    // Reading needs no write access (a protected parameter file still predicts);
    // a missing file is created empty, by the writing helper like every save.
    if (!f.exists() && !platform::saveWhole(TRParaPath(), QByteArray(), error))
        return -1;
    if (!platform::openRegularFile(f, error))
        return -1;
    table.resize(kConditions);
    int k = 0;
    while (k < kConditions && !f.atEnd()) {
        table[k] = TRParaRecord::fromBytes(f.read(kTRParaRecordSize));
        ++k;
    }
    return k;
}

bool WriteTRParaRecord(int n, const TRParaRecord &record, QString *error)
{
    if (n < 0 || n >= kConditions)
        return false;
    // The whole file is replaced with the record in place: a failure part way
    // leaves it as it was, never grown by NUL records or half a record.
    QByteArray bytes;
    QFile f(TRParaPath());
    if (f.exists()) {
        if (!platform::openRegularFile(f, error))
            return false;
        bytes = f.readAll();
        f.close();
    }
    const qint64 offset = qint64(n) * kTRParaRecordSize;
    if (bytes.size() < offset + kTRParaRecordSize)
        bytes.append(
            QByteArray(offset + kTRParaRecordSize - bytes.size(), '\0')); // the records in between are NUL bytes
    bytes.replace(offset, kTRParaRecordSize, record.toBytes());
    return platform::saveWhole(TRParaPath(), bytes, error);
}

bool SaveCondition(std::vector<TRParaRecord> &table, int n, const std::array<QString, kParaBoxes> &boxes,
                   QString *error)
{
    if (n < 0 || n >= kConditions)
        return false;
    table.resize(kConditions);
    TRParaRecord &record = table[n];
    StoreBoxes(record, boxes);
    GivePositionKeys(record, n);
    record.Filler = "\r\n";
    return WriteTRParaRecord(n, record, error);
}

bool SaveAllConditionRecords(std::vector<TRParaRecord> &table, const std::array<QString, kParaBoxes> &boxes,
                             const std::function<void(int)> &progress, QString *error)
{
    QByteArray old;
    {
        QFile in(TRParaPath());
        if (in.exists() && !platform::openRegularFile(in, error))
            return false;
        if (in.isOpen())
            old = in.readAll();
    }
    std::vector<TRParaRecord> records(kConditions);
    QByteArray out;
    out.reserve(kConditions * kTRParaRecordSize);
    for (int k = 1; k <= kConditions; ++k) {
        if (progress)
            progress(k);
        const qint64 offset = qint64(k - 1) * kTRParaRecordSize;
        TRParaRecord r =
            offset < old.size() ? TRParaRecord::fromBytes(old.mid(offset, kTRParaRecordSize)) : TRParaRecord();
        StoreBoxes(r, boxes);
        GivePositionKeys(r, k - 1);
        r.Filler = "\r\n";
        out += r.toBytes();
        records[k - 1] = r;
    }
    if (!platform::saveWhole(TRParaPath(), out, error))
        return false;
    table = std::move(records);
    return true;
}

} // namespace korvin::predict
