#include "keylog.h"

#include <QList>

#include <utility>

namespace korvin::hostsim {

using host::KeyAction;
using host::NamedKey;

namespace {

std::optional<NamedKey> namedKeyOf(int key)
{
    static const std::pair<int, NamedKey> keys[] = {{Qt::Key_Return, NamedKey::Enter},
                                                    {Qt::Key_Enter, NamedKey::Enter},
                                                    {Qt::Key_Tab, NamedKey::Tab},
                                                    {Qt::Key_Backtab, NamedKey::Tab},
                                                    {Qt::Key_Escape, NamedKey::Escape},
                                                    {Qt::Key_Backspace, NamedKey::Backspace},
                                                    {Qt::Key_Delete, NamedKey::Delete},
                                                    {Qt::Key_Insert, NamedKey::Insert},
                                                    {Qt::Key_Home, NamedKey::Home},
                                                    {Qt::Key_End, NamedKey::End},
                                                    {Qt::Key_PageUp, NamedKey::PageUp},
                                                    {Qt::Key_PageDown, NamedKey::PageDown},
                                                    {Qt::Key_Up, NamedKey::Up},
                                                    {Qt::Key_Down, NamedKey::Down},
                                                    {Qt::Key_Left, NamedKey::Left},
                                                    {Qt::Key_Right, NamedKey::Right},
                                                    {Qt::Key_CapsLock, NamedKey::CapsLock}};
    for (const auto &[qt, named] : keys)
        if (key == qt)
            return named;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F16)
        return NamedKey(int(NamedKey::F1) + (key - Qt::Key_F1));
    return std::nullopt;
}

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R: return true;
    default: return false;
    }
}

} // namespace

QString describeKey(const KeyAction &a) { return QString::fromStdString(host::DescribeAction(a)); }

QString keyLogLine(qint64 receivedMs, const QString &key, bool expected)
{
    return QString::number(receivedMs) + QLatin1Char(' ') + key +
           (expected ? QString() : QStringLiteral(" unexpected"));
}

ReceivedKey fromQtKey(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    ReceivedKey r;
    if (isModifierKey(key)) {
        r.modifierOnly = true;
        return r;
    }
    KeyAction a;
    a.shift = modifiers.testFlag(Qt::ShiftModifier);
    a.ctrl = modifiers.testFlag(Qt::ControlModifier);
    a.alt = modifiers.testFlag(Qt::AltModifier);
    if (const auto named = namedKeyOf(key)) {
        a.kind = KeyAction::Kind::Named;
        a.key = *named;
    } else {
        a.kind = KeyAction::Kind::Character;
        const QList<uint> ucs = text.toUcs4();
        const bool control = ucs.isEmpty() || ucs.front() < 0x20 || ucs.front() == 0x7F;
        if (!control) {
            a.character = ucs.front();
        } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
            // Ctrl turns a letter into a control character: log the letter.
            a.character = char32_t(a.shift ? key : key - Qt::Key_A + 'a');
        } else if (key >= 0x20 && key < 0x7F) {
            a.character = char32_t(key);
        } else {
            // A key with no name in the notation and no text.
            r.line = QStringLiteral("key 0x%1").arg(uint(key), 8, 16, QLatin1Char('0')) +
                     QString::fromStdString(host::DescribeModifiers(a));
            return r;
        }
    }
    r.action = a;
    r.line = describeKey(a);
    return r;
}

} // namespace korvin::hostsim
