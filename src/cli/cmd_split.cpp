// split: the time-rank export cut down to a time-rank file.
#include "cli/command.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "host/timeranksplit.h"

namespace {
using namespace korvin;

int runSplit(const QCommandLineParser &p, QTextStream &out, QTextStream &err);

const QCommandLineOption kKind = cli::KindOption();
const QCommandLineOption kOut(QStringLiteral("out"),
                              QStringLiteral("folder to write into instead of the TimeRank setting"),
                              QStringLiteral("DIR"));

const cli::CliCommand splitCommand{
    QStringLiteral("split"),
    QStringLiteral("split EXPORTFILE --kind K [--out DIR]"),
    QStringLiteral("writes the time-rank file of kind K from a time-rank export into the TimeRank folder (or DIR) "
                   "and prints its path"),
    runSplit,
    {kKind, kOut},
    1,
    1};

int runSplit(const QCommandLineParser &p, QTextStream &out, QTextStream &err)
{
    const std::optional<int> k = cli::KindValue(p, kKind);
    if (!k)
        return cli::usageError(splitCommand, err);
    QString folder;
    if (p.isSet(kOut)) {
        if (p.value(kOut).isEmpty()) {
            err << "korvin-cli split: --out に空のフォルダは指定できません．\n";
            return 2;
        }
        folder = common::withSeparator(p.value(kOut));
    } else {
        if (!platform::ShowMessages(common::LoadSettings()))
            return 1;
        folder = common::Settings.TimeRank;
    }
    const host::SplitResult r = host::SplitTimeRankText(p.positionalArguments().first(), folder, *k);
    platform::ShowMessages(r.messages);
    if (!r.written())
        return 1;
    out << r.path << "\n";
    // Written, but a race the host exported was left out.
    return r.incompleteRace ? 1 : 0;
}

cli::CliRegistrar reg(splitCommand);
} // namespace
