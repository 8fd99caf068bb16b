// "Korvin.ini": the loader, the options window's pairs, and a save that
// changes nothing, which must give the file back as it was.
#include "fuzzsupport.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "platform/textfile.h"

#include <QSet>

using namespace korvin;
using namespace korvin::common;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::scratch();
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const QString path = fuzz::putFile(kSettingsFileName, bytes);
    SettingsRecord s;
    const SettingsLoad load = LoadSettingsFile(path, s);
    FUZZ_CHECK(load.opened);
    const QStringList lines = *platform::readLines(path);
    SettingsRecord again;
    ApplySettingsLines(lines, again);
    FUZZ_CHECK(SettingsFields(again) == SettingsFields(s));
    for (const QString &bad : load.badLines)
        FUZZ_CHECK(lines.contains(bad));

    const QList<OptionPair> pairs = OptionPairsOf(lines);
    FUZZ_CHECK(pairs.size() <= kOptionPairs);
    QSet<QString> labels;
    for (const OptionPair &p : pairs)
        labels.insert(p.label);
    if (labels.size() != pairs.size())
        return 0; // a save writes the first box of a repeated label into both lines
    FUZZ_CHECK(SaveOptionLines(lines, pairs) == lines);
    QString error;
    if (!SaveOptions(pairs, &error))
        return 0; // a Wait box the loader cannot read is refused
    const QString before = fuzz::putFile(QStringLiteral("before.ini"), bytes);
    FUZZ_CHECK(fuzz::fileBytes(path) == platform::joinRawLines(*platform::readRawLines(before)));
    FUZZ_CHECK(!fuzz::filesIn(fuzz::scratch()).contains(QStringLiteral("NewKorvin.ini")));
    return 0;
}
