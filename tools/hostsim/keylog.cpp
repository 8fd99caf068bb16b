#include "keylog.h"

#include <QList>

#include <array>
#include <utility>

namespace korvin::hostsim {

using host::KeyAction;
using host::NamedKey;

namespace {

struct Named {
    NamedKey key;
    const char *name;
};

// Upper-case names as the notation spells them.
constexpr std::array<Named, 31> kNames{{
    {NamedKey::Enter, "ENTER"},
    {NamedKey::Tab, "TAB"},
    {NamedKey::Escape, "ESC"},
    {NamedKey::Backspace, "BACKSPACE"},
    {NamedKey::Delete, "DELETE"},
    {NamedKey::Insert, "INSERT"},
    {NamedKey::Home, "HOME"},
    {NamedKey::End, "END"},
    {NamedKey::PageUp, "PGUP"},
    {NamedKey::PageDown, "PGDN"},
    {NamedKey::Up, "UP"},
    {NamedKey::Down, "DOWN"},
    {NamedKey::Left, "LEFT"},
    {NamedKey::Right, "RIGHT"},
    {NamedKey::CapsLock, "CAPSLOCK"},
    {NamedKey::F1, "F1"},
    {NamedKey::F2, "F2"},
    {NamedKey::F3, "F3"},
    {NamedKey::F4, "F4"},
    {NamedKey::F5, "F5"},
    {NamedKey::F6, "F6"},
    {NamedKey::F7, "F7"},
    {NamedKey::F8, "F8"},
    {NamedKey::F9, "F9"},
    {NamedKey::F10, "F10"},
    {NamedKey::F11, "F11"},
    {NamedKey::F12, "F12"},
    {NamedKey::F13, "F13"},
    {NamedKey::F14, "F14"},
    {NamedKey::F15, "F15"},
    {NamedKey::F16, "F16"},
}};

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

QString modifierText(bool shift, bool ctrl, bool alt)
{
    QString s;
    if (shift)
        s += QStringLiteral(" +shift");
    if (ctrl)
        s += QStringLiteral(" +ctrl");
    if (alt)
        s += QStringLiteral(" +alt");
    return s;
}

} // namespace

QString describeKey(const KeyAction &a)
{
    QString line;
    if (a.kind == KeyAction::Kind::Named) {
        line = QStringLiteral("key ");
        for (const Named &n : kNames)
            if (n.key == a.key)
                line += QString::fromLatin1(n.name);
    } else {
        const char32_t c = a.character;
        const bool blank = c <= 0x20 || c == 0x7F || (c <= 0xFFFF && QChar(char16_t(c)).isSpace());
        line = QStringLiteral("char ") + (blank ? QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper()
                                                : QString::fromUcs4(&c, 1));
    }
    return line + modifierText(a.shift, a.ctrl, a.alt);
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
                     modifierText(a.shift, a.ctrl, a.alt);
            return r;
        }
    }
    r.action = a;
    r.line = describeKey(a);
    return r;
}

} // namespace korvin::hostsim
