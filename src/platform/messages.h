#pragma once
// Logic never shows a message itself: it hands back what is to be said, in
// order, and the window (through the dialogs service) or korvin-cli (on
// stderr) says it.
#include "platform/dialogs.h"

#include <QString>
#include <vector>

namespace korvin::platform {

struct Message {
    MessageKind kind = MessageKind::Information;
    QString text;
    // The program cannot go on after it (the settings file cannot be read).
    bool fatal = false;
    bool operator==(const Message &o) const { return kind == o.kind && text == o.text && fatal == o.fatal; }
};
using Messages = std::vector<Message>;

inline Message Information(const QString &text) { return {MessageKind::Information, text, false}; }
inline Message Critical(const QString &text) { return {MessageKind::Critical, text, false}; }
// Shown as critical, then the program ends (see fatal()).
inline Message Fatal(const QString &text) { return {MessageKind::Critical, text, true}; }

// Says each message to user, in order. A fatal message is the last one said:
// the fatal handler runs after it. False when one was fatal (reached only when
// the handler returns, as in tests). Questions are not messages: logic that
// must ask is given the Dialogs to ask through.
bool ShowMessages(const Messages &messages, Dialogs &user);
// The same through the dialogs service (windows and korvin-cli only).
bool ShowMessages(const Messages &messages);

} // namespace korvin::platform
