// "Korvin.trp": the records read as the file holds them, the window's boxes
// stored and shown again, and the horses ordered by the points of a record.
#include "fuzzsupport.h"
#include "common/helpers.h"
#include "platform/sjis.h"
#include "predict/trpara.h"
#include "timerank/timerankfile.h"
#include "predict/zorb.h"

#include <algorithm>

using namespace korvin;
using namespace korvin::predict;

namespace {
// A cell's points as the prediction counts them.
int points(QByteArray cell)
{
    cell.replace('\0', QByteArray());
    return common::TextToInt(QString::fromLatin1(cell));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    fuzz::scratch();
    fuzz::putFile(QStringLiteral("Korvin.trp"), bytes);
    std::vector<TRParaRecord> table(kConditions);
    QString error;
    const int n = LoadTRParaFile(table, &error);
    const int expected = int(qMin<qsizetype>(kConditions, (bytes.size() + kTRParaRecordSize - 1) / kTRParaRecordSize));
    FUZZ_CHECK(n == expected);
    for (int k = 0; k < n; ++k) {
        QByteArray record = bytes.mid(qsizetype(k) * kTRParaRecordSize, kTRParaRecordSize);
        record.append(QByteArray(kTRParaRecordSize - record.size(), '\0'));
        FUZZ_CHECK(table[size_t(k)].toBytes() == record);
    }
    const TRParaRecord &record = table[0];

    // A record stored from the boxes it shows keeps its points when stored again.
    TRParaRecord once = record, twice = record;
    StoreBoxes(once, BoxesOf(record));
    StoreBoxes(twice, BoxesOf(once));
    FUZZ_CHECK(once.toBytes().size() == kTRParaRecordSize);
    for (int block = 0; block < 4; ++block)
        for (int c = 0; c < kParaCells; ++c)
            FUZZ_CHECK(points(once.table(block)[c]) == points(twice.table(block)[c]));

    // Ranking cells cut from the file: the order names every horse once.
    std::array<int, 120> horses{};
    for (int i = 0; i < 120; ++i)
        horses[size_t(i)] = timerank::HorseOfCell(platform::fromSjis(bytes.mid(i * 8, 8)));
    const QString order = OrderText(ScoreHorses(horses, record));
    FUZZ_CHECK(order.size() == 36);
    std::array<bool, 19> seen{};
    for (int i = 0; i < 18; ++i) {
        const int h = order.mid(i * 2, 2).toInt();
        FUZZ_CHECK(h >= 1 && h <= 18 && !seen[size_t(h)]);
        seen[size_t(h)] = true;
    }
    return 0;
}
