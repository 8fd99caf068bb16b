#pragma once
// Small conversions shared by the lists and reports. Positions count from 1, as
// the file layouts do, so a line of code can be checked against a layout table.
#include <QString>
#include <QtGlobal>

namespace korvin::common {

// Characters pos..pos+len-1 (1-based); shorter or empty past the end.
QString Mid(const QString &s, qsizetype pos, qsizetype len);
// Characters pos.. to the end (1-based).
QString Mid(const QString &s, qsizetype pos);

// Numeric value of a text, floored to a whole number; 0 for an empty or
// non-numeric text. Numeric: optional blanks around an optional sign, digits
// with an optional decimal point and exponent. Values beyond 16 bits are
// clamped to -32768..32767.
qint16 TextToInt(const QString &text);

// Same test and value as TextToInt without the floor; nullopt-like flag false
// when the text is not numeric.
double TextToDouble(const QString &text, bool *ok = nullptr);

// The last count characters of the text (the whole text when count exceeds it,
// empty when count is 0 or negative).
QString RightOf(const QString &s, int count);

// Number formats of the windows and reports. Halves round away from zero.
// "00": at least two digits, no decimals (7.6 gives 08, 105.2 gives 105).
QString FormatZeroZero(double value);
// "0.0": one decimal.
QString FormatOneDecimal(double value);
// "00.0%": the value times 100, at least two integer digits, one decimal.
QString FormatPercent(double value);

// Plain decimal text of a double: up to 15 significant digits, no trailing
// zeros, no leading blank (52.30 gives 52.3).
QString DecimalText(double value);

} // namespace korvin::common
