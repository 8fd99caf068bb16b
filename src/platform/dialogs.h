#pragma once
// Message boxes of the whole program go through this service. The windows
// install a Qt implementation; the CLI keeps the default, which writes to
// stderr; tests install RecordingDialogs, which records and answers.
#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace korvin::platform {

enum class Answer { Yes, No };
enum class MessageKind { Information, Critical, Question, Warning };

inline const QString kMessageCaption = QStringLiteral("Korvin");

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void information(const QString &text) = 0;
    virtual void critical(const QString &text) = 0;
    // Question icon, Yes and No.
    virtual Answer question(const QString &text) = 0;
    // Warning icon, Yes and No.
    virtual Answer warningYesNo(const QString &text) = 0;
};

// The service in use. Never null: without an installed one, StderrDialogs.
Dialogs &dialogs();
// Installs a service (not owned); nullptr restores the default.
void setDialogs(Dialogs *d);

// Writes each message as one line to stderr; answers every question Yes.
class StderrDialogs : public Dialogs {
public:
    void information(const QString &text) override;
    void critical(const QString &text) override;
    Answer question(const QString &text) override;
    Answer warningYesNo(const QString &text) override;
};

// Test double: records every message and answers questions from a queue
// (Yes when the queue is empty, unless defaultAnswer says otherwise).
class RecordingDialogs : public Dialogs {
public:
    struct Entry {
        MessageKind kind;
        QString text;
    };
    std::vector<Entry> shown;
    std::deque<Answer> answers;
    Answer defaultAnswer = Answer::Yes;
    // Called after each message is recorded (a test may act on a window there).
    std::function<void(const Entry &)> onShown;

    void information(const QString &text) override { record(MessageKind::Information, text); }
    void critical(const QString &text) override { record(MessageKind::Critical, text); }
    Answer question(const QString &text) override
    {
        record(MessageKind::Question, text);
        return next();
    }
    Answer warningYesNo(const QString &text) override
    {
        record(MessageKind::Warning, text);
        return next();
    }

    QStringList texts() const;
    void clear() { shown.clear(); }

private:
    void record(MessageKind kind, const QString &text);
    Answer next();
};

// Installs a RecordingDialogs for the lifetime of the scope.
class ScopedRecordingDialogs : public RecordingDialogs {
public:
    ScopedRecordingDialogs() { setDialogs(this); }
    ~ScopedRecordingDialogs() override { setDialogs(nullptr); }
};

// A failure the program cannot go on from (settings file missing): the message
// is shown as critical, then the fatal handler runs. The default handler ends
// the process with exit code 1; tests replace it.
void fatal(const QString &text);
void setFatalHandler(std::function<void(const QString &)> handler);

} // namespace korvin::platform
