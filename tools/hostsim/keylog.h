#pragma once
// Keys as the stand-in host receives them from Qt, and their key-log lines: the
// time it arrived, then the key in the format of the keystroke layer's dry
// run: "key NAME" or "char C" (a blank or control character as "U+0020"),
// then " +shift", " +ctrl", " +alt" for the modifiers held.
#include "host/keyactions.h"

#include <QString>
#include <Qt>
#include <optional>

namespace korvin::hostsim {

struct ReceivedKey {
    bool modifierOnly = false;             // Shift, Ctrl, Alt ... pressed alone: not a key of its own
    std::optional<host::KeyAction> action; // empty for a key the notation has no name for
    QString line;                          // the key's text in the log (without time and " unexpected")
    qint64 receivedMs = 0;                 // when it arrived, on the stand-in's monotonic clock
};

// From a key press: Qt's key code, the modifiers held and the text it typed.
ReceivedKey fromQtKey(int key, Qt::KeyboardModifiers modifiers, const QString &text);

// "key F8", "char F +shift", "char U+0020": host::DescribeAction as text.
QString describeKey(const host::KeyAction &action);

// A line of the key log, without its line end: the milliseconds since the
// stand-in started when the key arrived, a blank, the key, and " unexpected"
// when the screen it reached did not expect it: "5120 char f +shift unexpected".
QString keyLogLine(qint64 receivedMs, const QString &key, bool expected);

} // namespace korvin::hostsim
