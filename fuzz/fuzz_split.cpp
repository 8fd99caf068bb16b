// The time-rank export splitter: it writes whole races only. The export cut
// at any byte gives a time-rank file whose lines begin the full one's (the
// last one perhaps cut), and nothing when no race of it is complete. The first byte picks the ranking
// kind, the next two where the export is cut; the rest is the export.
#include "fuzzsupport.h"
#include "host/timeranksplit.h"
#include "platform/textfile.h"
#include "timerank/timerankfile.h"

using namespace korvin;

namespace {
struct Split {
    host::SplitResult result;
    QStringList lines; // of the written file
};

Split split(const QByteArray &exportBytes, int kind)
{
    fuzz::clearScratch();
    const QString exportPath = fuzz::putFile(QStringLiteral("TimeRank.txt"), exportBytes);
    const QString out = fuzz::scratchFolder(QStringLiteral("TimeRank"));
    Split s{host::SplitTimeRankText(exportPath, out, kind), {}};
    const QStringList files = fuzz::filesIn(out);
    FUZZ_CHECK(files.size() == (s.result.written() ? 1 : 0));
    if (s.result.written()) {
        FUZZ_CHECK(s.result.path == out + files.first());
        const QString name = files.first();
        FUZZ_CHECK(name.size() == 15 && name.startsWith(timerank::KindPrefix(kind)) &&
                   name.endsWith(QLatin1String(".txt")));
        for (int i = 3; i < 11; ++i)
            FUZZ_CHECK(name.at(i).isDigit() && name.at(i).unicode() < 128);
        s.lines = *platform::readLines(s.result.path);
    } else {
        FUZZ_CHECK(!s.result.messages.empty());
    }
    FUZZ_CHECK(s.result.incompleteRace == 0 || s.result.incompleteRace == s.result.races + 1);
    return s;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const int kind = data[0] % timerank::kKinds;
    const QByteArray bytes = fuzz::bytesOf(data + 3, size - 3);
    const Split full = split(bytes, kind);
    if (bytes.isEmpty())
        return 0;
    const qsizetype cut = (data[1] << 8 | data[2]) % bytes.size();
    const Split part = split(bytes.left(cut), kind);
    FUZZ_CHECK(part.result.races <= full.result.races);
    FUZZ_CHECK(part.lines.size() <= full.lines.size());
    if (part.lines.isEmpty())
        return 0;
    // The last line of a race, its trailer, is read by nobody: the export may
    // end inside it, inside a character even (that one then differs).
    const qsizetype last = part.lines.size() - 1;
    FUZZ_CHECK(part.lines.mid(0, last) == full.lines.mid(0, last));
    QString trailer = part.lines[last];
    if (trailer.endsWith(QLatin1Char('\r')))
        trailer.chop(1);
    FUZZ_CHECK(full.lines[last].startsWith(trailer.left(trailer.size() - 1)));
    return 0;
}
