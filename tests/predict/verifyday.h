#pragma once
// A race-card day for the verification tests. Course 06 comes first in the
// file, so the races of course 05 are not the first entries of the race table.
//   06-01: Max 100, 90, 80; results 3, 2, 1.
//   05-01: Max 100, 100, 90, 80 (tie: tier 2 empty); results 2, 1, 3, 4.
//   05-02: four runners without a result yet (left out).
#include "racecard/fixtures.h"

#include <QStringList>

namespace korvin::test {

inline Runner VerifyRunner(const QString &key10, std::initializer_list<const char *> figures, const char *result,
                           const char *zi)
{
    Runner r = R(key10);
    int k = 0;
    for (const char *f : figures)
        r.figures[size_t(k++)] = QString::fromUtf8(f);
    r.result = QString::fromUtf8(result);
    r.zi = QString::fromUtf8(zi);
    r.runners = QString::number(4);
    return r;
}

inline QStringList VerifyDayLines()
{
    QStringList lines;
    for (const Runner &r : {
             VerifyRunner("0600340101", {"100"}, "3", "50"),
             VerifyRunner("0600340102", {"90"}, "2", "40"),
             VerifyRunner("0600340103", {"80"}, "1", "30"),
             VerifyRunner("0500340101", {"100"}, "2", "60"),
             VerifyRunner("0500340102", {"100", "80"}, "1", "55"),
             VerifyRunner("0500340103", {"90"}, "3", "50"),
             VerifyRunner("0500340104", {"80"}, "4", "45"),
             VerifyRunner("0500340201", {"90"}, "0", "50"),
             VerifyRunner("0500340202", {"91"}, "0", "50"),
             VerifyRunner("0500340203", {"92"}, "0", "50"),
             VerifyRunner("0500340204", {"93"}, "0", "50"),
         })
        lines << CsvLine(r);
    return lines;
}

// The report after verifying course 05 of that day.
inline QStringList VerifyCourse05Report()
{
    return {
        QStringLiteral("Race :    1R               勝率   連率   複率"),
        QStringLiteral("Max1 :    1   0   0    0  100.0%  100.0%  100.0%"),
        QStringLiteral("Max2 :    0   0   0    0  00.0%  00.0%  00.0%"),
        QStringLiteral("Max3 :    0   0   1    0  00.0%  00.0%  100.0%"),
        QString(),
        QStringLiteral("Min1 :    0   1   0    0  00.0%  100.0%  100.0%"),
        QStringLiteral("Min2 :    0   0   1    0  00.0%  00.0%  100.0%"),
        QStringLiteral("Min3 :    0   0   0    1  00.0%  00.0%  00.0%"),
        QString(),
        QStringLiteral("Ave1 :    0   1   0    0  00.0%  100.0%  100.0%"),
        QStringLiteral("Ave2 :    0   0   1    0  00.0%  00.0%  100.0%"),
        QStringLiteral("Ave3 :    0   0   0    0  00.0%  00.0%  00.0%"),
        QString(),
        QStringLiteral("ZI1  :    0   1   0    0  00.0%  100.0%  100.0%"),
        QStringLiteral("ZI2  :    1   0   0    0  100.0%  100.0%  100.0%"),
        QStringLiteral("ZI3  :    0   0   1    0  00.0%  00.0%  100.0%"),
    };
}

} // namespace korvin::test
