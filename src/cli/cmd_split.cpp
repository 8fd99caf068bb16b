// split: the time-rank export cut down to a time-rank file.
#include "cli/cmdparser.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "host/timeranksplit.h"

namespace {
using namespace korvin;

int runSplit(const QStringList &args, QTextStream &out, QTextStream &err);

const cli::CliCommand splitCommand{
    QStringLiteral("split"), QStringLiteral("split EXPORTFILE --kind K [--out DIR]"),
    QStringLiteral("writes the time-rank file of kind K from a time-rank export into the TimeRank folder (or DIR) "
                   "and prints its path"),
    runSplit};

int runSplit(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QCommandLineParser p;
    p.addPositionalArgument(QStringLiteral("EXPORTFILE"), QStringLiteral("The host's export (TimeRank.txt)."));
    const QCommandLineOption kind(QStringLiteral("kind"), QStringLiteral("Ranking kind 0..5."), QStringLiteral("K"));
    const QCommandLineOption outDir(QStringLiteral("out"),
                                    QStringLiteral("Folder to write into instead of the TimeRank setting."),
                                    QStringLiteral("DIR"));
    p.addOptions({kind, outDir});
    if (const int rc = cli::parseCommand(p, splitCommand, args, out, err); rc >= 0)
        return rc;
    bool ok = false;
    const int k = p.value(kind).toInt(&ok);
    if (p.positionalArguments().size() != 1 || !ok || k < 0 || k > 5)
        return cli::usageError(splitCommand, err);
    QString folder;
    if (p.isSet(outDir)) {
        folder = common::withSeparator(p.value(outDir));
    } else {
        if (!common::LoadSettings())
            return 1;
        folder = common::Settings.TimeRank;
    }
    const host::SplitResult r = host::SplitTimeRankText(p.positionalArguments().first(), folder, k);
    platform::ShowMessages(r.messages);
    if (!r.written())
        return 1;
    out << r.path << "\n";
    return 0;
}

cli::CliRegistrar reg(splitCommand);
} // namespace
