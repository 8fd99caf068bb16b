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
    bool operator==(const Message &o) const { return kind == o.kind && text == o.text; }
};
using Messages = std::vector<Message>;

inline Message Information(const QString &text) { return {MessageKind::Information, text}; }
inline Message Critical(const QString &text) { return {MessageKind::Critical, text}; }

// Shows each message through the dialogs service, in order. Questions are not
// messages: logic that must ask is given the question to ask through.
void ShowMessages(const Messages &messages);

} // namespace korvin::platform
