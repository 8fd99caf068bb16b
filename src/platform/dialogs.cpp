#include "platform/dialogs.h"

#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace korvin::platform {
namespace {
StderrDialogs defaultDialogs;
Dialogs *current = nullptr;
std::function<void(const QString &)> fatalHandler;

// One line per message, its lines joined by a blank: a script reading stderr
// line by line sees each message whole.
void toStderr(const QString &text)
{
    const QByteArray bytes = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QLatin1Char(' ')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}
} // namespace

Dialogs &dialogs() { return current ? *current : defaultDialogs; }
void setDialogs(Dialogs *d) { current = d; }

void StderrDialogs::information(const QString &text) { toStderr(text); }
void StderrDialogs::critical(const QString &text) { toStderr(text); }
Answer StderrDialogs::question(const QString &text)
{
    toStderr(text);
    return Answer::Yes;
}
Answer StderrDialogs::warningYesNo(const QString &text)
{
    toStderr(text);
    return Answer::Yes;
}

QStringList RecordingDialogs::texts() const
{
    QStringList out;
    for (const Entry &e : shown)
        out << e.text;
    return out;
}

void RecordingDialogs::record(MessageKind kind, const QString &text)
{
    shown.push_back({kind, text});
    if (onShown)
        onShown(shown.back());
}

Answer RecordingDialogs::next()
{
    if (answers.empty())
        return defaultAnswer;
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

namespace {
void endProgram(const QString &text)
{
    if (fatalHandler)
        fatalHandler(text);
    else
        std::exit(1);
}
} // namespace

void fatal(const QString &text)
{
    dialogs().critical(text);
    endProgram(text);
}

void setFatalHandler(std::function<void(const QString &)> handler) { fatalHandler = std::move(handler); }

} // namespace korvin::platform

#include "platform/messages.h"

namespace korvin::platform {

bool ShowMessages(const Messages &messages, Dialogs &user)
{
    for (const Message &m : messages) {
        if (m.fatal) {
            user.critical(m.text);
            endProgram(m.text);
            return false;
        }
        if (m.kind == MessageKind::Critical)
            user.critical(m.text);
        else
            user.information(m.text);
    }
    return true;
}

bool ShowMessages(const Messages &messages) { return ShowMessages(messages, dialogs()); }

} // namespace korvin::platform
