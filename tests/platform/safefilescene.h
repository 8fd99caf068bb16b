#pragma once
// The scene of the safe-writer tests: a folder with "target" (and "source"
// for the copy) as a save finds them, and every writer of platform/safefile.h.
#include "platform/safefile.h"
#include "support/testutil.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>

namespace korvin::test::safefile {

using namespace korvin::platform;

// A folder holding "target" (and "source" for the copy) as a save finds them.
struct Scene {
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.path() + QLatin1Char('/') + QString::fromUtf8(name); }
    void put(const char *name, const QByteArray &bytes) const
    {
        ASSERT_TRUE(korvin::test::writeFile(path(name), bytes));
    }
    QByteArray bytes(const char *name) const { return korvin::test::readFile(path(name)); }
    QStringList names() const { return QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot); }
};

inline const QByteArray kOld = "old line\r\n\x87\x90 kept\r\n";
inline const QByteArray kNew = "new contents\r\n";

inline QStringList names(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *n : list)
        out << QString::fromUtf8(n);
    return out;
}

struct Writer {
    const char *name;
    std::function<bool(const Scene &, QString *)> save;
    QByteArray after; // the target once the save succeeded
};

inline const Writer kWriters[] = {
    {"replace", [](const Scene &s, QString *e) { return saveWhole(s.path("target"), kNew, e); }, kNew},
    {"replace via a named file",
     [](const Scene &s, QString *e) { return saveWholeVia(s.path("Newtarget"), s.path("target"), kNew, e); }, kNew},
    {"append", [](const Scene &s, QString *e) { return appendWhole(s.path("target"), kNew, e); }, kOld + kNew},
    {"copy", [](const Scene &s, QString *e) { return copyWhole(s.path("source"), s.path("target"), e); }, kNew},
};

inline void prepare(const Scene &s)
{
    s.put("target", kOld);
    s.put("source", kNew);
}

} // namespace korvin::test::safefile
