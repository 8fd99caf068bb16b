// predict: the batch prediction of a time-rank file, appended to Zorb.txt.
#include "cli/command.h"
#include "platform/messages.h"
#include "predict/zorb.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "timerank/analysis.h"
#include "timerank/racelisttr.h"

namespace {
using namespace korvin;

int runPredict(const QStringList &args, QTextStream &out, QTextStream &err);

const cli::CliCommand predictCommand{
    QStringLiteral("predict"),
    QStringLiteral("predict TRFILE --kind K [--code TEXT] [--bet box|key] [--skip-track LIST] "
                   "[--skip-class LIST] [--out FILE]"),
    QStringLiteral("runs the batch prediction over every race of a time-rank file and appends the "
                   "meeting blocks to FILE (default: Zorb.txt in the program folder)"),
    runPredict};

// "0,2" unticks boxes 0 and 2; false on a bad index.
template <size_t N>
bool untick(const QString &list, std::array<bool, N> &boxes)
{
    for (const QString &item : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int i = item.trimmed().toInt(&ok);
        if (!ok || i < 0 || i >= int(N))
            return false;
        boxes[i] = false;
    }
    return true;
}

int runPredict(const QStringList &args, QTextStream &, QTextStream &err)
{
    QString file, out;
    int kind = -1;
    predict::ZorbSettings z;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == QLatin1String("--kind") && hasValue) {
            kind = args[++i].toInt(&ok);
        } else if (a == QLatin1String("--code") && hasValue) {
            z.code = args[++i];
        } else if (a == QLatin1String("--bet") && hasValue) {
            const QString bet = args[++i];
            ok = bet == QLatin1String("box") || bet == QLatin1String("key");
            z.keyHorse = bet == QLatin1String("key");
        } else if (a == QLatin1String("--skip-track") && hasValue) {
            ok = untick(args[++i], z.track);
        } else if (a == QLatin1String("--skip-class") && hasValue) {
            ok = untick(args[++i], z.classes);
        } else if (a == QLatin1String("--out") && hasValue) {
            out = args[++i];
        } else if (file.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            file = a;
        } else {
            ok = false;
        }
        if (!ok)
            return cli::usageError(predictCommand, err);
    }
    if (file.isEmpty() || kind < 0 || kind > 5)
        return cli::usageError(predictCommand, err);
    if (out.isEmpty())
        out = common::ProgramFolder() + predict::kZorbFileName;
    if (!platform::ShowMessages(common::LoadSettings()))
        return 1;
    // The races are read from the same model the analysis window shows; it is
    // opened first so that a file it cannot read is reported once. The race
    // count is what the race list offers.
    timerank::TimeRankAnalysis model;
    const bool opened = model.open(file, kind, common::Settings);
    platform::ShowMessages(model.messages());
    if (!opened)
        return 1;
    const timerank::TRRaceList list = timerank::LoadRaceList(file);
    platform::ShowMessages(list.messages);
    if (!predict::RunBatchPrediction(model, list.totalRaces(), z, out, platform::dialogs()))
        return 1;
    platform::dialogs().information(predict::kBatchDoneMessage);
    return 0;
}

cli::CliRegistrar reg(predictCommand);
} // namespace
