// predict: the batch prediction of a time-rank file, appended to Zorb.txt.
#include "cli/command.h"
#include "platform/messages.h"
#include "platform/safefile.h"
#include "predict/backtest.h"
#include "predict/zorb.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "timerank/analysis.h"
#include "timerank/racelisttr.h"

namespace {
using namespace korvin;

int runPredict(const QCommandLineParser &args, QTextStream &out, QTextStream &err);

const QCommandLineOption kKind = cli::KindOption();
const QCommandLineOption kCode(QStringLiteral("code"), QStringLiteral("the ZORB code (default 9999)"),
                               QStringLiteral("TEXT"));
const QCommandLineOption kBet(QStringLiteral("bet"),
                              QStringLiteral("box: the first four as a box (default); key: the first to six others"),
                              QStringLiteral("box|key"));
const QCommandLineOption kSkipTrack(QStringLiteral("skip-track"),
                                    QStringLiteral("track boxes to untick, e.g. 0,2 (0 turf, 1 dirt, 2 jump)"),
                                    QStringLiteral("LIST"));
const QCommandLineOption kSkipClass(QStringLiteral("skip-class"),
                                    QStringLiteral("class boxes to untick, 0..6 (newcomer .. graded)"),
                                    QStringLiteral("LIST"));
const QCommandLineOption kOut(QStringLiteral("out"),
                              QStringLiteral("the file appended to (default: Zorb.txt in the program folder)"),
                              QStringLiteral("FILE"));

const QCommandLineOption kBacktest(QStringLiteral("backtest"),
                                   QStringLiteral("after the run, print what its quinella tickets returned"));
const QCommandLineOption kCsv(QStringLiteral("csv"),
                              QStringLiteral("with --backtest: also write every count and rate to FILE as CSV"),
                              QStringLiteral("FILE"));

const cli::CliCommand predictCommand{
    QStringLiteral("predict"),
    QStringLiteral("predict TRFILE --kind K [--code TEXT] [--bet box|key] [--skip-track LIST] "
                   "[--skip-class LIST] [--out FILE] [--backtest [--csv FILE]]"),
    QStringLiteral("runs the batch prediction over every race of a time-rank file and appends the "
                   "meeting blocks to FILE (default: Zorb.txt in the program folder); with --backtest "
                   "prints the hits and returns of its bets from the payout files"),
    runPredict,
    {kKind, kCode, kBet, kSkipTrack, kSkipClass, kOut, kBacktest, kCsv},
    1,
    1};

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

int runPredict(const QCommandLineParser &args, QTextStream &stdOut, QTextStream &err)
{
    const QString file = args.positionalArguments().at(0);
    QString out = args.value(kOut);
    const std::optional<int> kind = cli::KindValue(args, kKind);
    bool ok = kind.has_value();
    predict::ZorbSettings z;
    if (args.isSet(kCode))
        z.code = args.value(kCode);
    if (args.isSet(kBet)) {
        const QString bet = args.value(kBet);
        ok = ok && (bet == QLatin1String("box") || bet == QLatin1String("key"));
        z.keyHorse = bet == QLatin1String("key");
    }
    ok = ok && untick(args.value(kSkipTrack), z.track) && untick(args.value(kSkipClass), z.classes);
    ok = ok && (args.isSet(kBacktest) || !args.isSet(kCsv)) && !(args.isSet(kOut) && out.isEmpty());
    if (!ok)
        return cli::usageError(predictCommand, err);
    if (const QString problem = predict::ZorbCodeProblem(z.code); !problem.isEmpty()) {
        err << problem << '\n';
        return 1;
    }
    if (out.isEmpty())
        out = common::ProgramFolder() + predict::kZorbFileName;
    if (!platform::ShowMessages(common::LoadSettings()))
        return 1;
    // The races are read from the same model the analysis window shows; it is
    // opened first so that a file it cannot read is reported once. The race
    // count is what the race list offers.
    timerank::TimeRankAnalysis model;
    const bool opened = model.open(file, *kind, common::Settings);
    platform::ShowMessages(model.messages());
    if (!opened)
        return 1;
    const timerank::TRRaceList list = timerank::LoadRaceList(file);
    platform::ShowMessages(list.messages);
    const predict::BatchRunResult run =
        predict::RunBatchPrediction(model, list.totalRaces(), z, out, platform::dialogs());
    platform::ShowMessages(run.messages);
    if (!run.completed)
        return 1;
    platform::dialogs().information(predict::kBatchDoneMessage);
    if (!args.isSet(kBacktest))
        return 0;
    const std::optional<predict::BacktestSummary> backtest = predict::BacktestRun(run, common::Settings);
    if (!backtest) {
        err << "korvin-cli predict: no payout record for the races bet (SDataON " << common::Settings.SDataON
            << ", SData " << common::Settings.SData << ")\n";
        return 0;
    }
    for (const QString &line : predict::BacktestLines(*backtest))
        stdOut << line << '\n';
    if (args.isSet(kCsv)) {
        QString why;
        const QString csvFile = args.value(kCsv);
        if (!platform::saveWhole(csvFile, predict::BacktestCsv(*backtest).toUtf8(), &why)) {
            err << "korvin-cli predict: cannot write " << csvFile << ": " << why << '\n';
            return 1;
        }
    }
    return 0;
}

cli::CliRegistrar reg(predictCommand);
} // namespace
