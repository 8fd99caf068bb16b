#pragma once
// Every writer of the user's files through its real entry point, for the
// fault walk and the kill test (the latter runs them in a child process,
// korvin-hardening-child). A writer works in one folder, which is also the program
// folder.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <functional>
#include <vector>

namespace korvin::test {

struct Writer {
    const char *name;
    // Lays down what the save finds: its inputs and the old targets.
    std::function<void(const QString &folder)> prepare;
    // One save; variant 0 and 1 write different contents. True when the save
    // reported success (false, or a critical message, is a reported failure).
    std::function<bool(const QString &folder, int variant)> save;
    bool reports = true; // false: the writer reports nothing (a file created on first sight)
};

const std::vector<Writer> &Writers();
const Writer *FindWriter(const QString &name);

// Every file under folder (relative path with "/") and its bytes, the
// folder's own path in them written "<folder>/".
using Snapshot = QMap<QString, QByteArray>;
Snapshot TakeSnapshot(const QString &folder);

// A temporary file of a save: a fresh "<target>.<8 hex>.tmp" or a name of its
// own ("NewKorvin.ini", "Um….new").
bool IsTemporaryName(const QString &relativePath);

} // namespace korvin::test
