#pragma once
// Race-card lines for the tests, laid out as the host writes them.
#include <QString>
#include <QStringList>
#include <array>

namespace korvin::test {

struct Runner {
    QString key10; // race key + horse number
    QString cls = "7", distance = "1200", track = "1", runners = "8";
    QString zi = "50", interval = "3", result = "1", abnormal = "0", odds = "2.5";
    std::array<QString, 7> tracks{"0", "0", "0", "0", "0", "0", "0"};
    std::array<QString, 7> figures{"0", "0", "0", "0", "0", "0", "0"};
};

// Fields 0..44 and a closing comma, so field 44 is stored.
inline QString CsvLine(const Runner &r)
{
    QStringList f{r.key10, r.cls, r.distance, r.track, r.runners, r.zi, r.interval, r.result, r.abnormal, r.odds};
    for (int k = 0; k < 7; ++k)
        f << QStringLiteral("x") << QStringLiteral("y") << r.tracks[k] << QStringLiteral("z") << r.figures[k];
    return f.join(QLatin1Char(',')) + QLatin1Char(',');
}

inline Runner R(const QString &key10)
{
    Runner r;
    r.key10 = key10;
    return r;
}

} // namespace korvin::test
