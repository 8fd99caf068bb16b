// The host's mark file: the marks of one race read, saved again and read
// back; every other line of the file keeps its bytes. The first three bytes
// pick the race (or, with the fourth byte odd, the next eight bytes are the
// key as they stand); the rest is the file.
#include "fuzzsupport.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racing/horsemarks.h"

using namespace korvin;
using namespace korvin::racing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    QByteArray bytes = fuzz::bytesOf(data + 4, size - 4);
    QString key = QStringLiteral("%1003%2%3")
                      .arg(data[0] % 10 + 1, 2, 10, QLatin1Char('0'))
                      .arg(data[1] % 8 + 1)
                      .arg(data[2] % 12 + 1, 2, 10, QLatin1Char('0'));
    if (data[3] & 1) {
        key = platform::fromSjis(bytes.left(8));
        bytes = bytes.mid(8);
    }
    fuzz::clearScratch();
    const QString mdata = fuzz::scratchFolder(QStringLiteral("MData"));
    const int line = HorseMarkLine(key);
    const QString name = HorseMarkFileName(key);
    FUZZ_CHECK((line == 0) == name.isEmpty());
    FUZZ_CHECK(line >= 0 && line <= kMarkFileLines);
    const QString blanks(2 * kMarkSlots, QLatin1Char(' '));
    if (line == 0) {
        FUZZ_CHECK(ReadHorseMarks(key, mdata) == blanks);
        FUZZ_CHECK(WriteHorseMarks(QStringLiteral("◎"), key, mdata));
        FUZZ_CHECK(fuzz::filesIn(mdata).isEmpty());
        return 0;
    }
    FUZZ_CHECK(!name.contains(QLatin1Char('/')) && name.startsWith(QStringLiteral("Um")));
    const QString path = mdata + name;
    fuzz::putFile(QStringLiteral("MData/") + name, bytes);
    const QList<QByteArray> before = *platform::readRawLines(path);

    const QString marks = ReadHorseMarks(key, mdata);
    FUZZ_CHECK(marks == (before.size() < line ? blanks : platform::fromSjis(before[line - 1]).mid(6)));
    QString error;
    FUZZ_CHECK(WriteHorseMarks(marks, key, mdata, &error));
    const QList<QByteArray> after = *platform::readRawLines(path);
    FUZZ_CHECK(after.size() == qMax<qsizetype>(before.size(), kMarkFileLines));
    for (qsizetype i = 0; i < after.size(); ++i) {
        if (i == line - 1)
            FUZZ_CHECK(after[i] == platform::toSjis(QStringLiteral("      ") + marks));
        else if (i < before.size())
            FUZZ_CHECK(after[i] == before[i]);
        else
            FUZZ_CHECK(after[i] == QByteArray(kMarkLineBytes, ' '));
    }
    FUZZ_CHECK(ReadHorseMarks(key, mdata) == platform::fromSjis(platform::toSjis(marks)));
    FUZZ_CHECK(fuzz::filesIn(mdata) == QStringList{name});
    return 0;
}
