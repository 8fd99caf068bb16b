// The race-card file: the race table, the race buttons and moves over them,
// and the data list of every race the table holds.
#include "fuzzsupport.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"

#include <QSet>
#include <cmath>

using namespace korvin;
using namespace korvin::racecard;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::putFile(QStringLiteral("DC000610.csv"), fuzz::bytesOf(data, size));
    const RaceTableRead read = ReadRaceTable(path);
    FUZZ_CHECK(read.opened);
    const RaceTable &t = read.table;
    FUZZ_CHECK(t.courseCount >= 0 && t.courseCount <= kCourseSlots);
    FUZZ_CHECK(t.raceCount >= 0 && t.raceCount <= kMaxRaces && t.raceCount <= read.usableLines);
    for (int j = t.raceCount; j < kRaceSlots; ++j)
        FUZZ_CHECK(t.RaceKeys[j] == QLatin1String("        "));
    QStringList courses;
    for (int i = 0; i < t.courseCount; ++i)
        courses << t.CourseCodes[i];
    for (int j = 0; j < t.raceCount; ++j) {
        FUZZ_CHECK(t.RaceKeys[j].size() == 8);
        FUZZ_CHECK(courses.contains(t.RaceKeys[j].left(2)));
    }
    FUZZ_CHECK(QSet<QString>(read.racesLeftOut.begin(), read.racesLeftOut.end()).size() == read.racesLeftOut.size());
    FUZZ_CHECK(RaceCardLeftOutMessage(read).isEmpty() ==
               (read.racesLeftOut.isEmpty() && read.coursesLeftOut.isEmpty()));

    common::SettingsRecord settings;
    settings.SDataON = QStringLiteral("0");
    int loads = 0;
    for (const CourseButton &course : CourseButtons(t)) {
        if (!course.enabled)
            continue;
        const RaceButtons buttons = RacesOfCourse(t, course.code);
        for (int i = 0; i < kRaceButtons; ++i) {
            const RaceButton &b = buttons[i];
            FUZZ_CHECK(b.enabled == !b.caption.isEmpty());
            if (!b.enabled)
                continue;
            FUZZ_CHECK(b.race.key.left(2) == course.code);
            for (int direction : {-1, 1}) {
                const RaceMove m = MoveRace(buttons, i, direction);
                FUZZ_CHECK(!m.moved || (m.index >= 0 && m.index < kRaceButtons && buttons[m.index].enabled));
                FUZZ_CHECK(m.moved || !m.messages.empty());
            }
            if (loads++ >= 4) // the data list reads the whole file again per race
                continue;
            RaceContext ctx{path, QStringLiteral("DC000610.csv"), b.race, b.caption, settings, (i % 2) == 0, false};
            const DataListModel model = LoadDataList(ctx);
            FUZZ_CHECK(model.runnerCount >= 0 && model.runnerCount <= kDataRows);
            FUZZ_CHECK(model.zi.scores.size() == size_t(model.runnerCount));
            for (double s : model.zi.scores)
                FUZZ_CHECK(std::isfinite(s));
            for (int r = 0; r < model.runnerCount; ++r)
                for (const DataCell &cell : model.rows[r].cells)
                    FUZZ_CHECK(cell.tier >= 0 && cell.tier <= 3);
        }
    }
    return 0;
}
