#pragma once
// Shift-JIS (Windows code page 932) conversion and half-width/full-width forms.
// Every file of the host and of the racing authority is CP932; every character
// of CP932 is one UTF-16 unit, so QString indexes are character positions.
#include <QByteArray>
#include <QString>

namespace korvin::platform {

// Text to CP932 bytes. Characters CP932 cannot hold become '?'.
QByteArray toSjis(const QString &text);
// CP932 bytes to text. Undecodable bytes become U+FFFD.
QString fromSjis(const QByteArray &bytes);
// The first character (a whole code point) of text that CP932 cannot hold as
// it stands; empty when all of it can be written.
QString firstUnencodable(const QString &text);
// The refusal of a box holding such a character: "BOX の「C」は …".
QString unencodableMessage(const QString &box, const QString &character);

// Byte length of one character in CP932 (1 or 2; 1 for unmappable).
int sjisCharBytes(QChar c);

// Full-width letters, digits, symbols and katakana to their half-width forms
// ("ガ" becomes the two characters "ｶﾞ").
QString toHalfWidth(const QString &text);
// Half-width letters, digits, symbols and katakana to full-width forms.
QString toFullWidth(const QString &text);

} // namespace korvin::platform
