// The result export rewritten into result-comment lines: a race is appended
// whole or not at all, to a file named from digits and a known course only.
#include "fuzzsupport.h"
#include "host/resultcomments.h"
#include "platform/textfile.h"

using namespace korvin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::clearScratch();
    const QString exportPath = fuzz::putFile(QStringLiteral("Comment.txt"), fuzz::bytesOf(data, size));
    const QString mdata = fuzz::scratchFolder(QStringLiteral("MData"));
    const host::CommentAppend first = host::AppendResultComments(exportPath, mdata, 1);
    if (!first.appended()) {
        FUZZ_CHECK(!first.messages.empty());
        FUZZ_CHECK(fuzz::filesIn(mdata).isEmpty());
        return 0;
    }
    FUZZ_CHECK(first.messages.empty());
    FUZZ_CHECK(first.raceKey.size() == 8);
    FUZZ_CHECK(first.path.startsWith(mdata));
    const QString name = first.path.mid(mdata.size());
    FUZZ_CHECK(name.size() == 10 && name.startsWith(QLatin1String("MS")) && name.endsWith(QLatin1String(".dat")));
    for (int i = 2; i < 5; ++i)
        FUZZ_CHECK(name.at(i) >= QLatin1Char('0') && name.at(i) <= QLatin1Char('9'));
    if (first.lines == 0) {
        FUZZ_CHECK(fuzz::filesIn(mdata).isEmpty());
        return 0;
    }
    FUZZ_CHECK(fuzz::filesIn(mdata) == QStringList{name});
    const QStringList lines = *platform::readLines(first.path);
    FUZZ_CHECK(lines.size() == first.lines);
    for (const QString &line : lines)
        FUZZ_CHECK(line.startsWith(first.raceKey));
    // The next race's block follows whole.
    const QByteArray once = fuzz::fileBytes(first.path);
    const host::CommentAppend second = host::AppendResultComments(exportPath, mdata, 2);
    FUZZ_CHECK(second.appended() && second.path == first.path);
    FUZZ_CHECK(fuzz::fileBytes(first.path) == once + once);
    return 0;
}
