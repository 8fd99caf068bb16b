// trlist and timerank: the time-rank race list and analysis window, as JSON.
#include "cli/command.h"
#include "cli/json.h"
#include "cli/payoutjson.h"
#include "platform/messages.h"
#include "platform/textfile.h"
#include "common/settings.h"
#include "timerank/analysis.h"
#include "timerank/racelisttr.h"

namespace {
using namespace korvin;
using cli::Json;

int runTrList(const QCommandLineParser &args, QTextStream &out, QTextStream &err);
int runTimeRank(const QCommandLineParser &args, QTextStream &out, QTextStream &err);

const QCommandLineOption kKind = cli::KindOption();
const QCommandLineOption kRace(QStringLiteral("race"), QStringLiteral("race N of the file, from 1 (default 1)"),
                               QStringLiteral("N"));

const cli::CliCommand trlistCommand{
    QStringLiteral("trlist"),
    QStringLiteral("trlist TRFILE"),
    QStringLiteral("prints the courses of a time-rank file and their twelve race captions as JSON"),
    runTrList,
    {},
    1,
    1};
const cli::CliCommand timerankCommand{
    QStringLiteral("timerank"),
    QStringLiteral("timerank TRFILE --kind K [--race N]"),
    QStringLiteral("prints race N (from 1) of a time-rank file as the analysis window shows it, as JSON"),
    runTimeRank,
    {kKind, kRace},
    1,
    1};

int runTrList(const QCommandLineParser &args, QTextStream &out, QTextStream &err)
{
    const QString file = args.positionalArguments().at(0);
    const timerank::TRRaceList list = timerank::LoadRaceList(file);
    platform::ShowMessages(list.messages);
    if (!list.opened)
        return 1;
    if (!list.headerFound) {
        err << timerank::NoRaceHeaderMessage(file) << '\n';
        return 1;
    }
    Json courses = Json::array();
    for (const timerank::TRCourse &c : list.courses) {
        QStringList captions;
        for (const QString &caption : c.captions)
            captions << caption;
        courses.push(Json::object()
                         .set(QStringLiteral("name"), c.name)
                         .set(QStringLiteral("date"), c.dateLabel)
                         .set(QStringLiteral("captions"), Json::array(captions)));
    }
    out << Json::object().set(QStringLiteral("courses"), courses).dump() << '\n';
    return 0;
}

int runTimeRank(const QCommandLineParser &args, QTextStream &out, QTextStream &err)
{
    const QString file = args.positionalArguments().at(0);
    bool raceOk = true;
    const std::optional<int> kind = cli::KindValue(args, kKind);
    const int race = args.isSet(kRace) ? args.value(kRace).toInt(&raceOk) : 1;
    if (!kind || !raceOk)
        return cli::usageError(timerankCommand, err);
    if (!platform::ShowMessages(common::LoadSettings()))
        return 1;
    timerank::TimeRankAnalysis a;
    const bool opened = a.open(file, *kind, common::Settings);
    platform::ShowMessages(a.messages());
    if (!opened)
        return 1;
    if (race < 1 || race > a.raceCount()) {
        err << "korvin-cli: race " << race << " is not in the file (1.." << a.raceCount() << ")\n";
        return 1;
    }
    a.showRace(race - 1);

    QStringList cells;
    for (const QString &c : a.cells())
        cells << c;
    out << Json::object()
               .set(QStringLiteral("count"), a.raceCount())
               .set(QStringLiteral("index"), a.raceIndex())
               .set(QStringLiteral("header"), Json::array({a.header(0), a.header(1)}))
               .set(QStringLiteral("track"), Json::array({a.track(0), a.track(1), a.track(2), a.track(3)}))
               .set(QStringLiteral("cells"), Json::array(cells))
               .set(QStringLiteral("allDistanceHidden"), a.allDistanceHidden())
               .set(QStringLiteral("payouts"), cli::PayoutsJson(a.payouts()))
               .dump()
        << '\n';
    return 0;
}

cli::CliRegistrar regList(trlistCommand);
cli::CliRegistrar regRank(timerankCommand);
} // namespace
