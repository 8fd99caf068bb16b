#pragma once
// Control arrays of push buttons: one click handler serves the whole array and
// acts on the index. Button i of array "cmdX" is named "cmdX_i", so tests find
// it by name.
#include <QPushButton>
#include <QString>
#include <array>
#include <cstddef>

namespace korvin::platform::ui {

// Button index of the array arrayName, showing caption; a click calls
// (owner->*click)(index).
template <class Owner>
QPushButton *ArrayButton(Owner *owner, const QString &arrayName, int index, const QString &caption,
                         void (Owner::*click)(int))
{
    auto *button = new QPushButton(caption, owner);
    button->setObjectName(arrayName + QLatin1Char('_') + QString::number(index));
    QObject::connect(button, &QPushButton::clicked, owner, [owner, click, index] { (owner->*click)(index); });
    return button;
}

// The whole array, button i showing captions[i].
template <class Owner, std::size_t N>
std::array<QPushButton *, N> ButtonArray(Owner *owner, const QString &arrayName, const std::array<QString, N> &captions,
                                         void (Owner::*click)(int))
{
    std::array<QPushButton *, N> buttons{};
    for (std::size_t i = 0; i < N; ++i)
        buttons[i] = ArrayButton(owner, arrayName, int(i), captions[i], click);
    return buttons;
}

// An array whose captions are set later.
template <std::size_t N, class Owner>
std::array<QPushButton *, N> ButtonArray(Owner *owner, const QString &arrayName, void (Owner::*click)(int))
{
    return ButtonArray(owner, arrayName, std::array<QString, N>{}, click);
}

} // namespace korvin::platform::ui
