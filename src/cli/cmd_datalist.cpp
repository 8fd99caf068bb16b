#include "cli/command.h"
#include "cli/json.h"
#include "cli/payoutjson.h"
#include "platform/dialogs.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"
#include "common/settings.h"

#include <QFileInfo>

namespace {
using namespace korvin;
using cli::Json;

int runDataList(const QCommandLineParser &args, QTextStream &out, QTextStream &err);

const QCommandLineOption kZI(QStringLiteral("zi"), QStringLiteral("the ZI column as standard scores (CheckZI)"));
cli::CliRegistrar reg({QStringLiteral("datalist"),
                       QStringLiteral("datalist CSVFILE RACEKEY [--zi]"),
                       QStringLiteral("prints the data list of a race as the window shows it, as JSON"),
                       runDataList,
                       {kZI},
                       2,
                       2});

Json cellJson(const racecard::DataCell &c)
{
    return Json::object()
        .set(QStringLiteral("text"), c.text)
        .set(QStringLiteral("visible"), c.visible)
        .set(QStringLiteral("bg"), racecard::BackgroundName(c.colour));
}

int runDataList(const QCommandLineParser &args, QTextStream &out, QTextStream &err)
{
    const bool zi = args.isSet(kZI);
    const QString path = args.positionalArguments().at(0);
    const QString key = args.positionalArguments().at(1);
    if (!platform::ShowMessages(common::LoadSettings()))
        return 1;

    const racecard::RaceTableRead read = racecard::ReadRaceTable(path);
    if (!read.opened) {
        err << racecard::RaceCardOpenMessage(path, read.error) << "\n";
        return 1;
    }
    // The title is the caption of the race's button, as the race list shows it.
    QString caption;
    for (const racecard::RaceButton &b : racecard::RacesOfCourse(read.table, key.left(2)))
        if (b.race.key == key)
            caption = b.caption;
    for (int j = 0; caption.isEmpty() && j < read.table.raceCount; ++j)
        if (read.table.RaceKeys[j] == key)
            caption = racecard::RaceCaption(read.table, j);
    if (caption.isEmpty()) {
        err << "korvin-cli: race " << key << " is not in " << path << "\n";
        return 1;
    }

    racecard::RaceContext ctx;
    ctx.csvPath = path;
    ctx.csvName = QFileInfo(path).fileName();
    ctx.race = racing::RaceIdOfKey(key);
    ctx.caption = caption;
    ctx.settings = common::Settings;
    ctx.ziOn = zi;
    const racecard::DataListModel m = racecard::LoadDataList(ctx);
    platform::ShowMessages(m.messages);
    if (!m.markError.isEmpty())
        platform::dialogs().critical(m.markError);

    Json rows = Json::array();
    for (int r = 0; r < m.runnerCount; ++r) {
        Json row = Json::object();
        for (int c = 0; c < racecard::kColumnCount; ++c)
            row.set(racecard::ColumnNames()[c], cellJson(m.rows[r].cells[c]));
        rows.push(row);
    }
    Json scores = Json::array();
    for (double s : m.zi.scores)
        scores.push(s);
    const Json ziJson = Json::object()
                            .set(QStringLiteral("mean"), m.zi.mean)
                            .set(QStringLiteral("variance"), m.zi.variance)
                            .set(QStringLiteral("deviation"), m.zi.deviation)
                            .set(QStringLiteral("scores"), scores);
    out << Json::object()
               .set(QStringLiteral("title"), m.title)
               .set(QStringLiteral("rows"), rows)
               .set(QStringLiteral("zi"), ziJson)
               .set(QStringLiteral("KT"), m.meanLabel.visible ? Json(m.meanLabel.text) : Json(nullptr))
               .set(QStringLiteral("HH"), m.deviationLabel.visible ? Json(m.deviationLabel.text) : Json(nullptr))
               .set(QStringLiteral("payouts"), cli::PayoutsJson(m.payouts))
               .dump()
        << "\n";
    // The list is printed; the mark file a later save needs is missing.
    return m.markError.isEmpty() ? 0 : 1;
}
} // namespace
