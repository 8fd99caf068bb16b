// The race-card line splitter: any line, fields within the table, and plain
// fields written back as a line split the same.
#include "fuzzsupport.h"
#include "platform/sjis.h"
#include "racecard/csvfields.h"

using namespace korvin;
using namespace korvin::racecard;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = platform::fromSjis(fuzz::bytesOf(data, size));
    CsvFields fields;
    const int n = SplitCsvLine(line, fields);
    FUZZ_CHECK(n >= 0 && n <= kCsvFieldCount);
    for (int i = n; i < kCsvFieldCount; ++i)
        FUZZ_CHECK(fields[i].isEmpty());

    // Every field without a quote, quoted and closed by a comma, reads back as it was.
    if (n == kCsvFieldCount)
        return 0;
    QString again;
    for (int i = 0; i < n; ++i) {
        if (fields[i].contains(QLatin1Char('"')))
            return 0;
        again += QLatin1Char('"') + fields[i] + QStringLiteral("\",");
    }
    CsvFields reread;
    FUZZ_CHECK(SplitCsvLine(again, reread) == n);
    for (int i = 0; i < n; ++i)
        FUZZ_CHECK(reread[i] == fields[i]);
    return 0;
}
