#include "racecard/csvfields.h"

namespace korvin::racecard {

QString TrimBlanks(const QString &s)
{
    qsizetype a = 0;
    qsizetype b = s.size();
    while (a < b && s.at(a) == QLatin1Char(' '))
        ++a;
    while (b > a && s.at(b - 1) == QLatin1Char(' '))
        --b;
    return s.mid(a, b - a);
}

namespace {

// Splits into fields that are clear; returns the number stored.
int split(const QString &trimmed, CsvFields &fields)
{
    int f = 0;
    QString current;
    bool inQuotes = false;
    bool started = false;
    const qsizetype n = trimmed.size();
    // The first non-blank character behind position i is a comma.
    auto commaFollows = [&](qsizetype i) {
        for (qsizetype k = i + 1; k < n; ++k) {
            if (trimmed.at(k) != QLatin1Char(' '))
                return trimmed.at(k) == QLatin1Char(',');
        }
        return false;
    };
    // The position behind the last character yields an empty character, which
    // stores nothing: the last field is stored only by its closing comma.
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = trimmed.at(i);
        if (c == QLatin1Char(',') && !inQuotes) {
            if (f < kCsvFieldCount)
                fields[f] = current;
            ++f;
            current.clear();
            started = false;
        } else if (c == QLatin1Char('"') && inQuotes && !started && commaFollows(i)) {
            // An empty quoted field ("",) closes here; otherwise its second
            // quote would reopen the quotes and swallow the rest of the line.
            inQuotes = false;
        } else if (c == QLatin1Char('"') && !started) {
            inQuotes = true;
        } else if (c == QLatin1Char('"') && commaFollows(i)) {
            inQuotes = false;
        } else if (c != QLatin1Char(' ') || inQuotes) {
            current += c;
            started = true;
        }
    }
    return qMin(f, kCsvFieldCount);
}

} // namespace

int SplitCsvLine(const QString &line, CsvFields &fields)
{
    for (QString &s : fields)
        s.clear();
    return split(TrimBlanks(line), fields);
}

} // namespace korvin::racecard
