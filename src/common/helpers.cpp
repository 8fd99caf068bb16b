#include "common/helpers.h"

#include <cmath>

namespace korvin::common {

QString Mid(const QString &s, qsizetype pos, qsizetype len)
{
    if (pos < 1 || len <= 0 || pos > s.size())
        return {};
    return s.mid(pos - 1, len);
}

QString Mid(const QString &s, qsizetype pos)
{
    if (pos < 1 || pos > s.size())
        return {};
    return s.mid(pos - 1);
}

namespace {
bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
} // namespace

double TextToDouble(const QString &text, bool *ok)
{
    // Numeric: blanks, an optional sign, digits with an optional decimal point
    // and exponent ("E" or "D"), blanks. Checked by hand: this runs for every
    // figure of every list.
    if (ok)
        *ok = false;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text[i]))
        ++i;
    QString number;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        number += text[i++];
        while (i < n && isBlank(text[i]))
            ++i;
    }
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        number += text[i++];
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += text[i++];
        while (i < n && isDigit(text[i])) {
            number += text[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && QStringLiteral("eEdD").contains(text[i])) {
        number += QLatin1Char('e');
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            number += text[i++];
        qsizetype expDigits = 0;
        while (i < n && isDigit(text[i])) {
            number += text[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return 0;
    }
    while (i < n && isBlank(text[i]))
        ++i;
    if (i != n)
        return 0;
    bool good = false;
    const double v = number.toDouble(&good);
    if (ok)
        *ok = good;
    return good ? v : 0;
}

qint16 TextToInt(const QString &text)
{
    bool ok = false;
    const double v = TextToDouble(text, &ok);
    if (!ok)
        return 0;
    const double f = std::floor(v);
    if (f < -32768)
        return -32768;
    if (f > 32767)
        return 32767;
    return qint16(f);
}

QString RightOf(const QString &s, int count)
{
    if (count <= 0)
        return {};
    if (count >= s.size())
        return s;
    return s.right(count);
}

namespace {
double roundHalfAway(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    // Nudge by a tiny amount so that 0.05 stored as 0.04999... still rounds up,
    // as the formatting of the original reports does.
    const double scaled = v * scale;
    const double r = std::round(scaled + (scaled >= 0 ? 1e-9 : -1e-9));
    return r / scale;
}
} // namespace

QString FormatZeroZero(double value)
{
    const double r = roundHalfAway(value, 0);
    const long long n = (long long)r;
    QString digits = QString::number(n < 0 ? -n : n);
    if (digits.size() < 2)
        digits.prepend(QLatin1Char('0'));
    return (n < 0 ? QStringLiteral("-") : QString()) + digits;
}

QString FormatOneDecimal(double value)
{
    const double r = roundHalfAway(value, 1);
    QString s = QString::number(std::fabs(r), 'f', 1);
    return (r < 0 ? QStringLiteral("-") : QString()) + s;
}

QString FormatPercent(double value)
{
    const double r = roundHalfAway(value * 100.0, 1);
    QString s = QString::number(std::fabs(r), 'f', 1);
    if (s.indexOf(QLatin1Char('.')) < 2)
        s.prepend(QLatin1Char('0'));
    return (r < 0 ? QStringLiteral("-") : QString()) + s + QLatin1Char('%');
}

QString DecimalText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'g', 15);
    if (s.contains(QLatin1Char('e'))) {
        // Plain notation for the magnitudes that occur (figures, odds).
        s = QString::number(value, 'f', 15);
        if (s.contains(QLatin1Char('.'))) {
            while (s.endsWith(QLatin1Char('0')))
                s.chop(1);
            if (s.endsWith(QLatin1Char('.')))
                s.chop(1);
        }
    }
    return s;
}

} // namespace korvin::common
