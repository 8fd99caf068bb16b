#include "files/ui/frmFileMenu.h"

#include "files/ui/frmFileLZH.h"

#include <QGridLayout>
#include <QPushButton>

namespace korvin::files::ui {

frmFileMenu::frmFileMenu(QWidget *opener) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmFileMenu"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral("  / FileMenu"));

    // Close on top, then the tool buttons in two columns.
    auto *grid = new QGridLayout(this);
    for (int i = 0; i < kButtons; ++i) {
        auto *b = new QPushButton(this);
        b->setObjectName(QStringLiteral("cmdFileMenu_%1").arg(i));
        b->setMinimumSize(200, 32);
        m_buttons[size_t(i)] = b;
        if (i == 0)
            grid->addWidget(b, 0, 0, 1, 2);
        else
            grid->addWidget(b, 1 + (i - 1) % 8, (i - 1) / 8);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdFileMenu_Click(i); });
    }
    m_buttons[0]->setText(QStringLiteral("Close"));
    m_buttons[1]->setText(QStringLiteral("LZHファイルコピー"));
}

void frmFileMenu::cmdFileMenu_Click(int index)
{
    switch (index) {
    case 0:
        close();
        break;
    case 1: {
        auto *w = new frmFileLZH(this);
        w->setWindowModality(Qt::ApplicationModal);
        m_opened = w;
        w->show();
        break;
    }
    default:
        break;
    }
}

} // namespace korvin::files::ui
