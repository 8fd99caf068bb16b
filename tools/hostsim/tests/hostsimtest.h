#pragma once
// Shared by the stand-in host's tests: the keys of Korvin's two keystroke runs
// as the host receives them (waits left out), exports kept in memory, and the
// sections of a ranking export.
#include "hostmodel.h"
#include "host/keyactions.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <gtest/gtest.h>

namespace korvin::hostsim::test {

using host::KeyAction;
using host::NamedKey;
using Keys = QVector<KeyAction>;

inline KeyAction key(NamedKey k)
{
    KeyAction a;
    a.key = k;
    return a;
}

// A typed character; Shift where a US keyboard needs it.
inline KeyAction ch(char32_t c)
{
    KeyAction a;
    a.kind = KeyAction::Kind::Character;
    a.character = c;
    a.shift = (c >= U'A' && c <= U'Z') || (c < 0x80 && QByteArray("~!@#$%^&*()_+{}|:\"<>?").contains(char(c)));
    return a;
}

inline Keys typed(const QString &text)
{
    Keys k;
    for (const uint c : text.toUcs4())
        k << ch(char32_t(c));
    return k;
}

inline Keys times(int n, const Keys &keys)
{
    Keys k;
    for (int i = 0; i < n; ++i)
        k << keys;
    return k;
}

// One race of the time-rank export: 36 presses of F8.
inline Keys timeRankRace(int k, int kind, bool formKey, const QString &path)
{
    const Keys exportKeys = formKey ? Keys{key(NamedKey::F8), ch(U'F')} : Keys{key(NamedKey::F8)};
    const Keys section = Keys{key(NamedKey::F3)} + exportKeys + Keys{key(NamedKey::Enter), key(NamedKey::Enter)};
    const bool tabs = kind == 0 || kind == 2 || kind == 4 || kind == 5;
    Keys keys{key(NamedKey::F6), key(NamedKey::Insert)};
    keys << times(kind, {key(NamedKey::F6)}) << key(NamedKey::F7) << exportKeys;
    keys << (k == 0 ? typed(path) : Keys{key(NamedKey::Enter)}) << key(NamedKey::Enter);
    keys << times(5, section);
    keys << times(2, Keys{key(NamedKey::F4)} + times(6, section));
    if (tabs)
        keys << times(3, {key(NamedKey::Tab)}) << key(NamedKey::Up);
    keys << times(3, Keys{key(NamedKey::F4)} + times(6, section));
    keys << key(NamedKey::F12);
    return keys;
}

inline Keys timeRankRun(int races, int kind, bool formKey, const QString &path)
{
    Keys keys{key(NamedKey::Enter)};
    for (int k = 0; k < races; ++k) {
        keys << timeRankRace(k, kind, formKey, path);
        if (k != races - 1)
            keys << key(NamedKey::PageDown);
    }
    return keys << key(NamedKey::F12);
}

// The result-comment run, race by race: Korvin reads and deletes "Comment.txt"
// between the races.
inline Keys commentOpening() { return {key(NamedKey::Enter), ch(U' ')}; }

inline Keys commentRace(int k, const QString &path)
{
    Keys keys{key(NamedKey::F8)};
    if (k == 0)
        keys << typed(path);
    return keys << key(NamedKey::Enter) << key(NamedKey::Enter);
}

// Exports kept in memory; paths under /readonly/ refuse to be written.
class MemoryFiles : public ExportFiles {
public:
    bool exists(const QString &path) override { return files.contains(path); }
    bool write(const QString &path, const QStringList &lines, bool append, QString *error) override
    {
        if (path.startsWith(QLatin1String("/readonly/"))) {
            *error = QStringLiteral("read-only");
            return false;
        }
        if (!append)
            files[path].clear();
        files[path] << lines;
        return true;
    }
    QMap<QString, QStringList> files;
};

// Sections of a ranking export: 8 header lines, rows, a dash line, a trailer.
inline QList<QStringList> sectionsOf(const QStringList &lines)
{
    QList<QStringList> sections;
    QStringList current;
    for (int i = 0; i < lines.size(); ++i) {
        current << lines[i];
        if (current.size() > 8 && lines[i].startsWith(QLatin1String("----")) && i + 1 < lines.size()) {
            current << lines[++i];
            sections << current;
            current.clear();
        }
    }
    EXPECT_TRUE(current.isEmpty()) << "lines behind the last section: " << current.join(QLatin1Char('|')).toStdString();
    return sections;
}

} // namespace korvin::hostsim::test
