#pragma once
// Shared helpers of the tests: a scratch program folder, CP932 files, and a
// fatal handler that records instead of ending the process.
#include "platform/messages.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <ostream>

// Failures print Qt strings as text (UTF-8), not as arrays of code units.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList &l, std::ostream *os)
{
    *os << "{";
    for (qsizetype i = 0; i < l.size(); ++i)
        *os << (i ? ", \"" : "\"") << l[i].toStdString() << '"';
    *os << "}";
}

namespace korvin::test {

// A temporary folder set as ProgramFolder for the lifetime of the object;
// fatal errors are recorded in fatalMessages instead of ending the process.
class ScratchHome {
public:
    ScratchHome();
    ~ScratchHome();
    // Path of a file in the folder.
    QString path(const QString &name) const;
    // The folder with a trailing separator.
    QString folder() const;
    // Creates a subfolder and returns it with a trailing separator.
    QString makeFolder(const QString &name) const;
    // Writes CP932 lines with CR LF.
    void writeLines(const QString &name, const QStringList &lines) const;
    void writeBytes(const QString &name, const QByteArray &bytes) const;
    QByteArray readBytes(const QString &name) const;
    // Writes a complete "Korvin.ini" whose folders are subfolders of this one.
    void writeDefaultSettings() const;

    QStringList fatalMessages;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// The texts of messages, in order.
inline QStringList Texts(const platform::Messages &messages)
{
    QStringList out;
    for (const platform::Message &m : messages)
        out << m.text;
    return out;
}

// korvin-cli run as a user would (the built executable, with --home when given).
struct CliRun {
    int code;
    QString out; // stdout, UTF-8 decoded
    QString err; // stderr
};
// stdoutFile, when given, takes the standard output instead ("/dev/full").
CliRun runCli(const QStringList &args, const QString &home = QString(), const QString &stdoutFile = QString());

// Polls until the condition holds, a minute at most (a loaded machine).
template <class F>
bool waitFor(F condition)
{
    QDeadlineTimer deadline(60000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

// CP932 bytes of a text.
QByteArray sjis(const QString &text);
// The file at path, or an empty array.
QByteArray readFile(const QString &path);
// Every file under folder, hidden ones too: relative path (with "/") -> bytes,
// "<unreadable>" for a file that cannot be read.
QMap<QString, QByteArray> filesUnder(const QString &folder);
// Replaces the file at path with the bytes, creating its folder; false when it cannot.
bool writeFile(const QString &path, const QByteArray &bytes);

} // namespace korvin::test
