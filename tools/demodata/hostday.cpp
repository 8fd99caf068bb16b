#include "hostday.h"

#include "racing/codetables.h"

namespace korvin::demodata {

QString hostDayFileName(const Day &day)
{
    return QStringLiteral("Vd") + day.date.toString(QStringLiteral("yyMMdd")) + QStringLiteral(".txt");
}

namespace {

QString record(const char *tag, const QStringList &fields)
{
    return QString::fromLatin1(tag) + QLatin1Char(',') + fields.join(QLatin1Char(','));
}

QString n(int v) { return QString::number(v); }

QString ymd(const QDate &d) { return d.toString(QStringLiteral("yyyyMMdd")); }

} // namespace

QStringList hostDayLines(const Day &day)
{
    QStringList lines{QStringLiteral("# Vantor day file of the demo day (written by korvin-demodata)"),
                      record("DAY", {ymd(day.date)})};
    for (const Course &c : day.courses) {
        lines << record("COURSE", {c.code, n(c.meeting), n(c.day)});
        for (const Race &r : c.races) {
            lines << record("RACE", {n(r.number), n(r.classCode), r.className, n(r.track), n(r.distance), r.direction,
                                     n(r.startMinutes), n(r.prizeMan), r.weather, r.going, r.title, r.conditions});
            for (const Runner &h : r.runners) {
                lines << record("HORSE", {n(h.number), n(h.frame), h.name, h.sexAge, n(h.carriedTenths), h.jockey,
                                          n(h.abnormal), n(h.result), n(h.oddsTenths), n(h.popularity), n(h.timeTenths),
                                          h.margin, n(h.deadHeat ? 1 : 0), n(h.behindQuarters), n(h.corner)});
                for (const PastRace &p : h.past)
                    lines << record("PAST", {ymd(p.date), p.course, n(p.track), n(p.distance), n(p.figure), n(p.place),
                                             n(p.timeTenths), n(p.first3fTenths), n(p.last3fTenths), n(p.speedTenths),
                                             n(p.pciTenths)});
            }
        }
    }
    return lines;
}

namespace {

// Reads the fields of one record in order; the first failure is kept.
class Fields {
public:
    explicit Fields(const QStringList &f) : m_f(f) {}
    QString text()
    {
        if (m_i >= m_f.size()) {
            m_ok = false;
            return {};
        }
        return m_f[m_i++];
    }
    int number(int lo, int hi)
    {
        bool ok = false;
        const int v = text().toInt(&ok);
        if (!ok || v < lo || v > hi)
            m_ok = false;
        return v;
    }
    QDate date()
    {
        const QDate d = QDate::fromString(text(), QStringLiteral("yyyyMMdd"));
        if (!d.isValid())
            m_ok = false;
        return d;
    }
    QString course()
    {
        const QString code = text();
        if (racing::PlaceName(code, 2).trimmed().isEmpty())
            m_ok = false;
        return code;
    }
    bool ok() const { return m_ok && m_i == m_f.size(); }

private:
    QStringList m_f;
    int m_i = 1; // behind the tag
    bool m_ok = true;
};

} // namespace

bool readHostDay(const QStringList &lines, Day &day, QString *error)
{
    day = Day{};
    bool haveDay = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char(','));
        const QString tag = parts.front();
        Fields f(parts);
        QString problem;
        if (tag == QLatin1String("DAY")) {
            day.date = f.date();
            haveDay = true;
        } else if (tag == QLatin1String("COURSE") && haveDay) {
            Course c;
            c.code = f.course();
            c.name = racing::PlaceName(c.code, 4);
            c.letter = racing::PlaceName(c.code, 2);
            c.meeting = f.number(1, 9);
            c.day = f.number(1, 9);
            day.courses << c;
        } else if (tag == QLatin1String("RACE") && !day.courses.isEmpty()) {
            Race r;
            r.number = f.number(1, 12);
            r.classCode = f.number(0, 999);
            r.className = f.text();
            r.track = f.number(Turf, Jump);
            r.distance = f.number(800, 4000);
            r.direction = f.text();
            r.startMinutes = f.number(0, 24 * 60 - 1);
            r.prizeMan = f.number(0, 99999);
            r.weather = f.text();
            r.going = f.text();
            r.title = f.text();
            r.conditions = f.text();
            if (day.courses.back().races.size() >= 12)
                problem = QStringLiteral("more than 12 races");
            day.courses.back().races << r;
        } else if (tag == QLatin1String("HORSE") && !day.courses.isEmpty() && !day.courses.back().races.isEmpty()) {
            Runner h;
            h.number = f.number(1, 18);
            h.frame = f.number(1, 8);
            h.name = f.text();
            h.sexAge = f.text();
            h.carriedTenths = f.number(0, 999);
            h.jockey = f.text();
            h.abnormal = f.number(Normal, Demoted);
            h.result = f.number(0, 18);
            h.oddsTenths = f.number(0, 99999);
            h.popularity = f.number(0, 18);
            h.timeTenths = f.number(0, 99999);
            h.margin = f.text();
            h.deadHeat = f.number(0, 1) == 1;
            h.behindQuarters = f.number(0, 9999);
            h.corner = f.number(0, 18);
            auto &runners = day.courses.back().races.back().runners;
            if (runners.size() >= 18)
                problem = QStringLiteral("more than 18 runners");
            runners << h;
        } else if (tag == QLatin1String("PAST") && !day.courses.isEmpty() && !day.courses.back().races.isEmpty() &&
                   !day.courses.back().races.back().runners.isEmpty()) {
            PastRace p;
            p.date = f.date();
            p.course = f.course();
            p.track = f.number(Turf, Jump);
            p.distance = f.number(800, 4000);
            p.figure = f.number(0, 999);
            p.place = f.number(0, 18);
            p.timeTenths = f.number(0, 99999);
            p.first3fTenths = f.number(0, 9999);
            p.last3fTenths = f.number(0, 9999);
            p.speedTenths = f.number(0, 9999);
            p.pciTenths = f.number(0, 9999);
            auto &past = day.courses.back().races.back().runners.back().past;
            if (past.size() >= 7)
                problem = QStringLiteral("more than 7 past races");
            past << p;
        } else {
            problem = QStringLiteral("unknown or misplaced record");
        }
        if (problem.isEmpty() && !f.ok())
            problem = QStringLiteral("bad or missing field");
        if (!problem.isEmpty()) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(i + 1).arg(problem);
            return false;
        }
    }
    if (day.courses.isEmpty()) {
        if (error)
            *error = QStringLiteral("no course");
        return false;
    }
    return true;
}

} // namespace korvin::demodata
