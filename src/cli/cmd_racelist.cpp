#include "cli/command.h"
#include "cli/json.h"
#include "cli/racecardfile.h"
#include "racecard/racetable.h"

namespace {
using namespace korvin;
using cli::Json;

int runRaceList(const QCommandLineParser &args, QTextStream &out, QTextStream &err);

cli::CliRegistrar reg({QStringLiteral("racelist"),
                       QStringLiteral("racelist CSVFILE"),
                       QStringLiteral("prints the courses, races and race-button captions of a race-card file as JSON"),
                       runRaceList,
                       {},
                       1,
                       1});

int runRaceList(const QCommandLineParser &args, QTextStream &out, QTextStream &err)
{
    const QString path = args.positionalArguments().at(0);
    const auto read = cli::ReadRaceCard(path, err);
    if (!read)
        return 1;

    const racecard::RaceTable &t = read->table;
    Json courses = Json::array();
    for (const QString &c : t.CourseCodes)
        if (c != QLatin1String("  "))
            courses.push(c);
    Json races = Json::array();
    for (int j = 0; j < t.raceCount; ++j)
        races.push(Json::object()
                       .set(QStringLiteral("key"), t.RaceKeys[j])
                       .set(QStringLiteral("class"), int(t.RaceClass[j]))
                       .set(QStringLiteral("distance"), int(t.RaceDistance[j]))
                       .set(QStringLiteral("track"), int(t.RaceTrack[j]))
                       .set(QStringLiteral("runners"), int(t.RaceRunners[j])));
    Json buttons = Json::array();
    for (const racecard::CourseButton &b : racecard::CourseButtons(t)) {
        if (!b.enabled)
            continue;
        Json captions = Json::array();
        for (const racecard::RaceButton &r : racecard::RacesOfCourse(t, b.code))
            captions.push(r.caption);
        buttons.push(Json::object()
                         .set(QStringLiteral("course"), b.code)
                         .set(QStringLiteral("name"), b.caption)
                         .set(QStringLiteral("captions"), captions));
    }
    out << Json::object()
               .set(QStringLiteral("courses"), courses)
               .set(QStringLiteral("races"), races)
               .set(QStringLiteral("buttons"), buttons)
               .dump()
        << "\n";
    return 0;
}
} // namespace
